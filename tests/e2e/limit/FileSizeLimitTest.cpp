// A write that fails at the file size limit, in the real Kestrava.exe. Runs only under
// with-file-size-limit.sh, which sets the limit for this process and everything it
// starts, ignores SIGXFSZ, and leaves a source folder holding a file larger than the
// limit (this process could not write one itself).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

const char* const kPlaceholder = "复制文件夹功能启动.txt";

TEST(FileSizeLimit, FailedWriteShowsOnlyTheStopBox) {
    const char* unixSource = std::getenv("KESTRAVA_OVER_LIMIT_DIR");
    const char* limitKb = std::getenv("KESTRAVA_FILE_LIMIT_KB");
    ASSERT_TRUE(unixSource && limitKb) << "run through with-file-size-limit.sh";
    std::string source = std::string("Z:") + unixSource;
    for (char& c : source) c = c == '/' ? '\\' : c;
    const size_t limitBytes = static_cast<size_t>(std::atoi(limitKb)) * 1024;

    TempDir target("目标");
    // The limit holds here as it will in the program's process.
    EXPECT_FALSE(WriteFileBytes(target / "probe.bin", std::string(limitBytes + 4096, 'p')));
    DeleteFileA((target / "probe.bin").c_str());
    TempDir dir("复制");
    ASSERT_TRUE(CopyApp(dir.Path()));
    const std::string ini = dir / kConfigFileName;
    ASSERT_TRUE(WriteIni(ini, "Install", "0"));
    ASSERT_TRUE(WriteIni(ini, "Document_option", "0"));
    AppProcess app;
    ASSERT_TRUE(app.Start(dir / kAppExeName, dir.Path()));
    ASSERT_TRUE(app.WaitForMainWindow(10000)) << "no main window";
    app.SetText(IDC_SOURCE_PATH, source);
    app.SetText(IDC_TARGET_PATH, JoinPath(target.Path(), kPlaceholder));

    ASSERT_TRUE(app.Click(IDC_COPY));

    const auto box = app.FindMessageBox(30000);
    ASSERT_TRUE(box) << "no box after the failed write";
    const std::string failed = JoinPath(target / "source", "over-limit.bin");
    EXPECT_NE(box->text.find(failed), std::string::npos) << box->text;
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(app.Text(IDC_STATUS_TEXT), JoinPath(source, "over-limit.bin"));

    ASSERT_TRUE(app.Answer(*box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box->hwnd); }, 3000));
    ::Sleep(1500);
    EXPECT_EQ(app.CountMessageBoxes(), 0) << "a completion box followed the failure";
    EXPECT_TRUE(app.IsRunning());
}

}  // namespace
}  // namespace kestrava::e2e
