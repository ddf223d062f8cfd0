// A write that fails at the file size limit, in the real Kestrava.exe. Runs only under
// with-file-size-limit.sh, which sets the limit for this process and everything it
// starts, ignores SIGXFSZ, and leaves a source folder holding a file larger than the
// limit (this process could not write one itself).
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/Driver.h"

namespace kestrava::e2e {
namespace {

TEST(FileSizeLimit, FailedWriteShowsOnlyTheStopBox) {
    const char* source = std::getenv("KESTRAVA_OVER_LIMIT_DIR");
    const char* limitKb = std::getenv("KESTRAVA_FILE_LIMIT_KB");
    ASSERT_TRUE(source && limitKb) << "run through with-file-size-limit.sh";
    ScratchFolder target;
    App app("复制", kManualFolderCopy);
    // The limit holds here as it will in the program's process.
    EXPECT_FALSE(WriteBytes(app.root.Path() + "probe.bin",
                            std::string(std::atoi(limitKb) * 1024 + 4096, 'p')));
    const auto box = app.CopyByHand(source, target.Path() + "复制文件夹功能启动.txt", 30000);
    ASSERT_TRUE(box) << "no box after the failed write";
    EXPECT_NE(box->text.find(target.Path() + "source\\over-limit.bin"), std::string::npos)
        << box->text;
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(app.Text(IDC_STATUS_TEXT), source + std::string("\\over-limit.bin"));
    ASSERT_TRUE(app.Answer(*box, IDOK));
    EXPECT_TRUE(app.StaysQuiet(1500)) << "a completion box followed the failure, or it ended";
}

}  // namespace
}  // namespace kestrava::e2e
