// The real Kestrava.exe's links: the configuration link opens the file in Notepad, and
// does so again after every way out of the About box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

// A press of the left button on a label, which reports it as a click.
void PressOn(const App& app, int id) {
    ::PostMessageA(::GetDlgItem(app.window, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
}

std::string TextOf(HWND control) {
    char text[512] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

bool ConfigLinkOpensTheFileInNotepad(const App& app) {
    PressOn(app, IDC_CONFIG_LINK);
    const std::string title = "Kestrava_Configuration.ini - 记事本";
    HWND notepad = nullptr;
    if (!WaitUntil([&] { return (notepad = ::FindWindowA("Notepad", title.c_str())); }, 10000))
        return false;
    ::PostMessageA(notepad, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !::IsWindow(notepad); }, 5000);
}

TEST(LinksEndToEnd, ConfigLinkOpensNotepadBeforeAndAfterTheAboutBoxTypesItsText) {
    App app("链接", kManualFolderCopy);
    ASSERT_TRUE(ConfigLinkOpensTheFileInNotepad(app)) << "no Notepad with the file";
    PressOn(app, IDC_ABOUT_LINK);
    HWND about = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (about = ::GetLastActivePopup(app.window)) != app.window; }, 5000));
    HWND text = ::GetDlgItem(about, IDC_ABOUT_TEXT);
    const std::string early = TextOf(text);
    std::string later;
    EXPECT_TRUE(WaitUntil([&] { return (later = TextOf(text)).size() > early.size() + 6; }, 4000));
    EXPECT_TRUE(later.starts_with(early)) << "\"" << early << "\", then \"" << later << "\"";
    // Esc as the keyboard gives it, through the box's own loop.
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP})
        ::PostMessageA(::GetDlgItem(about, IDOK), message, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000)) << "the box stays";
    EXPECT_TRUE(ConfigLinkOpensTheFileInNotepad(app)) << "not after the About box";
}

}  // namespace
}  // namespace kestrava::e2e
