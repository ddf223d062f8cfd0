// The Copy command and the folder copy against the real main window and real trees:
// what arrives where, what the status line goes through, and where a failure stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "copy/CopyPaths.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

const char* const kPlaceholder = "复制文件夹功能启动.txt";
const char* const kLevelDone = "文件夹复制成功......";
const std::vector<std::string> kDone = {"复制完成"};
// 誠 is D5 5C: its trail byte is the backslash code, here at the very end of the name.
const std::string kName = "数据誠";

// Source <files>\源\数据誠 holds nested and empty folders, Chinese names, a hidden file
// and the sizes around a chunk; the target directory <files>\目标 exists.
class FolderCopyTest : public CopyTest {
  protected:
    void SetUp() override {
        CopyTest::SetUp();
        ASSERT_TRUE(WriteTree(files.Path(),
                              {{"源", "", true}, {"源\\" + kName, "", true}, {"目标", "", true}}));
        // clang-format off
        ASSERT_TRUE(WriteTree(source, {{"空文件.txt", ""}, {"one.bin", "x"}, {"block.bin", PatternBytes(512, 1)},
            {"block+1.bin", PatternBytes(513, 2)}, {"大文件.bin", PatternBytes(70000, 3)},
            {"隐藏.txt", "hidden", false, FILE_ATTRIBUTE_HIDDEN}, {"子目录", "", true}, {"子目录\\深层", "", true},
            {"子目录\\深层\\内容.txt", PatternBytes(1000, 4)}, {"子目录\\空", "", true}, {"誠", "", true},
            {"誠\\誠.txt", PatternBytes(700, 5)}, {"空文件夹", "", true}}));
        // clang-format on
        original = ReadTree(source);
    }

    const std::string sourceParent = files.Path() + "源";
    const std::string source = sourceParent + "\\" + kName;
    const std::string targetDir = files.Path() + "目标";
    const std::string copy = targetDir + "\\" + kName;
    const std::string placeholderTarget = targetDir + "\\" + kPlaceholder;
    std::map<std::string, std::string> original;
};

TEST_F(FolderCopyTest, CopyButtonRecreatesTheTreeByteForByte) {
    // A file of many chunks here only; existing target files are overwritten and cut,
    // others are left alone.
    ASSERT_TRUE(WriteBytes(source + "\\子目录\\三兆.bin", PatternBytes(3 * 1024 * 1024, 6)));
    original = ReadTree(source);
    ASSERT_TRUE(WriteTree(targetDir, {{kName, "", true},
                                      {kName + "\\block.bin", PatternBytes(100000, 9)},
                                      {kName + "\\其他.txt", "keep me"}}));
    SetPaths(source, placeholderTarget);
    SendCommand(dlg.m_hWnd, IDC_COPY);

    std::map<std::string, std::string> expected = original;
    expected["其他.txt"] = "keep me";
    EXPECT_TRUE(ReadTree(copy) == expected) << "the copy differs from the source tree";
    EXPECT_EQ(::GetFileAttributesA((copy + "\\隐藏.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(platform.BoxTexts(), kDone);
    // Every file's path shows once after its pause, and each level ends with its own text.
    const auto shown = [&](const std::string& text) {
        return static_cast<size_t>(std::count(status->texts.begin(), status->texts.end(), text));
    };
    size_t fileCount = 0;
    for (const auto& [rel, bytes] : original) {
        if (bytes == "<folder>") continue;
        ++fileCount;
        EXPECT_EQ(shown(source + "\\" + rel), 1u) << rel;
    }
    EXPECT_EQ(platform.sleeps, std::vector<DWORD>(fileCount, 500));
    EXPECT_EQ(shown(kLevelDone), original.size() - fileCount + 1);
    EXPECT_EQ(status->texts.back(), kLevelDone);
    EXPECT_EQ(dlg.m_strSourceCopy, source);
    EXPECT_TRUE(g_strTargetRoot.empty() && g_strTargetFolder.empty());
}

TEST_F(FolderCopyTest, TreeLandsInTheFolderTheTextsNameOrTheWalkStops) {
    // The walk leaves out the target folder wherever it lies below the source, and enters
    // an existing one; a relative source still means the same folder. The kind of copy is
    // read at each press (nullptr: no key): only "1" takes Copy to the single-file copy,
    // which renames the placeholder target, then refuses it (landsIn empty). stop: what the
    // one stop box of a failure names.
    const std::string held = source + "\\子目录\\深层\\内容.txt", missing = files.Path() + "不存在";
    // clang-format off
    const struct { const char* name; const char* option; int command; std::string sourceText, targetText, currentDirectory, landsIn; bool exists; std::string stop; } cases[] = {
        {"target text without a backslash", "0", IDC_COPY, source, kPlaceholder, targetDir, copy, false, ""},
        {"any file name in the target text", "", IDC_COPY, source, targetDir + "\\别的名字.doc", "", copy, false, ""},
        {"source ending in a backslash", "01", IDC_COPY, source + "\\", placeholderTarget, "", copy, false, ""},
        {"source ending in two backslashes", "10", IDC_COPY, source + "\\\\", placeholderTarget, "", copy, false, ""},
        {"relative source", nullptr, IDC_COPY, kName, placeholderTarget, sourceParent, copy, false, ""},
        {"relative source, existing target folder", "0", IDC_COPY, kName, placeholderTarget, sourceParent, copy, true, ""},
        {"target inside the source", "1", IDC_FOLDER_COPY, source, source + "\\" + kPlaceholder, "", source + "\\" + kName, false, ""},
        {"target deep inside the source", "0", IDC_COPY, source, source + "\\子目录\\" + kPlaceholder, "", source + "\\子目录\\" + kName, false, ""},
        {"kind 1", "1", IDC_COPY, source, placeholderTarget, "", "", false, ""},
        {"missing source", "0", IDC_COPY, missing, placeholderTarget, "", copy, false, missing},
        {"source names a file", "0", IDC_COPY, source + "\\one.bin", placeholderTarget, "", copy, false, source + "\\one.bin"},
        {"a file held open elsewhere", "0", IDC_COPY, source, placeholderTarget, "", copy, false, held},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.currentDirectory.empty() ||
                    ::SetCurrentDirectoryA(c.currentDirectory.c_str()));
        ASSERT_TRUE(!c.exists || ::CreateDirectoryA(c.landsIn.c_str(), nullptr));
        ::WritePrivateProfileStringA(kConfigSection, key::DocumentOption, c.option,
                                     g_strConfigPath.c_str());
        WriteSetting(key::SavePath, "未动过");
        platform.boxes.clear();
        platform.sleeps.clear();
        status->texts.clear();
        SetPaths(c.sourceText, c.targetText);
        HeldOpenFile holder = c.stop == held ? HoldOpen(held) : nullptr;
        SendCommand(dlg.m_hWnd, c.command);
        holder.reset();

        const bool folder = !c.landsIn.empty() && c.stop.empty();
        if (!c.stop.empty()) {
            ASSERT_EQ(platform.boxes.size(), 1u) << "no completion box after a failure";
            EXPECT_TRUE(platform.boxes[0].text.find(c.stop) != std::string::npos &&
                        (platform.boxes[0].type & MB_ICONMASK) == MB_ICONSTOP)
                << platform.boxes[0].text;
            // Nothing is left behind for a source that cannot be listed; a failing file
            // stays on the status line, and exactly the files shown before it were copied,
            // each after its pause.
            const std::map<std::string, std::string> copied = ReadTree(targetDir);
            EXPECT_EQ(copied.empty(), c.stop != held);
            const auto& texts = status->texts;
            EXPECT_EQ(texts.empty() ? "" : texts.back(), c.stop == held ? held : "");
            for (const auto& [rel, bytes] : original) {
                const bool shownBefore = std::count(texts.begin(), texts.end() - !texts.empty(),
                                                    source + "\\" + rel) == 1;
                EXPECT_TRUE(bytes == "<folder>" ||
                            (copied.count(kName + "\\" + rel) == 1) == shownBefore)
                    << rel;
            }
            EXPECT_EQ(platform.sleeps.size() + std::count(texts.begin(), texts.end(), kLevelDone),
                      texts.size());
            EXPECT_FALSE(g_strTargetFolder.empty())
                << "the working strings are kept after a failure";
        } else {
            EXPECT_TRUE(folder ? ReadTree(c.landsIn) == original : !FileExists(copy)) << c.landsIn;
            EXPECT_EQ(platform.BoxTexts(), folder ? kDone : std::vector<std::string>{});
            EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), folder ? c.targetText : "");
            EXPECT_EQ(ReadSetting(key::SavePath), folder ? "未动过" : copy);
            EXPECT_TRUE(!folder || dlg.GetDlgItemText(IDC_STATUS_TEXT) == kLevelDone);
        }
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        RemoveTree(c.landsIn.empty() ? copy : c.landsIn);
        ASSERT_TRUE(ReadTree(source) == original) << "the source changed";
    }
}

TEST(CopyPaths, FolderNameJoinAndFullPathStepOverDoubleByteCharacters) {
    // A drive root's contents go into the target folder itself; with no folder at all a
    // file keeps its bare name, never "\name".
    // clang-format off
    const struct { const char* path; const char* name; } names[] = {
        {"D:\\data\\photos", "photos"}, {"D:\\data\\photos\\", "photos"}, {"D:\\data\\photos\\\\", "photos"},
        {"D:\\", ""}, {"d:\\\\", ""}, {"Z:\\tmp\\数据誠", "数据誠"}, {"Z:\\tmp\\数据誠\\", "数据誠"},
        {"\\\\server\\share\\", "share"}, {"photos", "photos"}, {"", ""}};
    const struct { const char* dir; const char* joined; } joins[] = {
        {"E:\\backup\\", "E:\\backup\\a.jpg"}, {"E:\\backup", "E:\\backup\\a.jpg"}, {"E:\\", "E:\\a.jpg"},
        {"E:\\数据誠", "E:\\数据誠\\a.jpg"}, {"", "a.jpg"}};
    // clang-format on
    for (const auto& c : names) EXPECT_EQ(SourceFolderName(c.path), c.name) << c.path;
    for (const auto& c : joins) EXPECT_EQ(JoinPath(c.dir, "a.jpg"), c.joined) << c.dir;
    // A typed drive is its root, wherever the current directory on it happens to be.
    ScratchFolder current;
    ASSERT_TRUE(::SetCurrentDirectoryA(current.Path().c_str()));
    const std::string drive = current.Path().substr(0, 2);
    EXPECT_EQ(FullPath(drive), drive + "\\");
    EXPECT_EQ(FullPath("."), current.Path().substr(0, current.Path().size() - 1));
    EXPECT_TRUE(::SetCurrentDirectoryA(".."));
    EXPECT_EQ(LastComponent("Z:\\tmp\\誠"), "誠");
    EXPECT_EQ(DirectoryPart("Z:\\tmp\\誠"), "Z:\\tmp\\");
    EXPECT_EQ(DirectoryPart("誠"), "");
}

}  // namespace
}  // namespace kestrava::test
