// The About box and the main window's ways to open it: typing, title, ways out, the site
// link, and what the labels leave behind.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "about/AboutDlg.h"
#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/LinkSupport.h"

namespace kestrava::test {
namespace {

class AboutBoxTest : public ::testing::Test {
  protected:
    ShellFake platform;
};

TEST_F(AboutBoxTest, TypesOneWholeCharacterPerTickNeverTheLastThenStops) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"ab\n", {"", "a", "ab"}},
        {"誠a中\n", {"", "誠", "誠a", "誠a中"}},  // 誠 ends in the byte of '\\'
    };
    for (const auto& [text, shown] : cases) {
        SCOPED_TRACE(text);
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.m_strAboutText = text;
        for (const std::string& expected : shown) {
            ::SendMessageA(dlg.m_hWnd, WM_TIMER, 1, 0);
            EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_TEXT), expected);
        }
        EXPECT_TRUE(dlg.KillTimer(1) && dlg.SetTimer(1, 300)) << "stopped early";
        ::SendMessageA(dlg.m_hWnd, WM_TIMER, 1, 0);
        EXPECT_FALSE(dlg.KillTimer(1)) << "the tick after the last character stops the timer";
        EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_TEXT), shown.back());
    }
}

// Each opening also reads its title afresh from the file next to the executable.
TEST_F(AboutBoxTest, EveryWayOutGivesLinkModeOneBackAndStopsTheTimerTitleAndSiteLinkOnTheWay) {
    std::string longHeadline;
    for (int i = 0; i < 50; ++i) longHeadline += "备份";  // 200 bytes
    const std::tuple<const char*, std::function<void(HWND)>, INT_PTR, const char*, std::string>
        ways[] = {
            // way out, its end code, executable, Headline (none when empty)
            {"OK", [](HWND d) { SendCommand(d, IDOK); }, IDOK, "Kestrava.exe", ""},
            {"Esc", [](HWND d) { SendCommand(d, IDCANCEL); }, IDCANCEL, "誠.exe", "文件备份"},
            {"close box", [](HWND d) { ::SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL,
             "Kestrava.exe", longHeadline},
        };
    g_strConfigPath = platform.folder.Path() + "elsewhere.ini";
    CAboutDlg dlg;
    for (const auto& [name, leave, code, exe, headline] : ways) {
        SCOPED_TRACE(name);
        ::WritePrivateProfileStringA(kConfigSection, key::Headline,
                                     headline.empty() ? nullptr : headline.c_str(),
                                     platform.ConfigPath().c_str());
        platform.moduleFileName = platform.folder.Path() + exe;  // 誠 ends in the byte of '\\'
        g_nLinkMode = 1;
        int modeWhileOpen = 0;
        bool timerStopped = false;
        OnEachModal act([&](HWND d) {
            if (modeWhileOpen) return;  // the close box ends the dialog a message later
            modeWhileOpen = g_nLinkMode;
            char title[300] = {};
            ::GetWindowTextA(d, title, sizeof title);
            EXPECT_EQ(title, "关于-" + headline);
            HWND site = ::GetDlgItem(d, IDC_SITE_LINK);
            dlg.m_siteLink.m_bVisited = dlg.m_siteLink.m_bHover = TRUE;
            EXPECT_EQ(ColourOf(d, site), 0u) << "black in every state";
            dlg.m_siteLink.m_bHover = FALSE;
            EXPECT_EQ(TipText(dlg.m_siteLink.m_tipCtrl.m_hWnd, site), kSiteAddress);
            SendCommand(d, IDC_SITE_LINK, STN_CLICKED);
            ::SendMessageA(d, WM_TIMER, 1, 0);  // in the middle of the typing
            leave(d);
            timerStopped = !::KillTimer(d, 1);
        });
        platform.opened.clear();
        EXPECT_EQ(dlg.DoModal(), code);
        EXPECT_EQ(modeWhileOpen, 2);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_TRUE(timerStopped);
        EXPECT_EQ(platform.opened, std::vector{"open " + std::string(kSiteAddress) + " 5"});
    }
    g_strConfigPath = platform.ConfigPath();
}

TEST_F(AboutBoxTest, LinkAndHiddenButtonOpenTheirOwnBoxInAnyModeLeavingNothingBehind) {
    auto main = std::make_unique<CKestravaDlg>();
    ASSERT_TRUE(main->Create());
    for (const int id : {IDC_CONFIG_LINK, IDC_ABOUT_LINK})
        EXPECT_EQ(ColourOf(main->m_hWnd, main->GetDlgItem(id)), RGB(0, 0, 255)) << id;
    const std::tuple<int, UINT, int, CDialog*> ways[] = {
        // sent by, code, link mode, box
        {IDC_ABOUT_LINK, STN_CLICKED, 1, &main->m_aboutLink.m_aboutDlg},
        {IDC_ABOUT_LINK, STN_CLICKED, 2, &main->m_aboutLink.m_aboutDlg},
        {IDC_ABOUT_BUTTON, BN_CLICKED, 1, &main->m_aboutDlg},
        {IDC_ABOUT_BUTTON, BN_DOUBLECLICKED, 1, &main->m_aboutDlg},
    };
    std::set<HFONT> fonts;
    std::set<HWND> tips;
    std::set<HCURSOR> cursors;
    const auto note = [&](const CLinkLabelBase& label) {
        fonts.insert(label.m_fontLink), tips.insert(label.m_tipCtrl.m_hWnd);
        cursors.insert(label.m_hHandCursor);
    };
    CWnd* opened = nullptr;
    OnEachModal close([&](HWND d) {
        opened = CWnd::FromHandlePermanent(d);
        note(static_cast<CAboutDlg*>(opened)->m_siteLink);
        SendCommand(d, IDOK);
    });
    for (int i = 0; i < 20; ++i) {  // five rounds
        const auto& [id, code, mode, box] = ways[i % 4];
        SCOPED_TRACE(i);
        g_nLinkMode = mode;
        SendCommand(main->m_hWnd, id, code);
        EXPECT_EQ(opened, box);
        EXPECT_EQ(g_nLinkMode, 1);
        EXPECT_FALSE(main->m_aboutLink.m_bVisited);
    }
    EXPECT_TRUE(platform.opened.empty());
    SendCommand(main->m_hWnd, IDC_CONFIG_LINK, STN_CLICKED);
    EXPECT_EQ(platform.opened, std::vector{"open " + g_strLinkConfigPath + " 1"});

    note(main->m_configLink), note(main->m_aboutLink);
    ASSERT_EQ(fonts.size(), 22u);
    ASSERT_EQ(tips.size(), 22u);
    main.reset();
    for (HFONT font : fonts) EXPECT_EQ(::GetObjectType(font), 0u) << font;
    for (HWND tip : tips) EXPECT_FALSE(::IsWindow(tip)) << tip;
    ICONINFO info{};
    for (HCURSOR cursor : cursors) EXPECT_FALSE(::GetIconInfo(cursor, &info)) << cursor;
}

}  // namespace
}  // namespace kestrava::test
