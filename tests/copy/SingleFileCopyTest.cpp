// The single-file copy against the real main window: the target's name taken from the
// source, the placeholder target refused, and failures that end the command with one box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy/CopyPaths.h"
#include "settings/ConfigFile.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

const char* const kUntouched = "未动过";

TEST(PathTitle, NameAfterTheLastSeparatorWithoutItsExtension) {
    // A '/' counts only when there is no '\\' at all; 誠's trail byte is '\\' and must not
    // end the search.
    // clang-format off
    const struct { const char* path; bool keepExtension; const char* title; } cases[] = {
        {"D:\\x\\report.doc", false, "report"}, {"D:\\x\\a.tar.gz", false, "a.tar"}, {"D:\\x\\a.tar.gz", true, "a.tar.gz"},
        {"D:/x/b.txt", false, "b"}, {"D:\\x/y.txt", false, "x/y"}, {"noext", false, "noext"}, {".profile", false, ""},
        {"D:\\x\\", false, ""}, {"", false, ""}, {"Z:\\目录\\报告.doc", false, "报告"}, {"Z:\\目录\\誠", false, "誠"},
        {"Z:\\誠.txt", false, "誠"}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(CKestravaDlg::GetPathTitle(c.path, c.keepExtension), c.title)
            << c.path << (c.keepExtension ? " with extension" : "");
    }
}

class SingleFileCopyTest : public CopyTest {
  protected:
    void SetUp() override {
        CopyTest::SetUp();
        ASSERT_TRUE(WriteTree(files.Path(), {{"甲", "", true}, {"乙", "", true}}));
        for (const char* name :
             {"a.txt", "report.doc", "Notes.doc", "誠.txt", "held.txt", "null", "full"})
            ASSERT_TRUE(WriteBytes(S + name, Bytes(name)));
    }
    static std::string Bytes(const std::string& name) { return name + PatternBytes(1500, 3); }

    const std::string targetDir = files.Path() + "乙";
    const std::string S = files.Path() + "甲\\";
    const std::string T = targetDir + "\\";
};

TEST_F(SingleFileCopyTest, TargetTakesTheSourcesNameAndAFailureShowsOneStopBox) {
    // savePath kUntouched: not written; copiedTo empty: nothing copied; stop: what the one
    // stop box names. Bare names are relative to the current directory, the target folder.
    // /dev/null takes every byte but cannot be flushed: that copy is not done either.
    // clang-format off
    const struct { const char* name; const char* option; std::string source, target, shownTarget, savePath, copiedTo, stop; } cases[] = {
        {"different titles", "1", S + "a.txt", T + "b.txt", T + "a.txt", T + "a.txt", T + "a.txt", ""},
        {"equal titles, other extension", "1", S + "report.doc", T + "report.txt", T + "report.txt", kUntouched, T + "report.txt", ""},
        {"titles differing in case", "1", S + "Notes.doc", T + "notes.txt", T + "Notes.doc", T + "Notes.doc", T + "Notes.doc", ""},
        {"name with a 0x5C trail byte", "1", S + "誠.txt", T + "旧.txt", T + "誠.txt", T + "誠.txt", T + "誠.txt", ""},
        {"kind other than 1 keeps the target", "0", S + "a.txt", T + "b.txt", T + "b.txt", kUntouched, T + "b.txt", ""},
        {"placeholder target", "1", S + "a.txt", T + "复制文件夹功能启动.txt", "", T + "a.txt", "", ""},
        {"placeholder with any extension, kind 0", "0", S + "a.txt", T + "复制文件夹功能启动.doc", "", kUntouched, "", ""},
        {"empty target", "1", S + "a.txt", "", "a.txt", "a.txt", T + "a.txt", ""},
        {"target without a backslash", "1", S + "a.txt", "b.txt", "a.txt", "a.txt", T + "a.txt", ""},
        {"empty source", "1", "", T + "b.txt", T, T, "", ""},
        {"both empty", "1", "", "", "", kUntouched, "", ""},
        {"target folder missing", "1", S + "a.txt", T + "缺少\\a.txt", T + "缺少\\a.txt", kUntouched, "", T + "缺少\\a.txt"},
        {"source held open elsewhere", "1", S + "held.txt", T + "held.txt", T + "held.txt", kUntouched, "", S + "held.txt"},
        {"source and target the same file", "1", S + "a.txt", S + "a.txt", S + "a.txt", kUntouched, "", S + "a.txt"},
        {"target that cannot be flushed", "1", S + "null", "Z:\\dev\\null", "Z:\\dev\\null", kUntouched, "", "Z:\\dev\\null"},
        {"full target", "1", S + "full", "Z:\\dev\\full", "Z:\\dev\\full", kUntouched, "", "写入 Z:\\dev\\full 时磁盘已满。"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(::SetCurrentDirectoryA(targetDir.c_str()));
        WriteSetting(key::DocumentOption, c.option);
        WriteSetting(key::SavePath, kUntouched);
        platform.boxes.clear();
        SetPaths(c.source, c.target);
        ::SetFocus(dlg.GetDlgItem(IDC_SOURCE_PATH));
        HeldOpenFile holder = c.source == S + "held.txt" ? HoldOpen(c.source) : nullptr;
        // Copy reaches the single-file copy only with kind 1; the hidden command always.
        SendCommand(dlg.m_hWnd, std::string(c.option) == "1" ? IDC_COPY : IDC_FILE_COPY);
        holder.reset();

        EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), c.shownTarget);
        EXPECT_EQ(ReadSetting(key::SavePath), c.savePath);
        // The placeholder target is emptied and focused.
        EXPECT_EQ(::GetFocus() == dlg.GetDlgItem(IDC_TARGET_PATH),
                  c.shownTarget.empty() && !c.target.empty());
        EXPECT_EQ(ReadTree(targetDir).size(), c.copiedTo.empty() ? 0u : 1u);
        EXPECT_TRUE(c.copiedTo.empty() || ReadBytes(c.copiedTo) == Bytes(LastComponent(c.source)));
        ASSERT_EQ(platform.boxes.size(), c.copiedTo.empty() && c.stop.empty() ? 0u : 1u);
        if (!c.stop.empty()) {
            EXPECT_TRUE(platform.boxes[0].text.find(c.stop) != std::string::npos &&
                        (platform.boxes[0].type & MB_ICONMASK) == MB_ICONSTOP)
                << "one stop box: " << platform.boxes[0].text;
        } else if (!c.copiedTo.empty()) {
            EXPECT_EQ(platform.boxes[0].text, "复制完成");
        }
        if (!c.source.empty()) {
            EXPECT_TRUE(ReadBytes(c.source) == Bytes(LastComponent(c.source)))
                << "the source changed";
            EXPECT_TRUE(CanOpenExclusively(c.source)) << "the source stays locked";
        }
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        RemoveTree(targetDir);
        ASSERT_TRUE(::CreateDirectoryA(targetDir.c_str(), nullptr));
    }
}

}  // namespace
}  // namespace kestrava::test
