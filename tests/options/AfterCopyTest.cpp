// What follows a finished copy (completion box, exit question or countdown), the pumped
// wait, and every exit the program starts by itself.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/MbString.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

using mbs::Format;
const char* const kQuestion = "复制成功,是否退出此程序？";
const char* const kMarker = "未动过";
const std::vector<UINT> kExitedWithZero = {0};

LONGLONG WholeSeconds(const SYSTEMTIME& time) {
    FILETIME ft{};
    ::SystemTimeToFileTime(&time, &ft);
    return static_cast<LONGLONG>(((ULONGLONG{ft.dwHighDateTime} << 32) | ft.dwLowDateTime) /
                                 10'000'000);
}

// Moves the fake clock on by stepMs at every tick of a thread timer. The ticks are
// messages, so the clock only moves while somebody dispatches them: the wait under test.
struct SteppingClock {
    static inline FakePlatform* platform = nullptr;
    static inline int stepMs = 0, steps = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) {
        if (platform) platform->AdvanceMs(stepMs);
        ++steps;
    });
    SteppingClock(FakePlatform& p, int ms) {
        p.fakeClock = true, platform = &p, stepMs = ms, steps = 0;
    }
    ~SteppingClock() { ::KillTimer(nullptr, timer), platform = nullptr; }
};

class AfterCopyTest : public ::testing::Test {
  protected:
    void SetUp() override { NewWindow(); }
    // A window as start-up leaves it; the copies are then set as each case needs.
    void NewWindow() {
        dlg = std::make_unique<CKestravaDlg>();
        ASSERT_TRUE(dlg->Create());
        dlg->SetDlgItemText(IDC_COUNTDOWN_TEXT, kMarker);
    }
    std::string CountdownText() const { return dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT); }
    // Stops timer 1 and tells whether it was running.
    bool StopCountdownTimer() { return dlg->KillTimer(1) != FALSE; }
    // Starts the countdown the way a finished unattended copy does.
    void StartCountdown(const char* deferred) {
        platform.exitCodes.clear();
        WriteSetting(key::Install, "1");
        g_strTimeLapse = "1";
        g_strDeferred = deferred;
        dlg->RunAfterCopyAction();
    }

    FakePlatform platform;
    std::unique_ptr<CKestravaDlg> dlg;
};

TEST_F(AfterCopyTest, FileModeAndLoadedDelayChooseBetweenMessageQuestionAndCountdown) {
    enum Outcome { kCompleted, kAsks, kCountdown };
    // fileInstall nullptr: no such key.
    // clang-format off
    const struct { const char* name; const char* fileInstall; const char* loadedInstall;
                   const char* loadedTimeLapse; const char* fileTimeLapse; Outcome outcome; } cases[] = {
        {"manual", "0", "0", "1", "1", kCompleted},
        {"manual in the file, unattended at start-up", "0", "1", "1", "1", kCompleted},
        {"manual never waits or asks", "0", "1", "0", "0", kCompleted},
        {"unattended with countdown", "1", "1", "1", "1", kCountdown},
        {"unattended in the file, manual at start-up", "1", "0", "1", "1", kCountdown},
        {"no Install key counts as unattended", nullptr, "", "", "", kCountdown},
        {"any other Install value counts as unattended", "yes", "", "00", "0", kCountdown},
        {"question from the loaded delay flag", "1", "1", "0", "1", kAsks},
        {"empty Install asks too", "", "1", "0", "0", kAsks}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(g_strConfigPath.c_str());
        NewWindow();
        if (c.fileInstall) WriteSetting(key::Install, c.fileInstall);
        WriteSetting(key::TimeLapse, c.fileTimeLapse);
        g_strInstall = c.loadedInstall;
        g_strTimeLapse = c.loadedTimeLapse;
        g_strDeferred = "3";
        platform.boxes.clear();
        platform.answers = {IDCANCEL};
        SteppingClock clock(platform, 500);

        dlg->RunAfterCopyAction();

        EXPECT_EQ(StopCountdownTimer(), c.outcome == kCountdown);
        EXPECT_TRUE(platform.exitCodes.empty() && ::IsWindow(dlg->m_hWnd) && !dlg->IsEnded());
        EXPECT_EQ(CountdownText(), c.outcome == kCountdown ? "" : kMarker);
        EXPECT_EQ(clock.steps > 0, c.outcome == kAsks) << "only the question waits first";
        std::string boxes;
        for (const ShownBox& b : platform.boxes)
            boxes += b.text + "|" + b.caption + Format("|%X;", b.type);
        const std::string expected[] = {
            Format("复制完成|%s|%lX;", AfxGetAppTitle().c_str(), MB_OK | MB_APPLMODAL),
            Format("%s|提示|%lX;", kQuestion, MB_OKCANCEL | MB_ICONEXCLAMATION), ""};
        EXPECT_EQ(boxes, expected[c.outcome]);
        EXPECT_TRUE(c.outcome != kAsks || (boxes.size() && platform.boxes[0].owner == dlg->m_hWnd))
            << "the question is owned by the window";
    }
}

TEST_F(AfterCopyTest, ExitQuestionComesAfterTheWaitAndOnlyCancelKeepsTheWindow) {
    // clang-format off
    const struct { const char* name; int answer; std::vector<UINT> exitCodes; } cases[] = {
        {"OK", IDOK, {0}}, {"Cancel", IDCANCEL, {}}, {"box could not be shown", 0, {0}}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.boxes.clear();
        platform.exitCodes.clear();
        platform.answers = {c.answer};
        SteppingClock clock(platform, 300);
        const LONGLONG start = WholeSeconds(platform.now);
        LONGLONG secondsAtBox = -1;
        platform.onBox = [&](const ShownBox&) {
            secondsAtBox = WholeSeconds(platform.now) - start;
        };
        SendCommand(dlg->m_hWnd, IDC_EXIT_PROMPT);
        platform.onBox = nullptr;
        EXPECT_EQ(platform.BoxTexts(), std::vector<std::string>{kQuestion});
        EXPECT_EQ(secondsAtBox, 2) << "more than one whole second passes before the question";
        EXPECT_EQ(platform.exitCodes, c.exitCodes);
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd) && !dlg->IsEnded());
    }
}

// Each tick shows the seconds left ("离关闭程序还有N秒" as N, "-" for an empty text) and
// refreshes the status line from the source copy ("," after, ";" when not); the tick after
// the last counting one ends the process with code 0 and stops timer 1.
TEST_F(AfterCopyTest, CountdownTicksTheDecimalValueOfTheLoadedSeconds) {
    // restart: a stop and a new start after the first tick (as the mode switches stop the
    // timer) goes on from the stored count.
    // clang-format off
    const struct { const char* deferred; const char* shown; bool restart = false; } cases[] = {
        {"3", "2,1,0,0;"}, {"3", "2,1,0,0;", true}, {"0", "-;"}, {"", "-;"}, {"abc", "-;"}, {"-2", "-;"},
        {"2abc", "1,0,0;"}, {"01", "0,0;"}, {"+3", "2,1,0,0;"}, {"08", "7,6,5,4,3,2,1,0,0;"}};
    // clang-format on
    dlg->m_strSourceCopy = "D:\\资料\\项目";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Deferred \"") + c.deferred +
                     (c.restart ? "\", restarted" : "\""));
        StartCountdown(c.deferred);
        EXPECT_EQ(CountdownText(), "");
        std::string shown;
        for (int tick = 0; tick <= 10 && platform.exitCodes.empty(); ++tick) {
            dlg->SetDlgItemText(IDC_STATUS_TEXT, "旧状态");
            ::SendMessageA(dlg->m_hWnd, WM_TIMER, 1, 0);
            const bool refreshed = dlg->GetDlgItemText(IDC_STATUS_TEXT) == dlg->m_strSourceCopy;
            const std::string text = CountdownText();
            shown += (text.size() > 16 ? text.substr(14, text.size() - 16) : "-") +
                     (refreshed ? "," : ";");
            if (c.restart && tick == 0) dlg->RunAfterCopyAction();
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(platform.exitCodes, kExitedWithZero);
        EXPECT_EQ(g_nCountdownTicks, 0);
        EXPECT_FALSE(StopCountdownTimer());
    }
}

TEST_F(AfterCopyTest, RealTimerShowsEachSecondAndEndsTotalPlusOneSecondsLater) {
    std::vector<std::string> shown;
    ULONGLONG endedAt = 0;
    platform.onTerminate = [&](UINT) { endedAt = ::GetTickCount64(); };
    const ULONGLONG started = ::GetTickCount64();
    StartCountdown("3");
    PumpUntil(
        [&] {
            if (shown.empty() || shown.back() != CountdownText()) shown.push_back(CountdownText());
            return !platform.exitCodes.empty();
        },
        8000);
    ASSERT_EQ(platform.exitCodes, kExitedWithZero);
    EXPECT_EQ(shown, (std::vector<std::string>{"", "离关闭程序还有2秒", "离关闭程序还有1秒",
                                               "离关闭程序还有0秒"}));
    EXPECT_GE(endedAt - started, 3800u);
    EXPECT_LE(endedAt - started, 5000u);
}

TEST_F(AfterCopyTest, PumpedWaitEndsByItselfWhenNoMessageArrives) {
    // A focused edit box blinks its caret with timer messages; without focus and with the
    // first paints done, nothing arrives.
    ::SetFocus(nullptr);
    PumpMessages(50);
    // The second round holds the wall clock still, as a clock set back during the wait.
    for (const bool clockHeld : {false, true}) {
        SCOPED_TRACE(clockHeld ? "wall clock held still" : "wall clock running");
        platform.fakeClock = clockHeld;
        SYSTEMTIME before, after;
        ::GetLocalTime(&before);
        const ULONGLONG started = ::GetTickCount64();
        dlg->WaitPumpingMessages();
        const ULONGLONG waited = ::GetTickCount64() - started;
        ::GetLocalTime(&after);
        EXPECT_GT(waited, 1000u);
        EXPECT_LE(waited, 2300u);
        EXPECT_TRUE(clockHeld || WholeSeconds(after) - WholeSeconds(before) == 2);
    }
}

TEST_F(AfterCopyTest, PumpedWaitRunsHandlersWithoutDialogKeys) {
    g_strDeferred = "5";
    HWND edit = dlg->GetDlgItem(IDC_SOURCE_PATH);
    ::PostMessageA(dlg->m_hWnd, WM_TIMER, 1, 0);
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        ::PostMessageA(edit, WM_KEYDOWN, key, 1);
        ::PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
    }
    ::PostMessageA(dlg->m_hWnd, WM_CLOSE, 0, 0);
    SteppingClock clock(platform, 100);
    dlg->WaitPumpingMessages();
    EXPECT_EQ(CountdownText(), "离关闭程序还有4秒") << "a countdown tick ran";
    EXPECT_EQ(platform.exitCodes, kExitedWithZero) << "the close box ended the process";
    EXPECT_FALSE(dlg->IsEnded()) << "Esc or Enter acted as a dialog key";
}

TEST_F(AfterCopyTest, EveryExitStopsTheCountdownAndEndsWithCodeZero) {
    // clang-format off
    const struct { const char* name; UINT message; WPARAM wParam; } cases[] = {
        {"Close button", WM_COMMAND, IDC_CLOSE}, {"close box", WM_CLOSE, 0},
        {"system menu", WM_SYSCOMMAND, SC_CLOSE}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartCountdown("9");
        ::SendMessageA(dlg->m_hWnd, c.message, c.wParam, 0);
        EXPECT_EQ(platform.exitCodes, kExitedWithZero);
        EXPECT_FALSE(StopCountdownTimer());
        EXPECT_FALSE(dlg->IsEnded()) << "took the dialog's cancel route";
    }
}

}  // namespace
}  // namespace kestrava::test
