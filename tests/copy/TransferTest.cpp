// The chunked transfer against the real main window: the positions and ranges the
// progress bar is sent, the bar's update region, and what a transfer leaves behind when
// the source changes under it or a step fails.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/File.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

using Range = Recorder::Range;
using TransferTest = CopyTest;

TEST_F(TransferTest, ProgressCountsTheMarksThePositionPasses) {
    // clang-format off
    const struct { ULONGLONG length; std::vector<int> firstCounters; int finalCounter; } cases[] = {
        {0, {0}, 0}, {50, {1}, 1}, {1000, {1, 2}, 2}, {10000, {1, 2, 3, 4, 5, 6}, 20},
        {51200, {0, 1, 2, 3}, 99}, {51201, {0, 1, 2, 3}, 100}, {100000, {0, 1, 1, 2, 2, 3}, 99},
        // The first rise comes at chunk 21, position 10752.
        {1048576, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 100},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        const std::string bytes = PatternBytes(static_cast<size_t>(c.length), 7);
        const std::string target = files.Path() + "target.bin";
        ::DeleteFileA(target.c_str());
        ResetBar({0, 100});

        dlg.TransferFile(Source("source.bin", bytes), target);

        ASSERT_FALSE(bar->positions.empty());
        EXPECT_EQ(bar->positions.back(), 0) << "the bar is left empty";
        const std::vector<int> counters(bar->positions.begin(), bar->positions.end() - 1);
        EXPECT_EQ(counters.size(), std::max<size_t>(1, (c.length + 511) / 512))
            << "one position per chunk, then 0";
        EXPECT_TRUE(std::equal(c.firstCounters.begin(), c.firstCounters.end(), counters.begin()));
        EXPECT_EQ(counters.back(), c.finalCounter);
        EXPECT_EQ(bar->ranges, (std::vector<Range>{{0, c.finalCounter}}));
        EXPECT_TRUE(ReadBytes(target) == bytes) << "target differs from source";
    }
}

TEST_F(TransferTest, UpdateRegionMatchesAnInvalidationAfterEveryChunk) {
    HWND hwnd = dlg.m_progress.m_hWnd;
    // What makes the saving sound: a new position makes the bar repaint at once, which
    // validates it, while an unchanged one leaves it alone.
    ::InvalidateRect(hwnd, nullptr, TRUE);
    dlg.m_progress.SendMessage(PBM_SETPOS, 5);
    ASSERT_EQ(DescribeUpdateRegion(hwnd), "empty");
    ::InvalidateRect(hwnd, nullptr, TRUE);
    dlg.m_progress.SendMessage(PBM_SETPOS, 5);
    const std::string whole = DescribeUpdateRegion(hwnd);
    ASSERT_NE(whole, "empty");

    // A full bar, a small range left behind, a counter far above that range (the bar
    // clamps it but still repaints), an empty source and a tiny one.
    const std::vector<size_t> lengths = {1048576, 1000, 100000, 0, 50};
    struct Run {
        Range startRange;
        std::vector<int> positions;
        Range endRange;
        std::vector<std::string> regions;
    };
    std::vector<Run> runs;
    ResetBar({0, 100});
    bar->recordRegions = true;
    for (size_t i = 0; i < lengths.size(); ++i) {
        PBRANGE range{};
        dlg.m_progress.SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        ::ValidateRect(hwnd, nullptr);
        bar->Clear();
        dlg.TransferFile(Source("s" + std::to_string(i), PatternBytes(lengths[i], 3)),
                         files.Path() + "t" + std::to_string(i));
        ASSERT_EQ(bar->ranges.size(), 1u);
        runs.push_back(
            {{range.iLow, range.iHigh},
             std::vector<int>(bar->positions.begin(), bar->positions.end() - 1),
             bar->ranges[0],
             std::vector<std::string>(bar->regions.begin() + 1, bar->regions.end() - 1)});
    }

    // The same positions again, each followed by an invalidation of the whole bar.
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE("transfer " + std::to_string(i + 1) + " of " + std::to_string(lengths[i]) +
                     " bytes");
        const Run& run = runs[i];
        ResetBar(run.startRange);
        ::ValidateRect(hwnd, nullptr);
        for (int position : run.positions) {
            dlg.m_progress.SendMessage(PBM_SETPOS, position);
            ::InvalidateRect(hwnd, nullptr, TRUE);
        }
        dlg.m_progress.SendMessage(PBM_SETRANGE, 0,
                                   MAKELPARAM(run.endRange.low, run.endRange.high));
        const std::vector<std::string> expected(bar->regions.begin() + 1, bar->regions.end());
        ASSERT_EQ(run.regions.size(), expected.size());
        for (size_t chunk = 0; chunk < expected.size(); ++chunk) {
            ASSERT_EQ(run.regions[chunk], expected[chunk]) << "after chunk " << chunk + 1;
        }
        EXPECT_EQ(expected.back(), whole);
    }
}

TEST_F(TransferTest, SourceThatShrinksOrGrowsWhileCopiedEndsTheTransfer) {
    // change: a shell command; %s stands for the source's Unix path.
    // clang-format off
    const struct { const char* name; size_t length; size_t atChunk; const char* change;
                   size_t expectedTarget; } cases[] = {
        {"shrinks to 2000 bytes", 100000, 3, "truncate -s 2000 '%s'", 2000},
        {"shrinks to nothing", 100000, 1, "truncate -s 0 '%s'", 512},
        // The length taken at the start ends in the middle of chunk 20.
        {"grows by 5000 bytes", 10000, 3, "head -c 5000 /dev/urandom >> '%s'", 10240},
        {"grows by 100000 bytes", 51200, 50, "head -c 100000 /dev/urandom >> '%s'", 51200},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string original = PatternBytes(c.length, 11);
        const std::string source = Source("changing.bin", original);
        const std::string target = files.Path() + "changing.out";
        ::DeleteFileA(target.c_str());
        std::string command = c.change;
        command.replace(command.find("%s"), 2, UnixPath(source));
        bar->onSetPos = [&](size_t index) {
            if (index + 1 == c.atChunk) {
                EXPECT_EQ(RunUnixShell(command), 0) << command;
            }
        };
        ResetBar({0, 100});

        dlg.TransferFile(source, target);

        bar->onSetPos = nullptr;
        // The source now is a cut or an extended original.
        const std::string now = ReadBytes(source);
        const std::string& longer = now.size() > original.size() ? now : original;
        EXPECT_TRUE(ReadBytes(target) == longer.substr(0, c.expectedTarget))
            << "target holds " << ReadBytes(target).size() << " bytes";
        ASSERT_EQ(bar->ranges.size(), 1u);
        EXPECT_LE(bar->ranges[0].high, 100);
        EXPECT_LE(*std::max_element(bar->positions.begin(), bar->positions.end()), 100);
    }
}

TEST_F(TransferTest, ExistingTargetIsWrittenFromItsStartAndCutToTheSource) {
    // existingLength -1: no target yet.
    // clang-format off
    const struct { const char* name; size_t sourceLength; int existingLength; } cases[] = {
        {"longer target", 1000, 70000}, {"shorter target", 5000, 700},
        {"empty source over a target", 0, 3000}, {"no target", 1500, -1}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = Source("in.bin", PatternBytes(c.sourceLength, 5));
        ASSERT_TRUE(::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_HIDDEN));
        const std::string target = files.Path() + "out.bin";
        ::DeleteFileA(target.c_str());
        if (c.existingLength >= 0) {
            ASSERT_TRUE(WriteBytes(target, PatternBytes(c.existingLength, 9)));
        }

        dlg.TransferFile(source, target);

        EXPECT_TRUE(ReadBytes(target) == PatternBytes(c.sourceLength, 5));
        // Only the bytes travel: the hidden source gives a plain target.
        EXPECT_EQ(::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
        ::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(TransferTest, FailedTransferReleasesFilesAndBufferBeforeReporting) {
    // clang-format off
    const struct { const char* name; std::string target; bool holdSource; int cause;
                   bool reachesLoop; } cases[] = {
        {"target folder missing", files.Path() + "no such folder\\out.bin", false,
         CFileException::badPath, false},
        {"source held open elsewhere", files.Path() + "out.bin", true,
         CFileException::sharingViolation, false},
        // Writes to /dev/full fail as on a full disk.
        {"write fails", "Z:\\dev\\full", false, CFileException::diskFull, true},
        // /dev/null takes every write but cannot be flushed.
        {"flush fails", "Z:\\dev\\null", false, CFileException::genericException, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = Source("held.bin", PatternBytes(3000, 2));
        HeldOpenFile holder = c.holdSource ? HoldOpen(source) : nullptr;
        HGLOBAL buffer = nullptr;
        bar->onSetPos = [&](size_t) { buffer = dlg.m_hCopyBuffer; };
        ResetBar({0, 100});
        try {
            dlg.TransferFile(source, c.target);
            ADD_FAILURE() << "no exception";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << "os error " << e.m_lOsError;
            EXPECT_EQ(e.m_strFileName, c.holdSource ? source : c.target);
            // Reported while nothing of the transfer is left open.
            EXPECT_TRUE(c.holdSource || CanOpenExclusively(source));
        }
        bar->onSetPos = nullptr;
        holder.reset();
        EXPECT_TRUE(CanOpenExclusively(source)) << "the source stays locked";
        EXPECT_FALSE(FileExists(files.Path() + "out.bin")) << "a target was created";
        EXPECT_TRUE(bar->ranges.empty()) << "the range is set only after a whole copy";
        EXPECT_EQ(bar->positions.empty(), !c.reachesLoop);
        if (c.reachesLoop) {
            EXPECT_EQ(::GlobalFlags(buffer), static_cast<UINT>(GMEM_INVALID_HANDLE))
                << "the buffer is still allocated";
        }
        // A second try with a good target works at once.
        dlg.TransferFile(source, files.Path() + "retry.bin");
        EXPECT_TRUE(ReadBytes(files.Path() + "retry.bin") == PatternBytes(3000, 2));
    }
}

}  // namespace
}  // namespace kestrava::test
