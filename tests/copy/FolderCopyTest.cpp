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
#include "support/CopyTestSupport.h"

namespace kestrava::test {
namespace {

const char* const kPlaceholder = "复制文件夹功能启动.txt";
const char* const kLevelDone = "文件夹复制成功......";
const char* const kDone = "复制完成";
// 誠 is D5 5C: its trail byte is the backslash code, here at the very end of the name.
const char* const kSourceName = "数据誠";

// Nested and empty folders, Chinese names, a hidden file and the sizes around a chunk.
std::vector<TreeEntry> SampleTree() {
    return {
        {"空文件.txt", ""},
        {"one.bin", "x"},
        {"block.bin", PatternBytes(512, 1)},
        {"block+1.bin", PatternBytes(513, 2)},
        {"大文件.bin", PatternBytes(70000, 3)},
        {"隐藏.txt", "hidden bytes", false, FILE_ATTRIBUTE_HIDDEN},
        {"子目录", "", true},
        {"子目录\\深层", "", true},
        {"子目录\\深层\\内容.txt", PatternBytes(1000, 4)},
        {"子目录\\空", "", true},
        {"誠", "", true},
        {"誠\\誠.txt", PatternBytes(700, 5)},
        {"空文件夹", "", true},
    };
}

size_t CountFiles(const std::map<std::string, std::string>& tree) {
    return static_cast<size_t>(std::count_if(
        tree.begin(), tree.end(), [](const auto& entry) { return entry.second != "<folder>"; }));
}

class FolderCopyTest : public CopyCommandTest {
  protected:
    void SetUp() override {
        CopyCommandTest::SetUp();
        sourceParent = files.Path() + "源";
        source = sourceParent + "\\" + kSourceName;
        targetDir = files.Path() + "目标";
        copy = targetDir + "\\" + kSourceName;
        placeholderTarget = targetDir + "\\" + kPlaceholder;
        ASSERT_TRUE(::CreateDirectoryA(sourceParent.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryA(source.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryA(targetDir.c_str(), nullptr));
        ASSERT_TRUE(WriteTree(source, SampleTree()));
        original = ReadTree(source);
        ASSERT_EQ(CountFiles(original), 8u);
    }

    std::string sourceParent, source, targetDir, copy, placeholderTarget;
    std::map<std::string, std::string> original;
};

TEST_F(FolderCopyTest, CopyButtonRecreatesTheTreeByteForByte) {
    // A file of many chunks, here only: the other tests copy the tree again and again.
    ASSERT_TRUE(WriteBytes(source + "\\子目录\\三兆.bin", PatternBytes(3 * 1024 * 1024, 6)));
    original = ReadTree(source);
    SetPaths(source, placeholderTarget);
    SendCommand(dlg.m_hWnd, IDC_COPY);

    EXPECT_TRUE(ReadTree(copy) == original) << "the copy differs from the source tree";
    EXPECT_EQ(::GetFileAttributesA((copy + "\\隐藏.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u)
        << "only bytes are copied";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kDone});
    EXPECT_EQ(platform.sleeps, std::vector<DWORD>(CountFiles(original), 500));

    // Every file's path shows once, in walk order, and each level ends with its own text.
    const size_t folders = original.size() - CountFiles(original);
    EXPECT_EQ(static_cast<size_t>(
                  std::count(status->texts.begin(), status->texts.end(), std::string(kLevelDone))),
              folders + 1);
    for (const auto& [rel, bytes] : original) {
        if (bytes == "<folder>") continue;
        EXPECT_EQ(std::count(status->texts.begin(), status->texts.end(), source + "\\" + rel), 1)
            << rel;
    }
    ASSERT_FALSE(status->texts.empty());
    EXPECT_EQ(status->texts.back(), kLevelDone);
    EXPECT_EQ(dlg.m_strSourceCopy, source);
    EXPECT_TRUE(g_strTargetRoot.empty());
    EXPECT_TRUE(g_strTargetFolder.empty());
}

TEST_F(FolderCopyTest, ExistingTargetFilesAreOverwrittenAndCutOthersLeftAlone) {
    ASSERT_TRUE(
        WriteTree(targetDir, {{kSourceName, "", true},
                              {std::string(kSourceName) + "\\block.bin", PatternBytes(100000, 9)},
                              {std::string(kSourceName) + "\\one.bin", ""},
                              {std::string(kSourceName) + "\\其他.txt", "keep me"}}));
    SetPaths(source, placeholderTarget);
    SendCommand(dlg.m_hWnd, IDC_COPY);

    std::map<std::string, std::string> expected = original;
    expected["其他.txt"] = "keep me";
    EXPECT_TRUE(ReadTree(copy) == expected);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kDone});
}

TEST_F(FolderCopyTest, TreeLandsInTheFolderTheTextsName) {
    struct Case {
        const char* name;
        std::string sourceText;
        std::string targetText;
        std::string currentDirectory;  // empty: left as it is
        std::string landsIn;
    };
    const std::vector<Case> cases = {
        {"target text without a backslash", source, kPlaceholder, targetDir, copy},
        {"any file name in the target text", source, targetDir + "\\别的名字.doc", "", copy},
        {"source ending in a backslash", source + "\\", placeholderTarget, "", copy},
        {"source ending in two backslashes", source + "\\\\", placeholderTarget, "", copy},
        {"relative source", kSourceName, placeholderTarget, sourceParent, copy},
        // The walk leaves the target folder out wherever it lies below the source.
        {"target inside the source", source, source + "\\" + kPlaceholder, "",
         source + "\\" + kSourceName},
        {"target deep inside the source", source, source + "\\子目录\\" + kPlaceholder, "",
         source + "\\子目录\\" + kSourceName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.currentDirectory.empty()) {
            ASSERT_TRUE(::SetCurrentDirectoryA(c.currentDirectory.c_str()));
        }
        platform.boxes.clear();
        SetPaths(c.sourceText, c.targetText);

        SendCommand(dlg.m_hWnd, IDC_COPY);

        EXPECT_TRUE(ReadTree(c.landsIn) == original) << "in " << c.landsIn;
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{kDone});
        EXPECT_EQ(dlg.GetDlgItemText(IDC_STATUS_TEXT), kLevelDone);
        // A copy inside the source was not copied into itself.
        EXPECT_EQ(ReadTree(sourceParent)
                      .count(std::string(kSourceName) + "\\" + kSourceName + "\\" + kSourceName),
                  0u);
        // Put everything back for the next case.
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        RemoveTree(c.landsIn);
        ASSERT_TRUE(ReadTree(source) == original) << "the source changed";
    }
}

TEST_F(FolderCopyTest, SourceThatCannotBeListedFailsTheCommand) {
    const std::string missing = files.Path() + "不存在";
    const std::string file = source + "\\one.bin";
    for (const std::string& sourceText : {missing, file}) {
        SCOPED_TRACE(sourceText);
        platform.boxes.clear();
        dlg.SetDlgItemText(IDC_STATUS_TEXT, "");
        SetPaths(sourceText, placeholderTarget);

        SendCommand(dlg.m_hWnd, IDC_COPY);

        ASSERT_EQ(platform.boxes.size(), 1u) << "no completion box after a failure";
        EXPECT_NE(platform.boxes[0].text.find(sourceText), std::string::npos)
            << platform.boxes[0].text;
        EXPECT_EQ(platform.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
        EXPECT_NE(dlg.GetDlgItemText(IDC_STATUS_TEXT), kLevelDone);
        EXPECT_FALSE(FileExists(targetDir + "\\" + LastComponent(sourceText)))
            << "no empty folder left for a source that is not one";
    }
}

TEST_F(FolderCopyTest, FailureStopsTheWalkAtTheFailingFile) {
    const std::string held = source + "\\子目录\\深层\\内容.txt";
    HeldOpenFile holder(held);
    ASSERT_TRUE(holder.IsOpen());
    SetPaths(source, placeholderTarget);

    SendCommand(dlg.m_hWnd, IDC_COPY);

    ASSERT_EQ(platform.boxes.size(), 1u) << "no completion box after a failure";
    EXPECT_NE(platform.boxes[0].text.find(held), std::string::npos) << platform.boxes[0].text;
    EXPECT_EQ(platform.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    // The status line keeps the failing file; no level ends after it.
    ASSERT_FALSE(status->texts.empty());
    EXPECT_EQ(status->texts.back(), held);
    // Exactly the files shown before it were copied.
    const std::map<std::string, std::string> copied = ReadTree(copy);
    for (const auto& [rel, bytes] : original) {
        if (bytes == "<folder>") continue;
        const std::string path = source + "\\" + rel;
        const bool shownBefore = std::find(status->texts.begin(), status->texts.end() - 1, path) !=
                                 status->texts.end() - 1;
        EXPECT_EQ(copied.count(rel), shownBefore ? 1u : 0u) << rel;
    }
    EXPECT_EQ(platform.sleeps.size(), static_cast<size_t>(std::count_if(
                                          status->texts.begin(), status->texts.end(),
                                          [](const std::string& t) { return t != kLevelDone; })));
    EXPECT_FALSE(g_strTargetFolder.empty()) << "the working strings are kept after a failure";
}

TEST_F(FolderCopyTest, DocumentOptionReadAtEachPressChoosesTheKindOfCopy) {
    struct Case {
        const char* name;
        const char* option;  // nullptr: no such key
        int command;
        bool folderCopy;
    };
    for (const Case& c : {Case{"1 copies a single file", "1", IDC_COPY, false},
                          Case{"0 copies the folder", "0", IDC_COPY, true},
                          Case{"empty copies the folder", "", IDC_COPY, true},
                          Case{"01 copies the folder", "01", IDC_COPY, true},
                          Case{"missing copies the folder", nullptr, IDC_COPY, true},
                          Case{"hidden folder command ignores 1", "1", IDC_FOLDER_COPY, true}}) {
        SCOPED_TRACE(c.name);
        ::WritePrivateProfileStringA(kConfigSection, key::DocumentOption, c.option,
                                     g_strConfigPath.c_str());
        WriteSetting(key::SavePath, "未动过");
        platform.boxes.clear();
        SetPaths(source, placeholderTarget);

        SendCommand(dlg.m_hWnd, c.command);

        EXPECT_EQ(FileExists(copy), c.folderCopy);
        if (c.folderCopy) {
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{kDone});
            EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), placeholderTarget);
            EXPECT_EQ(ReadSetting(key::SavePath), "未动过");
        } else {
            // The single-file copy renames the placeholder target, then refuses it.
            EXPECT_TRUE(platform.boxes.empty());
            EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), "");
            EXPECT_EQ(ReadSetting(key::SavePath), copy);
        }
        RemoveTree(copy);
    }
}

TEST(CopyPaths, FolderNameAndJoinStepOverDoubleByteCharacters) {
    struct NameCase {
        const char* path;
        const char* name;
    };
    for (const NameCase& c : {
             NameCase{"D:\\data\\photos", "photos"},
             NameCase{"D:\\data\\photos\\", "photos"},
             NameCase{"D:\\data\\photos\\\\", "photos"},
             // A drive root's contents go into the target folder itself.
             NameCase{"D:\\", ""},
             NameCase{"d:\\\\", ""},
             NameCase{"Z:\\tmp\\数据誠", "数据誠"},
             NameCase{"Z:\\tmp\\数据誠\\", "数据誠"},
             NameCase{"\\\\server\\share\\", "share"},
             NameCase{"photos", "photos"},
             NameCase{"", ""},
         }) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(SourceFolderName(c.path), c.name);
    }
    struct JoinCase {
        const char* dir;
        const char* name;
        const char* joined;
    };
    for (const JoinCase& c : {
             JoinCase{"E:\\backup\\", "a.jpg", "E:\\backup\\a.jpg"},
             JoinCase{"E:\\backup", "a.jpg", "E:\\backup\\a.jpg"},
             JoinCase{"E:\\", "a.jpg", "E:\\a.jpg"},
             JoinCase{"E:\\数据誠", "a.jpg", "E:\\数据誠\\a.jpg"},
             // With no folder at all a file keeps its bare name, never "\\name".
             JoinCase{"", "a.jpg", "a.jpg"},
         }) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(JoinPath(c.dir, c.name), c.joined);
    }
    // A typed drive is its root, wherever the current directory on it happens to be.
    ScratchFolder current;
    ASSERT_TRUE(::SetCurrentDirectoryA(current.Path().c_str()));
    const std::string drive = current.Path().substr(0, 2);
    EXPECT_EQ(FullPath(drive), drive + "\\");
    EXPECT_EQ(SourceFolderName(FullPath(drive)), "");
    EXPECT_EQ(FullPath("."), current.Path().substr(0, current.Path().size() - 1));
    EXPECT_TRUE(::SetCurrentDirectoryA(".."));
    EXPECT_EQ(LastComponent("Z:\\tmp\\誠"), "誠");
    EXPECT_EQ(DirectoryPart("Z:\\tmp\\誠"), "Z:\\tmp\\");
    EXPECT_EQ(DirectoryPart("誠"), "");
}

}  // namespace
}  // namespace kestrava::test
