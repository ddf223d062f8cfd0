// What follows a finished copy (completion box, exit question or countdown), the pumped
// wait, and every exit the program starts by itself.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"
#include "support/SettingsScope.h"

namespace kestrava::test {
namespace {

const char* const kQuestion = "复制成功,是否退出此程序？";
const char* const kMarker = "未动过";

LONGLONG WholeSecondsBetween(const SYSTEMTIME& from, const SYSTEMTIME& to) {
    const auto seconds = [](const SYSTEMTIME& time) {
        FILETIME ft{};
        ::SystemTimeToFileTime(&time, &ft);
        return static_cast<LONGLONG>(((ULONGLONG{ft.dwHighDateTime} << 32) | ft.dwLowDateTime) /
                                     10'000'000);
    };
    return seconds(to) - seconds(from);
}

// Moves the fake clock on by stepMs at every tick of a thread timer. The ticks are
// messages, so the clock only moves while somebody dispatches them: the wait under test.
class SteppingClock {
  public:
    SteppingClock(FakePlatform& platform, int stepMs) : m_platform(platform), m_stepMs(stepMs) {
        platform.fakeClock = true;
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &OnTick);
    }
    ~SteppingClock() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    int steps = 0;

  private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        if (!s_current) return;
        s_current->m_platform.AdvanceMs(s_current->m_stepMs);
        ++s_current->steps;
    }
    static inline SteppingClock* s_current = nullptr;
    FakePlatform& m_platform;
    int m_stepMs;
    UINT_PTR m_timer = 0;
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
    void Tick() { ::SendMessageA(dlg->m_hWnd, WM_TIMER, 1, 0); }
    std::string CountdownText() const { return dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT); }
    // Stops timer 1 and tells whether it was running.
    bool StopCountdownTimer() { return dlg->KillTimer(1) != FALSE; }
    // Starts the countdown the way a finished unattended copy does.
    void StartCountdown(const char* deferred) {
        WriteSetting(key::Install, "1");
        g_strTimeLapse = "1";
        g_strDeferred = deferred;
        dlg->RunAfterCopyAction();
    }

    FakePlatform platform;
    SettingsScope scope{platform};
    std::unique_ptr<CKestravaDlg> dlg;
};

TEST_F(AfterCopyTest, FileModeAndLoadedDelayChooseBetweenMessageQuestionAndCountdown) {
    enum class Outcome { Completed, Question, Countdown };
    struct Case {
        const char* name;
        const char* fileInstall;  // null: no such key
        const char* loadedInstall;
        const char* loadedTimeLapse;
        const char* fileTimeLapse;
        Outcome outcome;
    };
    const Case cases[] = {
        {"manual", "0", "0", "1", "1", Outcome::Completed},
        {"manual in the file, unattended at start-up", "0", "1", "1", "1", Outcome::Completed},
        {"manual never waits or asks", "0", "1", "0", "0", Outcome::Completed},
        {"unattended with countdown", "1", "1", "1", "1", Outcome::Countdown},
        {"unattended in the file, manual at start-up", "1", "0", "1", "1", Outcome::Countdown},
        {"no Install key counts as unattended", nullptr, "", "", "", Outcome::Countdown},
        {"any other Install value counts as unattended", "yes", "", "00", "0", Outcome::Countdown},
        {"question from the loaded delay flag", "1", "1", "0", "1", Outcome::Question},
        {"empty Install asks too", "", "1", "0", "0", Outcome::Question},
    };
    for (const Case& c : cases) {
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

        const bool timerRan = StopCountdownTimer();
        EXPECT_TRUE(platform.exitCodes.empty());
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd) && !dlg->IsEnded());
        switch (c.outcome) {
            case Outcome::Completed:
                ASSERT_EQ(platform.boxes.size(), 1u);
                EXPECT_EQ(platform.boxes[0].text, "复制完成");
                EXPECT_EQ(platform.boxes[0].caption, AfxGetAppTitle());
                EXPECT_EQ(platform.boxes[0].type, static_cast<UINT>(MB_OK | MB_APPLMODAL));
                EXPECT_FALSE(timerRan);
                EXPECT_EQ(CountdownText(), kMarker);
                EXPECT_EQ(clock.steps, 0) << "no wait before the message";
                break;
            case Outcome::Question:
                ASSERT_EQ(platform.boxes.size(), 1u);
                EXPECT_EQ(platform.boxes[0].text, kQuestion);
                EXPECT_EQ(platform.boxes[0].caption, "提示");
                EXPECT_EQ(platform.boxes[0].type,
                          static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
                EXPECT_EQ(platform.boxes[0].owner, dlg->m_hWnd);
                EXPECT_FALSE(timerRan);
                EXPECT_EQ(CountdownText(), kMarker);
                EXPECT_GT(clock.steps, 0) << "the question comes after the pumped wait";
                break;
            case Outcome::Countdown:
                EXPECT_TRUE(platform.boxes.empty());
                EXPECT_TRUE(timerRan);
                EXPECT_EQ(CountdownText(), "");
                break;
        }
    }
}

TEST_F(AfterCopyTest, ExitQuestionComesAfterTheWaitAndOnlyCancelKeepsTheWindow) {
    struct Case {
        const char* name;
        int answer;
        std::vector<UINT> exitCodes;
    };
    const Case cases[] = {
        {"OK", IDOK, {0}},
        {"Cancel", IDCANCEL, {}},
        {"box could not be shown", 0, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.boxes.clear();
        platform.exitCodes.clear();
        platform.answers = {c.answer};
        SteppingClock clock(platform, 300);
        const SYSTEMTIME start = platform.now;
        LONGLONG secondsAtBox = -1;
        platform.onBox = [&](const ShownBox&) {
            secondsAtBox = WholeSecondsBetween(start, platform.now);
        };

        SendCommand(dlg->m_hWnd, IDC_EXIT_PROMPT);

        platform.onBox = nullptr;
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].text, kQuestion);
        EXPECT_GE(secondsAtBox, 2) << "more than one whole second passes before the question";
        EXPECT_LE(secondsAtBox, 2);
        EXPECT_EQ(platform.exitCodes, c.exitCodes);
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd) && !dlg->IsEnded());
    }
}

TEST_F(AfterCopyTest, CountdownWorkedExampleTickByTick) {
    dlg->m_strSourceCopy = "D:\\资料\\项目";
    StartCountdown("3");
    ASSERT_EQ(CountdownText(), "");
    struct Step {
        const char* text;
        int count;
        bool statusRefreshed;
        bool ends;
    };
    const Step steps[] = {
        {"离关闭程序还有2秒", 1, true, false},
        {"离关闭程序还有1秒", 2, true, false},
        {"离关闭程序还有0秒", 3, true, false},
        {"离关闭程序还有0秒", 0, false, true},
    };
    int tick = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE("tick " + std::to_string(++tick));
        dlg->SetDlgItemText(IDC_STATUS_TEXT, "旧状态");
        Tick();
        EXPECT_EQ(CountdownText(), s.text);
        EXPECT_EQ(g_nCountdownTicks, s.count);
        EXPECT_EQ(dlg->GetDlgItemText(IDC_STATUS_TEXT),
                  s.statusRefreshed ? dlg->m_strSourceCopy : "旧状态");
        EXPECT_EQ(platform.exitCodes, s.ends ? std::vector<UINT>{0} : std::vector<UINT>{});
        EXPECT_EQ(StopCountdownTimer(), !s.ends) << "the final tick stops timer 1";
        if (!s.ends) dlg->SetTimer(1, 1000);
    }
}

TEST_F(AfterCopyTest, CountdownLengthIsTheDecimalValueOfTheLoadedSeconds) {
    struct Case {
        const char* deferred;
        int countingTicks;
    };
    for (const Case& c : {Case{"0", 0}, Case{"", 0}, Case{"abc", 0}, Case{"-2", 0}, Case{"2abc", 2},
                          Case{"01", 1}, Case{"+3", 3}}) {
        SCOPED_TRACE(std::string("Deferred \"") + c.deferred + "\"");
        platform.exitCodes.clear();
        g_nCountdownTicks = 0;
        StartCountdown(c.deferred);
        int counting = 0;
        while (platform.exitCodes.empty() && counting <= 10) {
            Tick();
            if (platform.exitCodes.empty()) ++counting;
        }
        EXPECT_EQ(counting, c.countingTicks);
        EXPECT_EQ(platform.exitCodes, std::vector<UINT>{0});
        EXPECT_EQ(g_nCountdownTicks, 0);
        EXPECT_FALSE(StopCountdownTimer());
        if (c.countingTicks == 0) {
            EXPECT_EQ(CountdownText(), "") << "the text stays emptied";
        }
    }
}

TEST_F(AfterCopyTest, StoppedCountdownStartedAgainContinuesFromTheStoredCount) {
    StartCountdown("5");
    Tick();
    Tick();
    ASSERT_EQ(CountdownText(), "离关闭程序还有3秒");
    // The mode switches stop the timer this way and leave the count alone.
    ASSERT_TRUE(StopCountdownTimer());
    ASSERT_EQ(g_nCountdownTicks, 2);

    dlg->RunAfterCopyAction();
    EXPECT_EQ(CountdownText(), "");
    EXPECT_EQ(g_nCountdownTicks, 2);
    Tick();
    EXPECT_EQ(CountdownText(), "离关闭程序还有2秒");
    EXPECT_EQ(g_nCountdownTicks, 3);
    EXPECT_TRUE(StopCountdownTimer());
}

TEST_F(AfterCopyTest, RealTimerShowsEachSecondAndEndsTotalPlusOneSecondsLater) {
    std::vector<std::string> shown;
    ULONGLONG endedAt = 0;
    platform.onTerminate = [&](UINT) { endedAt = ::GetTickCount64(); };
    const ULONGLONG started = ::GetTickCount64();
    StartCountdown("3");
    PumpUntil(
        [&] {
            const std::string text = CountdownText();
            if (shown.empty() || shown.back() != text) shown.push_back(text);
            return !platform.exitCodes.empty();
        },
        8000);
    ASSERT_EQ(platform.exitCodes, std::vector<UINT>{0});
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
        // Rescues a wait that blocks until a message comes or the clock moves; the checks
        // then fail.
        static bool rescued;
        static FakePlatform* clock;
        rescued = false;
        clock = &platform;
        const UINT_PTR rescue = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
            rescued = true;
            clock->AdvanceMs(3000);
        });
        SYSTEMTIME before;
        ::GetLocalTime(&before);
        const ULONGLONG started = ::GetTickCount64();

        dlg->WaitPumpingMessages();

        const ULONGLONG waited = ::GetTickCount64() - started;
        SYSTEMTIME after;
        ::GetLocalTime(&after);
        ::KillTimer(nullptr, rescue);
        EXPECT_FALSE(rescued);
        EXPECT_GT(waited, 1000u);
        EXPECT_LE(waited, 2300u);
        if (!clockHeld) {
            EXPECT_EQ(WholeSecondsBetween(before, after), 2);
        }
    }
}

TEST_F(AfterCopyTest, WholeSecondClockDecidesWhenThePumpedWaitEnds) {
    struct Case {
        const char* name;
        WORD startMs;
        int steps;  // of 100 ms until the clock shows start second + 2
    };
    for (const Case& c : {Case{"start on a full second", 0, 20},
                          Case{"start just before the next second", 950, 11}}) {
        SCOPED_TRACE(c.name);
        platform.now.wMilliseconds = c.startMs;
        SteppingClock clock(platform, 100);
        dlg->WaitPumpingMessages();
        EXPECT_EQ(clock.steps, c.steps);
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
    EXPECT_EQ(platform.exitCodes, std::vector<UINT>{0}) << "the close box ended the process";
    EXPECT_FALSE(dlg->IsEnded()) << "Esc or Enter acted as a dialog key";
}

TEST_F(AfterCopyTest, EveryExitStopsTheCountdownAndEndsWithCodeZero) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    for (const Case& c :
         {Case{"Close button", WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED)},
          Case{"close box", WM_CLOSE, 0}, Case{"system menu", WM_SYSCOMMAND, SC_CLOSE}}) {
        SCOPED_TRACE(c.name);
        platform.exitCodes.clear();
        StartCountdown("9");
        const LPARAM control =
            c.message == WM_COMMAND ? reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_CLOSE)) : 0;
        ::SendMessageA(dlg->m_hWnd, c.message, c.wParam, control);
        EXPECT_EQ(platform.exitCodes, std::vector<UINT>{0});
        EXPECT_FALSE(StopCountdownTimer());
        EXPECT_FALSE(dlg->IsEnded()) << "took the dialog's cancel route";
    }
}

}  // namespace
}  // namespace kestrava::test
