// The real Kestrava.exe's links: the configuration link opens the file in Notepad, and
// after every way out of the About box it does so again.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "e2e/Driver.h"
#include "resource.h"

namespace kestrava::e2e {
namespace {

// A dialog of the application other than its main window.
struct OtherDialog : Window {
    explicit OtherDialog(HWND hwnd) { hwnd_ = hwnd; }
};

// A press of the left button on a label: with SS_NOTIFY the label reports the click.
void PressOn(const AppProcess& app, int id) {
    HWND label = ::GetDlgItem(app.Handle(), id);
    ::PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::PostMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// Clicks the configuration link, waits for Notepad with the file, and closes it.
bool OpensTheFileInNotepad(const AppProcess& app) {
    PressOn(app, IDC_CONFIG_LINK);
    HWND notepad = nullptr;
    const std::string title = std::string(kConfigFileName) + " - 记事本";
    if (!WaitUntil([&] { return (notepad = ::FindWindowA("Notepad", title.c_str())) != nullptr; },
                   10000)) {
        return false;
    }
    ::PostMessageA(notepad, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !::IsWindow(notepad); }, 5000);
}

HWND FindAboutBox(const AppProcess& app) {
    const DWORD thread = ::GetWindowThreadProcessId(app.Handle(), nullptr);
    for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
        char title[64] = {};
        ::GetWindowTextA(hwnd, title, sizeof title);
        if (::GetWindowThreadProcessId(hwnd, nullptr) == thread && ::IsWindowVisible(hwnd) &&
            std::string(title).starts_with("关于-"))
            return hwnd;
    }
    return nullptr;
}

TEST(LinksEndToEnd, ConfigLinkOpensNotepadBeforeTheAboutBoxAndAfterEveryWayOut) {
    LaunchedApp run("链接", kManualFolderCopy);
    ASSERT_TRUE(OpensTheFileInNotepad(run.app)) << "no Notepad with the configuration file";
    const struct {
        const char* name;
        std::function<void(OtherDialog&)> leave;
    } ways[] = {
        {"OK", [](OtherDialog& box) { box.Click(IDOK); }},
        {"Esc", [](OtherDialog& box) { box.PressKey(IDOK, VK_ESCAPE); }},
        {"close box", [](OtherDialog& box) { box.ClickCloseBox(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        PressOn(run.app, IDC_ABOUT_LINK);
        HWND about = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (about = FindAboutBox(run.app)) != nullptr; }, 5000));
        OtherDialog box(about);
        const std::string early = box.Text(IDC_ABOUT_TEXT);
        std::string later;
        EXPECT_TRUE(WaitUntil(
            [&] { return (later = box.Text(IDC_ABOUT_TEXT)).size() > early.size() + 2; }, 3000));
        EXPECT_TRUE(later.starts_with(early))
            << "typed: \"" << early << "\", then \"" << later << "\"";
        way.leave(box);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000)) << "the box stays";
        EXPECT_TRUE(OpensTheFileInNotepad(run.app));
    }
}

}  // namespace
}  // namespace kestrava::e2e
