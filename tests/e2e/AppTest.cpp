// The real Kestrava.exe, each run from a folder of its own: what it shows, where it finds
// its configuration file, how it ends, and a folder copy from its Copy button.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

TEST(Startup, FileNextToTheExecutableIsLoadedEvenWithABackslashTrailByte) {
    // 誠 is D5 5C in code page 936: its trail byte is the backslash code.
    for (const auto& [folder, exeName] :
         {std::pair{"工具", "Kestrava.exe"}, std::pair{"工具誠", "誠.exe"}}) {
        SCOPED_TRACE(exeName);
        // The file in the working directory is not the one read.
        ScratchFolder work;
        ASSERT_TRUE(WriteBytes(work.Path() + "Kestrava_Configuration.ini",
                               "[Overall_situation]\r\nDeferred=3\r\n"));
        App app(folder, {{"Deferred", "7"}}, exeName, work.Path());
        EXPECT_EQ(app.Text(IDC_DELAY_SECONDS), "7");
    }
}

TEST(Exit, EnterEscCloseButtonAndCloseBoxEndTheProcessAtOnceWithCodeZero) {
    // clang-format off
    const struct { const char* name; bool (*act)(App&); } cases[] = {
        {"Enter in the source box", [](App& a) { return a.PressKey(IDC_SOURCE_PATH, VK_RETURN); }},
        {"Enter in the target box", [](App& a) { return a.PressKey(IDC_TARGET_PATH, VK_RETURN); }},
        {"Esc", [](App& a) { return a.PressKey(IDC_SOURCE_PATH, VK_ESCAPE); }},
        {"Close button", [](App& a) { return a.Click(IDC_CLOSE); }},
        {"close box", [](App& a) { return bool(::PostMessageA(a.window, WM_SYSCOMMAND, SC_CLOSE, 0)); }},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        App app("退出", kManualFolderCopy);
        const ULONGLONG started = ::GetTickCount64();
        ASSERT_TRUE(c.act(app));
        EXPECT_EQ(app.WaitForExit(5000), 0u);
        EXPECT_LT(::GetTickCount64() - started, 1500u) << "not at once";
    }
}

TEST(Exit, ExitQuestionAfterTheWaitCancelKeepsRunningOkEnds) {
    App app("退出");
    // Cancel first, then OK: the first answer must leave the window usable.
    for (const int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        const ULONGLONG asked = ::GetTickCount64();
        ::PostMessageA(app.window, WM_COMMAND, IDC_EXIT_PROMPT, 0);
        const auto box = app.FindMessageBox(5000);
        ASSERT_TRUE(box) << "no exit question";
        const ULONGLONG shownAfter = ::GetTickCount64() - asked;
        EXPECT_GT(shownAfter, 1000u) << "the question comes after the pumped wait";
        EXPECT_LT(shownAfter, 2600u);
        EXPECT_EQ(box->caption, "提示");
        EXPECT_EQ(box->text, "复制成功,是否退出此程序？");
        EXPECT_EQ(box->buttons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_EQ(::GetWindow(box->hwnd, GW_OWNER), app.window) << "owned by the window";
        ASSERT_TRUE(app.Answer(*box, answer));
        EXPECT_EQ(app.WaitForExit(300), answer == IDOK ? std::optional<DWORD>(0) : std::nullopt);
    }
}

TEST(CopyEndToEnd, FolderCopyFromTheCopyButtonEndsWithTheCompletionBox) {
    ScratchFolder files;
    const std::string source = files.Path() + "源数据";
    ASSERT_TRUE(::CreateDirectoryA(source.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((files.Path() + "目标").c_str(), nullptr));
    ASSERT_TRUE(WriteTree(source, {{"子目录", "", true},
                                   {"a.txt", "第一个文件"},
                                   {"子目录\\b.bin", std::string(70000, '\x5c')},
                                   {"空", "", true}}));
    App app("复制", kManualFolderCopy);
    const auto box = app.CopyByHand(source, files.Path() + "目标\\复制文件夹功能启动.txt", 15000);
    ASSERT_TRUE(box) << "no box after the copy";
    EXPECT_EQ(box->text, "复制完成");
    EXPECT_EQ(box->caption, "Kestrava");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(ReadTree(files.Path() + "目标\\源数据") == ReadTree(source)) << "the copy differs";
    EXPECT_EQ(app.Text(IDC_STATUS_TEXT), "文件夹复制成功......");
    ASSERT_TRUE(app.Answer(*box, IDOK));
    EXPECT_TRUE(app.StaysQuiet(500)) << "exactly one completion box, and the program stays";
}

}  // namespace
}  // namespace kestrava::e2e
