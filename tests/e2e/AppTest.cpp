// The real Kestrava.exe, each run from a folder of its own and driven as a user would, by
// hand and unattended.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <tuple>

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

// A small tree with a subfolder and an empty folder, and a target folder: a folder copy is
// the source folder recreated under its own name inside the target folder.
struct Folders {
    bool Arrived() const { return written && ReadTree(copied) == ReadTree(from); }

    ScratchFolder source{"源"}, target{"目标"};
    const std::string from = source.Path().substr(0, source.Path().size() - 1);
    const std::string copied = target.Path() + from.substr(from.rfind('\\') + 1);
    const bool written = WriteTree(from, {{"子目录", "", true},
                                          {"a.txt", "第一个文件"},
                                          {"子目录\\b.bin", std::string(70000, '\x5c')},
                                          {"空", "", true}});
};

TEST(CopyEndToEnd, FolderCopyFromTheCopyButtonEndsWithTheCompletionBox) {
    Folders files;
    App app("复制", kManualFolderCopy);
    const auto box =
        app.CopyByHand(files.from, files.target.Path() + "复制文件夹功能启动.txt", 15000);
    ASSERT_TRUE(box) << "no box after the copy";
    EXPECT_EQ(box->text, "复制完成");
    EXPECT_EQ(box->caption, "Kestrava");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(files.Arrived()) << "the copy differs";
    EXPECT_EQ(app.Text(IDC_STATUS_TEXT), "文件夹复制成功......");
    ASSERT_TRUE(app.Answer(*box, IDOK));
    EXPECT_TRUE(app.StaysQuiet(500)) << "exactly one completion box, and the program stays";
}

TEST(SwitchesEndToEnd, ClicksChangeCaptionsAndStoredSettings) {
    App app("开关", {{"Install", "0"}});
    // Each check box with its key and its captions unchecked and checked.
    const std::tuple<int, const char*, const char*, const char*> clicks[] = {
        {IDC_AUTO_RUN, "Install", "手动执行", "自动执行"},
        {IDC_DELAY, "Time_lapse", "弹出对话框", "延时"},
        {IDC_AUTO_RUN, "Install", "手动执行", "自动执行"},
        {IDC_SOURCE_KIND, "Document_option", "文件夹：", "文件："},
    };
    for (const auto& [id, key, uncheckedCaption, checkedCaption] : clicks) {
        SCOPED_TRACE(key);
        const UINT checked = !::IsDlgButtonChecked(app.window, id);
        ASSERT_TRUE(app.Click(id));
        ASSERT_TRUE(WaitFor([&] { return ::IsDlgButtonChecked(app.window, id) == checked; }, 3000));
        char stored[8] = {};
        ::GetPrivateProfileStringA("Overall_situation", key, "", stored, 8, app.ini.c_str());
        EXPECT_EQ(app.Text(id) + stored,
                  (checked ? checkedCaption : uncheckedCaption) + std::to_string(checked));
    }
}

TEST(LinksEndToEnd, ConfigLinkOpensNotepadBeforeAndAfterTheAboutBoxTypesItsText) {
    App app("链接", kManualFolderCopy);
    // A press of the left button on a label, which reports it as a click.
    const auto press = [&](int id) {
        ::PostMessageA(::GetDlgItem(app.window, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    };
    const auto configLinkOpensTheFileInNotepad = [&] {
        press(IDC_CONFIG_LINK);
        HWND notepad = WaitFor(
            [] { return ::FindWindowA("Notepad", "Kestrava_Configuration.ini - 记事本"); }, 10000);
        return notepad && ::PostMessageA(notepad, WM_CLOSE, 0, 0) &&
               WaitFor([&] { return !::IsWindow(notepad); }, 5000);
    };
    ASSERT_TRUE(configLinkOpensTheFileInNotepad()) << "no Notepad with the file";
    press(IDC_ABOUT_LINK);
    HWND about = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (about = ::GetLastActivePopup(app.window)) != app.window; }, 5000));
    const auto typed = [&] { return App::Text(::GetDlgItem(about, IDC_ABOUT_TEXT)); };
    const std::string early = typed();
    std::string later;
    EXPECT_TRUE(WaitFor([&] { return (later = typed()).size() > early.size() + 6; }, 4000));
    EXPECT_TRUE(later.starts_with(early)) << "\"" << early << "\", then \"" << later << "\"";
    // Esc as the keyboard gives it, through the box's own loop.
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP})
        ::PostMessageA(::GetDlgItem(about, IDOK), message, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }, 5000)) << "the box stays";
    EXPECT_TRUE(configLinkOpensTheFileInNotepad()) << "not after the About box";
}

// The six option controls as "1" enabled or "0" disabled each.
std::string Enabled(const App& app) {
    std::string states;
    for (const int id : {IDC_AUTO_RUN, IDC_DELAY, IDC_SOURCE_KIND, IDC_DELAY_SECONDS, IDC_STATIC,
                         IDC_PROMPT_LABEL})
        states += ::IsWindowEnabled(::GetDlgItem(app.window, id)) ? '1' : '0';
    return states;
}

// The program started for an unattended copy of the tree, written before: the copy may
// begin a second after the window.
struct UnattendedCopy : Folders {
    explicit UnattendedCopy(const char* timeLapse, const std::string& headline = "",
                            const std::string& folder = "无人值守")
        : app(folder, {{"Install", "1"},
                       {"Time_lapse", timeLapse},
                       {"Deferred", "2"},
                       {"Source_path", from},
                       {"Save_path", target.Path().substr(0, target.Path().size() - 1)},
                       {"Headline", headline}}) {}
    App app;
};

TEST(Unattended, CopiesByItselfCountsDownAndEnds) {
    std::string headline;  // 300 bytes
    for (int i = 0; i < 75; ++i) headline += "复制";
    UnattendedCopy job("1", headline);
    const ULONGLONG shown = ::GetTickCount64();
    EXPECT_EQ(App::Text(job.app.window), headline) << "the whole Headline is the caption";

    EXPECT_TRUE(WaitFor([&] { return Enabled(job.app) == "000000"; }, 1000));
    ASSERT_TRUE(WaitFor([&] { return FileExists(job.copied); }, 5000)) << "no copy";
    EXPECT_GT(::GetTickCount64() - shown, 900u) << "the copy waits more than a second";
    EXPECT_TRUE(
        WaitFor([&] { return job.app.Text(IDC_COUNTDOWN_TEXT) == "离关闭程序还有1秒"; }, 5000));
    EXPECT_EQ(Enabled(job.app), "111111") << "the countdown can be stopped";
    EXPECT_EQ(job.app.WaitForExit(5000), 0u);
    EXPECT_TRUE(job.Arrived());
}

TEST(Unattended, MinimisingNeverStartsASecondRunAndCancelKeepsTheWindow) {
    UnattendedCopy job("0");
    const auto minimiseAndRestore = [&] {
        ::ShowWindowAsync(job.app.window, SW_MINIMIZE);
        ::Sleep(200);
        ::ShowWindowAsync(job.app.window, SW_RESTORE);
    };
    minimiseAndRestore();  // during the wait
    const auto box = job.app.FindMessageBox(8000);
    ASSERT_TRUE(box) << "no exit question";
    EXPECT_EQ(box->text, "复制成功,是否退出此程序？");
    EXPECT_TRUE(job.Arrived());
    minimiseAndRestore();  // while the question is shown
    // The copy's folders stay in use as the program's current directory: only a file goes.
    const std::string copiedFile = job.copied + "\\a.txt";
    ASSERT_TRUE(::DeleteFileA(copiedFile.c_str()));

    ASSERT_TRUE(job.app.Answer(*box, IDCANCEL));
    EXPECT_TRUE(WaitFor([&] { return Enabled(job.app) == "111111"; }, 2000));
    // A second run would copy again after its wait and ask again.
    EXPECT_TRUE(job.app.StaysQuiet(3500)) << "asked twice, or ended";
    EXPECT_FALSE(FileExists(copiedFile)) << "copied twice";
}

TEST(Unattended, FailedRunShowsNothingButTheHiddenButtonsRunShowsTheStopBox) {
    UnattendedCopy job("1");
    // The source goes during the wait, so its folder can no longer be listed.
    ASSERT_TRUE(RemoveTree(job.from));
    EXPECT_TRUE(job.app.StaysQuiet(3500)) << "a box after the failed run, or it ended";
    EXPECT_EQ(Enabled(job.app), "000000") << "the switches stay off after a failed run";

    ::PostMessageA(job.app.window, WM_COMMAND, IDC_AUTO_START, 0);
    const auto box = job.app.FindMessageBox(5000);
    ASSERT_TRUE(box) << "no stop box";
    EXPECT_EQ(box->caption, "Kestrava");
    EXPECT_NE(box->text.find(job.from), std::string::npos)
        << "names the folder that is gone: " << box->text;
}

// Three runs beside one log: unattended and done, unattended and failing unseen, then by
// hand, ended while its completion box is up.
TEST(CopyLogEndToEnd, EachRunLeavesALineTheFailedUnattendedOneNamingFileAndReason) {
    UnattendedCopy ok("1", "", "日志");
    EXPECT_EQ(ok.app.WaitForExit(10000), 0u);
    UnattendedCopy bad("1", "", ok.app.dir);
    ASSERT_TRUE(RemoveTree(bad.from));
    EXPECT_TRUE(bad.app.StaysQuiet(3500)) << "a box after the failed run, or it ended";
    const std::string P = "复制文件夹功能启动.txt", to = bad.target.Path() + P;
    const auto box = App(ok.app.dir, kManualFolderCopy).CopyByHand(ok.copied, to, 15000);
    ASSERT_TRUE(box && box->text == "复制完成");
    const std::string log = ReadBytes(ok.app.dir + "Kestrava.log");
    ASSERT_TRUE(log.starts_with("\xEF\xBB\xBF")) << "no byte order mark";
    // Time stamps and the seconds (two 500 ms pauses at least) as their forms.
    const std::regex stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\t"),
        took("\\t[1-9]\\d* 秒\\r");
    const std::string text = std::regex_replace(Recode(log.substr(3), CP_UTF8, 936), stamp, "T\t");
    const std::string done = "\t完成\t2 个文件\t70010 字节\ts\r\n";
    EXPECT_EQ(std::regex_replace(text, took, "\ts\r"),
              "T\t自动\t文件夹\t" + ok.from + "\t" + ok.target.Path() + P + done +
                  "T\t自动\t文件夹\t" + bad.from + "\t" + to + "\t失败\t" + bad.from +
                  " 包含无效路径。\r\nT\t手动\t文件夹\t" + ok.copied + "\t" + to + done);
}

}  // namespace
}  // namespace kestrava::e2e
