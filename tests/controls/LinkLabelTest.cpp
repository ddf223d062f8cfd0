// The link label on a test dialog: its fit, colours, hover, tooltip and what a click opens.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "controls/LinkLabel.h"
#include "settings/Settings.h"
#include "support/LinkSupport.h"
#include "support/TestDialogs.h"

namespace kestrava::test {
namespace {

constexpr int kLabelId = 9100;
const char* const kCaption = "关于mx";  // 41 x 14 pixels in the test dialog's font, underlined

class LinkLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        ::ShowWindow(parent.m_hWnd, SW_SHOWNA);
        g_strLinkConfigPath = platform.ConfigPath();
    }
    // A static of the dialog in its font, taken over by label.
    HWND Bind(CLinkLabelBase& label, DWORD style, RECT r = {10, 10, 110, 30}) {
        HWND hwnd = ::CreateWindowExA(0, "STATIC", kCaption, WS_CHILD | WS_VISIBLE | style, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, parent.m_hWnd,
                                      HMENU(kLabelId), nullptr, nullptr);
        ::SendMessageA(hwnd, WM_SETFONT, parent.SendMessage(WM_GETFONT), FALSE);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        return hwnd;
    }

    ShellFake platform;
    CDialog parent{IDD_TEST_DIALOG};
    CLinkLabel label;
};

TEST_F(LinkLabelTest, FitsItsWindowToTheTextByItsAlignment) {
    const std::tuple<DWORD, RECT, RECT> cases[] = {
        // style, rectangle given, fitted
        {SS_CENTER, {10, 10, 110, 30}, {39, 10, 81, 24}},  // same centre, the odd pixel spare
        {SS_CENTER, {30, 10, 50, 30}, {20, 10, 60, 24}},   // narrower: grows both ways
        {SS_RIGHT, {10, 10, 110, 30}, {69, 10, 110, 24}},
        {SS_LEFT, {10, 10, 110, 30}, {10, 10, 51, 24}},
        {SS_CENTERIMAGE, {10, 10, 110, 41}, {10, 18, 51, 33}},  // keeps its middle
    };
    for (const auto& [style, given, fitted] : cases) {
        CLinkLabel fit;
        HWND hwnd = Bind(fit, style, given);
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        ::MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(::EqualRect(&r, &fitted))
            << "style " << style << ", width " << given.right - given.left << ": " << r.left << ","
            << r.top << "," << r.right << "," << r.bottom;
        LOGFONTA font{};
        ::GetObjectA(fit.m_fontLink, sizeof font, &font);
        EXPECT_TRUE(font.lfUnderline);
        const HWND tip = fit.m_tipCtrl.m_hWnd;
        ::DestroyWindow(hwnd);
        EXPECT_FALSE(::IsWindow(tip)) << "the tooltip outlives the label's window";
    }
}

TEST_F(LinkLabelTest, ColourFollowsHoverThenVisitThenLinkAndEveryChangeRepaints) {
    HWND hwnd = Bind(label, SS_LEFT);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const auto move = [&](int x, int y) {
        ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };
    // What happens, then: hovering, left to repaint (a move repaints at once), colour shown.
    const std::tuple<const char*, std::function<void()>, bool, bool, COLORREF> steps[] = {
        {"nothing yet", [] {}, false, false, RGB(0, 0, 238)},
        {"visited", [&] { label.SetVisitedFlag(TRUE); }, false, true, RGB(85, 26, 139)},
        {"pointer onto the label", [&] { move(2, 2); }, true, false, highlight},
        {"within it", [&] { move(40, 13); }, true, false, highlight},
        {"new colours: hover wins", [&] { label.SetLinkColors(1, 2, 3); }, true, true, 3},
        {"off its right edge", [&] { move(41, 5); }, false, false, 2},
        {"back onto it", [&] { move(0, 0); }, true, false, 3},
        {"-1: the highlight", [&] { label.SetLinkColors(1, 2, CLR_INVALID); }, true, true,
         highlight},
        {"off its bottom edge", [&] { move(5, 14); }, false, false, 2},
        {"not visited", [&] { label.SetVisitedFlag(FALSE); }, false, true, 1},
    };
    for (const auto& [name, step, hover, invalid, shown] : steps) {
        SCOPED_TRACE(name);
        ::ValidateRect(hwnd, nullptr);
        step();
        EXPECT_EQ(label.m_bHover, hover);
        EXPECT_EQ(::GetCapture(), hover ? hwnd : nullptr);
        EXPECT_EQ(::GetUpdateRect(hwnd, nullptr, FALSE) != FALSE, invalid);
        EXPECT_EQ(ColourOf(parent.m_hWnd, hwnd), shown);
    }
    EXPECT_TRUE(
        ::SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_TRUE(label.m_hHandCursor && ::GetCursor() == label.m_hHandCursor);
}

TEST_F(LinkLabelTest, TooltipShowsTheTargetAndFollowsSetLinkTarget) {
    label.SetLinkTarget("https://early.example/");  // before the window: only kept
    HWND hwnd = Bind(label, SS_LEFT);
    for (const char* target : {"", "https://a.example/"}) {
        label.SetLinkTarget(target);
        EXPECT_EQ(TipText(label.m_tipCtrl.m_hWnd, hwnd),
                  *target ? target : "https://early.example/");
        EXPECT_EQ(label.GetWindowText(), kCaption) << "the caption stays";
    }
    HWND tip = nullptr;
    {
        CLinkLabel gone;
        Bind(gone, SS_LEFT);
        tip = gone.m_tipCtrl.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(tip)) << "the tooltip outlives its label";
}

TEST_F(LinkLabelTest, ClickOpensTheConfigurationFileInModeOneElseTheTargetWithFallbackAndErrors) {
    const std::string target = "https://t.example/", fits(500, 'w'), tooLong(501, 'w');
    struct Case {
        const char* name;
        int mode;
        INT_PTR shell;
        std::string command, commandLine;  // htmlfile's open command (or none); WinExec's line
        UINT exec;
        BOOL visited;
        std::string error;  // empty: neither box nor beep
    };
    const Case cases[] = {
        {"mode 1: the file, not a visit", 1, 42, "", "", 0, FALSE, ""},
        {"mode 1: failure not reported", 1, 2, "", "", 0, FALSE, ""},
        {"opened", 2, 42, "", "", 0, TRUE, ""},
        {"26 ends the visit", 2, 26, "", "", 0, FALSE, "A sharing violation occurred. "},
        {"a code the table lacks", 2, 4, "", "", 0, FALSE, "Unknown Error (4) occurred."},
        {"32 is a failure", 2, 32, "", "", 0, FALSE,
         "The specified dynamic-link library was not found."},
        {"quoted placeholder", 2, 31, "\"C:\\web.exe\" -new \"%1\" -x",
         "\"C:\\web.exe\" -new  " + target, 33, TRUE, ""},
        {"bare placeholder", 2, 31, "C:\\web.exe %1 -x", "C:\\web.exe  " + target, 33, TRUE, ""},
        {"no placeholder", 2, 31, "C:\\web.exe", "C:\\web.exe " + target, 33, TRUE, ""},
        {"the fallback fails", 2, 31, "C:\\web.exe", "C:\\web.exe " + target, 2, FALSE,
         "The specified file was not found."},
        {"no open command: the shell's error", 2, 31, "", "", 0, FALSE,
         "There is no application associated\nwith the given filename extension."},
        {"519 bytes fit", 2, 31, fits, fits + " " + target, 33, TRUE, ""},
        {"520 do not", 2, 26, tooLong, "", 0, FALSE, "A sharing violation occurred. "},
    };
    Bind(label, SS_LEFT);
    label.SetLinkTarget(target);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_nLinkMode = c.mode;
        platform.shellResult = c.shell;
        platform.execResult = c.exec;
        platform.classes = {{".htm", "htmlfile"}};
        if (!c.command.empty()) platform.classes["htmlfile\\shell\\open\\command"] = c.command;
        platform.opened.clear(), platform.commandLines.clear(), platform.beeps.clear();
        platform.boxes.clear();

        SendCommand(parent.m_hWnd, kLabelId, STN_CLICKED);

        EXPECT_EQ(platform.opened.at(0),
                  c.mode == 1 ? "open " + platform.ConfigPath() + " 1" : "open " + target + " 5");
        EXPECT_EQ(platform.commandLines.empty() ? "" : platform.commandLines.at(0), c.commandLine);
        EXPECT_EQ(label.m_bVisited, c.visited);
        // One box with the exclamation icon and one beep of that kind, or neither.
        std::string shown;
        for (const ShownBox& box : platform.boxes)
            shown += "icon " + std::to_string(box.type & MB_ICONMASK) + ": " + box.text;
        for (const UINT beep : platform.beeps) shown += ", beep " + std::to_string(beep);
        const std::string icon = std::to_string(MB_ICONEXCLAMATION);
        EXPECT_EQ(shown, c.error.empty() ? ""
                                         : "icon " + icon + ": Unable to open hyperlink:\n\n" +
                                               c.error + ", beep " + icon);
        EXPECT_EQ(platform.opened.size(), 1u);
        EXPECT_LE(platform.commandLines.size(), 1u);
    }
}

}  // namespace
}  // namespace kestrava::test
