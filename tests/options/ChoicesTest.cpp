// The browse buttons and the mode switches on the real main window, with the platform
// answering the dialogs.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

class ChoicesTest : public ::testing::Test {
  protected:
    // Each case begins with the folder kind, as the template has it, and no settings file.
    void SetUp() override {
        ASSERT_TRUE(dlg->Create());
        ::CheckDlgButton(dlg->m_hWnd, IDC_SOURCE_KIND, BST_UNCHECKED);
        dlg->OnSourceKindSwitch();
        ::DeleteFileA(platform.ConfigPath().c_str());
    }
    // The controls' texts and the keys' values, joined with '|'.
    std::string Joined(std::initializer_list<int> ids, std::initializer_list<const char*> keys) {
        std::string joined;
        for (const int id : ids) joined += "|" + dlg->GetDlgItemText(id);
        for (const char* key : keys) joined += "|" + ReadSetting(key);
        return joined.substr(1);
    }
    FakePlatform platform;
    std::unique_ptr<CKestravaDlg> dlg = std::make_unique<CKestravaDlg>();
};

TEST_F(ChoicesTest, BrowseFillsBoxesStatusKeysAndSourceName) {
    const int src = IDC_BROWSE_SOURCE, tgt = IDC_BROWSE_TARGET;
    const std::string p = PLACEHOLDER_NAME;
    // Document_option, button, the dialog's answer (nullptr cancels), then source box|target
    // box|status|Source_path|Save_path|source name, or "" when nothing may change.
    const struct {
        const char *name, *kind;
        int button;
        const char* answer;
        std::string after;
    } steps[] = {
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
        {"trail byte 5C last", "0", tgt, "D:\\誠",
         "C:\\r.t|D:\\誠\\" + p + "||C:\\r.t|D:\\誠\\" + p + "|" + p},
        {"boxes emptied", "0", IDC_SOURCE_KIND, nullptr, "|||C:\\r.t|D:\\誠\\" + p + "|" + p},
        {"gate: empty source box", "0", tgt, "D:\\b", ""},
    };
    dlg->SetDlgItemText(IDC_TARGET_PATH, "T");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        WriteSetting(key::DocumentOption, s.kind);
        platform.folderAnswer = platform.fileAnswer = s.answer;
        const auto state = [&] {
            return Joined({IDC_SOURCE_PATH, IDC_TARGET_PATH, IDC_STATUS_TEXT},
                          {key::SourcePath, key::SavePath}) +
                   "|" + dlg->m_strSourceName;
        };
        const std::string before = state();
        SendCommand(dlg->m_hWnd, s.button);
        EXPECT_EQ(state(), s.after.empty() ? before : s.after);
        EXPECT_EQ(platform.liveIdLists, 0);
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
    const auto layout = [&] {
        std::string shown;
        for (const int id : {1005, 1006, 1007, 1010, 1012, 1013, -1, 1015, 1016})
            shown += ::IsWindowVisible(dlg->GetDlgItem(id)) ? "+" : "-";
        RECT bar;
        ::GetWindowRect(dlg->GetDlgItem(IDC_PROGRESS), &bar);
        return shown + (::IsWindowEnabled(dlg->GetDlgItem(IDC_SOURCE_KIND)) ? " e " : " d ") +
               dlg->GetDlgItemText(IDC_AUTO_RUN) +
               (shown[4] == '+' ? " " + dlg->GetDlgItemText(IDC_DELAY) : "") + " " +
               std::to_string(bar.right - bar.left);
    };
    // The check state set or the keys typed, the loaded Time_lapse (nullptr keeps it), then
    // the boxes 1002|1003|1013, the keys Install|Time_lapse|Document_option|Deferred, and
    // whether the countdown stopped, with the notice shown or the text kept or emptied.
    const std::string file = "C:\\源|D:\\目标|";
    const struct {
        const char *name, *input, *loadedTimeLapse;
        int id, layout;
        std::string after;
    } steps[] = {
        {"manual, nothing stored", "0", nullptr, IDC_AUTO_RUN, kManual, file + "|0||||stop kept"},
        {"unattended, loaded 0", "1", "0", IDC_AUTO_RUN, kAsking, file + "|1|0|||stop emptied"},
        {"0 typed", "0", nullptr, IDC_DELAY_SECONDS, kAsking, "甲|乙|0|1|0|||run kept"},
        {"countdown", "1", nullptr, IDC_DELAY, kCounting, "甲|乙||1|1|||stop"},
        {"05 typed", "05", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|05|1|1||05|stop"},
        {"emptied", "\b\b", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙||1|1||05|run kept"},
        {"15 typed", "15", nullptr, IDC_DELAY_SECONDS, kCounting, "甲|乙|15|1|1||15|stop"},
        {"file kind, unattended", "1", nullptr, IDC_SOURCE_KIND, kCounting,
         "甲|乙|15|1|1|1|15|run kept"},
        {"manual", "0", nullptr, IDC_AUTO_RUN, kManual, file + "15|0|1|1|15|stop"},
        {"folder kind", "0", nullptr, IDC_SOURCE_KIND, kManual, "||15|0|1|0|15|run kept"},
        {"unattended, loaded empty", "1", "", IDC_AUTO_RUN, kCounting, file + "15|1|1|0|15|stop"},
    };
    WriteSetting(key::SourcePath, "C:\\源");
    WriteSetting(key::SavePath, "D:\\目标");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.loadedTimeLapse) g_strTimeLapse = s.loadedTimeLapse;
        dlg->SetDlgItemText(IDC_SOURCE_PATH, "甲");
        dlg->SetDlgItemText(IDC_TARGET_PATH, "乙");
        dlg->SetDlgItemText(IDC_STATUS_TEXT, "状态");
        dlg->SetDlgItemText(IDC_COUNTDOWN_TEXT, "未动");
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
        EXPECT_EQ(Joined({IDC_SOURCE_PATH, IDC_TARGET_PATH, IDC_DELAY_SECONDS},
                         {key::Install, key::TimeLapse, key::DocumentOption, key::Deferred}) +
                      (dlg->KillTimer(1) ? "|run" : "|stop") +
                      (countdown == "正在设置参数，停止倒记时功能！" ? std::string()
                       : countdown == "未动"                         ? " kept"
                       : countdown.empty()                           ? " emptied"
                                                                     : " " + countdown),
                  s.after);
        const bool fileKind = ReadSetting(key::DocumentOption) == "1";
        EXPECT_EQ(dlg->GetDlgItemText(IDC_SOURCE_KIND), fileKind ? "文件：" : "文件夹：");
        EXPECT_EQ(dlg->GetDlgItemText(IDC_STATUS_TEXT),
                  s.id == IDC_SOURCE_KIND && fileKind ? "" : "状态");
        EXPECT_EQ(::GetFocus() == dlg->GetDlgItem(IDC_SOURCE_PATH), s.id == IDC_AUTO_RUN);
        EXPECT_EQ(layout(), layouts[s.layout]);
    }
}

}  // namespace
}  // namespace kestrava::test
