// The real Kestrava.exe's three check boxes, clicked as a user would.
#include <gtest/gtest.h>

#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

TEST(SwitchesEndToEnd, ClicksChangeLayoutCaptionsAndStoredSettings) {
    LaunchedApp run("开关", {{"Install", "0"}});
    const std::string ini = run.dir / kConfigFileName;
    const auto stored = [&](const char* key) {
        char value[128] = {};
        ::GetPrivateProfileStringA("Overall_situation", key, "", value, 128, ini.c_str());
        return std::string(value);
    };
    const auto width = [&](int id) {
        const RECT r = run.app.ClientRect(id);
        return r.right - r.left;
    };
    const struct {
        int id;
        const char* key;
        const char* captions[2];  // unchecked, checked
    } clicks[] = {
        {IDC_AUTO_RUN, "Install", {"手动执行", "自动执行"}},
        {IDC_DELAY, "Time_lapse", {"弹出对话框", "延时"}},
        {IDC_AUTO_RUN, "Install", {"手动执行", "自动执行"}},
        {IDC_SOURCE_KIND, "Document_option", {"文件夹：", "文件："}},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.key);
        const int checked = run.app.Check(c.id) == 0;
        ASSERT_TRUE(run.app.Click(c.id));
        ASSERT_TRUE(WaitUntil([&] { return run.app.Check(c.id) == checked; }, 3000));
        EXPECT_EQ(run.app.Text(c.id), c.captions[checked]);
        EXPECT_EQ(stored(c.key), std::to_string(checked));
        const bool unattended = run.app.Check(IDC_AUTO_RUN) == 1;
        EXPECT_EQ(width(IDC_SOURCE_PATH) + width(IDC_PROGRESS), unattended ? 760 : 620);
        EXPECT_EQ(run.app.IsVisible(IDC_COPY), !unattended);
        EXPECT_EQ(run.app.IsEnabled(IDC_SOURCE_KIND), !unattended);
        EXPECT_EQ(run.app.IsVisible(IDC_PROMPT_LABEL), unattended && !run.app.Check(IDC_DELAY));
        // Without a stored length, only the switch to unattended mode leaves it empty.
        EXPECT_EQ(run.app.Text(IDC_COUNTDOWN_TEXT).empty(), c.id == IDC_AUTO_RUN && checked);
    }
}

}  // namespace
}  // namespace kestrava::e2e
