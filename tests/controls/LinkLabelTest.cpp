// The link label on a test dialog (fit, colours, hover, tooltip, what a click opens), and
// the About box built from such labels, with the main window's ways to open it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "about/AboutDlg.h"
#include "app/KestravaDlg.h"
#include "controls/LinkLabel.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"
#include "support/TestDialogs.h"

namespace kestrava::test {
namespace {

// A scripted shell and registry.
struct ShellFake : FakePlatform {
    INT_PTR shellResult = 33;
    UINT execResult = 33;
    std::map<std::string, std::string> classes;     // keys below HKEY_CLASSES_ROOT
    std::vector<std::string> opened, commandLines;  // "verb file show"; WinExec's lines
    HINSTANCE ShellExecute(HWND, const char* verb, const char* file, const char*, const char*,
                           int show) override {
        opened.push_back(std::string(verb) + " " + file + " " + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(shellResult);
    }
    UINT WinExec(const char* line, UINT) override {
        commandLines.push_back(line);
        return execResult;
    }
    bool RegQueryValue(HKEY root, const std::string& key, std::string& value) override {
        const auto it = classes.find(key);
        const bool found = root == HKEY_CLASSES_ROOT && it != classes.end();
        if (found) value = it->second;
        return found;
    }
};

// Runs act, which is to end it, with each modal dialog the loop runs while this lives.
class OnEachModal {
  public:
    explicit OnEachModal(std::function<void(HWND)> act) { s_act = std::move(act); }
    ~OnEachModal() { ::KillTimer(nullptr, m_timer), s_act = nullptr; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(ActiveModalWindow()));
        if (s_act && dialog && !dialog->IsEnded()) s_act(dialog->m_hWnd);
    }
    static inline std::function<void(HWND)> s_act;
    UINT_PTR m_timer = ::SetTimer(nullptr, 0, 10, &Tick);
};

// The text colour the dialog gives control, or -1 unless brush and mode leave it clear.
COLORREF ColourOf(HWND dialog, HWND control) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HGDIOBJ>(
        ::SendMessageA(dialog, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(control)));
    const bool clear = brush == ::GetStockObject(NULL_BRUSH) && ::GetBkMode(dc) == TRANSPARENT;
    const COLORREF colour = clear ? ::GetTextColor(dc) : CLR_INVALID;
    ::DeleteDC(dc);
    return colour;
}

constexpr int kLabelId = 9100;

class LinkLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        ::ShowWindow(parent.m_hWnd, SW_SHOWNA);
        g_strLinkConfigPath = platform.ConfigPath();
    }
    // A static of the dialog in its font, taken over by label; the caption is 41 x 14 pixels.
    HWND Bind(CLinkLabelBase& label, DWORD style, RECT r = {10, 10, 110, 30}) {
        HWND hwnd = ::CreateWindowExA(0, "STATIC", "关于mx", WS_CHILD | WS_VISIBLE | style, r.left,
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
        {SS_CENTERIMAGE, {10, 10, 110, 41}, {10, 18, 51, 33}},  // keeps its middle
    };
    for (const auto& [style, given, fitted] : cases) {
        CLinkLabel fit;
        RECT r{};
        ::GetWindowRect(Bind(fit, style, given), &r);
        ::MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(::EqualRect(&r, &fitted)) << "style " << style << ": " << r.left << "," << r.top
                                              << "," << r.right << "," << r.bottom;
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
        {"visited", [&] { label.SetVisitedFlag(TRUE); }, false, true, RGB(85, 26, 139)},
        {"pointer onto the label", [&] { move(0, 0); }, true, false, highlight},
        {"new colours: hover wins", [&] { label.SetLinkColors(1, 2, 3); }, true, true, 3},
        {"-1: the highlight", [&] { label.SetLinkColors(1, 2, CLR_INVALID); }, true, true,
         highlight},
        {"off its right edge", [&] { move(41, 5); }, false, false, 2},
        {"not visited", [&] { label.SetVisitedFlag(FALSE); }, false, true, 1},
    };
    for (const auto& [name, step, hover, invalid, shown] : steps) {
        SCOPED_TRACE(name);
        ::ValidateRect(hwnd, nullptr);
        step();
        EXPECT_EQ(::GetCapture(), hover ? hwnd : nullptr);
        EXPECT_EQ(::GetUpdateRect(hwnd, nullptr, FALSE) != FALSE, invalid);
        EXPECT_EQ(ColourOf(parent.m_hWnd, hwnd), shown);
    }
    EXPECT_TRUE(
        ::SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_TRUE(label.m_hHandCursor && ::GetCursor() == label.m_hHandCursor);
}

TEST_F(LinkLabelTest, ClickOpensTheConfigurationFileInModeOneElseTheTargetWithFallbackAndErrors) {
    const std::string target = "https://t.example/", fits(500, 'w'), tooLong(501, 'w');
    const std::string fail = " ! Unable to open hyperlink:\n\n";
    // Link mode, ShellExecute's answer, htmlfile's open command (or none), WinExec's answer;
    // then WinExec's line, " visited" or the box shown (always with a beep).
    const std::tuple<const char*, int, INT_PTR, std::string, UINT, std::string> cases[] = {
        {"mode 1: the file, failures not reported", 1, 2, "", 0, ""},
        {"opened", 2, 42, "", 0, " visited"},
        {"a code the table lacks", 2, 4, "", 0, fail + "Unknown Error (4) occurred."},
        {"32 is a failure", 2, 32, "", 0,
         fail + "The specified dynamic-link library was not found."},
        {"quoted placeholder", 2, 31, "\"C:\\web.exe\" -new \"%1\" -x", 33,
         "\"C:\\web.exe\" -new  " + target + " visited"},
        {"bare placeholder", 2, 31, "C:\\web.exe %1 -x", 33, "C:\\web.exe  " + target + " visited"},
        {"no placeholder", 2, 31, "C:\\web.exe", 33, "C:\\web.exe " + target + " visited"},
        {"the fallback fails", 2, 31, "C:\\web.exe", 2,
         "C:\\web.exe " + target + fail + "The specified file was not found."},
        {"no open command: the shell's error", 2, 31, "", 0,
         fail + "There is no application associated\nwith the given filename extension."},
        {"519 bytes fit", 2, 31, fits, 33, fits + " " + target + " visited"},
        {"520 do not", 2, 26, tooLong, 0, fail + "A sharing violation occurred. "},
    };
    HWND hwnd = Bind(label, SS_LEFT);
    label.SetLinkTarget(target);
    char tip[64] = {};
    TOOLINFOA info{TTTOOLINFOA_V2_SIZE, 0, hwnd, 1, {}, nullptr, tip, 0, nullptr};
    ::SendMessageA(label.m_tipCtrl.m_hWnd, TTM_GETTEXTA, sizeof tip, LPARAM(&info));
    EXPECT_EQ(tip, target);
    for (const auto& [name, mode, shell, command, exec, after] : cases) {
        SCOPED_TRACE(name);
        g_nLinkMode = mode;
        platform.shellResult = shell, platform.execResult = exec;
        platform.classes = {{".htm", "htmlfile"}};
        if (!command.empty()) platform.classes["htmlfile\\shell\\open\\command"] = command;
        platform.opened.clear(), platform.commandLines.clear(), platform.beeps.clear();
        platform.boxes.clear();
        SendCommand(parent.m_hWnd, kLabelId, STN_CLICKED);
        EXPECT_EQ(platform.opened, std::vector{mode == 1 ? "open " + platform.ConfigPath() + " 1"
                                                         : "open " + target + " 5"});
        std::string shown = platform.commandLines.empty() ? "" : platform.commandLines.at(0);
        if (label.m_bVisited) shown += " visited";
        for (const ShownBox& box : platform.boxes)
            shown += (box.type & MB_ICONMASK) == MB_ICONEXCLAMATION ? " ! " + box.text : box.text;
        EXPECT_EQ(platform.beeps, std::vector<UINT>(!platform.boxes.empty(), MB_ICONEXCLAMATION));
        EXPECT_EQ(shown, after);
    }
}

using AboutBoxTest = LinkLabelTest;

TEST_F(AboutBoxTest, TypesOneWholeCharacterPerTickNeverTheLastThenStops) {
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    // 誠 ends in the byte of '\\'; the last tick shows nothing new and stops the timer.
    const std::pair<const char*, std::vector<const char*>> texts[] = {
        {"ab\n", {"", "a", "ab", "ab"}}, {"誠a中\n", {"", "誠", "誠a", "誠a中", "誠a中"}}};
    for (const auto& [text, ticks] : texts) {
        dlg.m_strAboutText = text;
        dlg.m_nTypePos = 0;
        dlg.SetTimer(1, 300);
        for (const char* shown : ticks) {
            EXPECT_TRUE(dlg.KillTimer(1) && dlg.SetTimer(1, 300)) << "stopped before " << shown;
            ::SendMessageA(dlg.m_hWnd, WM_TIMER, 1, 0);
            EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_TEXT), shown);
        }
        EXPECT_FALSE(dlg.KillTimer(1)) << text << ": the timer runs on after the last tick";
    }
}

// Each opening reads its title afresh from the file next to the executable; the site
// link's fonts, tooltips and cursor go with the box.
TEST_F(AboutBoxTest, EveryWayOutGivesLinkModeOneBackStopsTheTimerAndLeavesNothingBehind) {
    std::string longHeadline;
    for (int i = 0; i < 50; ++i) longHeadline += "备份";  // 200 bytes
    const std::tuple<const char*, std::function<void(HWND)>, INT_PTR, const char*, std::string>
        ways[] = {
            // way out, its end code, executable (誠 ends in the byte of '\\'), Headline
            {"OK", [](HWND d) { SendCommand(d, IDOK); }, IDOK, "Kestrava.exe", ""},
            {"Esc", [](HWND d) { SendCommand(d, IDCANCEL); }, IDCANCEL, "誠.exe", "文件备份"},
            {"close box", [](HWND d) { ::SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL,
             "Kestrava.exe", longHeadline},
        };
    g_strConfigPath = platform.folder.Path() + "elsewhere.ini";
    auto dlg = std::make_unique<CAboutDlg>();
    CLinkLabel& site = dlg->m_siteLink;
    std::vector<HFONT> fonts;
    for (const auto& [name, leave, code, exe, headline] : ways) {
        SCOPED_TRACE(name);
        ::WritePrivateProfileStringA(kConfigSection, key::Headline,
                                     headline.empty() ? nullptr : headline.c_str(),
                                     platform.ConfigPath().c_str());
        platform.moduleFileName = platform.folder.Path() + exe;
        g_nLinkMode = 1;
        bool acted = false, timerStopped = false;
        HWND tip = nullptr;
        OnEachModal act([&](HWND d) {
            if (std::exchange(acted, true)) return;  // the close box ends it a message later
            char title[300] = {};
            ::GetWindowTextA(d, title, sizeof title);
            EXPECT_EQ(title, "关于-" + headline);
            site.m_bVisited = site.m_bHover = TRUE;
            EXPECT_EQ(ColourOf(d, site.m_hWnd), 0u) << "black in every state";
            site.m_bHover = FALSE;
            fonts.push_back(site.m_fontLink), tip = site.m_tipCtrl.m_hWnd;
            SendCommand(d, IDC_SITE_LINK, STN_CLICKED);
            ::SendMessageA(d, WM_TIMER, 1, 0);  // in the middle of the typing
            leave(d);
            timerStopped = !::KillTimer(d, 1);
        });
        platform.opened.clear();
        EXPECT_EQ(dlg->DoModal(), code);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_TRUE(timerStopped);
        EXPECT_EQ(platform.opened, std::vector{"open " + std::string(kSiteAddress) + " 5"});
        EXPECT_FALSE(::IsWindow(tip));
    }
    g_strConfigPath = platform.ConfigPath();
    const HCURSOR cursor = site.m_hHandCursor;
    ASSERT_TRUE(cursor && fonts.size() == 3);
    dlg.reset();
    for (HFONT font : fonts) EXPECT_EQ(::GetObjectType(font), 0u) << font;
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(cursor, &info));
}

TEST_F(AboutBoxTest, LinkAndHiddenButtonOpenTheirOwnBoxInAnyMode) {
    CKestravaDlg main;
    ASSERT_TRUE(main.Create());
    const std::tuple<int, UINT, int, CDialog*> ways[] = {
        // sent by, code, link mode, box
        {IDC_ABOUT_LINK, STN_CLICKED, 1, &main.m_aboutLink.m_aboutDlg},
        {IDC_ABOUT_LINK, STN_CLICKED, 2, &main.m_aboutLink.m_aboutDlg},
        {IDC_ABOUT_BUTTON, BN_CLICKED, 1, &main.m_aboutDlg},
        {IDC_ABOUT_BUTTON, BN_DOUBLECLICKED, 1, &main.m_aboutDlg},
    };
    CWnd* opened = nullptr;
    OnEachModal close([&](HWND d) {
        opened = CWnd::FromHandlePermanent(d);
        SendCommand(d, IDOK);
    });
    for (const auto& [id, code, mode, box] : ways) {
        SCOPED_TRACE(id + code);
        g_nLinkMode = mode;
        SendCommand(main.m_hWnd, id, code);
        EXPECT_EQ(opened, box);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_FALSE(main.m_aboutLink.m_bVisited);
    }
    EXPECT_TRUE(platform.opened.empty());
    SendCommand(main.m_hWnd, IDC_CONFIG_LINK, STN_CLICKED);
    EXPECT_EQ(platform.opened, std::vector{"open " + g_strLinkConfigPath + " 1"});
}

}  // namespace
}  // namespace kestrava::test
