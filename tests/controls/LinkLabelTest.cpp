// Link labels (fit, colours, hover, tooltip, what a click opens) and the About box made of
// them, with the main window's ways to open it.
#include <gtest/gtest.h>

#include <tuple>

#include "app/KestravaDlg.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"
#include "support/TestDialogs.h"

namespace kestrava::test {
namespace {

// Logs what a click asks of the platform; htmlfile's open command is none when empty.
struct ShellFake : FakePlatform {
    ShellFake() {
        onBox = [this](const ShownBox& b) { log += std::to_string(b.type) + b.text; };
    }
    INT_PTR shellResult = 33;
    UINT execResult = 33;
    std::string command, log;
    HINSTANCE ShellExecute(HWND, const char* verb, const char* file, const char*, const char*,
                           int show) override {
        log += std::string(verb) + " " + file + " " + std::to_string(show) + "|";
        return reinterpret_cast<HINSTANCE>(shellResult);
    }
    UINT WinExec(const char* line, UINT) override { return log.append(line) += "|", execResult; }
    void MessageBeep(UINT type) override { log += "beep " + std::to_string(type) + "|"; }
    bool RegQueryValue(HKEY root, const std::string& key, std::string& value) override {
        value = key == ".htm" ? "htmlfile" : key == "htmlfile\\shell\\open\\command" ? command : "";
        return root == HKEY_CLASSES_ROOT && !value.empty();
    }
};

// Run once, by a thread timer, in the next modal box the loop runs.
std::function<void()> g_inModal;
void CALLBACK RunInModal(HWND, UINT, UINT_PTR, DWORD) {
    if (g_inModal && ActiveModalWindow()) std::exchange(g_inModal, nullptr)();
}

// The text colour the dialog gives control, or -1 unless brush and mode leave it clear.
COLORREF ColourOf(HWND dialog, HWND control) {
    static const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    const auto brush = ::SendMessageA(dialog, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(control));
    const bool clear = brush == LRESULT(::GetStockObject(NULL_BRUSH));
    return clear && ::GetBkMode(dc) == TRANSPARENT ? ::GetTextColor(dc) : CLR_INVALID;
}

TEST(LinkLabelTest, FitsColoursHoversShowsTheTargetAndOpensTheFileOrTheTarget) {
    ShellFake platform;
    CDialog parent{IDD_TEST_DIALOG};
    ASSERT_TRUE(parent.Create());
    ::ShowWindow(parent.m_hWnd, SW_SHOWNA);
    CLinkLabel label;
    // A static of the dialog in its font, taken over by label, which fits it to its 41 x 14 text.
    const auto bind = [&](DWORD style, RECT r, const RECT& fitted) {
        HWND hwnd = ::CreateWindowExA(0, "STATIC", "关于mx", WS_CHILD | WS_VISIBLE | style, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, parent.m_hWnd,
                                      HMENU(9100), nullptr, nullptr);
        ::SendMessageA(hwnd, WM_SETFONT, parent.SendMessage(WM_GETFONT), FALSE);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        ::GetWindowRect(hwnd, &r);
        ::MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(::EqualRect(&r, &fitted)) << style << ": " << r.left << "," << r.top;
        return hwnd;
    };
    ::DestroyWindow(bind(SS_RIGHT | SS_CENTERIMAGE, {10, 10, 110, 41}, {69, 18, 110, 33}));
    HWND hwnd = bind(SS_CENTER, {10, 10, 110, 30}, {39, 10, 81, 24});  // the odd pixel spare
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const auto move = [&](int x) { ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5)); };
    // What happens, then: hovering, left to repaint (a move repaints at once), colour shown.
    const std::tuple<const char*, std::function<void()>, bool, bool, COLORREF> steps[] = {
        {"visited", [&] { label.SetVisitedFlag(TRUE); }, false, true, RGB(85, 26, 139)},
        {"pointer onto it: hover wins", [&] { move(0); }, true, false, highlight},
        {"new colours", [&] { label.SetLinkColors(1, 2, 3); }, true, true, 3},
        {"-1", [&] { label.SetLinkColors(1, 2, CLR_INVALID); }, true, true, highlight},
        {"off its right edge", [&] { move(42); }, false, false, 2},
        {"not visited", [&] { label.SetVisitedFlag(FALSE); }, false, true, 1},
    };
    for (const auto& [name, step, hover, invalid, shown] : steps) {
        ::ValidateRect(hwnd, nullptr);
        step();
        EXPECT_EQ(std::tuple(::GetCapture() == hwnd, ::GetUpdateRect(hwnd, nullptr, FALSE) != 0,
                             ColourOf(parent.m_hWnd, hwnd)),
                  std::tuple(hover, invalid, shown))
            << name;
    }
    // Wine lacks the help program's hand, so this is the system's.
    EXPECT_TRUE(::SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), HTCLIENT));
    EXPECT_TRUE(label.m_hHandCursor && ::GetCursor() == label.m_hHandCursor);

    const std::string t = "https://t.example/", fits(500, 'w');
    const std::string fail = "beep 48|48Unable to open hyperlink:\n\n";
    // Link mode, ShellExecute's answer, htmlfile's open command, WinExec's answer, what follows.
    const std::tuple<const char*, int, INT_PTR, std::string, UINT, std::string> clicks[] = {
        {"mode 1: the file, failures not reported", 1, 2, "w", 0, ""},
        {"opened: no fallback", 2, 42, "w", 0, "visited"},
        {"32 fails, no open command", 2, 32, "", 0,
         fail + "The specified dynamic-link library was not found."},
        {"quoted placeholder", 2, 31, "\"w\" -n \"%1\" -x", 33, "\"w\" -n  " + t + "|visited"},
        {"bare placeholder", 2, 31, "w %1 -x", 33, "w  " + t + "|visited"},
        {"519 bytes fit", 2, 31, fits, 2,
         fits + " " + t + "|" + fail + "The specified file was not found."},
        {"520 do not", 2, 4, fits + "w", 0, fail + "Unknown Error (4) occurred."},
    };
    label.SetLinkTarget(t);
    char tip[64] = {};
    TOOLINFOA info{TTTOOLINFOA_V2_SIZE, 0, hwnd, 1, {}, nullptr, tip, 0, nullptr};
    ::SendMessageA(label.m_tipCtrl.m_hWnd, TTM_GETTEXTA, sizeof tip, LPARAM(&info));
    EXPECT_EQ(tip, t);
    g_strLinkConfigPath = "C:\\k.ini";
    for (const auto& [name, mode, shell, command, exec, after] : clicks) {
        g_nLinkMode = mode, platform.shellResult = shell, platform.execResult = exec;
        platform.command = command, platform.log.clear();
        SendCommand(parent.m_hWnd, 9100, STN_CLICKED);
        EXPECT_EQ(platform.log + (label.m_bVisited ? "visited" : ""),
                  (mode == 1 ? "open C:\\k.ini 1|" : "open " + t + " 5|") + after)
            << name;
    }
}

// Each way in opens its own box, which reads its title afresh and types its text; link mode 2
// while it is open, 1 and the timer stopped on each way out; all it made goes with it.
TEST(AboutBoxTest, EachWayInOpensItsBoxWhichTypesEachWayOutGivesModeOneBackNothingIsLeft) {
    ShellFake platform;
    auto main = std::make_unique<CKestravaDlg>();
    ASSERT_TRUE(main->Create());
    // Way in, way out (OK, Esc, the close box), a text and what each tick shows of it: never
    // the last character, and a lead byte with its trail (誠 ends in the byte of '\\').
    const std::tuple<int, UINT, UINT, WPARAM, const char*, const char*> ways[] = {
        {IDC_ABOUT_LINK, STN_CLICKED, WM_COMMAND, IDOK, "ab\n", "||a|ab|ab"},
        {IDC_ABOUT_BUTTON, BN_CLICKED, WM_COMMAND, IDCANCEL, "誠a中\n", "||誠|誠a|誠a中|誠a中"},
        {IDC_ABOUT_BUTTON, BN_DOUBLECLICKED, WM_SYSCOMMAND, SC_CLOSE, "a", "||"},
    };
    g_strConfigPath = platform.folder.Path() + "elsewhere.ini";
    g_nLinkMode = 2;  // the link still opens its box
    ::SetTimer(nullptr, 0, 10, &RunInModal);
    std::vector<HFONT> fonts;
    std::vector<HWND> tips;
    for (const auto& [in, code, message, out, text, ticks] : ways) {
        SCOPED_TRACE(text);
        CAboutDlg& box = in == IDC_ABOUT_LINK ? main->m_aboutLink.m_aboutDlg : main->m_aboutDlg;
        const std::string headline = std::string(130, 'h') + std::to_string(out);
        ::WritePrivateProfileStringA(kConfigSection, key::Headline, headline.c_str(),
                                     platform.ConfigPath().c_str());
        g_inModal = [&] {
            CLinkLabel& site = box.m_siteLink;
            EXPECT_EQ(box.GetWindowText(), "关于-" + headline);
            EXPECT_EQ(ColourOf(box.m_hWnd, site.m_hWnd), 0u) << "black over the link's colour";
            fonts.push_back(site.m_fontLink), tips.push_back(site.m_tipCtrl.m_hWnd);
            SendCommand(box.m_hWnd, IDC_SITE_LINK, STN_CLICKED);
            box.m_strAboutText = text, box.m_nTypePos = 0;
            std::string shown;
            while (shown.size() < 40 && box.KillTimer(1) && box.SetTimer(1, 300)) {
                ::SendMessageA(box.m_hWnd, WM_TIMER, 1, 0);
                shown += "|" + box.GetDlgItemText(IDC_ABOUT_TEXT);
            }
            EXPECT_EQ(shown, ticks);
            box.SetTimer(1, 300);
            ::SendMessageA(box.m_hWnd, message, out, 0);
            EXPECT_FALSE(box.KillTimer(1)) << "the timer runs on";
        };
        platform.log.clear();
        SendCommand(main->m_hWnd, in, code);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_EQ(platform.log, "open " + std::string(kSiteAddress) + " 5|");
    }
    for (HWND tip : tips) EXPECT_FALSE(::IsWindow(tip));
    const HCURSOR cursor = main->m_aboutDlg.m_siteLink.m_hHandCursor;
    main.reset();
    for (HFONT font : fonts) EXPECT_EQ(::GetObjectType(font), 0u) << font;
    EXPECT_FALSE(::DestroyCursor(cursor));
}

}  // namespace
}  // namespace kestrava::test
