// The real Kestrava.exe, started from a folder of its own and driven from this process.
#include <gtest/gtest.h>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

struct RunningApp {
    TempDir dir{"启动"};
    AppProcess app;

    RunningApp() {
        EXPECT_TRUE(CopyApp(dir.Path()));
        EXPECT_TRUE(app.Start(dir / kAppExeName, dir.Path()));
        EXPECT_TRUE(app.WaitForMainWindow(10000)) << "no main window";
    }
};

TEST(Startup, MainWindowShowsItsControls) {
    RunningApp run;
    ASSERT_TRUE(run.app.Handle());
    const struct {
        int id;
        const char* text;
        bool visible;
    } controls[] = {
        {IDC_BROWSE_SOURCE, "浏览[&A]", true},
        {IDC_BROWSE_TARGET, "浏览[&B]", true},
        {IDC_COPY, "复制[&C]", true},
        {IDC_TARGET_LABEL, "目标文件：", true},
        {IDC_CONFIG_LINK, "打开程序配置文件", true},
        {IDC_ABOUT_LINK, "关于", true},
        {IDC_LOAD_SETTINGS, "初始化", false},
        {IDC_AUTO_START, "延时1", false},
        {IDC_FOLDER_COPY, "文件夹复制", false},
        {IDC_FILE_COPY, "文件复制", false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(run.app.Text(c.id), c.text);
        EXPECT_EQ(run.app.IsVisible(c.id), c.visible);
    }
    // Hidden buttons cannot be pressed from outside either.
    EXPECT_FALSE(run.app.Click(IDC_FOLDER_COPY));
}

TEST(Startup, EnterInSourceBoxAndEscapeEndTheProcessNormally) {
    const struct {
        const char* name;
        int id;
        UINT key;
    } cases[] = {
        {"Enter in the source box", IDC_SOURCE_PATH, VK_RETURN},
        {"Enter in the target box", IDC_TARGET_PATH, VK_RETURN},
        {"Esc", IDC_SOURCE_PATH, VK_ESCAPE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunningApp run;
        ASSERT_TRUE(run.app.PressKey(c.id, c.key));
        DWORD code = 0xFFFF;
        ASSERT_TRUE(run.app.WaitForExit(10000, &code)) << "still running";
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(run.app.CountMessageBoxes(), 0);
    }
}

}  // namespace
}  // namespace kestrava::e2e
