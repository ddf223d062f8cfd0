// The configuration file and the copies loaded at start-up: where the file lies, what a
// read and a write do to it, and when a change made during a run is seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

std::string Repeat(const std::string& unit, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += unit;
    return out;
}

// 誠 is D5 5C: its trail byte is the backslash code.
TEST(ConfigPath, LiesInTheExecutablesOwnFolder) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {{"C:\\Program Files\\Kestrava\\Kestrava.exe", "C:\\Program Files\\Kestrava\\"},
         {"Z:\\tmp\\誠\\Kestrava.exe", "Z:\\tmp\\誠\\"}, {"Z:\\tmp\\工具\\誠.exe", "Z:\\tmp\\工具\\"},
         {"D:\\誠誠\\a誠b.exe", "D:\\誠誠\\"}, {"Kestrava.exe", ""}};
    // clang-format on
    for (const auto& [module, folder] : cases) {
        EXPECT_EQ(ConfigPathFor(module), std::string(folder) + "Kestrava_Configuration.ini")
            << module;
    }
}

class ConfigFileTest : public ::testing::Test {
  protected:
    FakePlatform platform;
};

// Around the reader's first buffer of 128 bytes, double-byte runs at odd and even offsets,
// a 300-byte path and a value far longer than any path.
TEST_F(ConfigFileTest, ValuesOfAnyLengthComeBackWhole) {
    for (const std::string& value :
         {std::string("x"), Repeat("a", 126), Repeat("b", 127), Repeat("c", 128), Repeat("d", 129),
          Repeat("e", 255), Repeat("f", 256), "D:\\备份\\" + Repeat("子目录\\", 41) + "报告.doc",
          Repeat("誠", 63), Repeat("誠", 64), "a" + Repeat("誠", 64), Repeat("0123456789", 500),
          std::string("C:\\My  Files\\a b.txt")}) {
        WriteSetting(key::SourcePath, value);
        EXPECT_EQ(ReadSetting(key::SourcePath), value) << value.size() << " bytes";
    }
}

TEST_F(ConfigFileTest, FirstWriteCreatesTheFileAndEveryWriteReplacesTheWholeValue) {
    EXPECT_EQ(ReadSetting(key::SavePath), "") << "no file";
    ASSERT_FALSE(FileExists(platform.ConfigPath()));
    WriteSetting(key::SavePath, "D:\\a very long target folder\\file.txt");
    WriteSetting(key::SavePath, "D:\\b");
    EXPECT_EQ(ReadSetting(key::SavePath) + ReadSetting(key::Headline), "D:\\b");
    WriteFlag(key::Install, BST_CHECKED);
    EXPECT_EQ(ReadSetting(key::Install), "1");
    WriteFlag(key::Install, BST_UNCHECKED);
    WriteSetting(key::Headline, "");  // an empty value is stored, not a key removed
    // Other programs (and the user) read this file: one section, plain key=value lines.
    EXPECT_EQ(ReadBytes(platform.ConfigPath()),
              "[Overall_situation]\r\nSave_path=D:\\b\r\nInstall=0\r\nHeadline=\r\n");
}

TEST_F(ConfigFileTest, LoadPutsEachKeyWholeIntoItsOwnCopyAndWritesNothing) {
    // Written by hand, as a user edits the file: distinct values catch a swapped key, and
    // paths past 300 bytes one that is cut. Without a file every copy is empty.
    const std::string source = "D:\\" + Repeat("很长的文件夹名称\\", 18) + "报告.doc";
    const std::string target = "E:\\" + Repeat("target-folder\\", 21) + "报告.doc";
    const std::string file = "[Overall_situation]\r\nSource_path=" + source +
                             "\r\nSave_path=" + target +
                             "\r\nInstall=yes\r\nTime_lapse=00\r\nDeferred=15\r\n"
                             "Document_option=1\r\nHeadline=复制工具\r\n";
    for (const bool withFile : {false, true}) {
        SCOPED_TRACE(withFile ? "with a file" : "without a file");
        if (withFile) {
            ASSERT_TRUE(WriteBytes(platform.ConfigPath(), file));
        }
        // The copies of an earlier load must not survive a new one.
        for (std::string* s : {&g_strConfigPath, &g_strSourcePath, &g_strTargetPath, &g_strInstall,
                               &g_strDeferred, &g_strTimeLapse, &g_strDocumentOption,
                               &g_strTargetRoot, &g_strTargetFolder, &g_strLinkConfigPath}) {
            *s = "stale";
        }
        g_nAutoStartPending = 0;
        CKestravaDlg dlg;
        dlg.m_strSourceName = "stale";
        ASSERT_TRUE(dlg.Create());

        EXPECT_EQ(g_strConfigPath + "|" + g_strLinkConfigPath,
                  platform.ConfigPath() + "|" + platform.ConfigPath());
        EXPECT_EQ(g_strTargetRoot + g_strTargetFolder, "");
        EXPECT_EQ(g_nAutoStartPending, 1);
        const std::string loaded =
            g_strSourcePath + "|" + dlg.m_strSourceFile + "|" + dlg.m_strSourceName + "|" +
            g_strTargetPath + "|" + g_strInstall + "|" + g_strTimeLapse + "|" + g_strDeferred +
            "|" + g_strDocumentOption + "|" + dlg.GetDlgItemText(IDC_DELAY_SECONDS);
        EXPECT_EQ(loaded, withFile
                              ? source + "|" + source + "|报告.doc|" + target + "|yes|00|15|1|15"
                              : "||||||||");
        EXPECT_EQ(ReadSetting(key::Deferred), withFile ? "15" : "")
            << "loading must not write \"Deferred\"";
    }
}

TEST_F(ConfigFileTest, HandEditIsSeenByReadersAtOnceAndByCopiesAtTheNextLoad) {
    const std::string path = platform.ConfigPath();
    ASSERT_TRUE(
        WriteBytes(path, "[Overall_situation]\r\nInstall=1\r\nTime_lapse=1\r\nDeferred=3\r\n"));
    CKestravaDlg dlg;
    ASSERT_TRUE(dlg.Create());
    ASSERT_TRUE(
        WriteBytes(path, "[Overall_situation]\r\nInstall=0\r\nTime_lapse=0\r\nDeferred=9\r\n"));
    EXPECT_EQ(ReadSetting(key::Install) + ReadSetting(key::Deferred), "09");
    EXPECT_EQ(g_strInstall + g_strTimeLapse + g_strDeferred, "113");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DELAY_SECONDS), "3");
    SendCommand(dlg.m_hWnd, IDC_LOAD_SETTINGS);
    EXPECT_EQ(g_strInstall + g_strTimeLapse + g_strDeferred, "009");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DELAY_SECONDS), "9");
    // The source's name is the text after its last backslash.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {{"C:\\data\\report.doc", "report.doc"}, {"C:\\data\\", ""},
         {"report.doc", ""}, {"C:\\", ""}, {"D:\\资料\\誠.doc", "誠.doc"}, {"D:\\誠\\a", "a"}};
    // clang-format on
    for (const auto& [source, name] : cases) {
        WriteSetting(key::SourcePath, source);
        SendCommand(dlg.m_hWnd, IDC_LOAD_SETTINGS);
        EXPECT_EQ(dlg.m_strSourceFile + "|" + dlg.m_strSourceName,
                  std::string(source) + "|" + name);
    }
}

}  // namespace
}  // namespace kestrava::test
