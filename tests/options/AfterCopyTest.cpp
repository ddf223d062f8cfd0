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

// The exit question comes after a pumped wait that ends by itself, with no message coming
// and even with the wall clock held still, after more than one and at most two seconds.
TEST_F(AfterCopyTest, FileModeAndLoadedDelayChooseBoxQuestionOrCountdown) {
    // The file's Install (nullptr: no key), the loaded Install and Time_lapse, the file's
    // Time_lapse, the answer, the clock held, the hidden exit button pressed instead of a
    // finished copy; then the boxes, the countdown timer and text, and an exit.
    // clang-format off
    const std::string done = mbs::Format("复制完成|%s|%lX;", AfxGetAppTitle().c_str(), MB_OK | MB_APPLMODAL),
                      asks = mbs::Format("复制成功,是否退出此程序？|提示|%lX owned; waited", MB_OKCANCEL | MB_ICONEXCLAMATION);
    const struct { const char *name, *fileInstall, *install, *timeLapse, *fileTimeLapse; std::string after; int answer = IDCANCEL; bool held = false, button = false; } cases[] = {
        {"manual in the file, unattended at start-up", "0", "1", "0", "1", done + " 未动"},
        {"unattended in the file, manual at start-up", "1", "0", "1", "1", " counting "},
        {"no Install key, empty Time_lapse", nullptr, "", "", "0", " counting "},
        {"question from the loaded Time_lapse, OK", "1", "1", "0", "1", asks + " 未动 exit", IDOK},
        {"empty Install asks too, Cancel, clock held", "", "1", "0", "0", asks + " 未动", IDCANCEL, true},
        {"exit button, box not shown", "0", "0", "1", "1", asks + " 未动 exit", 0, false, true}};
    // clang-format on
    ::SetFocus(nullptr);  // no caret blinking
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(platform.ConfigPath().c_str());
        if (c.fileInstall) WriteSetting(key::Install, c.fileInstall);
        WriteSetting(key::TimeLapse, c.fileTimeLapse);
        g_strInstall = c.install, g_strTimeLapse = c.timeLapse, platform.fakeClock = c.held;
        platform.boxes.clear(), platform.answers = {c.answer}, platform.exitCodes.clear();
        dlg->SetDlgItemText(IDC_COUNTDOWN_TEXT, "未动");
        ULONGLONG started = ::GetTickCount64(), waited = 0;
        platform.onBox = [&](const ShownBox&) { waited = ::GetTickCount64() - started; };
        c.button ? SendCommand(dlg->m_hWnd, IDC_EXIT_PROMPT) : dlg->RunAfterCopyAction();
        std::string shown;
        for (const ShownBox& b : platform.boxes)
            shown += b.text + "|" + b.caption +
                     mbs::Format("|%X%s;", b.type, b.owner == dlg->m_hWnd ? " owned" : "");
        EXPECT_EQ(shown + (waited > 1000 && waited <= 2300 ? " waited" : "") +
                      (dlg->KillTimer(1) ? " counting " : " ") +
                      dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT) +
                      (platform.exitCodes == std::vector<UINT>{0} ? " exit" : ""),
                  c.after);
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
        EXPECT_TRUE(platform.exitCodes == std::vector<UINT>{0} && !g_nCountdownTicks &&
                    !dlg->KillTimer(1) && !dlg->IsEnded());
    }
}

// The real timer ticks each second and the run ends one second after the last; a pumped
// wait meanwhile runs handlers, but Esc and Enter are no dialog keys there.
TEST_F(AfterCopyTest, RealCountdownAndAPumpedWaitWithoutDialogKeys) {
    ULONGLONG started = ::GetTickCount64(), took = 0;
    platform.onTerminate = [&](UINT) { took = ::GetTickCount64() - started; };
    WriteSetting(key::Install, "1");
    g_strTimeLapse = "1", g_strDeferred = "3";
    dlg->RunAfterCopyAction();
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        ::PostMessageA(dlg->GetDlgItem(IDC_SOURCE_PATH), WM_KEYDOWN, key, 1);
        ::PostMessageA(dlg->GetDlgItem(IDC_SOURCE_PATH), WM_KEYUP, key, 0xC0000001);
    }
    dlg->WaitPumpingMessages();
    EXPECT_FALSE(dlg->IsEnded()) << "Esc or Enter acted as a dialog key";
    PumpUntil([&] { return took > 0; }, 6000);
    EXPECT_TRUE(took >= 3800 && took <= 5000) << took;
}

}  // namespace
}  // namespace kestrava::test
