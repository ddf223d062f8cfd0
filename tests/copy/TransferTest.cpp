// The chunked transfer against the real main window: what the bar is sent and shows
// after every chunk, and what a changing source or a failed step leaves behind.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/File.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

using Range = Recorder::Range;
using TransferTest = CopyTest;

// The counter after each chunk of an unchanging source: one more than before, or the
// number of whole steps strictly below the position, whichever is smaller.
std::vector<int> ModelCounters(ULONGLONG length) {
    const ULONGLONG step = length / 100;
    std::vector<int> counters;
    ULONGLONG position = 0;
    do {
        position = std::min<ULONGLONG>(position + 512, length);
        const ULONGLONG below = position == 0 ? 0 : (step == 0 ? ~0ull : (position - 1) / step);
        counters.push_back(static_cast<int>(
            std::min<ULONGLONG>((counters.empty() ? 0 : counters.back()) + 1, below)));
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

TEST_F(TransferTest, TargetGetsTheSourcesBytesAndTheBarCountsTheMarksPassed) {
    // existing: a target already there (-1: none). cause: the failure expected (a held source
    // for a sharing violation; /dev/full fails writes, /dev/null flushes). change: a command
    // run as chunk atChunk shows; the target then holds `kept` bytes of the changed source.
    const char* const N = nullptr;
    // clang-format off
    const struct { size_t length; int finalCounter; int existing; int cause; std::string target; const char* change; size_t atChunk, kept; } cases[] = {
        {0, 0, 3000, 0, "", N, 0, 0}, {50, 1, -1, 0, "", N, 0, 0}, {1000, 2, 70000, 0, "", N, 0, 0},
        {10000, 20, 700, 0, "", N, 0, 0}, {51200, 99, -1, 0, "", N, 0, 0}, {51201, 100, -1, 0, "", N, 0, 0},
        {100000, 99, -1, 0, "", N, 0, 0}, {1048576, 100, -1, 0, "", N, 0, 0},
        {100000, -1, -1, 0, "", "truncate -s 2000 '%s'", 3, 2000}, {100000, -1, -1, 0, "", "truncate -s 0 '%s'", 1, 512},
        // The length taken at the start ends in the middle of chunk 20.
        {10000, -1, -1, 0, "", "head -c 5000 /dev/urandom >> '%s'", 3, 10240},
        {51200, -1, -1, 0, "", "head -c 100000 /dev/urandom >> '%s'", 50, 51200},
        {3000, -1, -1, CFileException::badPath, files.Path() + "no such folder\\out.bin", N, 0, 0},
        {3000, -1, -1, CFileException::sharingViolation, "", N, 0, 0},
        {3000, -1, -1, CFileException::diskFull, "Z:\\dev\\full", N, 0, 0},
        {3000, -1, -1, CFileException::genericException, "Z:\\dev\\null", N, 0, 0}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " bytes, " + (c.change ? c.change : "unchanged") +
                     ", into " + c.target + ", cause " + std::to_string(c.cause));
        const std::string bytes = PatternBytes(c.length, 7);
        const std::string source = Source("in" + std::to_string(&c - cases), bytes);
        ASSERT_TRUE(::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_HIDDEN));
        const std::string fresh = files.Path() + "target.bin";
        const std::string target = c.target.empty() ? fresh : c.target;
        ::DeleteFileA(fresh.c_str());
        ASSERT_TRUE(c.existing < 0 || WriteBytes(target, PatternBytes(c.existing, 9)));
        std::string command = c.change ? c.change : "%s";
        command.replace(command.find("%s"), 2, UnixPath(source));
        HeldOpenFile holder =
            c.cause == CFileException::sharingViolation ? HoldOpen(source) : nullptr;
        HGLOBAL buffer = nullptr;
        bar->onSetPos = [&](size_t index) {
            buffer = dlg.m_hCopyBuffer;
            EXPECT_TRUE(!c.change || index + 1 != c.atChunk || RunUnixShell(command) == 0)
                << command;
        };
        ResetBar({0, 100});
        int cause = CFileException::none;
        try {
            dlg.TransferFile(source, target);
        } catch (const CFileException& e) {
            cause = e.m_cause;
            EXPECT_EQ(e.m_strFileName, holder ? source : target) << "os error " << e.m_lOsError;
            // Reported while nothing of the transfer is left open.
            EXPECT_TRUE(holder || CanOpenExclusively(source));
        }
        bar->onSetPos = nullptr;
        holder.reset();
        EXPECT_EQ(cause, c.cause);
        EXPECT_TRUE(CanOpenExclusively(source)) << "the source stays locked";
        if (c.cause != CFileException::none) {
            EXPECT_FALSE(FileExists(fresh)) << "a target was created";
            EXPECT_TRUE(bar->ranges.empty()) << "the range is set only after a whole copy";
            const bool reachedLoop = !c.target.empty() && c.target[0] == 'Z';
            EXPECT_EQ(bar->positions.empty(), !reachedLoop);
            EXPECT_TRUE(!reachedLoop || ::GlobalFlags(buffer) == GMEM_INVALID_HANDLE)
                << "buffer kept";
            // A second try with a good target works at once.
            dlg.TransferFile(source, fresh);
            EXPECT_TRUE(ReadBytes(fresh) == bytes);
            continue;
        }
        const std::string now = ReadBytes(source);
        const std::string& longer = now.size() > bytes.size() ? now : bytes;
        EXPECT_TRUE(ReadBytes(target) == longer.substr(0, c.change ? c.kept : c.length))
            << "target holds " << ReadBytes(target).size() << " bytes";
        EXPECT_FALSE(::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN)
            << "an attribute travelled";
        ASSERT_EQ(bar->ranges.size(), 1u);
        EXPECT_LE(bar->ranges[0].high, 100);
        EXPECT_LE(*std::max_element(bar->positions.begin(), bar->positions.end()), 100);
        if (c.change) continue;
        // One position per chunk, then 0.
        std::vector<int> expected = ModelCounters(c.length);
        EXPECT_EQ(expected.back(), c.finalCounter) << "the model";
        EXPECT_EQ(bar->ranges[0], (Range{0, c.finalCounter}));
        expected.push_back(0);
        EXPECT_EQ(bar->positions, expected);
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
    // start: none leaves the bar as the row before left it.
    // clang-format off
    const struct { const char* name; size_t length; std::optional<Range> start; int position; } cases[] = {
        {"a step every chunk from an empty bar to a full one", 51201, Range{0, 100}, 0},
        {"a small file", 1000, {}, 0},
        {"a counter far above the small range left behind", 100000, {}, 0},
        {"an empty source", 0, {}, 0},
        {"a tiny source on the range of nothing left behind", 50, {}, 0},
        {"counters below, in and above a range, the bar at its top", 10000, Range{5, 8}, 8},
        {"a bar below the top of a range the counter is above", 50, Range{-4, 0}, -4},
        {"a range upside down", 10000, Range{60, 20}, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(c.length) + " bytes");
        if (c.start) setBar(*c.start, c.position);
        const Look start = look();
        const std::vector<int> counters = ModelCounters(c.length);
        // The bar changes only by what it is sent, so each message finds it as all chunks
        // before its own left it.
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

}  // namespace
}  // namespace kestrava::test
