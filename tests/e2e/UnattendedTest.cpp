// The real Kestrava.exe in unattended mode: the copy starts by itself after the first
// paint, once, and the program counts down and ends, or asks.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

const int kOptionControls[] = {IDC_AUTO_RUN,      IDC_DELAY,  IDC_SOURCE_KIND,
                               IDC_DELAY_SECONDS, IDC_STATIC, IDC_PROMPT_LABEL};

// Which of the six option controls are enabled, as "1" or "0" each.
std::string Enabled(const AppProcess& app) {
    std::string states;
    for (const int id : kOptionControls) states += app.IsEnabled(id) ? '1' : '0';
    return states;
}

// A source tree and an unattended folder copy of it into target.
struct UnattendedCopy {
    explicit UnattendedCopy(const char* timeLapse, const std::string& headline = "") {
        source.MakeDir("子目录");
        source.Write("甲.txt", "第一个文件");
        source.Write("子目录\\乙.bin", std::string(70000, '\x5c'));
        run.emplace("无人值守", Settings{{"Install", "1"},
                                         {"Time_lapse", timeLapse},
                                         {"Deferred", "2"},
                                         {"Source_path", source.Path()},
                                         {"Save_path", target.Path()},
                                         {"Headline", headline}});
    }
    // The source folder recreated under its own name inside the target folder.
    std::string Copied() const {
        return target / source.Path().substr(ParentDir(source.Path()).size() + 1);
    }
    bool Arrived() const { return ReadTree(Copied()) == ReadTree(source.Path()); }

    TempDir source{"源"};
    TempDir target{"目标"};
    std::optional<LaunchedApp> run;
};

TEST(Unattended, CopiesByItselfCountsDownAndEnds) {
    std::string headline;
    while (headline.size() < 300) headline += "无人值守复制 Kestrava ";
    headline.resize(300);
    UnattendedCopy job("1", headline);
    AppProcess& app = job.run->app;
    const ULONGLONG shown = ::GetTickCount64();
    char caption[1024] = {};
    ::GetWindowTextA(app.Handle(), caption, sizeof caption);
    EXPECT_EQ(caption, headline) << "the caption is the whole Headline";

    EXPECT_TRUE(WaitUntil([&] { return Enabled(app) == "000000"; }, 1000)) << "not disabled";
    ASSERT_TRUE(WaitUntil([&] { return test::FileExists(job.Copied()); }, 5000)) << "no copy";
    const ULONGLONG started = ::GetTickCount64() - shown;
    EXPECT_GT(started, 900u) << "the copy waits more than a second";
    EXPECT_LT(started, 3000u);

    EXPECT_TRUE(
        WaitUntil([&] { return app.Text(IDC_COUNTDOWN_TEXT) == "离关闭程序还有1秒"; }, 5000));
    EXPECT_EQ(Enabled(app), "111111") << "enabled during the countdown";
    EXPECT_EQ(app.WaitForExit(5000), 0u);
    EXPECT_TRUE(job.Arrived());
    EXPECT_EQ(app.CountMessageBoxes(), 0);
}

TEST(Unattended, MinimisingNeverStartsASecondRunAndCancelKeepsTheWindow) {
    UnattendedCopy job("0");
    AppProcess& app = job.run->app;
    // Minimised and restored during the wait, and again while the question is shown.
    ::ShowWindowAsync(app.Handle(), SW_MINIMIZE);
    ::Sleep(200);
    ::ShowWindowAsync(app.Handle(), SW_RESTORE);
    const auto box = app.FindMessageBox(8000);
    ASSERT_TRUE(box) << "no exit question";
    EXPECT_EQ(box->text, "复制成功,是否退出此程序？");
    EXPECT_TRUE(job.Arrived());
    ::ShowWindowAsync(app.Handle(), SW_MINIMIZE);
    ::Sleep(200);
    ::ShowWindowAsync(app.Handle(), SW_RESTORE);
    ASSERT_TRUE(test::RemoveTree(job.Copied()));

    ASSERT_TRUE(app.Answer(*box, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return Enabled(app) == "111111"; }, 2000));
    // A second run would copy again after its wait and ask again.
    ::Sleep(3500);
    EXPECT_FALSE(test::FileExists(job.Copied())) << "copied twice";
    EXPECT_EQ(app.CountMessageBoxes(), 0);
    EXPECT_TRUE(app.IsRunning());
}

TEST(Unattended, FailedCopyShowsNothingButTheHiddenButtonsRunShowsTheStopBox) {
    UnattendedCopy job("1");
    AppProcess& app = job.run->app;
    // The source goes away during the wait: the folder can no longer be listed.
    ASSERT_TRUE(test::RemoveTree(job.source.Path()));
    ::Sleep(3500);
    EXPECT_EQ(app.CountMessageBoxes(), 0);
    EXPECT_EQ(Enabled(app), "000000") << "the switches stay off after a failed run";
    EXPECT_TRUE(app.IsRunning());

    app.PostCommand(IDC_AUTO_START);
    const auto box = app.FindMessageBox(5000);
    ASSERT_TRUE(box) << "no stop box";
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, (std::vector<int>{IDOK}));
}

}  // namespace
}  // namespace kestrava::e2e
