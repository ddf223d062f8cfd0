// The real Kestrava.exe in unattended mode: the copy starts by itself after the first
// paint, once, and the program counts down and ends, or asks.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

// The six option controls as "1" enabled or "0" disabled each.
std::string Enabled(const App& app) {
    std::string states;
    for (const int id : {IDC_AUTO_RUN, IDC_DELAY, IDC_SOURCE_KIND, IDC_DELAY_SECONDS, IDC_STATIC,
                         IDC_PROMPT_LABEL})
        states += ::IsWindowEnabled(::GetDlgItem(app.window, id)) ? '1' : '0';
    return states;
}

std::string Bare(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}

// A small tree and the program started for an unattended copy of it; the copy is the
// source folder recreated under its own name inside the target folder.
struct UnattendedCopy {
    explicit UnattendedCopy(const char* timeLapse, const std::string& headline = "") {
        WriteBytes(source.Path() + "甲.txt", "第一个文件");
        WriteBytes(source.Path() + "乙.bin", std::string(70000, '\x5c'));
        app.emplace("无人值守", Settings{{"Install", "1"},
                                         {"Time_lapse", timeLapse},
                                         {"Deferred", "2"},
                                         {"Source_path", from},
                                         {"Save_path", Bare(target.Path())},
                                         {"Headline", headline}});
    }
    bool Arrived() const { return ReadTree(copied) == ReadTree(from); }

    ScratchFolder source{"源"}, target{"目标"};
    const std::string from = Bare(source.Path());
    const std::string copied = target.Path() + from.substr(from.rfind('\\') + 1);
    std::optional<App> app;
};

TEST(Unattended, CopiesByItselfCountsDownAndEnds) {
    std::string headline;  // 300 bytes
    for (int i = 0; i < 75; ++i) headline += "复制";
    UnattendedCopy job("1", headline);
    const ULONGLONG shown = ::GetTickCount64();
    char caption[1024] = {};
    ::GetWindowTextA(job.app->window, caption, sizeof caption);
    EXPECT_EQ(caption, headline) << "the whole Headline is the caption";

    EXPECT_TRUE(WaitFor([&] { return Enabled(*job.app) == "000000"; }, 1000));
    ASSERT_TRUE(WaitFor([&] { return FileExists(job.copied); }, 5000)) << "no copy";
    EXPECT_GT(::GetTickCount64() - shown, 900u) << "the copy waits more than a second";
    EXPECT_TRUE(
        WaitFor([&] { return job.app->Text(IDC_COUNTDOWN_TEXT) == "离关闭程序还有1秒"; }, 5000));
    EXPECT_EQ(Enabled(*job.app), "111111") << "the countdown can be stopped";
    EXPECT_EQ(job.app->WaitForExit(5000), 0u);
    EXPECT_TRUE(job.Arrived());
}

TEST(Unattended, MinimisingNeverStartsASecondRunAndCancelKeepsTheWindow) {
    UnattendedCopy job("0");
    const auto minimiseAndRestore = [&] {
        ::ShowWindowAsync(job.app->window, SW_MINIMIZE);
        ::Sleep(200);
        ::ShowWindowAsync(job.app->window, SW_RESTORE);
    };
    minimiseAndRestore();  // during the wait
    const auto box = job.app->FindMessageBox(8000);
    ASSERT_TRUE(box) << "no exit question";
    EXPECT_EQ(box->text, "复制成功,是否退出此程序？");
    EXPECT_TRUE(job.Arrived());
    minimiseAndRestore();  // while the question is shown
    ASSERT_TRUE(RemoveTree(job.copied));

    ASSERT_TRUE(job.app->Answer(*box, IDCANCEL));
    EXPECT_TRUE(WaitFor([&] { return Enabled(*job.app) == "111111"; }, 2000));
    // A second run would copy again after its wait and ask again.
    EXPECT_TRUE(job.app->StaysQuiet(3500)) << "asked twice, or ended";
    EXPECT_FALSE(FileExists(job.copied)) << "copied twice";
}

TEST(Unattended, FailedRunShowsNothingButTheHiddenButtonsRunShowsTheStopBox) {
    UnattendedCopy job("1");
    // The source goes during the wait, so its folder can no longer be listed.
    ASSERT_TRUE(RemoveTree(job.from));
    EXPECT_TRUE(job.app->StaysQuiet(3500)) << "a box after the failed run, or it ended";
    EXPECT_EQ(Enabled(*job.app), "000000") << "the switches stay off after a failed run";

    ::PostMessageA(job.app->window, WM_COMMAND, IDC_AUTO_START, 0);
    const auto box = job.app->FindMessageBox(5000);
    ASSERT_TRUE(box) << "no stop box";
    EXPECT_EQ(box->caption, "Kestrava");
    EXPECT_NE(box->text.find(job.from), std::string::npos)
        << "names the folder that is gone: " << box->text;
}

}  // namespace
}  // namespace kestrava::e2e
