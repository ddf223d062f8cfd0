#include "app/KestravaDlg.h"

#include <commctrl.h>

#include "framework/DataExchange.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

const MsgEntry CKestravaDlg::kEntries[] = {
    on::SysCommand<&CKestravaDlg::OnSysCommand>(),
    on::Message<&CKestravaDlg::OnPaint>(WM_PAINT),
    on::QueryDragIcon<&CKestravaDlg::OnQueryDragIcon>(),
    on::Command<&CKestravaDlg::LoadSettings>(IDC_LOAD_SETTINGS),
    on::Command<&CKestravaDlg::OnBrowseSource>(IDC_BROWSE_SOURCE),
    on::Command<&CKestravaDlg::OnBrowseTarget>(IDC_BROWSE_TARGET),
    on::Command<&CKestravaDlg::OnCopy>(IDC_COPY),
    on::Command<&CKestravaDlg::OnAutoRunSwitch>(IDC_AUTO_RUN),
    on::Command<&CKestravaDlg::ExitImmediately>(IDC_CLOSE),
    on::Command<&CKestravaDlg::WaitThenAskToExit>(IDC_EXIT_PROMPT),
    on::Command<&CKestravaDlg::OnDelaySecondsChange>(IDC_DELAY_SECONDS, EN_CHANGE),
    on::Command<&CKestravaDlg::OnDelaySwitch>(IDC_DELAY),
    on::Timer<&CKestravaDlg::OnTimer>(),
    on::Message<&CKestravaDlg::OnClose>(WM_CLOSE),
    on::Command<&CKestravaDlg::OnSourceKindSwitch>(IDC_SOURCE_KIND),
    on::Command<&CKestravaDlg::OnConfigLinkClicked>(IDC_CONFIG_LINK, STN_CLICKED),
    on::Command<&CKestravaDlg::OnAboutButton>(IDC_ABOUT_BUTTON),
    on::Command<&CKestravaDlg::OnAboutButton>(IDC_ABOUT_BUTTON, BN_DOUBLECLICKED),
    on::Command<&CKestravaDlg::OnFolderCopy>(IDC_FOLDER_COPY),
    on::Command<&CKestravaDlg::OnCopySingleFile>(IDC_FILE_COPY),
    on::Command<&CKestravaDlg::RunUnattendedStart>(IDC_AUTO_START),
};
const MessageMap CKestravaDlg::kMessageMap{&CDialog::kMessageMap, kEntries};

CKestravaDlg::CKestravaDlg(CWnd* parent) : CDialog(IDD_MAIN_DIALOG, parent) {
    // There is no icon group 128, so the window carries no icon of its own.
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CKestravaDlg::~CKestravaDlg() = default;

void CKestravaDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    DDX_Control(dx, IDC_CONFIG_LINK, m_configLink);
    DDX_Control(dx, IDC_ABOUT_LINK, m_aboutLink);
    DDX_Text(dx, IDC_STATUS_TEXT, m_strSourceCopy);
}

void CKestravaDlg::SetCheck(int id, bool checked) {
    ::SendDlgItemMessageA(m_hWnd, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Brings the bare template into the state the configuration file describes. The switch
// handlers read their check boxes, so each box is set before its handler runs.
BOOL CKestravaDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    m_progress.SendMessage(PBM_SETPOS, 0);
    LoadSettings();

    // Only an explicit "0" means manual: a first start comes up unattended.
    if (IsNotZero(g_strInstall)) {
        SetDlgItemText(IDC_STATUS_TEXT, "程序正在运行中......");
        SetCheck(IDC_AUTO_RUN, true);
        SetCheck(IDC_DELAY, IsNotZero(g_strTimeLapse));
        OnDelaySwitch();
    } else {
        SetCheck(IDC_AUTO_RUN, false);
    }
    OnAutoRunSwitch();
    SetCheck(IDC_SOURCE_KIND, IsExactlyOne(g_strDocumentOption));
    OnSourceKindSwitch();

    g_nLinkMode = 1;
    m_configLink.SetLinkColors(kLinkColour, kVisitedColour, kVisitedColour);
    m_aboutLink.SetLinkColors(kLinkColour, kVisitedColour, kVisitedColour);
    ReconcilePaths();
    // Stores and captions the source kind the paths decided.
    OnSourceKindSwitch();
    // The switches may have left their notice there.
    SetDlgItemText(IDC_COUNTDOWN_TEXT, "");
    g_strTargetFolder.clear();

    m_progress.SendMessage(PBM_SETBKCOLOR, 0, RGB(220, 220, 220));
    m_progress.SendMessage(PBM_SETBARCOLOR, 0, RGB(255, 0, 0));
    m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    m_progress.SendMessage(PBM_SETPOS, 0);
    // Whole, however long: a cut caption would show a different title than the one set.
    SetWindowText(ReadSetting(key::Headline));
    return TRUE;
}

void CKestravaDlg::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CKestravaDlg::OnPaint() {
    if (IsIconic()) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        const int cxIcon = ::GetSystemMetrics(SM_CXICON);
        const int cyIcon = ::GetSystemMetrics(SM_CYICON);
        RECT rect;
        ::GetClientRect(m_hWnd, &rect);
        const int x = (rect.right - rect.left - cxIcon + 1) / 2;
        const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
        ::EndPaint(m_hWnd, &ps);
    } else {
        Default();
    }
    TriggerUnattendedStart();
}

HCURSOR CKestravaDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

// The label handles its own clicks; this entry only keeps the id in the table.
void CKestravaDlg::OnConfigLinkClicked() {}

void CKestravaDlg::OnAboutButton() {
    m_aboutDlg.DoModal();
}

}  // namespace kestrava
