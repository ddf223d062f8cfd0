// The chunked transfer against the real main window: the positions and ranges the
// progress bar is sent, what the bar shows after every chunk, and what a transfer
// leaves behind when the source changes under it or a step fails.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/File.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

using Range = Recorder::Range;
using TransferTest = CopyTest;

// The counter after each chunk of an unchanging source: one more than after the chunk
// before, or the number of whole steps lying strictly below the position, whichever is
// smaller (every chunk counts while the step is 0).
std::vector<int> ModelCounters(ULONGLONG length) {
    const ULONGLONG step = length / 100;
    std::vector<int> counters;
    int counter = 0;
    ULONGLONG position = 0;
    do {
        position = std::min<ULONGLONG>(position + 512, length);
        const ULONGLONG below = position == 0 ? 0 : (step == 0 ? ~0ull : (position - 1) / step);
        counter = static_cast<int>(std::min<ULONGLONG>(counter + 1, below));
        counters.push_back(counter);
    } while (position < length);
    return counters;
}

// What the user is left with: the bar's position, its range and its picture.
struct Look {
    int position;
    Range range;
    std::string picture;
    bool operator==(const Look&) const = default;
};

void PrintTo(const Look& look, std::ostream* out) {
    *out << "position " << look.position << " of " << look.range.low << ".." << look.range.high
         << ", picture #" << std::hash<std::string>{}(look.picture);
}

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
        EXPECT_EQ(counters, ModelCounters(c.length));
        EXPECT_EQ(bar->ranges, (std::vector<Range>{{0, c.finalCounter}}));
        EXPECT_TRUE(ReadBytes(target) == bytes) << "target differs from source";
    }
}

TEST_F(TransferTest, BarLooksAsWithAPositionAndAnInvalidationEveryChunk) {
    HWND hwnd = dlg.m_progress.m_hWnd;
    const auto look = [&] {
        PBRANGE range{};
        ::SendMessageA(hwnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        return Look{static_cast<int>(::SendMessageA(hwnd, PBM_GETPOS, 0, 0)),
                    {range.iLow, range.iHigh},
                    RenderClient(hwnd)};
    };
    const auto setBar = [&](Range range, int position) {
        ::SendMessageA(hwnd, PBM_SETRANGE32, range.low, range.high);
        ::SendMessageA(hwnd, PBM_SETPOS, position, 0);
    };
    struct Case {
        const char* name;
        size_t length;
        std::optional<Range> start;  // none: as the row before left it
        int position;
    };
    const std::vector<Case> cases = {
        {"a step every chunk from an empty bar to a full one", 51201, Range{0, 100}, 0},
        {"a small file", 1000, {}, 0},
        {"a counter far above the small range left behind", 100000, {}, 0},
        {"an empty source", 0, {}, 0},
        {"a tiny source on the range of nothing left behind", 50, {}, 0},
        {"counters below, in and above a range, the bar at its top", 10000, Range{5, 8}, 8},
        {"a bar below the top of a range the counter is above", 50, Range{-4, 0}, -4},
        {"a range upside down", 10000, Range{60, 20}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(c.length) + " bytes");
        if (c.start) setBar(*c.start, c.position);
        const Look start = look();
        const std::vector<int> counters = ModelCounters(c.length);
        // What the bar looks like after each chunk: it changes only by what it is sent, so
        // each message finds it as all chunks before its own left it.
        std::vector<Look> seen;
        const auto catchUp = [&](size_t chunks) {
            while (seen.size() < chunks) seen.push_back(look());
        };
        bar->Clear();
        bar->onSetPos = [&](size_t) {
            catchUp(static_cast<size_t>(std::max<LONGLONG>(1, (dlg.m_nPosition + 511) / 512)) - 1);
        };
        bar->onSetRange = [&] { catchUp(counters.size()); };
        dlg.TransferFile(Source("s.bin", PatternBytes(c.length, 3)), files.Path() + "t.bin");
        bar->onSetPos = nullptr;
        bar->onSetRange = nullptr;
        const Look end = look();
        // A position outside the range goes to the bar only to move it.
        int was = start.position;
        for (size_t i = 0; i < bar->positions.size(); was = bar->shownAfterSetPos[i++]) {
            const Range r = bar->rangeAtSetPos[i];
            const int now = bar->shownAfterSetPos[i];
            EXPECT_FALSE(r.low <= r.high && bar->positions[i] != now && now == was)
                << "position " << bar->positions[i] << " repaints an unchanged bar";
        }

        // The same bar driven with a position and an invalidation after every chunk.
        setBar(start.range, start.position);
        ASSERT_EQ(seen.size(), counters.size());
        for (size_t chunk = 0; chunk < counters.size(); ++chunk) {
            ::SendMessageA(hwnd, PBM_SETPOS, counters[chunk], 0);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            ASSERT_EQ(seen[chunk], look()) << "after chunk " << chunk + 1;
        }
        ::SendMessageA(hwnd, PBM_SETRANGE, 0, MAKELPARAM(0, counters.back()));
        ::SendMessageA(hwnd, PBM_SETPOS, 0, 0);
        ASSERT_EQ(end, look()) << "at the end";
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
