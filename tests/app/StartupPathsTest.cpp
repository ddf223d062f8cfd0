// Start-up: the window and the configuration file as the stored paths leave them.
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

TEST(StartupPaths, StoredPathsDecideTheSourceKindAndTheTarget) {
    ScratchFolder files("起动");
    // "$" stands for the folder of the case's files, "@" for the placeholder, "|" a new line.
    const auto expand = [&](const std::string& text) {
        std::string out;
        for (const char ch : text)
            out += ch == '$' ? files.Path() : ch == '@' ? PLACEHOLDER_NAME : std::string(1, ch);
        std::replace(out.begin(), out.end(), '|', '\n');
        return out;
    };
    // clang-format off
    // 誠 is D5 5C: its trail byte is the backslash code.
    ASSERT_TRUE(WriteTree(files.Path(), {{"data", "", true}, {"bak", "", true}, {"a", "", true}, {"誠", "", true}, {"工具誠", "", true}, {"a\\report.doc", "x"}}));
    // The file's lines (a stored Deferred puts up the countdown notice start-up must clear);
    // then the keys Document_option, Install, Time_lapse, Source_path and Save_path.
    const struct { const char *name, *ini, *after; } cases[] = {
        {"first start without a file", "", "1|1|1||"},
        {"source with a trailing backslash, target folder", "Install=1|Source_path=$data\\|Save_path=$bak", "0|1|1|$data|$bak\\@"},
        {"target folder with a trailing backslash", "Install=1|Time_lapse=0|Source_path=$data|Save_path=$bak\\", "0|1|0|$data|$bak\\@"},
        {"placeholder stem, other extension", "Install=1|Source_path=$data|Save_path=$bak\\复制文件夹功能启动.doc|Deferred=5", "0|1|1|$data|$bak\\复制文件夹功能启动.doc"},
        {"Install neither 0 nor 1, target file", "Install=yes|Source_path=$data|Save_path=$bak\\old.doc", "0|1|1|$data|$bak\\@"},
        {"file source overrules Document_option 0", "Install=1|Document_option=0|Source_path=$a\\report.doc|Save_path=$bak\\old.doc", "1|1|1|$a\\report.doc|$bak\\report.doc"},
        {"folder source, empty target", "Install=1|Source_path=$data", "0|1|1|$data|@"},
        {"file source, target of the same name", "Install=1|Source_path=$a\\report.doc|Save_path=Q:\\x\\report.doc", "1|1|1|$a\\report.doc|Q:\\x\\report.doc"},
        {"file source, target without a folder part", "Install=1|Source_path=$a\\report.doc|Save_path=old.doc", "1|1|1|$a\\report.doc|report.doc"},
        {"missing source folder counts as a file", "Install=1|Document_option=0|Source_path=$gone|Save_path=$bak\\@", "1|1|1|$gone|$bak\\gone"},
        {"manual: source untrimmed", "Install=0|Source_path=$data\\|Save_path=$bak", "0|0||$data\\|$bak\\@"},
        {"folders ending in 誠", "Install=1|Source_path=$誠|Save_path=$工具誠", "0|1|1|$誠|$工具誠\\@"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;  // a configuration file of its own
        ASSERT_TRUE(!*c.ini || WriteBytes(platform.ConfigPath(),
                                          expand(std::string("[Overall_situation]|") + c.ini)));
        CKestravaDlg dlg;
        ASSERT_TRUE(dlg.Create());
        std::string after;
        for (const char* name :
             {key::DocumentOption, key::Install, key::TimeLapse, key::SourcePath, key::SavePath})
            after += ReadSetting(name) + "\n";
        EXPECT_EQ(after, expand(std::string(c.after) + "|"));
        // Unattended, the boxes show the stored paths, and the status the run of a folder.
        EXPECT_EQ(
            dlg.GetDlgItemText(IDC_SOURCE_PATH) + "|" + dlg.GetDlgItemText(IDC_TARGET_PATH) + "|" +
                dlg.GetDlgItemText(IDC_STATUS_TEXT) + dlg.GetDlgItemText(IDC_COUNTDOWN_TEXT),
            after[2] != '1' ? "||"
                            : ReadSetting(key::SourcePath) + "|" + ReadSetting(key::SavePath) +
                                  (after[0] == '1' ? "|" : "|程序正在运行中......"));
        // The first paint starts a run only for a loaded "1".
        if (g_strInstall != "1") ::UpdateWindow(dlg.m_hWnd);
        EXPECT_EQ(g_nAutoStartPending, 1);
    }
}

}  // namespace
}  // namespace kestrava::test
