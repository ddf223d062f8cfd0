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
    const std::string p = PLACEHOLDER_NAME;
    // Document_option, button, the dialog's answer (nullptr cancels), then source box|target
    // box|status|Source_path|Save_path|source name, or "" when nothing may change.
    // clang-format off
    const struct { const char *name, *kind; int button; const char* answer; std::string after; } steps[] = {
        {"folder, any kind but 1", "", src, "C:\\d", "C:\\d|T|C:\\d|C:\\d||"},
        {"gate: no source name yet", "1", tgt, "D:\\b", ""},
        {"folder without a path", "0", src, "", ""},
        {"folder cancelled", "0", src, nullptr, ""},
        {"file cancelled", "1", src, nullptr, ""},
        {"file", "1", src, "C:\\r.t", "C:\\r.t|T||C:\\r.t||r.t"},
        {"drive root", "1", tgt, "D:\\", "C:\\r.t|D:\\r.t||C:\\r.t|D:\\r.t|r.t"},
        {"file-mode target without a path", "1", tgt, "", ""},
        {"target cancelled", "1", tgt, nullptr, ""},
        {"never the bare placeholder", "", tgt, "", "C:\\r.t|D:\\r.t||C:\\r.t|D:\\r.t|" + p},
        {"trail byte 5C last", "0", tgt, "D:\\誠", "C:\\r.t|D:\\誠\\" + p + "||C:\\r.t|D:\\誠\\" + p + "|" + p},
        {"boxes emptied", "0", IDC_SOURCE_KIND, nullptr, "|||C:\\r.t|D:\\誠\\" + p + "|" + p},
        {"gate: empty source box", "0", tgt, "D:\\b", ""}};
    // clang-format on
    dlg->SetDlgItemText(IDC_TARGET_PATH, "T");
    std::string last = Joined({1002, 1003, IDC_STATUS_TEXT}, {key::SourcePath, key::SavePath});
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        WriteSetting(key::DocumentOption, s.kind);
        platform.folderAnswer = platform.fileAnswer = s.answer;
        SendCommand(dlg->m_hWnd, s.button);
        const std::string after =
            Joined({1002, 1003, IDC_STATUS_TEXT}, {key::SourcePath, key::SavePath}) +
            dlg->m_strSourceName;
        EXPECT_EQ(after, s.after.empty() ? last : s.after);
        EXPECT_EQ(platform.liveIdLists, 0);
        last = after;
    }
    SendCommand(dlg->m_hWnd, src);
    EXPECT_EQ(platform.folderDialog.lpszTitle + std::to_string(platform.folderDialog.ulFlags),
              "请选择文件夹5");
}

TEST_F(ChoicesTest, SwitchesStoreLayTheWindowOutAndStopTheCountdown) {
    // Shown (+) or hidden 1005 1006 1007 1010 1012 1013 -1 1015 1016; 1017 enabled; the
    // captions of 1009 and, when shown, 1012; the bar's width.
    enum { kCounting, kAsking, kManual };
    const char* const layouts[] = {"----+++-+ d 自动执行 延时 410",
                                   "----+--++ d 自动执行 弹出对话框 410",
                                   "++++----- e 手动执行 340"};
    // The check state set or the keys typed, the loaded Time_lapse (nullptr keeps it), then
    // the boxes 1002|1003|1013|1017|status, the keys Install|Time_lapse|Document_option|
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
        if (s.id == IDC_DELAY_SECONDS) {
            ::SendMessageA(control, EM_SETSEL, 99, 99);  // typing goes to the end
            for (const char* key = s.input; *key; ++key) ::SendMessageA(control, WM_CHAR, *key, 1);
        } else {
            ::SendMessageA(control, BM_SETCHECK, s.input[0] - '0', 0);
            SendCommand(dlg->m_hWnd, s.id);
        }
        const std::string countdown = dlg->GetDlgItemText(IDC_COUNTDOWN_TEXT);
        EXPECT_EQ(Joined({1002, 1003, 1013, 1017, 1024},
                         {key::Install, key::TimeLapse, key::DocumentOption, key::Deferred}) +
                      (dlg->KillTimer(1) ? "run|" : "stop|") +
                      (countdown == "正在设置参数，停止倒记时功能！" ? "!" : countdown),
                  s.after);
        EXPECT_EQ(::GetFocus() == dlg->GetDlgItem(IDC_SOURCE_PATH), s.id == IDC_AUTO_RUN);
        std::string shown;
        for (const int id : {1005, 1006, 1007, 1010, 1012, 1013, -1, 1015, 1016})
            shown += ::IsWindowVisible(dlg->GetDlgItem(id)) ? "+" : "-";
        RECT bar;
        ::GetWindowRect(dlg->GetDlgItem(IDC_PROGRESS), &bar);
        EXPECT_EQ(shown + (::IsWindowEnabled(dlg->GetDlgItem(IDC_SOURCE_KIND)) ? " e " : " d ") +
                      dlg->GetDlgItemText(IDC_AUTO_RUN) +
                      (shown[4] == '+' ? " " + dlg->GetDlgItemText(IDC_DELAY) : "") + " " +
                      std::to_string(bar.right - bar.left),
                  layouts[s.layout]);
    }
}

}  // namespace
}  // namespace kestrava::test
