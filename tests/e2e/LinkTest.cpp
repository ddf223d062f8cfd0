// The real Kestrava.exe's links: the configuration link opens the file in Notepad, and
// does so again after every way out of the About box.
#include <gtest/gtest.h>

#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

struct AboutBox : Window {
    explicit AboutBox(HWND hwnd) { hwnd_ = hwnd; }
};

// A press of the left button on a label, which reports it as a click.
void PressOn(const AppProcess& app, int id) {
    ::PostMessageA(::GetDlgItem(app.Handle(), id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
}

bool ConfigLinkOpensTheFileInNotepad(const AppProcess& app) {
    PressOn(app, IDC_CONFIG_LINK);
    const std::string title = std::string(kConfigFileName) + " - 记事本";
    HWND notepad = nullptr;
    if (!WaitUntil([&] { return (notepad = ::FindWindowA("Notepad", title.c_str())); }, 10000))
        return false;
    ::PostMessageA(notepad, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !::IsWindow(notepad); }, 5000);
}

TEST(LinksEndToEnd, ConfigLinkOpensNotepadBeforeAndAfterTheAboutBoxTypesItsText) {
    LaunchedApp run("链接", kManualFolderCopy);
    ASSERT_TRUE(ConfigLinkOpensTheFileInNotepad(run.app)) << "no Notepad with the file";
    PressOn(run.app, IDC_ABOUT_LINK);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (about = ::GetLastActivePopup(run.app.Handle())) != run.app.Handle(); },
        5000));
    AboutBox box(about);
    const std::string early = box.Text(IDC_ABOUT_TEXT);
    std::string later;
    EXPECT_TRUE(WaitUntil(
        [&] { return (later = box.Text(IDC_ABOUT_TEXT)).size() > early.size() + 6; }, 4000));
    EXPECT_TRUE(later.starts_with(early)) << "\"" << early << "\", then \"" << later << "\"";
    // Esc as the keyboard gives it, through the box's own loop.
    ASSERT_TRUE(box.PressKey(IDOK, VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000)) << "the box stays";
    EXPECT_TRUE(ConfigLinkOpensTheFileInNotepad(run.app)) << "not after the About box";
}

}  // namespace
}  // namespace kestrava::e2e
