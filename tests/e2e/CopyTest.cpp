// A folder copy made by the real Kestrava.exe with its Copy button.
#include <gtest/gtest.h>

#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

const char* const kPlaceholder = "复制文件夹功能启动.txt";
const char* const kDone = "复制完成";

// The program in a folder of its own, in manual mode, about to copy folders.
struct ManualApp {
    TempDir dir{"复制"};
    AppProcess app;

    explicit ManualApp(const std::string& source, const std::string& targetFolder) {
        EXPECT_TRUE(CopyApp(dir.Path()));
        const std::string ini = dir / kConfigFileName;
        EXPECT_TRUE(WriteIni(ini, "Install", "0"));
        EXPECT_TRUE(WriteIni(ini, "Document_option", "0"));
        EXPECT_TRUE(WriteIni(ini, "Source_path", source));
        EXPECT_TRUE(WriteIni(ini, "Save_path", JoinPath(targetFolder, kPlaceholder)));
        EXPECT_TRUE(app.Start(dir / kAppExeName, dir.Path()));
        EXPECT_TRUE(app.WaitForMainWindow(10000)) << "no main window";
        if (!app.Handle()) return;
        app.SetText(IDC_SOURCE_PATH, source);
        app.SetText(IDC_TARGET_PATH, JoinPath(targetFolder, kPlaceholder));
    }
};

TEST(CopyEndToEnd, FolderCopyFromTheCopyButtonEndsWithTheCompletionBox) {
    TempDir source("源数据");
    source.MakeDir("子目录");
    source.Write("a.txt", "第一个文件");
    source.Write("子目录\\b.bin", std::string(70000, '\x5c'));
    source.MakeDir("空");
    TempDir target("目标");
    ManualApp run(source.Path(), target.Path());
    ASSERT_TRUE(run.app.Handle());

    ASSERT_TRUE(run.app.Click(IDC_COPY));

    const auto box = run.app.FindMessageBox(15000);
    ASSERT_TRUE(box) << "no box after the copy";
    EXPECT_EQ(box->text, kDone);
    EXPECT_EQ(box->buttons, (std::vector<int>{IDOK}));
    const std::string name = source.Path().substr(ParentDir(source.Path()).size() + 1);
    EXPECT_TRUE(ReadTree(target / name) == ReadTree(source.Path())) << "the copy differs";
    EXPECT_EQ(run.app.Text(IDC_STATUS_TEXT), "文件夹复制成功......");

    ASSERT_TRUE(run.app.Answer(*box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box->hwnd); }, 3000));
    ::Sleep(500);
    EXPECT_EQ(run.app.CountMessageBoxes(), 0) << "exactly one completion box";
    EXPECT_TRUE(run.app.IsRunning());
}

}  // namespace
}  // namespace kestrava::e2e
