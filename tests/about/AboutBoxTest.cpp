// The About box and the main window's ways to open it: typing, title, ways out, the site
// link, the hidden picture command, and what the labels leave behind.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "about/AboutDlg.h"
#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/LinkSupport.h"
#include "support/SettingsScope.h"

namespace kestrava::test {
namespace {

class AboutBoxTest : public ::testing::Test {
  protected:
    ShellFake platform;
    SettingsScope scope{platform};
};

TEST_F(AboutBoxTest, TypesOneWholeCharacterPerTickNeverTheLastThenStops) {
    const struct {
        const char* text;
        std::vector<std::string> shown;
    } cases[] = {
        {"ab\n", {"", "a", "ab"}},
        {"誠a中\n", {"", "誠", "誠a", "誠a中"}},  // 誠 ends in the byte of '\\'
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.m_strAboutText = c.text;
        for (const std::string& shown : c.shown) {
            ::SendMessageA(dlg.m_hWnd, WM_TIMER, 1, 0);
            EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_TEXT), shown);
        }
        EXPECT_TRUE(dlg.KillTimer(1)) << "stopped early";
        dlg.SetTimer(1, 300);
        ::SendMessageA(dlg.m_hWnd, WM_TIMER, 1, 0);
        EXPECT_FALSE(dlg.KillTimer(1)) << "the tick after the last character stops the timer";
        EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_TEXT), c.shown.back());
    }
}

TEST_F(AboutBoxTest, TitleIsAboutAndTheWholeHeadlineOfTheFileNextToTheExecutable) {
    std::string longHeadline;
    for (int i = 0; i < 50; ++i) longHeadline += "备份";  // 200 bytes
    const struct {
        const char* name;
        const char* exe;
        const char* headline;  // null: no key
        std::string title;
    } cases[] = {
        {"no Headline", "Kestrava.exe", nullptr, "关于-"},
        {"a Headline", "Kestrava.exe", "文件备份", "关于-文件备份"},
        {"longer than 127 bytes", "Kestrava.exe", longHeadline.c_str(), "关于-" + longHeadline},
        {"a backslash trail byte in the executable's name", "誠.exe", "文件备份", "关于-文件备份"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(scope.ConfigPath().c_str());
        if (c.headline) WriteSetting(key::Headline, c.headline);
        g_strConfigPath = scope.Folder() + "elsewhere.ini";  // the box finds the file itself
        platform.moduleFileName = scope.Folder() + c.exe;
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(dlg.GetWindowText(), c.title);
        g_strConfigPath = scope.ConfigPath();
    }
}

TEST_F(AboutBoxTest, EveryWayOutRestoresLinkModeOneAndStopsTheTimer) {
    const struct {
        const char* name;
        std::function<void(HWND)> leave;
        INT_PTR code;
    } ways[] = {
        {"OK", [](HWND d) { SendCommand(d, IDOK); }, IDOK},
        {"Esc", [](HWND d) { SendCommand(d, IDCANCEL); }, IDCANCEL},
        {"close box", [](HWND d) { ::SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    CAboutDlg dlg;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        g_nLinkMode = 1;
        int modeWhileOpen = 0;
        bool timerStopped = false;
        OnEachModal leave([&](HWND d) {
            if (modeWhileOpen) return;  // the close box ends the dialog a message later
            modeWhileOpen = g_nLinkMode;
            ::SendMessageA(d, WM_TIMER, 1, 0);  // in the middle of the typing
            way.leave(d);
            timerStopped = !::KillTimer(d, 1);
        });
        EXPECT_EQ(dlg.DoModal(), way.code);
        EXPECT_EQ(modeWhileOpen, 2);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_TRUE(timerStopped);
    }
}

TEST_F(AboutBoxTest, SiteLinkIsBlackInEveryStateShowsAndOpensTheAddress) {
    CAboutDlg dlg;
    OnEachModal check([&](HWND d) {
        HWND site = ::GetDlgItem(d, IDC_SITE_LINK);
        for (const BOOL hover : {FALSE, TRUE}) {
            for (const BOOL visited : {FALSE, TRUE}) {
                dlg.m_siteLink.m_bHover = hover;
                dlg.m_siteLink.m_bVisited = visited;
                const CtlColors colours = ColoursOf(d, site);
                EXPECT_EQ(colours.text, 0u) << "hover " << hover << ", visited " << visited;
                EXPECT_EQ(colours.brush, ::GetStockObject(NULL_BRUSH));
            }
        }
        EXPECT_EQ(TipText(dlg.m_siteLink.m_tipCtrl.m_hWnd, site), kSiteAddress);
        dlg.m_siteLink.m_bHover = FALSE;
        SendCommand(d, IDC_SITE_LINK, STN_CLICKED);
        SendCommand(d, IDOK);
    });
    dlg.DoModal();
    EXPECT_EQ(platform.opened,
              std::vector<std::string>{"open " + std::string(kSiteAddress) + " 5"});
    EXPECT_TRUE(dlg.m_siteLink.m_bVisited);
}

TEST_F(AboutBoxTest, AboutLinkAndHiddenButtonOpenTheirOwnBoxInAnyLinkModeAndGiveModeOneBack) {
    CKestravaDlg main;
    ASSERT_TRUE(main.Create());
    for (const int id : {IDC_CONFIG_LINK, IDC_ABOUT_LINK}) {
        EXPECT_EQ(ColoursOf(main.m_hWnd, main.GetDlgItem(id)).text, RGB(0, 0, 255)) << id;
    }
    const struct {
        const char* name;
        int id;
        UINT code;
        int mode;
        CDialog* box;
    } cases[] = {
        {"About link in link mode 1", IDC_ABOUT_LINK, STN_CLICKED, 1, &main.m_aboutLink.m_aboutDlg},
        {"About link in link mode 2", IDC_ABOUT_LINK, STN_CLICKED, 2, &main.m_aboutLink.m_aboutDlg},
        {"hidden button", IDC_ABOUT_BUTTON, BN_CLICKED, 1, &main.m_aboutDlg},
        {"hidden button, double-click", IDC_ABOUT_BUTTON, BN_DOUBLECLICKED, 1, &main.m_aboutDlg},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_nLinkMode = c.mode;
        CWnd* opened = nullptr;
        OnEachModal close([&](HWND d) {
            opened = CWnd::FromHandlePermanent(d);
            SendCommand(d, IDOK);
        });
        SendCommand(main.m_hWnd, c.id, c.code);
        EXPECT_EQ(opened, c.box);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_FALSE(main.m_aboutLink.m_bVisited);
    }
    EXPECT_TRUE(platform.opened.empty());
    SendCommand(main.m_hWnd, IDC_CONFIG_LINK, STN_CLICKED);
    EXPECT_EQ(platform.opened, std::vector<std::string>{"open " + g_strLinkConfigPath + " 1"});
}

TEST_F(AboutBoxTest, TwentyOpeningsLeaveNoFontCursorCopyOrTooltipBehind) {
    std::set<HFONT> fonts;
    std::set<HWND> tips;
    std::set<HCURSOR> cursors;
    auto main = std::make_unique<CKestravaDlg>();
    ASSERT_TRUE(main->Create());
    const auto note = [&](const CLinkLabelBase& label) {
        fonts.insert(label.m_fontLink);
        tips.insert(label.m_tipCtrl.m_hWnd);
        cursors.insert(label.m_hHandCursor);
    };
    OnEachModal close([&](HWND d) {
        note(main->m_aboutLink.m_aboutDlg.m_siteLink);
        SendCommand(d, IDOK);
    });
    for (int i = 0; i < 20; ++i) SendCommand(main->m_hWnd, IDC_ABOUT_LINK, STN_CLICKED);
    note(main->m_configLink);
    note(main->m_aboutLink);
    ASSERT_EQ(fonts.size(), 22u);
    ASSERT_EQ(tips.size(), 22u);
    main.reset();
    for (HFONT font : fonts) EXPECT_EQ(::GetObjectType(font), 0u) << font;
    for (HWND tip : tips) EXPECT_FALSE(::IsWindow(tip)) << tip;
    ICONINFO info{};
    for (HCURSOR cursor : cursors) EXPECT_FALSE(::GetIconInfo(cursor, &info)) << cursor;
}

TEST_F(AboutBoxTest, LoadPictureReportsAMissingFileAndReleasesAnOpenedOne) {
    ScratchFolder folder;
    char saved[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.Path().c_str()));
    ::CreateDirectoryA("ResourceFiles", nullptr);
    const std::string bitmap(  // 1 x 1, 24 bits
        "BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0"
        "\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xff\0",
        58);
    const struct {
        const char* name;
        std::optional<std::string> bytes;  // none: no file
        size_t boxes;
    } cases[] = {
        {"no file", std::nullopt, 1}, {"not a picture", "no picture", 0}, {"a bitmap", bitmap, 0}};
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(!c.bytes || WriteBytes("ResourceFiles\\icon1.ico", *c.bytes));
        platform.boxes.clear();
        SendCommand(dlg.m_hWnd, IDC_LOAD_PICTURE);
        EXPECT_EQ(platform.boxes.size(), c.boxes);
        EXPECT_TRUE(!c.bytes || ::DeleteFileA("ResourceFiles\\icon1.ico")) << "the file is held";
    }
    ::SetCurrentDirectoryA(saved);
}

}  // namespace
}  // namespace kestrava::test
