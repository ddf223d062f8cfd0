// The single-file copy against the real main window: the target's name taken from the
// source, the placeholder target refused, and failures that end the command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy/CopyPaths.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/CopyTestSupport.h"

namespace kestrava::test {
namespace {

const char* const kUntouched = "未动过";
const char* const kDone = "复制完成";

TEST(PathTitle, NameAfterTheLastSeparatorWithoutItsExtension) {
    struct Case {
        const char* path;
        bool keepExtension;
        const char* title;
    };
    for (const Case& c : {
             Case{"D:\\x\\report.doc", false, "report"},
             Case{"D:\\x\\a.tar.gz", false, "a.tar"},
             Case{"D:\\x\\a.tar.gz", true, "a.tar.gz"},
             Case{"D:/x/b.txt", false, "b"},
             // A '/' counts only when there is no '\\' at all.
             Case{"D:\\x/y.txt", false, "x/y"},
             Case{"noext", false, "noext"},
             Case{".profile", false, ""},
             Case{"D:\\x\\", false, ""},
             Case{"", false, ""},
             Case{"Z:\\目录\\报告.doc", false, "报告"},
             // 誠's trail byte is '\\' and must not end the search.
             Case{"Z:\\目录\\誠", false, "誠"},
             Case{"Z:\\誠.txt", false, "誠"},
         }) {
        SCOPED_TRACE(std::string(c.path) + (c.keepExtension ? " with extension" : ""));
        EXPECT_EQ(CKestravaDlg::GetPathTitle(c.path, c.keepExtension), c.title);
    }
}

class SingleFileCopyTest : public CopyCommandTest {
  protected:
    void SetUp() override {
        CopyCommandTest::SetUp();
        sourceDir = files.Path() + "甲";
        targetDir = files.Path() + "乙";
        ASSERT_TRUE(::CreateDirectoryA(sourceDir.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryA(targetDir.c_str(), nullptr));
        for (const char* name : {"a.txt", "report.doc", "Notes.doc", "誠.txt", "null"}) {
            ASSERT_TRUE(WriteBytes(sourceDir + "\\" + name, Bytes(name)));
        }
    }
    static std::string Bytes(const std::string& name) {
        return name + PatternBytes(1500, static_cast<unsigned>(name.size()));
    }

    std::string sourceDir, targetDir;
};

TEST_F(SingleFileCopyTest, TargetTakesTheSourcesNameBeforeThePlaceholderTest) {
    struct Case {
        const char* name;
        const char* option;
        std::string source;
        std::string target;
        std::string shownTarget;
        std::string savePath;  // kUntouched: not written
        std::string copiedTo;  // empty: nothing copied
        bool focusOnTarget;
    };
    const std::string S = sourceDir + "\\";
    const std::string T = targetDir + "\\";
    const std::vector<Case> cases = {
        {"different titles", "1", S + "a.txt", T + "b.txt", T + "a.txt", T + "a.txt", T + "a.txt",
         false},
        {"equal titles, other extension", "1", S + "report.doc", T + "report.txt", T + "report.txt",
         kUntouched, T + "report.txt", false},
        {"titles differing in case", "1", S + "Notes.doc", T + "notes.txt", T + "Notes.doc",
         T + "Notes.doc", T + "Notes.doc", false},
        {"name with a 0x5C trail byte", "1", S + "誠.txt", T + "旧.txt", T + "誠.txt", T + "誠.txt",
         T + "誠.txt", false},
        {"kind other than 1 keeps the target", "0", S + "a.txt", T + "b.txt", T + "b.txt",
         kUntouched, T + "b.txt", false},
        {"placeholder target", "1", S + "a.txt", T + "复制文件夹功能启动.txt", "", T + "a.txt", "",
         true},
        {"placeholder with any extension, kind 0", "0", S + "a.txt", T + "复制文件夹功能启动.doc",
         "", kUntouched, "", true},
        // Bare names are relative to the current directory, the target folder here.
        {"empty target", "1", S + "a.txt", "", "a.txt", "a.txt", T + "a.txt", false},
        {"target without a backslash", "1", S + "a.txt", "b.txt", "a.txt", "a.txt", T + "a.txt",
         false},
        {"empty source", "1", "", T + "b.txt", T, T, "", false},
        {"both empty", "1", "", "", "", kUntouched, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(::SetCurrentDirectoryA(targetDir.c_str()));
        WriteSetting(key::DocumentOption, c.option);
        WriteSetting(key::SavePath, kUntouched);
        platform.boxes.clear();
        SetPaths(c.source, c.target);
        ::SetFocus(dlg.GetDlgItem(IDC_SOURCE_PATH));

        // The Copy button reaches the single-file copy only with kind 1; the hidden
        // command runs it for any kind.
        SendCommand(dlg.m_hWnd, std::string(c.option) == "1" ? IDC_COPY : IDC_FILE_COPY);

        EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), c.shownTarget);
        EXPECT_EQ(ReadSetting(key::SavePath), c.savePath);
        EXPECT_EQ(::GetFocus() == dlg.GetDlgItem(IDC_TARGET_PATH), c.focusOnTarget);
        if (c.copiedTo.empty()) {
            EXPECT_TRUE(ReadTree(targetDir).empty()) << "something was copied";
            EXPECT_TRUE(platform.boxes.empty());
        } else {
            EXPECT_TRUE(ReadBytes(c.copiedTo) == Bytes(LastComponent(c.source)));
            EXPECT_EQ(ReadTree(targetDir).size(), 1u);
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{kDone});
        }
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        RemoveTree(targetDir);
        ASSERT_TRUE(::CreateDirectoryA(targetDir.c_str(), nullptr));
    }
}

TEST_F(SingleFileCopyTest, FailureShowsOneStopBoxAndEndsTheCommand) {
    struct Case {
        const char* name;
        std::string source;
        std::string target;
        bool holdSource;
        std::string named;  // the file the box names
    };
    const std::string a = sourceDir + "\\a.txt";
    const std::string missingDir = targetDir + "\\缺少\\a.txt";
    const std::vector<Case> cases = {
        {"target folder missing", a, missingDir, false, missingDir},
        {"source held open elsewhere", a, targetDir + "\\a.txt", true, a},
        {"source and target the same file", a, a, false, a},
        // /dev/null takes every byte but cannot be flushed: the copy is not done.
        {"target that cannot be flushed", sourceDir + "\\null", "Z:\\dev\\null", false,
         "Z:\\dev\\null"},
    };
    WriteSetting(key::DocumentOption, "1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.boxes.clear();
        SetPaths(c.source, c.target);
        auto holder = c.holdSource ? std::make_unique<HeldOpenFile>(c.source) : nullptr;

        SendCommand(dlg.m_hWnd, IDC_COPY);

        ASSERT_EQ(platform.boxes.size(), 1u) << "the completion box must not follow";
        EXPECT_NE(platform.boxes[0].text.find(c.named), std::string::npos)
            << platform.boxes[0].text;
        EXPECT_EQ(platform.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
        EXPECT_TRUE(ReadTree(targetDir).empty()) << "a target was created";
        holder.reset();
        EXPECT_TRUE(ReadBytes(c.source) == Bytes(LastComponent(c.source))) << "the source changed";
        EXPECT_TRUE(CanOpenExclusively(c.source)) << "the source stays locked";
    }
}

}  // namespace
}  // namespace kestrava::test
