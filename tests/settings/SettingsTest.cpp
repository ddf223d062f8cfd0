// The configuration file and the copies loaded at start-up: where the file lies, what a
// read and a write do to it, and when a change made during a run is seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"
#include "support/SettingsScope.h"

namespace kestrava::test {
namespace {

std::string Repeat(const std::string& unit, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += unit;
    return out;
}

TEST(ConfigPath, LiesInTheExecutablesOwnFolder) {
    struct Case {
        const char* module;
        const char* expected;
    };
    // 誠 is D5 5C: its trail byte is the backslash code.
    for (const Case& c : {
             Case{"C:\\Program Files\\Kestrava\\Kestrava.exe",
                  "C:\\Program Files\\Kestrava\\Kestrava_Configuration.ini"},
             Case{"Z:\\tmp\\誠\\Kestrava.exe", "Z:\\tmp\\誠\\Kestrava_Configuration.ini"},
             Case{"Z:\\tmp\\工具\\誠.exe", "Z:\\tmp\\工具\\Kestrava_Configuration.ini"},
             Case{"D:\\誠誠\\a誠b.exe", "D:\\誠誠\\Kestrava_Configuration.ini"},
             Case{"Kestrava.exe", "Kestrava_Configuration.ini"},
         }) {
        SCOPED_TRACE(c.module);
        EXPECT_EQ(ConfigPathFor(c.module), c.expected);
    }
}

class ConfigFileTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    SettingsScope scope{platform};
};

TEST_F(ConfigFileTest, ValuesOfAnyLengthComeBackWhole) {
    struct Case {
        const char* name;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"1 byte", "x"},
        {"126 bytes", Repeat("a", 126)},
        {"127 bytes", Repeat("b", 127)},
        {"128 bytes", Repeat("c", 128)},
        {"129 bytes", Repeat("d", 129)},
        {"255 bytes", Repeat("e", 255)},
        {"256 bytes", Repeat("f", 256)},
        {"300-byte path", "D:\\备份\\" + Repeat("子目录\\", 41) + "报告.doc"},
        {"126 bytes of double-byte characters", Repeat("誠", 63)},
        {"128 bytes of double-byte characters", Repeat("誠", 64)},
        {"odd byte before double-byte characters", "a" + Repeat("誠", 64)},
        {"5000 bytes", Repeat("0123456789", 500)},
        {"inner blanks", "C:\\My  Files\\a b.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSetting(key::SourcePath, c.value);
        EXPECT_EQ(ReadSetting(key::SourcePath), c.value);
    }
}

TEST_F(ConfigFileTest, FirstWriteCreatesTheFileAndEveryWriteReplacesTheWholeValue) {
    const std::string path = scope.ConfigPath();
    EXPECT_EQ(ReadSetting(key::SavePath), "") << "no file";
    ASSERT_FALSE(FileExists(path));

    WriteSetting(key::SavePath, "D:\\a very long target folder\\file.txt");
    ASSERT_TRUE(FileExists(path));
    WriteSetting(key::SavePath, "D:\\b");
    EXPECT_EQ(ReadSetting(key::SavePath), "D:\\b");
    EXPECT_EQ(ReadSetting(key::Headline), "") << "absent key in an existing file";

    struct Flag {
        LRESULT state;
        const char* stored;
    };
    for (const Flag& f : {Flag{BST_CHECKED, "1"}, Flag{BST_UNCHECKED, "0"}}) {
        SCOPED_TRACE(f.stored);
        WriteFlag(key::Install, f.state);
        EXPECT_EQ(ReadSetting(key::Install), f.stored);
    }

    // Other programs (and the user) read this file: one section, plain key=value lines.
    const std::string text = ReadBytes(path);
    EXPECT_NE(text.find("[Overall_situation]"), std::string::npos) << text;
    EXPECT_NE(text.find("Save_path=D:\\b\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Install=0"), std::string::npos) << text;
    EXPECT_EQ(text.find('['), text.rfind('[')) << "a second section: " << text;
}

class LoadSettingsTest : public ConfigFileTest {
  protected:
    // The "Install" of an earlier load, and so on, must not survive a new one.
    void FillWithStaleValues() {
        for (std::string* s :
             {&g_strSourcePath, &g_strTargetPath, &g_strInstall, &g_strDeferred, &g_strTimeLapse,
              &g_strDocumentOption, &g_strTargetRoot, &g_strTargetFolder, &g_strLinkConfigPath}) {
            *s = "stale";
        }
        g_nAutoStartPending = 0;
    }
};

TEST_F(LoadSettingsTest, WithoutAFileEveryCopyIsEmptyAndNoDeferredIsWritten) {
    FillWithStaleValues();
    CKestravaDlg dlg;
    dlg.m_strSourceFile = dlg.m_strSourceName = "stale";
    ASSERT_TRUE(dlg.Create());

    EXPECT_EQ(g_strConfigPath, scope.Folder() + "Kestrava_Configuration.ini");
    EXPECT_EQ(g_strLinkConfigPath, g_strConfigPath);
    const std::pair<const char*, std::string*> copies[] = {
        {"Source_path", &g_strSourcePath}, {"Save_path", &g_strTargetPath},
        {"Install", &g_strInstall},        {"Deferred", &g_strDeferred},
        {"Time_lapse", &g_strTimeLapse},   {"Document_option", &g_strDocumentOption},
        {"target root", &g_strTargetRoot}, {"target folder", &g_strTargetFolder},
    };
    for (const auto& [name, copy] : copies) EXPECT_EQ(*copy, "") << name;
    EXPECT_EQ(dlg.m_strSourceFile, "");
    EXPECT_EQ(dlg.m_strSourceName, "");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DELAY_SECONDS), "");
    EXPECT_EQ(g_nAutoStartPending, 1);
    EXPECT_EQ(ReadSetting(key::Deferred), "") << "loading must not write \"Deferred\"";
}

TEST_F(LoadSettingsTest, EachKeyGoesToItsOwnCopyWhole) {
    // Written by hand, as a user edits the file: distinct values catch a swapped key, and
    // paths past 300 bytes one that is cut.
    const std::string source = "D:\\" + Repeat("很长的文件夹名称\\", 18) + "报告.doc";
    const std::string target = "E:\\" + Repeat("target-folder\\", 21) + "报告.doc";
    const std::string file = "[Overall_situation]\r\nSource_path=" + source +
                             "\r\nSave_path=" + target +
                             "\r\nInstall=yes\r\nTime_lapse=00\r\nDeferred=15\r\n"
                             "Document_option=1\r\nHeadline=复制工具\r\n";
    ASSERT_TRUE(WriteBytes(scope.ConfigPath(), file));
    FillWithStaleValues();
    CKestravaDlg dlg;
    ASSERT_TRUE(dlg.Create());

    EXPECT_EQ(g_strSourcePath, source);
    EXPECT_EQ(dlg.m_strSourceFile, source);
    EXPECT_EQ(dlg.m_strSourceName, "报告.doc");
    EXPECT_EQ(g_strTargetPath, target);
    EXPECT_EQ(g_strInstall, "yes");
    EXPECT_EQ(g_strTimeLapse, "00");
    EXPECT_EQ(g_strDeferred, "15");
    EXPECT_EQ(g_strDocumentOption, "1");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DELAY_SECONDS), "15");
}

TEST_F(LoadSettingsTest, SourceNameIsTheTextAfterTheLastBackslash) {
    CKestravaDlg dlg;
    ASSERT_TRUE(dlg.Create());
    struct Case {
        const char* source;
        const char* name;
    };
    for (const Case& c : {Case{"C:\\data\\report.doc", "report.doc"}, Case{"C:\\data\\", ""},
                          Case{"report.doc", ""}, Case{"C:\\", ""},
                          Case{"D:\\资料\\誠.doc", "誠.doc"}, Case{"D:\\誠\\a", "a"}}) {
        SCOPED_TRACE(c.source);
        WriteSetting(key::SourcePath, c.source);
        SendCommand(dlg.m_hWnd, IDC_LOAD_SETTINGS);
        EXPECT_EQ(dlg.m_strSourceFile, c.source);
        EXPECT_EQ(dlg.m_strSourceName, c.name);
    }
}

TEST_F(LoadSettingsTest, HandEditIsSeenByFileReadersAtOnceAndByCopiesAtTheNextLoad) {
    const std::string path = scope.ConfigPath();
    ASSERT_TRUE(
        WriteBytes(path, "[Overall_situation]\r\nInstall=1\r\nTime_lapse=1\r\nDeferred=3\r\n"));
    CKestravaDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ASSERT_EQ(g_strInstall, "1");

    ASSERT_TRUE(
        WriteBytes(path, "[Overall_situation]\r\nInstall=0\r\nTime_lapse=0\r\nDeferred=9\r\n"));
    EXPECT_EQ(ReadSetting(key::Install), "0");
    EXPECT_EQ(ReadSetting(key::Deferred), "9");
    EXPECT_EQ(g_strInstall, "1");
    EXPECT_EQ(g_strTimeLapse, "1");
    EXPECT_EQ(g_strDeferred, "3");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DELAY_SECONDS), "3");

    SendCommand(dlg.m_hWnd, IDC_LOAD_SETTINGS);
    EXPECT_EQ(g_strInstall, "0");
    EXPECT_EQ(g_strTimeLapse, "0");
    EXPECT_EQ(g_strDeferred, "9");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DELAY_SECONDS), "9");
}

}  // namespace
}  // namespace kestrava::test
