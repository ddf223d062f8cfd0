// A source past 4 GiB through the real transfer: run on demand (CTest label "large"),
// since it writes 4.5 GiB and takes minutes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

constexpr ULONGLONG kGiB = 1024ull * 1024 * 1024;

bool WriteAt(HANDLE file, ULONGLONG offset, const std::string& bytes) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD written = 0;
    return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

ULONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) return 0;
    return (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// The offset of the first byte where two files differ, or ~0 when they are equal.
ULONGLONG FirstDifference(const std::string& a, const std::string& b) {
    HANDLE files[2];
    for (int i = 0; i < 2; ++i) {
        files[i] = ::CreateFileA((i ? b : a).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    std::string chunks[2] = {std::string(1 << 20, '\0'), std::string(1 << 20, '\0')};
    ULONGLONG offset = 0;
    for (DWORD read[2] = {1, 1}; read[0] != 0; offset += read[0]) {
        for (int i = 0; i < 2; ++i) {
            if (!::ReadFile(files[i], chunks[i].data(), 1 << 20, &read[i], nullptr)) read[i] = 0;
        }
        if (read[0] != read[1] || chunks[0] != chunks[1]) {
            offset += std::mismatch(chunks[0].begin(), chunks[0].end(), chunks[1].begin()).first -
                      chunks[0].begin();
            break;
        }
        if (read[0] == 0) offset = ~0ull;
    }
    ::CloseHandle(files[0]);
    ::CloseHandle(files[1]);
    return offset;
}

TEST(LargeFile, SparseSourcePast4GiBCopiesWholeWithTheCounterAtMost100) {
    FakePlatform platform;
    ScratchFolder files;
    const std::string source = files.Path() + "large.bin";
    const std::string target = files.Path() + "large.copy";
    const ULONGLONG length = 4 * kGiB + kGiB / 2 + 123;

    // Holes everywhere but at the places 32-bit sizes and positions break.
    HANDLE file = ::CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (ULONGLONG at : {0ull, 2 * kGiB - 700, 4 * kGiB - 700, length - 1000}) {
        ASSERT_TRUE(WriteAt(file, at, PatternBytes(1000, static_cast<unsigned>(at)))) << at;
    }
    ::CloseHandle(file);
    ASSERT_EQ(FileSize(source), length);

    CKestravaDlg dlg;
    ASSERT_TRUE(dlg.Create());
    Recorder bar(dlg.m_progress.m_hWnd);
    dlg.TransferFile(source, target);

    EXPECT_EQ(FileSize(target), length);
    EXPECT_EQ(FirstDifference(source, target), ~0ull) << "first difference";
    ASSERT_EQ(bar.ranges.size(), 1u);
    EXPECT_LE(bar.ranges[0].high, 100);
    EXPECT_GE(bar.ranges[0].high, 99);
    EXPECT_LE(*std::max_element(bar.positions.begin(), bar.positions.end()), 100);
    EXPECT_EQ(bar.positions.size(), (length + 511) / 512 + 1);
    ::DeleteFileA(target.c_str());
}

}  // namespace
}  // namespace kestrava::test
