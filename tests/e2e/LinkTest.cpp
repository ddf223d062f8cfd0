// The real Kestrava.exe clicked as a user would: the check boxes, and the links (the
// configuration file in Notepad before and after the About box, which types its text).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

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

// A press of the left button on a label, which reports it as a click.
void PressOn(const App& app, int id) {
    ::PostMessageA(::GetDlgItem(app.window, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
}

bool ConfigLinkOpensTheFileInNotepad(const App& app) {
    PressOn(app, IDC_CONFIG_LINK);
    const char* title = "Kestrava_Configuration.ini - 记事本";
    HWND notepad = nullptr;
    return WaitFor([&] { return (notepad = ::FindWindowA("Notepad", title)); }, 10000) &&
           ::PostMessageA(notepad, WM_CLOSE, 0, 0) &&
           WaitFor([&] { return !::IsWindow(notepad); }, 5000);
}

TEST(LinksEndToEnd, ConfigLinkOpensNotepadBeforeAndAfterTheAboutBoxTypesItsText) {
    App app("链接", kManualFolderCopy);
    ASSERT_TRUE(ConfigLinkOpensTheFileInNotepad(app)) << "no Notepad with the file";
    PressOn(app, IDC_ABOUT_LINK);
    HWND about = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (about = ::GetLastActivePopup(app.window)) != app.window; }, 5000));
    const auto typed = [&] {
        char text[512] = {};
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutA(::GetDlgItem(about, IDC_ABOUT_TEXT), WM_GETTEXT, sizeof text,
                              LPARAM(text), SMTO_ABORTIFHUNG, 2000, &copied);
        return std::string(text);
    };
    const std::string early = typed();
    std::string later;
    EXPECT_TRUE(WaitFor([&] { return (later = typed()).size() > early.size() + 6; }, 4000));
    EXPECT_TRUE(later.starts_with(early)) << "\"" << early << "\", then \"" << later << "\"";
    // Esc as the keyboard gives it, through the box's own loop.
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP})
        ::PostMessageA(::GetDlgItem(about, IDOK), message, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }, 5000)) << "the box stays";
    EXPECT_TRUE(ConfigLinkOpensTheFileInNotepad(app)) << "not after the About box";
}

}  // namespace
}  // namespace kestrava::e2e
