// A source past 4 GiB through the real transfer: run on demand (CTest label "large"),
// since it writes 4.5 GiB and takes minutes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

constexpr ULONGLONG kGiB = 1024ull * 1024 * 1024;

// The offset of the first byte where two files differ, or ~0 when they are equal.
ULONGLONG FirstDifference(const std::string& a, const std::string& b) {
    HANDLE files[2];
    std::string chunks[2];
    for (int i = 0; i < 2; ++i) {
        files[i] = ::CreateFileA((i ? b : a).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        chunks[i].resize(1 << 20);
    }
    ULONGLONG offset = 0, difference = ~0ull;
    for (DWORD read[2] = {1, 1}; read[0] != 0 && difference == ~0ull; offset += read[0]) {
        for (int i = 0; i < 2; ++i) {
            if (!::ReadFile(files[i], chunks[i].data(), 1 << 20, &read[i], nullptr)) read[i] = 0;
        }
        auto& [x, y] = chunks;
        if (read[0] != read[1] || x != y)
            difference = offset + (std::mismatch(x.begin(), x.end(), y.begin()).first - x.begin());
    }
    ::CloseHandle(files[0]);
    ::CloseHandle(files[1]);
    return difference;
}

using LargeFile = CopyTest;

TEST_F(LargeFile, SparseSourcePast4GiBCopiesWholeWithTheCounterAtMost100) {
    const std::string source = files.Path() + "large.bin", target = files.Path() + "large.copy";
    const ULONGLONG length = 4 * kGiB + kGiB / 2 + 123;
    // Holes everywhere but at the places 32-bit sizes and positions break.
    HANDLE file = ::CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (ULONGLONG at : {0ull, 2 * kGiB - 700, 4 * kGiB - 700, length - 1000}) {
        LARGE_INTEGER to{.QuadPart = static_cast<LONGLONG>(at)};
        DWORD written = 0;
        ASSERT_TRUE(::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) &&
                    ::WriteFile(file, PatternBytes(1000, static_cast<unsigned>(at)).data(), 1000,
                                &written, nullptr) &&
                    written == 1000)
            << at;
    }
    ::CloseHandle(file);
    dlg.TransferFile(source, target);

    // Equal bytes include an equal length.
    EXPECT_EQ(FirstDifference(source, target), ~0ull) << "first difference";
    ASSERT_EQ(bar->ranges.size(), 1u);
    EXPECT_TRUE(bar->ranges[0].second >= 99 && bar->ranges[0].second <= 100)
        << bar->ranges[0].second;
    EXPECT_LE(*std::max_element(bar->positions.begin(), bar->positions.end()), 100);
    EXPECT_EQ(bar->positions.size(), (length + 511) / 512 + 1);
    ::DeleteFileA(target.c_str());
}

}  // namespace
}  // namespace kestrava::test
