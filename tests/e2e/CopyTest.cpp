// A folder copy made by the real Kestrava.exe with its Copy button.
#include <gtest/gtest.h>

#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

TEST(CopyEndToEnd, FolderCopyFromTheCopyButtonEndsWithTheCompletionBox) {
    TempDir source("源数据");
    source.MakeDir("子目录");
    source.Write("a.txt", "第一个文件");
    source.Write("子目录\\b.bin", std::string(70000, '\x5c'));
    source.MakeDir("空");
    TempDir target("目标");
    LaunchedApp run("复制", kManualFolderCopy);
    run.app.SetText(IDC_SOURCE_PATH, source.Path());
    run.app.SetText(IDC_TARGET_PATH, target / "复制文件夹功能启动.txt");

    ASSERT_TRUE(run.app.Click(IDC_COPY));

    const auto box = run.app.FindMessageBox(15000);
    ASSERT_TRUE(box) << "no box after the copy";
    EXPECT_EQ(box->text, "复制完成");
    EXPECT_EQ(box->buttons, (std::vector<int>{IDOK}));
    const std::string name = source.Path().substr(ParentDir(source.Path()).size() + 1);
    EXPECT_TRUE(ReadTree(target / name) == ReadTree(source.Path())) << "the copy differs";
    EXPECT_EQ(run.app.Text(IDC_STATUS_TEXT), "文件夹复制成功......");

    ASSERT_TRUE(run.app.Answer(*box, IDOK));
    ::Sleep(500);
    EXPECT_EQ(run.app.CountMessageBoxes(), 0) << "exactly one completion box";
    EXPECT_TRUE(run.app.IsRunning());
}

}  // namespace
}  // namespace kestrava::e2e
