// Start-up: the window and the configuration file as the stored paths leave them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

// "$" becomes the folder that holds the case's files, "@" the placeholder file name.
std::string Expand(const std::string& text, const std::string& root) {
    std::string out;
    for (const char ch : text)
        out += ch == '$' ? root : ch == '@' ? PLACEHOLDER_NAME : std::string(1, ch);
    return out;
}

// The section's "key=value" lines, sorted, joined by "|".
std::string ReadIni(const std::string& path) {
    std::vector<char> buffer(1 << 16);
    ::GetPrivateProfileSectionA("Overall_situation", buffer.data(), 1 << 16, path.c_str());
    std::vector<std::string> pairs;
    for (const char* p = buffer.data(); *p; p += pairs.back().size() + 1) pairs.push_back(p);
    std::sort(pairs.begin(), pairs.end());
    std::string joined;
    for (const std::string& pair : pairs) joined += (joined.empty() ? "" : "|") + pair;
    return joined;
}

TEST(StartupPaths, StoredPathsDecideTheSourceKindAndTheTarget) {
    ScratchFolder files("起动");
    // 誠 is D5 5C: its trail byte is the backslash code.
    for (const char* dir : {"data", "bak", "a", "誠", "工具誠"})
        ASSERT_TRUE(::CreateDirectoryA((files.Path() + dir).c_str(), nullptr)) << dir;
    for (const char* file : {"a\\report.doc", "a\\誠x.doc"})
        ASSERT_TRUE(WriteBytes(files.Path() + file, "x")) << file;

    struct Case {
        const char *name, *ini;                // the file before the start
        const char *source, *target, *status;  // the boxes afterwards
        UINT fileKind;
        const char* iniAfter;
    };
    const char* const R = "程序正在运行中......";
    // clang-format off
    const Case cases[] = {
        {"first start without a file", "", "", "", "", 1, "Document_option=1|Install=1|Time_lapse=1"},
        {"source with a trailing backslash, target folder", "Install=1|Source_path=$data\\|Save_path=$bak",
         "$data", "$bak\\@", R, 0, "Document_option=0|Install=1|Save_path=$bak\\@|Source_path=$data|Time_lapse=1"},
        {"target folder with a trailing backslash", "Install=1|Time_lapse=0|Source_path=$data|Save_path=$bak\\",
         "$data", "$bak\\@", R, 0, "Document_option=0|Install=1|Save_path=$bak\\@|Source_path=$data|Time_lapse=0"},
        {"placeholder stem, other extension", "Install=1|Source_path=$data|Save_path=$bak\\复制文件夹功能启动.doc|Deferred=5",
         "$data", "$bak\\复制文件夹功能启动.doc", R, 0,
         "Deferred=5|Document_option=0|Install=1|Save_path=$bak\\复制文件夹功能启动.doc|Source_path=$data|Time_lapse=1"},
        {"folder source, empty target", "Install=1|Source_path=$data",
         "$data", "@", R, 0, "Document_option=0|Install=1|Save_path=@|Source_path=$data|Time_lapse=1"},
        {"Install neither 0 nor 1, target file", "Install=yes|Source_path=$data|Save_path=$bak\\old.doc",
         "$data", "$bak\\@", R, 0, "Document_option=0|Install=1|Save_path=$bak\\@|Source_path=$data|Time_lapse=1"},
        {"file source overrules Document_option 0", "Install=1|Document_option=0|Source_path=$a\\report.doc|Save_path=$bak\\old.doc",
         "$a\\report.doc", "$bak\\report.doc", "", 1,
         "Document_option=1|Install=1|Save_path=$bak\\report.doc|Source_path=$a\\report.doc|Time_lapse=1"},
        {"file source, target of the same name", "Install=1|Source_path=$a\\report.doc|Save_path=Q:\\x\\report.doc",
         "$a\\report.doc", "Q:\\x\\report.doc", "", 1,
         "Document_option=1|Install=1|Save_path=Q:\\x\\report.doc|Source_path=$a\\report.doc|Time_lapse=1"},
        {"file source, target without a folder part", "Install=1|Source_path=$a\\report.doc|Save_path=old.doc",
         "$a\\report.doc", "report.doc", "", 1,
         "Document_option=1|Install=1|Save_path=report.doc|Source_path=$a\\report.doc|Time_lapse=1"},
        {"missing source folder counts as a file", "Install=1|Document_option=0|Source_path=$gone|Save_path=$bak\\@",
         "$gone", "$bak\\gone", "", 1, "Document_option=1|Install=1|Save_path=$bak\\gone|Source_path=$gone|Time_lapse=1"},
        {"manual: boxes empty, source untrimmed", "Install=0|Source_path=$data\\|Save_path=$bak",
         "", "", "", 0, "Document_option=0|Install=0|Save_path=$bak\\@|Source_path=$data\\"},
        {"folders ending in 誠", "Install=1|Source_path=$誠|Save_path=$工具誠",
         "$誠", "$工具誠\\@", R, 0, "Document_option=0|Install=1|Save_path=$工具誠\\@|Source_path=$誠|Time_lapse=1"},
        {"file name starting with 誠", "Install=1|Source_path=$a\\誠x.doc|Save_path=$工具誠",
         "$a\\誠x.doc", "$工具誠\\誠x.doc", "", 1,
         "Document_option=1|Install=1|Save_path=$工具誠\\誠x.doc|Source_path=$a\\誠x.doc|Time_lapse=1"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;  // a configuration file of its own
        std::string ini = "[Overall_situation]|" + Expand(c.ini, files.Path());
        std::replace(ini.begin(), ini.end(), '|', '\n');
        ASSERT_TRUE(!*c.ini || WriteBytes(platform.ConfigPath(), ini));
        CKestravaDlg dlg;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE_PATH), Expand(c.source, files.Path()));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), Expand(c.target, files.Path()));
        EXPECT_EQ(::IsDlgButtonChecked(dlg.m_hWnd, IDC_SOURCE_KIND), c.fileKind);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_STATUS_TEXT), c.status);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_COUNTDOWN_TEXT), "");
        EXPECT_EQ(ReadIni(platform.ConfigPath()), Expand(c.iniAfter, files.Path()));
        // The first paint starts a run only for a loaded "1".
        if (!std::string(c.ini).starts_with("Install=1")) {
            ::UpdateWindow(dlg.m_hWnd);
            EXPECT_EQ(g_nAutoStartPending, 1);
        }
    }
}

}  // namespace
}  // namespace kestrava::test
