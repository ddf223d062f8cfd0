// The browse buttons and the mode switches on the real main window, with the platform
// answering the dialogs.
#include <gtest/gtest.h>

#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

class ChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dlg->Create());
        ::DeleteFileA(platform.ConfigPath().c_str());
    }
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

TEST_F(ChoicesTest, BrowseFillsBoxesStatusKeysAndSourceName) {
    const int src = IDC_BROWSE_SOURCE, tgt = IDC_BROWSE_TARGET;
    const std::string d = "C:\\d|T|C:\\d|C:\\d||", f = "C:\\r.t|D:\\r.t||C:\\r.t|D:\\r.t|",
                      p = PLACEHOLDER_NAME, z = "C:\\r.t|D:\\誠\\" + p;
    // Document_option, button, the dialog's answer (nullptr cancels); then source box|target
    // box|status|Source_path|Save_path|source name.
    // clang-format off
    const struct { const char *name, *kind; int button; const char* answer; std::string after; } steps[] = {
        {"folder, any kind but 1", "", src, "C:\\d", d}, {"gate: no source name yet", "1", tgt, "D:\\b", d},
        {"folder without a path", "0", src, "", d}, {"folder cancelled", "0", src, nullptr, d},
        {"file cancelled", "1", src, nullptr, d}, {"file", "1", src, "C:\\r.t", "C:\\r.t|T||C:\\r.t||r.t"},
        {"drive root", "1", tgt, "D:\\", f + "r.t"}, {"file-mode target without a path", "1", tgt, "", f + "r.t"},
        {"target cancelled", "1", tgt, nullptr, f + "r.t"}, {"never the bare placeholder", "", tgt, "", f + p},
        {"trail byte 5C last", "0", tgt, "D:\\誠", z + "||" + z + "|" + p},
        {"boxes emptied", "0", IDC_SOURCE_KIND, nullptr, "|||" + z + "|" + p},
        {"gate: empty source box", "0", tgt, "D:\\b", "|||" + z + "|" + p}};
    // clang-format on
    dlg->SetDlgItemText(IDC_TARGET_PATH, "T");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        WriteSetting(key::DocumentOption, s.kind);
        platform.folderAnswer = platform.fileAnswer = s.answer;
        SendCommand(dlg->m_hWnd, s.button);
        EXPECT_EQ(Joined({1002, 1003, IDC_STATUS_TEXT}, {key::SourcePath, key::SavePath}) +
                      dlg->m_strSourceName,
                  s.after);
        EXPECT_EQ(platform.liveIdLists, 0);
    }
    SendCommand(dlg->m_hWnd, src);
    EXPECT_EQ(platform.folderDialog.lpszTitle + std::to_string(platform.folderDialog.ulFlags),
              "请选择文件夹5");
}

// Each switch stores its state and lays the window out; all but the source kind stop a
// running countdown, as a stored seconds value does.
TEST_F(ChoicesTest, SwitchesStoreLayTheWindowOutAndStopTheCountdown) {
    // The bar's width, 1017 enabled, shown (+) or hidden 1005 1006 1007 1010 1012 1013 -1
    // 1015 1016, the captions of 1009 and, when shown, 1012.
    enum { kCounting, kAsking, kManual };
    const char* const layouts[] = {"410d----+++-+ 自动执行 延时",
                                   "410d----+--++ 自动执行 弹出对话框", "340e++++----- 手动执行"};
    // The check state set or the keys typed, the loaded Time_lapse (nullptr keeps it); then
    // the texts of 1002|1003|1013|1017|status, the keys Install|Time_lapse|Document_option|
    // Deferred, whether the countdown runs, and its text ("!" for the stop notice).
    const std::string file = "C:\\源|D:\\目标|", f = "|文件：|状态|", d = "|文件夹：|状态|";
    // clang-format off
    const struct { const char *name, *input, *loadedTimeLapse; int id, layout; std::string after; } steps[] = {
        {"manual, nothing stored", "0", nullptr, IDC_AUTO_RUN, kManual, file + f + "0||||stop|未动"},
        {"unattended, loaded 0", "1", "0", IDC_AUTO_RUN, kAsking, file + f + "1|0|||stop|"},
        {"0 typed", "0", nullptr, IDC_DELAY_SECONDS, kAsking, "甲|乙|0" + f + "1|0|||run|未动"},
        {"countdown", "1", nullptr, IDC_DELAY, kCounting, "甲|乙|" + f + "1|1|||stop|!"},
        {"05 typed", "05", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|05" + f + "1|1||05|stop|!"},
        {"emptied", "\b\b", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|" + f + "1|1||05|run|未动"},
        {"15 typed", "15", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|15" + f + "1|1||15|stop|!"},
        {"file kind, unattended", "1", nullptr, IDC_SOURCE_KIND, kCounting, "甲|乙|15|文件：||1|1|1|15|run|未动"},
        {"manual", "0", nullptr, IDC_AUTO_RUN, kManual, file + "15" + f + "0|1|1|15|stop|!"},
        {"folder kind", "0", nullptr, IDC_SOURCE_KIND, kManual, "||15" + d + "0|1|0|15|run|未动"},
        {"unattended, loaded empty", "1", "", IDC_AUTO_RUN, kCounting, file + "15" + d + "1|1|0|15|stop|!"}};
    // clang-format on
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
        if (s.id != IDC_DELAY_SECONDS) ::CheckDlgButton(dlg->m_hWnd, s.id, *s.input - '0');
        if (s.id != IDC_DELAY_SECONDS) SendCommand(dlg->m_hWnd, s.id);
        const std::string countdown = dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT);
        EXPECT_EQ(Joined({1002, 1003, 1013, 1017, 1024},
                         {key::Install, key::TimeLapse, key::DocumentOption, key::Deferred}) +
                      (dlg->KillTimer(1) ? "run|" : "stop|") +
                      (countdown == "正在设置参数，停止倒记时功能！" ? "!" : countdown),
                  s.after);
        EXPECT_EQ(::GetFocus() == dlg->GetDlgItem(IDC_SOURCE_PATH), s.id == IDC_AUTO_RUN);
        RECT bar;
        ::GetWindowRect(dlg->GetDlgItem(IDC_PROGRESS), &bar);
        std::string shown = std::to_string(bar.right - bar.left) +
                            (::IsWindowEnabled(dlg->GetDlgItem(IDC_SOURCE_KIND)) ? "e" : "d");
        for (const int id : {1005, 1006, 1007, 1010, 1012, 1013, -1, 1015, 1016})
            shown += ::IsWindowVisible(dlg->GetDlgItem(id)) ? "+" : "-";
        EXPECT_EQ(shown + " " + dlg->GetDlgItemText(IDC_AUTO_RUN) +
                      (shown[8] == '+' ? " " + dlg->GetDlgItemText(IDC_DELAY) : ""),
                  layouts[s.layout]);
    }
}

}  // namespace
}  // namespace kestrava::test
