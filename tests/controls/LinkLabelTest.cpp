// Link labels, and the About box made of them with the main window's ways to open it.
#include <gtest/gtest.h>

#include "app/KestravaDlg.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Fixtures.h"
#include "resource.h"

namespace kestrava::test {
namespace {

// Run once, by a thread timer, in the next modal box the loop runs.
std::function<void()> g_inModal;
void CALLBACK RunInModal(HWND, UINT, UINT_PTR, DWORD) {
    if (g_inModal && ActiveModalWindow()) std::exchange(g_inModal, nullptr)();
}

// The text colour given to control, or CLR_INVALID unless it is drawn on no background.
COLORREF ColourOf(HWND dialog, HWND control) {
    static const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    const LRESULT brush = ::SendMessageA(dialog, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(control));
    const bool clear =
        HGDIOBJ(brush) == ::GetStockObject(NULL_BRUSH) && ::GetBkMode(dc) == TRANSPARENT;
    return clear ? ::GetTextColor(dc) : CLR_INVALID;
}

TEST(LinkLabelTest, FitsColoursHoversShowsTheTargetAndOpensTheFileOrTheTarget) {
    FakePlatform platform;
    CDialog parent{IDD_MAIN_DIALOG};
    ASSERT_TRUE(parent.Create());
    CLinkLabel label;
    // A static of the dialog in its font, taken over by label, which fits it to its 35 x 13 text.
    const auto bind = [&](DWORD style, const RECT& r, const RECT& fitted) {
        HWND hwnd = ::CreateWindowExA(0, "STATIC", "关于mx", WS_CHILD | WS_VISIBLE | style, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, parent.m_hWnd,
                                      HMENU(9100), nullptr, nullptr);
        ::SendMessageA(hwnd, WM_SETFONT, parent.SendMessage(WM_GETFONT), FALSE);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        WINDOWPLACEMENT p{sizeof p, 0, 0, {}, {}, {}};
        ::GetWindowPlacement(hwnd, &p);
        EXPECT_TRUE(::EqualRect(&p.rcNormalPosition, &fitted)) << "style " << style;
        return hwnd;
    };
    ::DestroyWindow(bind(SS_CENTER, {30, 10, 50, 30}, {23, 10, 57, 23}));  // grows both ways
    ::DestroyWindow(bind(SS_LEFT, {10, 10, 110, 30}, {10, 10, 45, 23}));
    HWND old = bind(SS_RIGHT | SS_CENTERIMAGE, {10, 10, 110, 41}, {75, 19, 110, 32});
    const HWND tip = label.m_tipCtrl.m_hWnd;
    ::DestroyWindow(old);
    EXPECT_FALSE(::IsWindow(tip)) << "the tooltip outlives its label";
    HWND hwnd = bind(SS_CENTER, {10, 10, 110, 30}, {42, 10, 78, 23});  // the odd pixel spare
    const std::tuple<const char*, std::function<void()>, bool, COLORREF> steps[] = {
        {"visited", [&] { label.SetVisitedFlag(TRUE); }, false, RGB(85, 26, 139)},
        {"new colours", [&] { label.SetLinkColors(1, 2, 3); }, false, 2},
        {"pointer onto it: hover wins", [&] { ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0); }, true, 3},
        {"-1", [&] { label.SetLinkColors(1, 2, CLR_INVALID); }, true, GetSysColor(COLOR_HIGHLIGHT)},
        {"off its right edge", [&] { ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, 36); }, false, 2},
        {"not visited", [&] { label.SetVisitedFlag(FALSE); }, false, 1},
    };
    for (const auto& [name, step, hover, shown] : steps) {
        step();
        EXPECT_EQ(::GetCapture() == hwnd, hover) << name;
        EXPECT_EQ(ColourOf(parent.m_hWnd, hwnd), shown) << name;
    }
    EXPECT_TRUE(::SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), HTCLIENT));
    EXPECT_TRUE(label.m_hHandCursor && ::GetCursor() == label.m_hHandCursor) << "IDC_HAND fallback";

    const std::string t = "https://t.example/", w(500, 'w'), o = "open " + t + " 5|";
    const std::string no = "beep 48|48Unable to open hyperlink:\n\n";
    // Link mode, ShellExecute's answer, htmlfile's open command, WinExec's answer, what follows.
    const std::tuple<const char*, int, INT_PTR, std::string, UINT, std::string> clicks[] = {
        {"mode 1: the file, failures not reported", 1, 2, "x", 0, "open C:\\k.ini 1|"},
        {"opened: no fallback", 2, 42, "x", 0, o + "visited"},
        {"32, no key", 2, 32, "", 0, o + no + "The specified dynamic-link library was not found."},
        {"quoted placeholder", 2, 31, "\"w\" -n \"%1\" -x", 33, o + "\"w\" -n  " + t + "|visited"},
        {"bare placeholder", 2, 31, "w %1 -x", 33, o + "w  " + t + "|visited"},
        {"519 fit", 2, 31, w, 2, o + w + " " + t + "|" + no + "The specified file was not found."},
        {"520 do not", 2, 4, w + "w", 0, o + no + "Unknown Error (4) occurred."},
        {"26", 2, 26, "", 0, o + no + "A sharing violation occurred. "},
    };
    label.SetLinkTarget(t);
    platform.onBox = [&](const ShownBox& b) { platform.log += std::to_string(b.type) + b.text; };
    char text[64] = {};
    TOOLINFOA info{TTTOOLINFOA_V2_SIZE, 0, hwnd, 1, {}, nullptr, text, 0, nullptr};
    ::SendMessageA(label.m_tipCtrl.m_hWnd, TTM_GETTEXTA, sizeof text, LPARAM(&info));
    EXPECT_EQ(text, t);
    g_strLinkConfigPath = "C:\\k.ini";
    for (const auto& [name, mode, shell, open, exec, after] : clicks) {
        g_nLinkMode = mode, platform.shell = shell, platform.exec = exec, platform.command = open;
        SendCommand(parent.m_hWnd, 9100, STN_CLICKED);
        EXPECT_EQ(std::exchange(platform.log, "") + (label.m_bVisited ? "visited" : ""), after)
            << name;
    }
}

TEST(AboutBoxTest, EachWayInOpensItsBoxWhichTypesEachWayOutGivesModeOneBackNothingIsLeft) {
    FakePlatform platform;
    auto main = std::make_unique<CKestravaDlg>();
    ASSERT_TRUE(main->Create());
    const CLinkLabelBase* links[] = {&main->m_configLink, &main->m_aboutLink};
    for (const CLinkLabelBase* link : links)  // blue, then dark red when visited or hovered
        EXPECT_EQ(std::to_string(link->m_clrLink) + " " + std::to_string(link->m_clrVisited) + " " +
                      std::to_string(link->m_clrHover),
                  "16711680 128 128");
    // Way in and out (OK, Esc, the close box), a text and each tick's part of it (誠 is D5 5C).
    const std::tuple<int, UINT, UINT, WPARAM, const char*, const char*> ways[] = {
        {IDC_ABOUT_LINK, STN_CLICKED, WM_COMMAND, IDOK, "ab\n", "||a|ab|ab"},
        {IDC_ABOUT_BUTTON, BN_CLICKED, WM_COMMAND, IDCANCEL, "誠a中\n", "||誠|誠a|誠a中|誠a中"},
        {IDC_ABOUT_BUTTON, BN_DOUBLECLICKED, WM_SYSCOMMAND, SC_CLOSE, "a", "||"},
    };
    g_strConfigPath = platform.folder.Path() + "elsewhere.ini";
    const UINT_PTR hook = ::SetTimer(nullptr, 0, 10, &RunInModal);
    std::vector<std::pair<HGDIOBJ, HCURSOR>> made;  // by each opening's site link
    for (const auto& [in, code, message, out, text, ticks] : ways) {
        SCOPED_TRACE(text);
        CAboutDlg& box = in == IDC_ABOUT_LINK ? main->m_aboutLink.m_aboutDlg : main->m_aboutDlg;
        const std::string headline = out == IDOK ? "" : std::string(130, 'h') + std::to_string(out);
        ::WritePrivateProfileStringA(kConfigSection, key::Headline, headline.c_str(),
                                     platform.ConfigPath().c_str());
        g_inModal = [&] {
            CLinkLabel& site = box.m_siteLink;
            EXPECT_EQ(box.GetWindowText(), "关于-" + headline);
            EXPECT_EQ(ColourOf(box.m_hWnd, site.m_hWnd), 0u) << "black over the link's colour";
            made.emplace_back(site.m_fontLink, site.m_hHandCursor);
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
            EXPECT_FALSE(box.KillTimer(1) || g_nLinkMode != 1) << "the timer or link mode 2 stays";
        };
        g_nLinkMode = in == IDC_ABOUT_LINK ? 2 : 1;  // the About link opens its box in any mode
        SendCommand(main->m_hWnd, in, code);
        EXPECT_EQ(std::exchange(platform.log, ""), "open " + std::string(kSiteAddress) + " 5|");
    }
    ::KillTimer(nullptr, hook);
    main.reset();
    for (auto [font, hand] : made) EXPECT_FALSE(::GetObjectType(font) || ::DestroyCursor(hand));
}

}  // namespace
}  // namespace kestrava::test
