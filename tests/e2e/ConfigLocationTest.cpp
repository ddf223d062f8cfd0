// The real Kestrava.exe finds its configuration file in its own folder, whatever the
// working directory and whatever double-byte characters the folder's name holds.
#include <gtest/gtest.h>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

TEST(ConfigLocation, FileNextToTheExecutableIsLoadedEvenWithABackslashTrailByte) {
    // 誠 is D5 5C in code page 936: its trail byte is the backslash code.
    const struct {
        const char* name;
        const char* folder;
        const char* exeName;
    } cases[] = {
        {"plain names", "工具", kAppExeName},
        {"trail byte in the folder and the executable's name", "工具誠", "誠.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir{"配置"};
        dir.MakeDir(c.folder);
        const std::string exeDir = dir / c.folder;
        const std::string exe = JoinPath(exeDir, c.exeName);
        ASSERT_TRUE(::CopyFileA(JoinPath(ThisExeDir(), kAppExeName).c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(WriteIni(JoinPath(exeDir, kConfigFileName), "Deferred", "7"));
        // A file in the working directory must not be the one read.
        ASSERT_TRUE(WriteIni(dir / kConfigFileName, "Deferred", "3"));

        AppProcess app;
        ASSERT_TRUE(app.Start(exe, dir.Path()));
        ASSERT_TRUE(app.WaitForMainWindow(10000)) << "no main window";
        EXPECT_EQ(app.Text(IDC_DELAY_SECONDS), "7");
        app.Close();
        DWORD code = 0xFFFF;
        EXPECT_TRUE(app.WaitForExit(5000, &code));
        EXPECT_EQ(code, 0u);
    }
}

}  // namespace
}  // namespace kestrava::e2e
