// The real Kestrava.exe's three check boxes, clicked as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

TEST(SwitchesEndToEnd, ClicksChangeLayoutCaptionsAndStoredSettings) {
    App app("开关", {{"Install", "0"}});
    const std::string ini = app.exeDir + "\\Kestrava_Configuration.ini";
    const auto check = [&](int id) { return app.Send(id, BM_GETCHECK, 0, 0); };
    const auto visible = [&](int id) {
        return ::IsWindowVisible(::GetDlgItem(app.window, id)) != 0;
    };
    // Each check box with its key and its captions unchecked and checked.
    const struct {
        int id;
        const char *key, *captions[2];
    } clicks[] = {
        {IDC_AUTO_RUN, "Install", {"手动执行", "自动执行"}},
        {IDC_DELAY, "Time_lapse", {"弹出对话框", "延时"}},
        {IDC_AUTO_RUN, "Install", {"手动执行", "自动执行"}},
        {IDC_SOURCE_KIND, "Document_option", {"文件夹：", "文件："}},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.key);
        const int checked = check(c.id) == 0;
        ASSERT_TRUE(app.Click(c.id));
        ASSERT_TRUE(WaitUntil([&] { return check(c.id) == checked; }, 3000));
        char stored[8] = {};
        ::GetPrivateProfileStringA("Overall_situation", c.key, "", stored, 8, ini.c_str());
        EXPECT_EQ(app.Text(c.id) + stored, c.captions[checked] + std::to_string(checked));
        const bool unattended = check(IDC_AUTO_RUN) == 1;
        RECT bar{};
        ::GetWindowRect(::GetDlgItem(app.window, IDC_PROGRESS), &bar);
        EXPECT_EQ(bar.right - bar.left, unattended ? 410 : 340);
        EXPECT_EQ(visible(IDC_COPY), !unattended);
        EXPECT_EQ(visible(IDC_PROMPT_LABEL), unattended && !check(IDC_DELAY));
        // No length is stored, so only the switch to unattended mode leaves it empty.
        EXPECT_EQ(app.Text(IDC_COUNTDOWN_TEXT).empty(), c.id == IDC_AUTO_RUN && checked);
    }
}

}  // namespace
}  // namespace kestrava::e2e
