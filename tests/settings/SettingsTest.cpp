// The configuration file and the copies loaded from it: where it lies, what a read and a
// write do to it, when a change made during a run is seen, and what start-up makes of the
// stored paths.
#include <algorithm>

#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

std::string Repeat(const std::string& unit, int times) {
    return times > 0 ? unit + Repeat(unit, times - 1) : "";
}

// 誠 is D5 5C: its trail byte is the backslash code.
TEST(ConfigPath, LiesInTheExecutablesOwnFolder) {
    for (const auto& [module, folder] :
         {std::pair{"C:\\Program Files\\K.exe", "C:\\Program Files\\"},
          std::pair{"Z:\\誠\\工具\\誠.exe", "Z:\\誠\\工具\\"}, std::pair{"K.exe", ""}}) {
        EXPECT_EQ(ConfigPathFor(module), std::string(folder) + "Kestrava_Configuration.ini");
    }
}

// A read creates nothing; a write replaces the whole value, whatever its length: around the
// reader's first buffer of 128 bytes, double-byte runs at odd and even offsets.
TEST(ConfigFileTest, ValuesOfAnyLengthComeBackWholeFromAPlainFile) {
    FakePlatform platform;
    EXPECT_EQ(ReadSetting(key::SavePath) + ReadBytes(platform.ConfigPath()), "");
    for (const std::string& value :
         {std::string(127, 'a'), std::string(128, 'b'), std::string(129, 'c'),
          std::string(256, 'd'), Repeat("誠", 63), Repeat("誠", 64), "a" + Repeat("誠", 64),
          Repeat("0123456789", 500), std::string("C:\\My  Files\\a b.txt")}) {
        WriteSetting(key::SavePath, value);
        EXPECT_EQ(ReadSetting(key::SavePath), value) << value.size() << " bytes";
    }
    WriteFlag(key::Install, BST_UNCHECKED);
    WriteSetting(key::Headline, "");  // an empty value is stored, not a key removed
    // Other programs (and the user) read this file: one section, plain key=value lines.
    EXPECT_EQ(
        ReadBytes(platform.ConfigPath()),
        "[Overall_situation]\r\nSave_path=C:\\My  Files\\a b.txt\r\nInstall=0\r\nHeadline=\r\n");
}

// Start-up and the hidden 初始化 button put each key whole into its own copy; a hand edit
// is seen by a read at once, by the copies only at the next load.
TEST(ConfigFileTest, LoadPutsEachKeyWholeIntoItsOwnCopy) {
    FakePlatform platform;
    g_strTargetRoot = g_strTargetFolder = g_strConfigPath = g_strLinkConfigPath = "stale";
    CKestravaDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const auto loaded = [&] {
        return g_strSourcePath + "|" + dlg.m_strSourceFile + "|" + dlg.m_strSourceName + "|" +
               g_strTargetPath + "|" + g_strInstall + "|" + g_strTimeLapse + "|" + g_strDeferred +
               "|" + g_strDocumentOption + "|" + dlg.GetDlgItemText(IDC_DELAY_SECONDS) + "|" +
               g_strTargetRoot + g_strTargetFolder + "|" + std::to_string(g_nAutoStartPending);
    };
    EXPECT_EQ(loaded(), "||||||||||1") << "without a file";
    EXPECT_EQ(g_strConfigPath + "|" + g_strLinkConfigPath,
              platform.ConfigPath() + "|" + platform.ConfigPath());
    // Distinct values catch a swapped key, paths past 300 bytes one that is cut.
    const std::string source = "D:\\" + Repeat("很长的文件夹名称\\", 18) + "报告.doc";
    const std::string target = "E:\\" + std::string(300, 't') + "\\报告.doc";
    ASSERT_TRUE(WriteBytes(
        platform.ConfigPath(),
        "[Overall_situation]\r\nSource_path=" + source + "\r\nSave_path=" + target +
            "\r\nInstall=yes\r\nTime_lapse=00\r\nDeferred=15\r\n" + "Document_option=1\r\n"));
    EXPECT_EQ(ReadSetting(key::Install), "yes");
    g_strTargetRoot = g_strTargetFolder = "stale";
    g_nAutoStartPending = 0;
    EXPECT_EQ(loaded(), "|||||||||stalestale|0") << "before the next load";
    SendCommand(dlg.m_hWnd, IDC_LOAD_SETTINGS);
    EXPECT_EQ(loaded(), source + "|" + source + "|报告.doc|" + target + "|yes|00|15|1|15||1");
    // The source's name is the text after its last backslash.
    for (const auto& [path, name] : {std::pair{"C:\\data\\", ""}, std::pair{"report.doc", ""},
                                     std::pair{"D:\\资料\\誠.doc", "誠.doc"}}) {
        WriteSetting(key::SourcePath, path);
        SendCommand(dlg.m_hWnd, IDC_LOAD_SETTINGS);
        EXPECT_EQ(dlg.m_strSourceFile + "|" + dlg.m_strSourceName, std::string(path) + "|" + name);
    }
}

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
