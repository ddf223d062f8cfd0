// The options on the real main window: what follows a copy, the pumped wait, the exits the
// program starts itself, the browse buttons (the platform answering) and the mode switches.
#include <gtest/gtest.h>

#include "framework/MbString.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

class OptionsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dlg->Create()); }
    // The controls' texts, then the keys' values, each followed by '|'.
    std::string Joined(std::initializer_list<int> ids, std::initializer_list<const char*> keys) {
        std::string joined;
        for (const int id : ids) joined += dlg->GetDlgItemText(id) + "|";
        for (const char* key : keys) joined += ReadSetting(key) + "|";
        return joined;
    }
    FakePlatform platform;
    std::unique_ptr<CKestravaDlg> dlg = std::make_unique<CKestravaDlg>();
};
using AfterCopyTest = OptionsTest;
using ChoicesTest = OptionsTest;

// Moves the fake wall clock a second on at each tick of a thread timer: only while the
// wait dispatches messages.
FakePlatform* g_steppedPlatform = nullptr;
void CALLBACK StepClock(HWND, UINT, UINT_PTR, DWORD) {
    ++g_steppedPlatform->now.wSecond;
}

// The exit question comes after a wait that ends in (1 s, 2 s], by itself with no message
// coming, with the wall clock held still, and once it shows two whole seconds gone.
TEST_F(AfterCopyTest, FileModeAndLoadedDelayChooseBoxQuestionOrCountdown) {
    // The file's Install (nullptr: none), the loaded Install and Time_lapse, the file's
    // Time_lapse, the answer, the fake clock (held, or stepped), the exit button instead.
    // clang-format off
    const std::string done = mbs::Format("复制完成|%s|%lX;", AfxGetAppTitle().c_str(), MB_OK | MB_APPLMODAL),
                      asks = mbs::Format("复制成功,是否退出此程序？|提示|%lX owned; waited", MB_OKCANCEL | MB_ICONEXCLAMATION);
    const struct { const char *name, *fileInstall, *install, *timeLapse, *fileTimeLapse; std::string after; int answer = IDCANCEL; bool held = false, button = false, stepped = false; } cases[] = {
        {"manual in the file, unattended at start-up", "0", "1", "0", "1", done + " 未动"},
        {"unattended in the file, manual at start-up", "1", "0", "1", "1", " counting "},
        {"no Install key, empty Time_lapse", nullptr, "", "", "0", " counting "},
        {"question from the loaded Time_lapse, OK, clock stepped", "1", "1", "0", "1", asks + " 未动 exit", IDOK, true, false, true},
        {"empty Install asks too, Cancel, clock held", "", "1", "0", "0", asks + " 未动", IDCANCEL, true},
        {"exit button, box not shown", "0", "0", "1", "1", asks + " 未动 exit", 0, false, true}};
    // clang-format on
    ::SetFocus(nullptr);  // no caret blinking
    g_steppedPlatform = &platform;
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
        const UINT_PTR stepper = c.stepped ? ::SetTimer(nullptr, 0, 600, StepClock) : 0;
        c.button ? SendCommand(dlg->m_hWnd, IDC_EXIT_PROMPT) : dlg->RunAfterCopyAction();
        ::KillTimer(nullptr, stepper);
        std::string shown;
        for (const ShownBox& b : platform.boxes)
            shown += b.text + "|" + b.caption +
                     mbs::Format("|%X%s;", b.type, b.owner == dlg->m_hWnd ? " owned" : "");
        EXPECT_EQ(shown + (waited > 1000 && waited <= 2600 ? " waited" : "") +
                      (dlg->KillTimer(1) ? " counting " : " ") +
                      dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT) +
                      (platform.exitCodes == std::vector<UINT>{0} ? " exit" : ""),
                  c.after);
    }
}

// Each tick (or the message given) shows the seconds left ("-": none) and refreshes the
// status ("," or ";" if not); the tick after the last and each exit end it with code 0.
TEST_F(AfterCopyTest, CountdownTicksTheLoadedSecondsAndEveryExitStopsIt) {
    // clang-format off
    const struct { const char *deferred, *shown; UINT message = WM_TIMER; WPARAM wParam = 1; } cases[] = {
        {"3", "2,1,0,0;"}, {"0", "-;"}, {"", "-;"}, {"abc", "-;"}, {"-2", "-;"},
        {"2abc", "1,0,0;"}, {"01", "0,0;"}, {"+3", "2,1,0,0;"}, {"08", "7,6,5,4,3,2,1,0,0;"},
        {"9", "-;", WM_COMMAND, IDC_CLOSE}, {"9", "-;", WM_CLOSE, 0}, {"9", "-;", WM_SYSCOMMAND, SC_CLOSE}};
    // clang-format on
    WriteSetting(key::Install, "1");
    g_strTimeLapse = "1";
    dlg->m_strSourceCopy = "D:\\资料";
    for (const auto& c : cases) {
        SCOPED_TRACE(mbs::Format("\"%s\", message %X", c.deferred, c.message));
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
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_TRUE(platform.exitCodes == std::vector<UINT>{0} && !g_nCountdownTicks &&
                    !dlg->KillTimer(1) && !dlg->IsEnded());
    }
}

// The real timer ticks each second and the run ends one second after the last; a pumped
// wait meanwhile runs handlers (a tick), but Esc and Enter are no dialog keys there.
TEST_F(AfterCopyTest, RealCountdownAndAPumpedWaitWithoutDialogKeys) {
    ULONGLONG started = ::GetTickCount64(), took = 0;
    platform.onTerminate = [&](UINT) { took = ::GetTickCount64() - started; };
    WriteSetting(key::Install, "1");
    g_strTimeLapse = "1", g_strDeferred = "4";
    dlg->RunAfterCopyAction();
    ::PostMessageA(dlg->m_hWnd, WM_TIMER, 1, 0);  // the first tick at once
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        ::PostMessageA(dlg->GetDlgItem(IDC_SOURCE_PATH), WM_KEYDOWN, key, 1);
        ::PostMessageA(dlg->GetDlgItem(IDC_SOURCE_PATH), WM_KEYUP, key, 0xC0000001);
    }
    dlg->WaitPumpingMessages();
    EXPECT_FALSE(dlg->IsEnded()) << "Esc or Enter acted as a dialog key";
    EXPECT_NE(dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT), "") << "no tick ran";
    PumpUntil([&] { return took > 0; }, 6000);
    EXPECT_TRUE(took >= 3800 && took <= 5000) << took;
}

TEST_F(ChoicesTest, BrowseFillsBoxesStatusKeysAndSourceName) {
    const int src = IDC_BROWSE_SOURCE, tgt = IDC_BROWSE_TARGET;
    // Document_option, button, the dialog's answer (nullptr cancels); then source box|target
    // box|status|Source_path|Save_path|source name.
    // clang-format off
    const std::string d = "C:\\d|T|C:\\d|C:\\d||", f = "C:\\r.t|D:\\r.t||C:\\r.t|D:\\r.t|", p = PLACEHOLDER_NAME, z = "C:\\r.t|D:\\誠\\" + p;
    const struct { const char *name, *kind; int button; const char* answer; std::string after; } steps[] = {
        {"folder, any kind but 1", "", src, "C:\\d", d}, {"gate: no source name yet", "1", tgt, "D:\\b", d},
        {"folder without a path", "0", src, "", d},
        {"file cancelled", "1", src, nullptr, d}, {"file", "1", src, "C:\\r.t", "C:\\r.t|T||C:\\r.t||r.t"},
        {"drive root", "1", tgt, "D:\\", f + "r.t"}, {"file-mode target without a path", "1", tgt, "", f + "r.t"},
        {"target cancelled", "1", tgt, nullptr, f + "r.t"}, {"never the bare placeholder", "", tgt, "", f + p},
        {"trail byte 5C last", "0", tgt, "D:\\誠", z + "||" + z + "|" + p}, {"folder cancelled", "0", src, nullptr, z + "||" + z + "|" + p},
        {"boxes emptied", "0", IDC_SOURCE_KIND, nullptr, "|||" + z + "|" + p},
        {"gate: empty source box", "0", tgt, "D:\\b", "|||" + z + "|" + p}};
    // clang-format on
    ::DeleteFileA(platform.ConfigPath().c_str());  // manual: the source kind empties the boxes
    dlg->SetDlgItemText(IDC_TARGET_PATH, "T");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        WriteSetting(key::DocumentOption, s.kind);
        platform.folderAnswer = platform.fileAnswer = s.answer;
        SendCommand(dlg->m_hWnd, s.button);
        EXPECT_EQ(
            Joined({1002, 1003, 1024}, {key::SourcePath, key::SavePath}) + dlg->m_strSourceName,
            s.after);
        EXPECT_EQ(platform.liveIdLists, 0);
    }
    EXPECT_EQ(platform.folderDialog.lpszTitle + std::to_string(platform.folderDialog.ulFlags),
              "请选择文件夹5");
    const OPENFILENAMEA& o = platform.fileDialog;
    EXPECT_EQ(std::string(o.lpstrFilter, 15) + o.lpstrDefExt + platform.fileName +
                  std::to_string(o.Flags),
              std::string("FILE(*.*)\0*.*\0\0", 15) + "文件*.*" + std::to_string(OFN_HIDEREADONLY));
    EXPECT_TRUE(o.hwndOwner == dlg->m_hWnd && platform.folderDialog.hwndOwner == dlg->m_hWnd);
}

// Each switch stores its state and lays the window out; all but the source kind stop a
// running countdown, as a stored seconds value does.
TEST_F(ChoicesTest, SwitchesStoreLayTheWindowOutAndStopTheCountdown) {
    // Check state set or keys typed, the loaded Time_lapse (nullptr keeps it); the texts of
    // 1002|1003|1013|1017|status, Install|Time_lapse|Document_option|Deferred, the timer,
    // the countdown text ("!": the stop notice), the focus on 1002. Layouts: the bar's width,
    // 1017 enabled, 1005 1006 1007 1010 1012 1013 -1 1015 1016 shown, 1009's and 1012's texts.
    // clang-format off
    enum { kCounting, kAsking, kManual };
    const char* const layouts[] = {"410d----+++-+ 自动执行|延时|", "410d----+--++ 自动执行|弹出对话框|", "340e++++----- 手动执行|延时|"};
    const std::string file = "C:\\源|D:\\目标|", f = "|文件：|状态|", d = "|文件夹：|状态|";
    const struct { const char *name, *input, *loadedTimeLapse; int id, layout; std::string after; } steps[] = {
        {"manual, nothing stored", "0", nullptr, IDC_AUTO_RUN, kManual, file + f + "0||||stop|未动 focus"},
        {"unattended, loaded 0", "1", "0", IDC_AUTO_RUN, kAsking, file + f + "1|0|||stop| focus"},
        {"0 typed", "0", nullptr, IDC_DELAY_SECONDS, kAsking, "甲|乙|0" + f + "1|0|||run|未动"},
        {"countdown", "1", nullptr, IDC_DELAY, kCounting, "甲|乙|" + f + "1|1|||stop|!"},
        {"05 typed", "05", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|05" + f + "1|1||05|stop|!"},
        {"emptied", "\b\b", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|" + f + "1|1||05|run|未动"},
        {"1 typed", "1", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|1" + f + "1|1||1|stop|!"},
        {"then 5: 15", "5", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|15" + f + "1|1||15|stop|!"},
        {"file kind, unattended", "1", nullptr, IDC_SOURCE_KIND, kCounting, "甲|乙|15|文件：||1|1|1|15|run|未动"},
        {"manual", "0", nullptr, IDC_AUTO_RUN, kManual, file + "15" + f + "0|1|1|15|stop|! focus"},
        {"folder kind", "0", nullptr, IDC_SOURCE_KIND, kManual, "||15" + d + "0|1|0|15|run|未动"},
        {"unattended, loaded empty", "1", "", IDC_AUTO_RUN, kCounting, file + "15" + d + "1|1|0|15|stop|! focus"}};
    // clang-format on
    ::DeleteFileA(platform.ConfigPath().c_str());
    WriteSetting(key::SourcePath, "C:\\源");
    WriteSetting(key::SavePath, "D:\\目标");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.loadedTimeLapse) g_strTimeLapse = s.loadedTimeLapse;
        for (const auto& [id, text] :
             {std::pair{1002, "甲"}, {1003, "乙"}, {1024, "状态"}, {1016, "未动"}})
            dlg->SetDlgItemText(id, text);
        dlg->SetTimer(1, 60000);
        ::SetFocus(dlg->GetDlgItem(IDC_AUTO_RUN));
        HWND control = dlg->GetDlgItem(s.id);
        ::SendMessageA(control, EM_SETSEL, 99, 99);  // typing goes to the end
        for (const char* key = s.input; s.id == IDC_DELAY_SECONDS && *key; ++key)
            ::SendMessageA(control, WM_CHAR, *key, 1);
        if (s.id != IDC_DELAY_SECONDS)
            ::CheckDlgButton(dlg->m_hWnd, s.id, *s.input - '0'), SendCommand(dlg->m_hWnd, s.id);
        const std::string countdown = dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT);
        EXPECT_EQ(Joined({1002, 1003, 1013, 1017, 1024},
                         {key::Install, key::TimeLapse, key::DocumentOption, key::Deferred}) +
                      (dlg->KillTimer(1) ? "run|" : "stop|") +
                      (countdown == "正在设置参数，停止倒记时功能！" ? "!" : countdown) +
                      (::GetFocus() == dlg->GetDlgItem(IDC_SOURCE_PATH) ? " focus" : ""),
                  s.after);
        RECT bar;
        ::GetWindowRect(dlg->GetDlgItem(IDC_PROGRESS), &bar);
        std::string shown = std::to_string(bar.right - bar.left) +
                            (::IsWindowEnabled(dlg->GetDlgItem(IDC_SOURCE_KIND)) ? "e" : "d");
        for (const int id : {1005, 1006, 1007, 1010, 1012, 1013, -1, 1015, 1016})
            shown += ::IsWindowVisible(dlg->GetDlgItem(id)) ? "+" : "-";
        EXPECT_EQ(shown + " " + Joined({IDC_AUTO_RUN, IDC_DELAY}, {}), layouts[s.layout]);
    }
}

}  // namespace
}  // namespace kestrava::test
