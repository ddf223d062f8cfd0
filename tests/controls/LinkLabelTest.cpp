// The link label on a test dialog: its fit, colours, hover, tooltip and what a click opens.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/LinkLabel.h"
#include "settings/Settings.h"
#include "support/LinkSupport.h"
#include "support/SettingsScope.h"
#include "support/TestDialogs.h"

namespace kestrava::test {
namespace {

constexpr int kLabelId = 9100;
// 41 x 14 pixels in the test dialog's font, underlined.
const char* const kCaption = "关于mx";

// The test dialog, counting the colour messages each child's paint sends it.
class CountingParent : public CDialog {
  public:
    CountingParent() : CDialog(IDD_TEST_DIALOG) {}
    std::map<HWND, int> paints;

  protected:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) {
        ++paints[control];
        return CDialog::OnCtlColor(dc, control, type);
    }
    const MessageMap* GetMessageMap() const override { return &kMap; }
    static const MsgEntry kEntries[];
    static const MessageMap kMap;
};
const MsgEntry CountingParent::kEntries[] = {on::CtlColor<&CountingParent::OnCtlColor>()};
const MessageMap CountingParent::kMap{&CDialog::kMessageMap, kEntries};

class LinkLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Create());
        ::ShowWindow(parent.m_hWnd, SW_SHOWNA);
        g_strLinkConfigPath = scope.ConfigPath();
    }
    // A static of the dialog in its font at (x, 10), taken over by label.
    HWND Bind(CLinkLabelBase& label, DWORD style, const char* text, int x = 10, int width = 100,
              int height = 20) {
        HWND hwnd =
            ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, x, 10, width,
                              height, parent.m_hWnd, HMENU(kLabelId), nullptr, nullptr);
        ::SendMessageA(hwnd, WM_SETFONT, parent.SendMessage(WM_GETFONT), FALSE);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        return hwnd;
    }
    static RECT InParent(HWND hwnd) {
        RECT rect{};
        ::GetWindowRect(hwnd, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    ShellFake platform;
    SettingsScope scope{platform};
    CountingParent parent;
    CLinkLabel label;
};

TEST_F(LinkLabelTest, FitsItsWindowToTheTextByItsAlignment) {
    const struct {
        const char* name;
        DWORD style;
        int x, width, height;
        RECT fitted;
    } cases[] = {
        {"centred: same centre, the odd pixel spare", SS_CENTER, 10, 100, 20, {39, 10, 81, 24}},
        {"centred, narrower than the text: grows both ways",
         SS_CENTER,
         30,
         20,
         20,
         {20, 10, 60, 24}},
        {"right-aligned keeps its right edge", SS_RIGHT, 10, 100, 20, {69, 10, 110, 24}},
        {"left-aligned keeps its left edge", SS_LEFT, 10, 100, 20, {10, 10, 51, 24}},
        {"centred image keeps its middle", SS_CENTERIMAGE, 10, 100, 31, {10, 18, 51, 33}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLinkLabel fitted;
        HWND hwnd = Bind(fitted, c.style, kCaption, c.x, c.width, c.height);
        const RECT r = InParent(hwnd);
        EXPECT_EQ(
            std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
            std::vector<LONG>({c.fitted.left, c.fitted.top, c.fitted.right, c.fitted.bottom}));
        EXPECT_TRUE(::GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY);
        LOGFONTA font{};
        ::GetObjectA(fitted.m_fontLink, sizeof font, &font);
        EXPECT_TRUE(font.lfUnderline);
        ::DestroyWindow(hwnd);
    }
}

TEST_F(LinkLabelTest, ColourIsHoverOverVisitedOverLinkAndEachChangeRepaints) {
    HWND hwnd = Bind(label, SS_LEFT, kCaption);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const struct {
        const char* name;
        bool setColours;
        COLORREF hoverArg;
        BOOL hover, visited;
        COLORREF shown;
    } cases[] = {
        {"first link colour", false, 0, FALSE, FALSE, RGB(0, 0, 238)},
        {"first visited colour", false, 0, FALSE, TRUE, RGB(85, 26, 139)},
        {"first hover colour", false, 0, TRUE, FALSE, highlight},
        {"link", true, 3, FALSE, FALSE, 1},
        {"visited", true, 3, FALSE, TRUE, 2},
        {"hover wins over visited", true, 3, TRUE, TRUE, 3},
        {"-1 takes the highlight colour", true, CLR_INVALID, TRUE, FALSE, highlight},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::ValidateRect(hwnd, nullptr);
        if (c.setColours) label.SetLinkColors(1, 2, c.hoverArg);
        label.m_bHover = c.hover;
        label.SetVisitedFlag(c.visited);
        EXPECT_TRUE(::GetUpdateRect(hwnd, nullptr, FALSE));
        const CtlColors colours = ColoursOf(parent.m_hWnd, hwnd);
        EXPECT_EQ(colours.text, c.shown);
        EXPECT_EQ(colours.mode, TRANSPARENT);
        EXPECT_EQ(colours.brush, ::GetStockObject(NULL_BRUSH));
    }
}

TEST_F(LinkLabelTest, HoverHoldsTheCaptureUntilThePointerLeavesAndRepaintsAtOnce) {
    HWND hwnd = Bind(label, SS_LEFT, kCaption);
    const struct {
        const char* name;
        int x, y;
        BOOL hover;
        bool painted;
    } moves[] = {
        {"onto the label", 2, 2, TRUE, true},        {"within it", 40, 13, TRUE, false},
        {"off its right edge", 41, 5, FALSE, true},  {"back onto it", 0, 0, TRUE, true},
        {"off its bottom edge", 5, 14, FALSE, true},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.name);
        parent.paints.clear();
        ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(m.x, m.y));
        EXPECT_EQ(label.m_bHover, m.hover);
        EXPECT_EQ(::GetCapture(), m.hover ? hwnd : nullptr);
        EXPECT_EQ(parent.paints[hwnd] > 0, m.painted);
    }
    ASSERT_TRUE(label.m_hHandCursor);
    EXPECT_TRUE(
        ::SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), label.m_hHandCursor);
}

TEST_F(LinkLabelTest, TooltipShowsTheTargetAndFollowsSetLinkTarget) {
    CLinkLabel early;
    early.SetLinkTarget("https://early.example/");
    HWND earlyLabel = Bind(early, SS_LEFT, kCaption);
    EXPECT_EQ(TipText(early.m_tipCtrl.m_hWnd, earlyLabel), "https://early.example/");
    ::DestroyWindow(earlyLabel);

    HWND hwnd = Bind(label, SS_LEFT, kCaption);
    const struct {
        const char* set;
        const char* tip;
    } steps[] = {{nullptr, kCaption},
                 {"https://a.example/", "https://a.example/"},
                 {"", "https://a.example/"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.set ? s.set : "(set-up)");
        if (s.set) label.SetLinkTarget(s.set);
        EXPECT_EQ(TipText(label.m_tipCtrl.m_hWnd, hwnd), s.tip);
        EXPECT_EQ(label.GetWindowText(), kCaption);
        EXPECT_EQ(InParent(hwnd).right, 51) << "fitted to the caption, not the target";
    }
}

TEST_F(LinkLabelTest, ClickOpensTheConfigurationFileInModeOneElseTheTargetWithFallbackAndErrors) {
    const std::string target = "https://t.example/";
    const std::string prefix = "Unable to open hyperlink:\n\n";
    struct Case {
        const char* name;
        int mode;
        INT_PTR shell;
        const char* command;  // htmlfile's open command; null: none
        UINT exec;
        std::string commandLine;  // empty: WinExec not called
        BOOL visited;
        const char* error;  // null: no box and no beep
    };
    const std::string quoted = "\"C:\\web.exe\" -new \"%1\" -x";
    const std::string fits(500, 'w');  // with the blank and the target: 519 bytes
    const std::string tooLong = fits + "w";
    const Case cases[] = {
        {"mode 1: the configuration file, never a visit", 1, 42, nullptr, 0, "", FALSE, nullptr},
        {"mode 1: a failure is not reported", 1, 2, nullptr, 0, "", FALSE, nullptr},
        {"opened", 2, 42, nullptr, 0, "", TRUE, nullptr},
        {"code 26 clears the visit", 2, 26, nullptr, 0, "", FALSE,
         "A sharing violation occurred. "},
        {"a code the table lacks", 2, 4, nullptr, 0, "", FALSE, "Unknown Error (4) occurred."},
        {"quoted placeholder", 2, 31, quoted.c_str(), 33, "\"C:\\web.exe\" -new  " + target, TRUE,
         nullptr},
        {"bare placeholder", 2, 31, "C:\\web.exe %1 -x", 33, "C:\\web.exe  " + target, TRUE,
         nullptr},
        {"no placeholder", 2, 31, "C:\\web.exe", 33, "C:\\web.exe " + target, TRUE, nullptr},
        {"the fallback fails", 2, 31, "C:\\web.exe", 2, "C:\\web.exe " + target, FALSE,
         "The specified file was not found."},
        {"no open command: the shell's error", 2, 31, nullptr, 0, "", FALSE,
         "There is no application associated\nwith the given filename extension."},
        {"519 bytes fit", 2, 31, fits.c_str(), 33, fits + " " + target, TRUE, nullptr},
        {"520 bytes do not", 2, 26, tooLong.c_str(), 0, "", FALSE,
         "A sharing violation occurred. "},
    };
    Bind(label, SS_LEFT, kCaption);
    label.SetLinkTarget(target);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_nLinkMode = c.mode;
        platform.shellResult = c.shell;
        platform.execResult = c.exec;
        platform.classes = {{".htm", "htmlfile"}};
        if (c.command) platform.classes["htmlfile\\shell\\open\\command"] = c.command;
        platform.opened.clear();
        platform.commandLines.clear();
        platform.boxes.clear();
        platform.beeps.clear();

        SendCommand(parent.m_hWnd, kLabelId, STN_CLICKED);

        EXPECT_EQ(platform.opened,
                  std::vector<std::string>{c.mode == 1 ? "open " + scope.ConfigPath() + " 1"
                                                       : "open " + target + " 5"});
        EXPECT_EQ(platform.commandLines,
                  c.commandLine.empty() ? std::vector<std::string>{} : std::vector{c.commandLine});
        EXPECT_EQ(label.m_bVisited, c.visited);
        ASSERT_EQ(platform.boxes.size(), c.error ? 1u : 0u);
        EXPECT_EQ(platform.beeps,
                  c.error ? std::vector<UINT>{MB_ICONEXCLAMATION} : std::vector<UINT>{});
        if (c.error) {
            EXPECT_EQ(platform.boxes[0].text, prefix + c.error);
            EXPECT_EQ(platform.boxes[0].type & MB_ICONMASK, UINT{MB_ICONEXCLAMATION});
        }
    }
}

}  // namespace
}  // namespace kestrava::test
