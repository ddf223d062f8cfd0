// The real Kestrava.exe, started from a folder of its own: what it shows, where it finds
// its configuration file, and how it ends by itself.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

TEST(Startup, MainWindowShowsItsControls) {
    LaunchedApp run("启动", kManualFolderCopy);
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

    // The layout as laid out on screen: the buttons stand in a column right of the path
    // boxes and the bar, the source box above the target box.
    const RECT source = run.app.ClientRect(IDC_SOURCE_PATH);
    const RECT target = run.app.ClientRect(IDC_TARGET_PATH);
    const RECT bar = run.app.ClientRect(IDC_PROGRESS);
    const RECT copy = run.app.ClientRect(IDC_COPY);
    EXPECT_LT(source.bottom, target.bottom);
    EXPECT_EQ(source.left, target.left);
    EXPECT_GT(copy.left, bar.right);
    EXPECT_GT(bar.right - bar.left, 3 * (copy.right - copy.left));
    EXPECT_TRUE(run.app.IsEnabled(IDC_COPY));

    // A click on a check box turns it over, as the mouse would.
    const int before = run.app.Check(IDC_SOURCE_KIND);
    ASSERT_TRUE(run.app.Click(IDC_SOURCE_KIND));
    EXPECT_TRUE(WaitUntil([&] { return run.app.Check(IDC_SOURCE_KIND) != before; }, 3000));
}

TEST(Startup, FileNextToTheExecutableIsLoadedEvenWithABackslashTrailByte) {
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
        ASSERT_TRUE(CopyApp(exeDir, c.exeName));
        ASSERT_TRUE(WriteIni(JoinPath(exeDir, kConfigFileName), "Deferred", "7"));
        // A file in the working directory must not be the one read.
        ASSERT_TRUE(WriteIni(dir / kConfigFileName, "Deferred", "3"));

        AppProcess app;
        ASSERT_TRUE(app.Start(JoinPath(exeDir, c.exeName), dir.Path()));
        ASSERT_TRUE(app.WaitForMainWindow()) << "no main window";
        EXPECT_EQ(app.Text(IDC_DELAY_SECONDS), "7");
        app.Close();
        EXPECT_EQ(app.WaitForExit(5000), 0u);
    }
}

TEST(Exit, EnterEscCloseButtonAndCloseBoxEndTheProcessAtOnceWithCodeZero) {
    const struct {
        const char* name;
        std::function<bool(AppProcess&)> act;
    } cases[] = {
        {"Enter in the source box",
         [](AppProcess& a) { return a.PressKey(IDC_SOURCE_PATH, VK_RETURN); }},
        {"Enter in the target box",
         [](AppProcess& a) { return a.PressKey(IDC_TARGET_PATH, VK_RETURN); }},
        {"Esc", [](AppProcess& a) { return a.PressKey(IDC_SOURCE_PATH, VK_ESCAPE); }},
        {"Close button", [](AppProcess& a) { return a.Click(IDC_CLOSE); }},
        {"close box",
         [](AppProcess& a) {
             a.ClickCloseBox();
             return true;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LaunchedApp run("退出", kManualFolderCopy);
        const ULONGLONG started = ::GetTickCount64();
        ASSERT_TRUE(c.act(run.app));
        EXPECT_EQ(run.app.WaitForExit(5000), 0u);
        EXPECT_LT(::GetTickCount64() - started, 1500u) << "not at once";
    }
}

TEST(Exit, ExitQuestionAfterTheWaitCancelKeepsRunningOkEnds) {
    LaunchedApp run("退出");
    // Cancel first, then OK: the first answer must leave the window usable.
    for (const int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        const ULONGLONG asked = ::GetTickCount64();
        run.app.PostCommand(IDC_EXIT_PROMPT);
        const auto box = run.app.FindMessageBox(5000);
        ASSERT_TRUE(box) << "no exit question";
        const ULONGLONG shownAfter = ::GetTickCount64() - asked;
        EXPECT_GT(shownAfter, 1000u) << "the question comes after the pumped wait";
        EXPECT_LT(shownAfter, 2600u);
        EXPECT_EQ(box->caption, "提示");
        EXPECT_EQ(box->text, "复制成功,是否退出此程序？");
        EXPECT_EQ(box->buttons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_TRUE(box->hasIcon);
        EXPECT_EQ(::GetWindow(box->hwnd, GW_OWNER), run.app.Handle()) << "owned by the window";

        ASSERT_TRUE(run.app.Answer(*box, answer));
        if (answer == IDCANCEL) {
            ::Sleep(300);
            EXPECT_TRUE(run.app.IsRunning());
            EXPECT_TRUE(run.app.Exists());
        } else {
            EXPECT_EQ(run.app.WaitForExit(5000), 0u);
        }
    }
}

}  // namespace
}  // namespace kestrava::e2e
