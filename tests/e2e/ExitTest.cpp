// How the real Kestrava.exe ends by itself: Close, the close box and the exit question.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

struct RunningApp {
    TempDir dir{"退出"};
    AppProcess app;

    RunningApp() {
        EXPECT_TRUE(CopyApp(dir.Path()));
        EXPECT_TRUE(app.Start(dir / kAppExeName, dir.Path()));
        EXPECT_TRUE(app.WaitForMainWindow(10000)) << "no main window";
    }
};

TEST(Exit, CloseButtonAndCloseBoxEndTheProcessAtOnceWithCodeZero) {
    const struct {
        const char* name;
        std::function<bool(AppProcess&)> act;
    } cases[] = {
        {"Close button", [](AppProcess& app) { return app.Click(IDC_CLOSE); }},
        {"close box",
         [](AppProcess& app) {
             app.ClickCloseBox();
             return true;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunningApp run;
        ASSERT_TRUE(run.app.Handle());
        const ULONGLONG started = ::GetTickCount64();
        ASSERT_TRUE(c.act(run.app));
        DWORD code = 0xFFFF;
        ASSERT_TRUE(run.app.WaitForExit(5000, &code)) << "still running";
        EXPECT_LT(::GetTickCount64() - started, 1500u) << "not at once";
        EXPECT_EQ(code, 0u);
    }
}

TEST(Exit, ExitQuestionAfterTheWaitCancelKeepsRunningOkEnds) {
    RunningApp run;
    ASSERT_TRUE(run.app.Handle());
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
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box->hwnd); }, 3000));
            ::Sleep(300);
            EXPECT_TRUE(run.app.IsRunning());
            EXPECT_TRUE(run.app.Main().Exists());
        } else {
            DWORD code = 0xFFFF;
            ASSERT_TRUE(run.app.WaitForExit(5000, &code)) << "still running";
            EXPECT_EQ(code, 0u);
        }
    }
}

}  // namespace
}  // namespace kestrava::e2e
