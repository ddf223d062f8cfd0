// A source past 4 GiB through the real transfer: run on demand (CTest label "large"),
// since it writes 4.5 GiB and takes minutes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/WidePath.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

constexpr ULONGLONG kGiB = 1024ull * 1024 * 1024;

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
    dlg.TransferFile(ToWide(source), ToWide(target));

    EXPECT_EQ(RunUnixShell("cmp '" + UnixPath(source) + "' '" + UnixPath(target) + "'", 600000), 0);
    ASSERT_EQ(bar->ranges.size(), 1u);
    EXPECT_TRUE(bar->ranges[0].second >= 99 && bar->ranges[0].second <= 100)
        << bar->ranges[0].second;
    EXPECT_LE(*std::max_element(bar->positions.begin(), bar->positions.end()), 100);
    // Each rise of the counter once, then the empty bar.
    EXPECT_EQ(bar->positions.size(), static_cast<size_t>(bar->ranges[0].second) + 1);
    ::DeleteFileA(target.c_str());
}

}  // namespace
}  // namespace kestrava::test
