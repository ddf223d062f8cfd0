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

size_t CountFiles(const std::map<std::string, std::string>& tree) {
    return static_cast<size_t>(std::count_if(
        tree.begin(), tree.end(), [](const auto& entry) { return entry.second != "<folder>"; }));
}

// Source <files>\源\数据誠 holds nested and empty folders, Chinese names, a hidden file
// and the sizes around a chunk; the target directory <files>\目标 exists.
class FolderCopyTest : public CopyTest {
  protected:
    void SetUp() override {
        CopyTest::SetUp();
        ASSERT_TRUE(WriteTree(files.Path(),
                              {{"源", "", true}, {"源\\" + kName, "", true}, {"目标", "", true}}));
        ASSERT_TRUE(WriteTree(source, {{"空文件.txt", ""},
                                       {"one.bin", "x"},
                                       {"block.bin", PatternBytes(512, 1)},
                                       {"block+1.bin", PatternBytes(513, 2)},
                                       {"大文件.bin", PatternBytes(70000, 3)},
                                       {"隐藏.txt", "hidden", false, FILE_ATTRIBUTE_HIDDEN},
                                       {"子目录", "", true},
                                       {"子目录\\深层", "", true},
                                       {"子目录\\深层\\内容.txt", PatternBytes(1000, 4)},
                                       {"子目录\\空", "", true},
                                       {"誠", "", true},
                                       {"誠\\誠.txt", PatternBytes(700, 5)},
                                       {"空文件夹", "", true}}));
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
    // A file of many chunks, here only: the other tests copy the tree again and again.
    ASSERT_TRUE(WriteBytes(source + "\\子目录\\三兆.bin", PatternBytes(3 * 1024 * 1024, 6)));
    original = ReadTree(source);
    // Existing target files are overwritten and cut, others are left alone.
    ASSERT_TRUE(WriteTree(targetDir, {{kName, "", true},
                                      {kName + "\\block.bin", PatternBytes(100000, 9)},
                                      {kName + "\\其他.txt", "keep me"}}));
    SetPaths(source, placeholderTarget);

    SendCommand(dlg.m_hWnd, IDC_COPY);

    std::map<std::string, std::string> expected = original;
    expected["其他.txt"] = "keep me";
    EXPECT_TRUE(ReadTree(copy) == expected) << "the copy differs from the source tree";
    EXPECT_EQ(::GetFileAttributesA((copy + "\\隐藏.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u)
        << "only bytes are copied";
    EXPECT_EQ(platform.BoxTexts(), kDone);
    EXPECT_EQ(platform.sleeps, std::vector<DWORD>(CountFiles(original), 500));
    // Every file's path shows once, and each level ends with its own text.
    const size_t folders = original.size() - CountFiles(original);
    EXPECT_EQ(
        static_cast<size_t>(std::count(status->texts.begin(), status->texts.end(), kLevelDone)),
        folders + 1);
    for (const auto& [rel, bytes] : original) {
        if (bytes != "<folder>") {
            EXPECT_EQ(std::count(status->texts.begin(), status->texts.end(), source + "\\" + rel),
                      1)
                << rel;
        }
    }
    EXPECT_EQ(status->texts.back(), kLevelDone);
    EXPECT_EQ(dlg.m_strSourceCopy, source);
    EXPECT_TRUE(g_strTargetRoot.empty() && g_strTargetFolder.empty());
}

TEST_F(FolderCopyTest, TreeLandsInTheFolderTheTextsName) {
    // clang-format off
    const struct { const char* name; std::string sourceText; std::string targetText;
                   std::string currentDirectory; std::string landsIn; bool folderExists; } cases[] = {
        {"target text without a backslash", source, kPlaceholder, targetDir, copy, false},
        {"any file name in the target text", source, targetDir + "\\别的名字.doc", "", copy, false},
        {"source ending in a backslash", source + "\\", placeholderTarget, "", copy, false},
        {"source ending in two backslashes", source + "\\\\", placeholderTarget, "", copy, false},
        {"relative source", kName, placeholderTarget, sourceParent, copy, false},
        // The walk enters an existing target folder; the source still means the same folder.
        {"relative source, existing target folder", kName, placeholderTarget, sourceParent, copy, true},
        // The walk leaves the target folder out wherever it lies below the source.
        {"target inside the source", source, source + "\\" + kPlaceholder, "",
         source + "\\" + kName, false},
        {"target deep inside the source", source, source + "\\子目录\\" + kPlaceholder, "",
         source + "\\子目录\\" + kName, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.currentDirectory.empty()) {
            ASSERT_TRUE(::SetCurrentDirectoryA(c.currentDirectory.c_str()));
        }
        if (c.folderExists) {
            ASSERT_TRUE(::CreateDirectoryA(c.landsIn.c_str(), nullptr));
        }
        platform.boxes.clear();
        SetPaths(c.sourceText, c.targetText);

        SendCommand(dlg.m_hWnd, IDC_COPY);

        EXPECT_TRUE(ReadTree(c.landsIn) == original) << "in " << c.landsIn;
        EXPECT_EQ(platform.BoxTexts(), kDone);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_STATUS_TEXT), kLevelDone);
        // Put everything back for the next case; a copy inside the source was not copied
        // into itself.
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        RemoveTree(c.landsIn);
        ASSERT_TRUE(ReadTree(source) == original) << "the source changed";
    }
}

TEST_F(FolderCopyTest, FailureShowsOneStopBoxAndStopsTheWalk) {
    const std::string held = source + "\\子目录\\深层\\内容.txt";
    // clang-format off
    const struct { const char* name; std::string sourceText; std::string named; } cases[] = {
        // Nothing is listed: no folder is left behind for a source that is not one.
        {"missing source", files.Path() + "不存在", files.Path() + "不存在"},
        {"source names a file", source + "\\one.bin", source + "\\one.bin"},
        {"a file held open elsewhere", source, held},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeldOpenFile holder = HoldOpen(held);
        platform.boxes.clear();
        platform.sleeps.clear();
        status->texts.clear();
        SetPaths(c.sourceText, placeholderTarget);

        SendCommand(dlg.m_hWnd, IDC_COPY);

        ASSERT_EQ(platform.boxes.size(), 1u) << "no completion box after a failure";
        EXPECT_NE(platform.boxes[0].text.find(c.named), std::string::npos)
            << platform.boxes[0].text;
        EXPECT_EQ(platform.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
        const std::map<std::string, std::string> copied = ReadTree(targetDir);
        if (c.named != held) {
            EXPECT_TRUE(copied.empty());
            EXPECT_TRUE(status->texts.empty());
            continue;
        }
        // The status line keeps the failing file; exactly the files shown before it were
        // copied, each after its pause.
        ASSERT_FALSE(status->texts.empty());
        EXPECT_EQ(status->texts.back(), held);
        for (const auto& [rel, bytes] : original) {
            const bool shownBefore = std::count(status->texts.begin(), status->texts.end() - 1,
                                                source + "\\" + rel) == 1;
            if (bytes != "<folder>") {
                EXPECT_EQ(copied.count(kName + "\\" + rel) == 1, shownBefore) << rel;
            }
        }
        EXPECT_EQ(platform.sleeps.size() +
                      std::count(status->texts.begin(), status->texts.end(), kLevelDone),
                  status->texts.size());
        EXPECT_FALSE(g_strTargetFolder.empty()) << "the working strings are kept after a failure";
    }
}

TEST_F(FolderCopyTest, DocumentOptionReadAtEachPressChoosesTheKindOfCopy) {
    // The option as stored (nullptr: no such key); the hidden folder command ignores it.
    // clang-format off
    const struct { const char* option; int command; bool folderCopy; } cases[] = {
        {"1", IDC_COPY, false}, {"0", IDC_COPY, true}, {"", IDC_COPY, true}, {"01", IDC_COPY, true},
        {"10", IDC_COPY, true}, {nullptr, IDC_COPY, true}, {"1", IDC_FOLDER_COPY, true}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.option ? c.option : "no key") +
                     (c.command == IDC_COPY ? "" : ", folder command"));
        ::WritePrivateProfileStringA(kConfigSection, key::DocumentOption, c.option,
                                     g_strConfigPath.c_str());
        WriteSetting(key::SavePath, "未动过");
        platform.boxes.clear();
        SetPaths(source, placeholderTarget);

        SendCommand(dlg.m_hWnd, c.command);

        EXPECT_EQ(FileExists(copy), c.folderCopy);
        // The single-file copy renames the placeholder target, then refuses it.
        EXPECT_EQ(platform.BoxTexts(), c.folderCopy ? kDone : std::vector<std::string>{});
        EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), c.folderCopy ? placeholderTarget : "");
        EXPECT_EQ(ReadSetting(key::SavePath), c.folderCopy ? "未动过" : copy);
        RemoveTree(copy);
    }
}

TEST(CopyPaths, FolderNameJoinAndFullPathStepOverDoubleByteCharacters) {
    // A drive root's contents go into the target folder itself.
    // clang-format off
    const struct { const char* path; const char* name; } names[] = {
        {"D:\\data\\photos", "photos"}, {"D:\\data\\photos\\", "photos"}, {"D:\\data\\photos\\\\", "photos"},
        {"D:\\", ""}, {"d:\\\\", ""}, {"Z:\\tmp\\数据誠", "数据誠"}, {"Z:\\tmp\\数据誠\\", "数据誠"},
        {"\\\\server\\share\\", "share"}, {"photos", "photos"}, {"", ""}};
    // clang-format on
    for (const auto& c : names) {
        EXPECT_EQ(SourceFolderName(c.path), c.name) << c.path;
    }
    // clang-format off
    // With no folder at all a file keeps its bare name, never "\\name".
    const struct { const char* dir; const char* joined; } joins[] = {
        {"E:\\backup\\", "E:\\backup\\a.jpg"}, {"E:\\backup", "E:\\backup\\a.jpg"}, {"E:\\", "E:\\a.jpg"},
        {"E:\\数据誠", "E:\\数据誠\\a.jpg"}, {"", "a.jpg"}};
    // clang-format on
    for (const auto& c : joins) {
        EXPECT_EQ(JoinPath(c.dir, "a.jpg"), c.joined) << c.dir;
    }
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
