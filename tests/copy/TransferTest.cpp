// The chunked transfer against the real main window: the bytes it leaves, also from a
// changing source, and what the bar shows after every chunk.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

using TransferTest = CopyTest;

TEST_F(TransferTest, BarLooksAsWithAPositionAndAnInvalidationEveryChunk) {
    HWND hwnd = dlg.m_progress.m_hWnd;
    const auto look = [&] {
        PBRANGE r{};
        ::SendMessageA(hwnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r));
        return std::tuple(static_cast<int>(::SendMessageA(hwnd, PBM_GETPOS, 0, 0)), r.iLow, r.iHigh,
                          std::hash<std::string>{}(RenderClient(hwnd)));
    };
    // existing: the target's length before (-1: none); start: none keeps the bar as left; change:
    // run on the source as chunk atChunk shows, leaving `kept` bytes copied.
    // clang-format off
    const struct { const char* name; size_t length; int existing; std::optional<Recorder::Range> start; int position; const char* change = nullptr; size_t atChunk = 0, kept = 0; } cases[] = {
        {"a step every chunk from an empty bar to a full one", 51201, -1, Recorder::Range{0, 100}, 0},
        {"a small file over a longer target", 1000, 70000, {}, 0},
        {"a counter far above the small range left behind", 100000, -1, {}, 0},
        {"an empty source over a target", 0, 3000, {}, 0},
        {"a tiny source on the range of nothing left behind", 50, -1, {}, 0},
        {"counters below, in and above a range, the bar at its top", 10000, 700, Recorder::Range{5, 8}, 8},
        {"a range upside down", 10000, -1, Recorder::Range{60, 20}, 0},
        {"shrinks", 100000, -1, {}, 0, "truncate -s 2000", 3, 2000},
        {"grows past a length that ends inside chunk 20", 10000, -1, {}, 0, "head -c 5000 /dev/urandom >>", 3, 10240}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = files.Path() + "in" + std::to_string(&c - cases);
        ASSERT_TRUE(WriteBytes(source, PatternBytes(c.length, 7)));
        ASSERT_TRUE(::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_HIDDEN));
        const std::string target = files.Path() + "out" + std::to_string(&c - cases);
        ASSERT_TRUE(c.existing < 0 || WriteBytes(target, PatternBytes(c.existing, 9)));
        if (c.start) ResetBar(*c.start, c.position);
        const auto start = look();
        // After chunk k: k, or the whole steps strictly below the position when fewer.
        std::vector<int> counters;
        for (ULONGLONG k = 1, step = c.length / 100; k == 1 || (k - 1) * 512 < c.length; ++k) {
            const ULONGLONG at = std::min<ULONGLONG>(k * 512, c.length);
            counters.push_back(static_cast<int>(std::min(k, step ? (at - 1) / step : at ? k : 0)));
        }
        // Only the transfer moves the bar: each message finds it as the chunks before left it.
        std::vector<decltype(look())> seen;
        const auto catchUp = [&](size_t chunks) {
            while (seen.size() < chunks) seen.push_back(look());
        };
        bar->Clear();
        bar->onSetPos = [&](size_t index) {
            EXPECT_TRUE(index + 1 != c.atChunk ||
                        !RunUnixShell(c.change + (" '" + UnixPath(source) + "'")));
            catchUp(static_cast<size_t>(std::max<LONGLONG>(1, (dlg.m_nPosition + 511) / 512)) - 1);
        };
        bar->onSetRange = [&] { catchUp(counters.size()); };
        dlg.TransferFile(source, target);
        bar->onSetPos = nullptr;
        bar->onSetRange = nullptr;
        // A position outside the range goes to the bar only to move it.
        for (size_t i = 0; i < bar->positions.size(); ++i) {
            const auto [r, now] = bar->shown[i];
            const int was = i ? bar->shown[i - 1].second : std::get<0>(start);
            EXPECT_FALSE(r.first <= r.second && bar->positions[i] != now && now == was)
                << "position " << bar->positions[i] << " repaints an unchanged bar";
        }
        const std::string copied = ReadBytes(target);
        EXPECT_TRUE(copied == ReadBytes(source).substr(0, c.change ? c.kept : c.length))
            << copied.size();
        EXPECT_FALSE(::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        if (c.change) continue;
        // The same bar driven with a position and an invalidation after every chunk.
        const auto end = look();
        ResetBar({std::get<1>(start), std::get<2>(start)}, std::get<0>(start));
        ASSERT_EQ(seen.size(), counters.size());
        for (size_t chunk = 0; chunk < counters.size(); ++chunk) {
            ::SendMessageA(hwnd, PBM_SETPOS, counters[chunk], 0);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            ASSERT_EQ(seen[chunk], look()) << "after chunk " << chunk + 1;
        }
        ResetBar({0, counters.back()});
        ASSERT_EQ(end, look()) << "at the end";
    }
}

}  // namespace
}  // namespace kestrava::test
