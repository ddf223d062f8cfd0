// The browse buttons and the mode switches on the real main window, with the platform
// answering the dialogs.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"
#include "support/SettingsScope.h"

namespace kestrava::test {
namespace {

class ChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dlg->Create()); }
    std::string Text(int id) const { return dlg->GetDlgItemText(id); }
    static std::string Joined(std::initializer_list<std::string> parts) {
        std::string joined;
        for (const std::string& part : parts) joined += "|" + part;
        return joined.substr(1);
    }
    FakePlatform platform;
    SettingsScope scope{platform};
    std::unique_ptr<CKestravaDlg> dlg = std::make_unique<CKestravaDlg>();
};

TEST_F(ChoicesTest, BrowseSetsBoxesStatusKeysAndSourceName) {
    const int src = IDC_BROWSE_SOURCE, tgt = IDC_BROWSE_TARGET;
    const std::string p = PLACEHOLDER_NAME;
    // After each click: source box|target box|status line|Source_path|Save_path|source
    // name; empty when nothing may change. The answer is the dialog's, nullptr cancels.
    const struct {
        const char* name;
        const char* kind;
        int button;
        const char* answer;
        std::string after;
    } steps[] = {
        {"folder cancelled", "0", src, nullptr, ""},
        {"folder without a path", "0", src, "", ""},
        {"folder", "0", src, "C:\\d", "C:\\d|T|C:\\d|C:\\d||"},
        {"no source name yet", "0", tgt, "D:\\b", ""},
        {"file cancelled", "1", src, nullptr, ""},
        {"file", "1", src, "C:\\r.t", "C:\\r.t|T||C:\\r.t||r.t"},
        {"target folder", "1", tgt, "D:\\b", "C:\\r.t|D:\\b\\r.t||C:\\r.t|D:\\b\\r.t|r.t"},
        {"drive root", "1", tgt, "D:\\", "C:\\r.t|D:\\r.t||C:\\r.t|D:\\r.t|r.t"},
        {"file-mode target without a path", "1", tgt, "", ""},
        {"target cancelled", "1", tgt, nullptr, ""},
        {"never the bare placeholder", "0", tgt, "", "C:\\r.t|D:\\r.t||C:\\r.t|D:\\r.t|" + p},
        {"trail byte 5C last", "0", tgt, "D:\\誠",
         "C:\\r.t|D:\\誠\\" + p + "||C:\\r.t|D:\\誠\\" + p + "|" + p},
        {"empty source box", "0", IDC_SOURCE_KIND, nullptr, "|||C:\\r.t|D:\\誠\\" + p + "|" + p},
        {"gate: empty source box", "0", tgt, "D:\\b", ""},
    };
    const auto state = [&] {
        return Joined({Text(IDC_SOURCE_PATH), Text(IDC_TARGET_PATH), Text(IDC_STATUS_TEXT),
                       ReadSetting(key::SourcePath), ReadSetting(key::SavePath),
                       dlg->m_strSourceName});
    };
    dlg->SetDlgItemText(IDC_TARGET_PATH, "T");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        WriteSetting(key::DocumentOption, s.kind);
        platform.folderAnswers = {s.answer};
        platform.fileAnswers = {s.answer};
        const std::string before = state();
        SendCommand(dlg->m_hWnd, s.button);
        EXPECT_EQ(state(), s.after.empty() ? before : s.after);
        EXPECT_EQ(platform.liveIdLists, 0);
    }
    ASSERT_EQ(platform.fileDialogs.size(), 2u);
    const OPENFILENAMEA& open = platform.fileDialogs[0];
    EXPECT_EQ(open.hwndOwner, dlg->m_hWnd);
    EXPECT_EQ(open.Flags, DWORD{OFN_HIDEREADONLY});
    EXPECT_EQ(std::string(open.lpstrFilter, 15), std::string("FILE(*.*)\0*.*\0\0", 15));
    EXPECT_STREQ(open.lpstrDefExt, "文件");
    EXPECT_EQ(platform.fileNames[0], "*.*");
    ASSERT_EQ(platform.folderDialogs.size(), 9u) << "a gate opened the dialog";
    for (const BROWSEINFOA& b : platform.folderDialogs) {
        const bool source = &b < &platform.folderDialogs[3];
        EXPECT_STREQ(b.lpszTitle, source ? "请选择文件夹" : "选择一个文件夹");
        EXPECT_EQ(b.ulFlags, source ? 5u : 16u);
        EXPECT_TRUE(b.hwndOwner == dlg->m_hWnd && !b.pidlRoot && !b.lpfn);
    }
}

TEST_F(ChoicesTest, SwitchesStoreLayTheWindowOutAndStopTheCountdown) {
    enum Layout { kCounting, kAsking, kManual };
    // Shown (+) in each layout: unattended counting down, unattended asking, manual.
    const std::pair<int, const char*> shown[] = {
        {IDC_BROWSE_SOURCE, "--+"}, {IDC_BROWSE_TARGET, "--+"}, {IDC_COPY, "--+"},
        {IDC_CLOSE, "--+"},         {IDC_DELAY, "++-"},         {IDC_DELAY_SECONDS, "+--"},
        {IDC_STATIC, "+--"},        {IDC_PROMPT_LABEL, "-+-"},  {IDC_COUNTDOWN_TEXT, "++-"}};
    const std::string file = "C:\\源|D:\\目标|";
    const struct {
        const char* name;
        int id;
        const char* input;  // the check state set, or the keys typed into the seconds box
        const char* loadedTimeLapse;
        Layout layout;
        std::string boxes;   // source|target|seconds
        const char* stored;  // Install|Time_lapse|Document_option|Deferred
        bool stops;          // the countdown, with the notice
    } steps[] = {
        {"unattended, loaded 0", IDC_AUTO_RUN, "1", "0", kAsking, file + "7", "1|0||7", true},
        {"countdown", IDC_DELAY, "1", nullptr, kCounting, "甲|乙|7", "1|1||7", true},
        {"seconds emptied", IDC_DELAY_SECONDS, "\b", nullptr, kCounting, "甲|乙|", "1|1||7", false},
        {"0 typed", IDC_DELAY_SECONDS, "0", nullptr, kCounting, "甲|乙|0", "1|1||7", false},
        {"05 typed", IDC_DELAY_SECONDS, "5", nullptr, kCounting, "甲|乙|05", "1|1||05", true},
        {"1 typed", IDC_DELAY_SECONDS, "\b\b1", nullptr, kCounting, "甲|乙|1", "1|1||1", true},
        {"15 typed", IDC_DELAY_SECONDS, "5", nullptr, kCounting, "甲|乙|15", "1|1||15", true},
        {"manual", IDC_AUTO_RUN, "0", nullptr, kManual, file + "15", "0|1||15", true},
        {"unattended again", IDC_AUTO_RUN, "1", nullptr, kAsking, file + "15", "1|0||15", true},
        {"file kind, unattended", IDC_SOURCE_KIND, "1", nullptr, kAsking, "甲|乙|15", "1|0|1|15",
         false},
        {"manual again", IDC_AUTO_RUN, "0", nullptr, kManual, file + "15", "0|0|1|15", true},
        {"folder kind", IDC_SOURCE_KIND, "0", nullptr, kManual, "||15", "0|0|0|15", false},
        {"file kind", IDC_SOURCE_KIND, "1", nullptr, kManual, "||15", "0|0|1|15", false},
        {"unattended, loaded empty", IDC_AUTO_RUN, "1", "", kCounting, file + "15", "1|1|1|15",
         true},
    };
    WriteSetting(key::SourcePath, "C:\\源");
    WriteSetting(key::SavePath, "D:\\目标");
    WriteSetting(key::Deferred, "7");
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
            ::SendMessageA(control, EM_SETSEL, 99, 99);
            for (const char* key = s.input; *key; ++key) ::SendMessageA(control, WM_CHAR, *key, 1);
        } else {
            ::SendMessageA(control, BM_SETCHECK, s.input[0] - '0', 0);
            SendCommand(dlg->m_hWnd, s.id);
        }
        EXPECT_EQ(Joined({Text(IDC_SOURCE_PATH), Text(IDC_TARGET_PATH), Text(IDC_DELAY_SECONDS)}),
                  s.boxes);
        EXPECT_EQ(Joined({ReadSetting(key::Install), ReadSetting(key::TimeLapse),
                          ReadSetting(key::DocumentOption), ReadSetting(key::Deferred)}),
                  s.stored);
        EXPECT_EQ(dlg->KillTimer(1) == FALSE, s.stops);
        EXPECT_EQ(Text(IDC_COUNTDOWN_TEXT), s.stops ? "正在设置参数，停止倒记时功能！" : "未动");
        const bool fileKind = ReadSetting(key::DocumentOption) == "1";
        EXPECT_EQ(Text(IDC_STATUS_TEXT), s.id == IDC_SOURCE_KIND && fileKind ? "" : "状态");
        EXPECT_EQ(::GetFocus() == dlg->GetDlgItem(IDC_SOURCE_PATH), s.id == IDC_AUTO_RUN);
        // The layout, control by control.
        for (const auto& [id, states] : shown) {
            const LONG style = ::GetWindowLongA(dlg->GetDlgItem(id), GWL_STYLE);
            EXPECT_EQ((style & WS_VISIBLE) != 0, states[s.layout] == '+') << "control " << id;
        }
        const bool manual = s.layout == kManual;
        EXPECT_EQ(::IsWindowEnabled(dlg->GetDlgItem(IDC_SOURCE_KIND)) != FALSE, manual);
        EXPECT_EQ(Text(IDC_AUTO_RUN), manual ? "手动执行" : "自动执行");
        if (!manual) {
            EXPECT_EQ(Text(IDC_DELAY), s.layout == kCounting ? "延时" : "弹出对话框");
        }
        EXPECT_EQ(Text(IDC_SOURCE_KIND), fileKind ? "文件：" : "文件夹：");
        std::string rects;
        for (const int id : {IDC_SOURCE_PATH, IDC_TARGET_PATH, IDC_PROGRESS}) {
            RECT r;
            ::GetWindowRect(dlg->GetDlgItem(id), &r);
            ::MapWindowPoints(nullptr, dlg->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            rects += std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                     std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top) +
                     " ";
        }
        EXPECT_EQ(rects, manual ? "70,30,280,20 70,55,280,20 10,80,340,20 "
                                : "70,30,350,20 70,55,350,20 10,80,410,20 ");
    }
}

}  // namespace
}  // namespace kestrava::test
