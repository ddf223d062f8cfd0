// What follows a finished copy (completion box, exit question or countdown), the pumped
// wait, and every exit the program starts by itself.
#include <gtest/gtest.h>

#include "framework/MbString.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

class AfterCopyTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dlg->Create()); }
    FakePlatform platform;
    std::unique_ptr<CKestravaDlg> dlg = std::make_unique<CKestravaDlg>();
};

TEST_F(AfterCopyTest, FileModeAndLoadedDelayChooseBoxQuestionOrCountdown) {
    // The file's Install (nullptr: no key), the loaded Install and Time_lapse, the file's
    // Time_lapse, the answer; button: the hidden exit button instead of a finished copy.
    // clang-format off
    const struct { const char *name, *fileInstall, *install, *timeLapse, *fileTimeLapse; int answer; int outcome; bool button = false; } cases[] = {
        {"manual in the file, unattended at start-up", "0", "1", "0", "1", IDOK, 0},
        {"unattended in the file, manual at start-up", "1", "0", "1", "1", IDOK, 2},
        {"no Install key, empty Time_lapse", nullptr, "", "", "0", IDOK, 2},
        {"Install yes, Time_lapse 00", "yes", "", "00", "0", IDOK, 2},
        {"question from the loaded Time_lapse, OK", "1", "1", "0", "1", IDOK, 1},
        {"empty Install asks too, Cancel", "", "1", "0", "0", IDCANCEL, 1},
        {"exit button, box not shown", "0", "0", "1", "1", 0, 1, true}};
    // The boxes, whether the first came after the wait, the countdown timer and text.
    const std::string outcomes[] = {
        mbs::Format("复制完成|%s|%lX; 未动", AfxGetAppTitle().c_str(), MB_OK | MB_APPLMODAL),
        mbs::Format("复制成功,是否退出此程序？|提示|%lX owned; waited 未动", MB_OKCANCEL | MB_ICONEXCLAMATION),
        " counting "};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(platform.ConfigPath().c_str());
        if (c.fileInstall) WriteSetting(key::Install, c.fileInstall);
        WriteSetting(key::TimeLapse, c.fileTimeLapse);
        g_strInstall = c.install, g_strTimeLapse = c.timeLapse, g_strDeferred = "3";
        platform.boxes.clear(), platform.exitCodes.clear(), platform.answers = {c.answer};
        dlg->SetDlgItemText(IDC_COUNTDOWN_TEXT, "未动");
        const ULONGLONG started = ::GetTickCount64();
        ULONGLONG boxAfter = 0;
        platform.onBox = [&](const ShownBox&) { boxAfter = ::GetTickCount64() - started; };
        c.button ? SendCommand(dlg->m_hWnd, IDC_EXIT_PROMPT) : dlg->RunAfterCopyAction();
        std::string shown;
        for (const ShownBox& b : platform.boxes)
            shown += b.text + "|" + b.caption +
                     mbs::Format("|%X%s;", b.type, b.owner == dlg->m_hWnd ? " owned" : "");
        EXPECT_EQ(shown + (boxAfter > 1000 ? " waited" : "") +
                      (dlg->KillTimer(1) ? " counting" : "") + " " +
                      dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT),
                  outcomes[c.outcome]);
        EXPECT_EQ(platform.exitCodes.size(), c.outcome == 1 && c.answer != IDCANCEL);
        EXPECT_FALSE(dlg->IsEnded());
    }
}

// Each step (a tick unless a message is given): the seconds left ("-" for none) and
// whether the status line was refreshed from the source copy ("," or ";"). The tick after
// the last, and every exit, ends the process with code 0 and stops the timer.
TEST_F(AfterCopyTest, CountdownTicksTheLoadedSecondsAndEveryExitStopsIt) {
    // restart: started again after the first tick, as the switches do, it goes on.
    // clang-format off
    const struct { const char *deferred, *shown; bool restart = false; UINT message = WM_TIMER; WPARAM wParam = 1; } cases[] = {
        {"3", "2,1,0,0;"}, {"3", "2,1,0,0;", true}, {"0", "-;"}, {"", "-;"}, {"abc", "-;"}, {"-2", "-;"},
        {"2abc", "1,0,0;"}, {"01", "0,0;"}, {"+3", "2,1,0,0;"}, {"08", "7,6,5,4,3,2,1,0,0;"},
        {"9", "-;", false, WM_COMMAND, IDC_CLOSE}, {"9", "-;", false, WM_CLOSE, 0}, {"9", "-;", false, WM_SYSCOMMAND, SC_CLOSE}};
    // clang-format on
    WriteSetting(key::Install, "1");
    g_strTimeLapse = "1";
    dlg->m_strSourceCopy = "D:\\资料";
    for (const auto& c : cases) {
        SCOPED_TRACE(mbs::Format("\"%s\"%s, message %X", c.deferred, c.restart ? " restarted" : "",
                                 c.message));
        platform.exitCodes.clear();
        g_strDeferred = c.deferred;
        dlg->RunAfterCopyAction();
        std::string shown;
        for (int tick = 0; tick <= 10 && platform.exitCodes.empty(); ++tick) {
            dlg->SetDlgItemText(IDC_STATUS_TEXT, "旧");
            ::SendMessageA(dlg->m_hWnd, c.message, c.wParam, 0);
            const std::string text = dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT);
            shown += (text.size() > 16 ? text.substr(14, text.size() - 16) : "-") +
                     (dlg->GetDlgItemText(IDC_STATUS_TEXT) == dlg->m_strSourceCopy ? "," : ";");
            if (c.restart && tick == 0) dlg->RunAfterCopyAction();
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(platform.exitCodes, std::vector<UINT>{0});
        EXPECT_FALSE(g_nCountdownTicks || dlg->KillTimer(1) || dlg->IsEnded());
    }
    // The real timer: a tick a second, the end one more second after the last.
    ULONGLONG started = ::GetTickCount64(), took = 0;
    platform.onTerminate = [&](UINT) { took = ::GetTickCount64() - started; };
    g_strDeferred = "3", platform.exitCodes.clear();
    dlg->RunAfterCopyAction();
    PumpUntil([&] { return !platform.exitCodes.empty(); }, 6000);
    EXPECT_TRUE(took >= 3800 && took <= 5000) << took;
}

// Ends by itself after more than one and at most two seconds, even with no message and a
// wall clock held still; it runs handlers, but Esc and Enter are no dialog keys.
TEST_F(AfterCopyTest, PumpedWaitEndsByItselfAndRunsHandlersWithoutDialogKeys) {
    g_strDeferred = "5";
    ::SetFocus(nullptr);  // no caret blinking
    ::PostMessageA(dlg->m_hWnd, WM_TIMER, 1, 0);
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        ::PostMessageA(dlg->GetDlgItem(IDC_SOURCE_PATH), WM_KEYDOWN, key, 1);
        ::PostMessageA(dlg->GetDlgItem(IDC_SOURCE_PATH), WM_KEYUP, key, 0xC0000001);
    }
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "wall clock held" : "wall clock running");
        platform.fakeClock = held;
        const ULONGLONG started = ::GetTickCount64();
        dlg->WaitPumpingMessages();
        const ULONGLONG waited = ::GetTickCount64() - started;
        EXPECT_TRUE(waited > 1000 && waited <= 2300) << waited;
    }
    EXPECT_EQ(dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT), "离关闭程序还有4秒") << "no tick ran";
    EXPECT_FALSE(dlg->IsEnded()) << "Esc or Enter acted as a dialog key";
}

}  // namespace
}  // namespace kestrava::test
