// The unattended, delay and source-kind check boxes and the seconds box. Each change is
// stored at once and lays the window out for the mode it selects; start-up runs the same
// handlers after setting the check boxes, so they also give the window its first layout.
#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
constexpr UINT_PTR kCountdownTimer = 1;
constexpr const char* kCountdownStopped = "正在设置参数，停止倒记时功能！";

// Unattended mode has no buttons, so the path boxes and the bar take their room.
struct WideControl {
    int id;
    int x;
    int y;
    int unattendedWidth;
    int manualWidth;
};
constexpr WideControl kWideControls[] = {
    {IDC_SOURCE_PATH, 70, 30, 350, 280},
    {IDC_TARGET_PATH, 70, 55, 350, 280},
    {IDC_PROGRESS, 10, 80, 410, 340},
};
constexpr int kWideControlHeight = 20;

constexpr int kManualButtons[] = {IDC_BROWSE_SOURCE, IDC_BROWSE_TARGET, IDC_COPY, IDC_CLOSE};

void ShowItem(HWND dialog, int id, bool show) {
    ::ShowWindow(::GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

LRESULT CheckState(HWND dialog, int id) {
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0);
}
}  // namespace

void CKestravaDlg::OnAutoRunSwitch() {
    const LRESULT state = CheckState(m_hWnd, IDC_AUTO_RUN);
    WriteFlag(key::Install, state);
    const bool unattended = state == BST_CHECKED;
    SetDlgItemText(IDC_AUTO_RUN, unattended ? "自动执行" : "手动执行");
    for (const int id : kManualButtons) ShowItem(m_hWnd, id, !unattended);
    for (const int id : {IDC_DELAY, IDC_DELAY_SECONDS, IDC_STATIC, IDC_COUNTDOWN_TEXT}) {
        ShowItem(m_hWnd, id, unattended);
    }
    if (unattended) {
        // The delay choice returns to the one loaded at start-up, and is stored again.
        SetCheck(IDC_DELAY, IsNotZero(g_strTimeLapse));
        OnDelaySwitch();
    } else {
        ShowItem(m_hWnd, IDC_PROMPT_LABEL, false);
    }
    for (const WideControl& c : kWideControls) {
        const int width = unattended ? c.unattendedWidth : c.manualWidth;
        ::MoveWindow(GetDlgItem(c.id), c.x, c.y, width, kWideControlHeight, TRUE);
    }
    if (unattended) {
        SetDlgItemText(IDC_SOURCE_PATH, g_strSourcePath);
        SetDlgItemText(IDC_TARGET_PATH, g_strTargetPath);
    }
    KillTimer(kCountdownTimer);
    if (unattended) SetDlgItemText(IDC_COUNTDOWN_TEXT, "");
    ::EnableWindow(GetDlgItem(IDC_SOURCE_KIND), !unattended);
    ::SetFocus(GetDlgItem(IDC_SOURCE_PATH));

    // The boxes show what the file holds now. Setting the seconds runs their change
    // handler, which stops the countdown again when the stored value is a length.
    const std::string source = ReadSetting(key::SourcePath);
    const std::string target = ReadSetting(key::SavePath);
    const std::string seconds = ReadSetting(key::Deferred);
    SetDlgItemText(IDC_SOURCE_PATH, source);
    SetDlgItemText(IDC_TARGET_PATH, target);
    SetDlgItemText(IDC_DELAY_SECONDS, seconds);
}

void CKestravaDlg::OnDelaySwitch() {
    const LRESULT state = CheckState(m_hWnd, IDC_DELAY);
    WriteFlag(key::TimeLapse, state);
    const bool countdown = state == BST_CHECKED;
    ShowItem(m_hWnd, IDC_DELAY_SECONDS, countdown);
    ShowItem(m_hWnd, IDC_STATIC, countdown);
    ShowItem(m_hWnd, IDC_PROMPT_LABEL, !countdown);
    SetDlgItemText(IDC_DELAY, countdown ? "延时" : "弹出对话框");
    KillTimer(kCountdownTimer);
    SetDlgItemText(IDC_DELAY_SECONDS, ReadSetting(key::Deferred));
    SetDlgItemText(IDC_COUNTDOWN_TEXT, kCountdownStopped);
}

void CKestravaDlg::OnDelaySecondsChange() {
    const std::string seconds = GetDlgItemText(IDC_DELAY_SECONDS);
    // Neither is a countdown length: the stored one stays and a running countdown goes on.
    if (seconds.empty() || seconds == "0") return;
    WriteSetting(key::Deferred, seconds);
    KillTimer(kCountdownTimer);
    SetDlgItemText(IDC_COUNTDOWN_TEXT, kCountdownStopped);
}

void CKestravaDlg::OnSourceKindSwitch() {
    const LRESULT state = CheckState(m_hWnd, IDC_SOURCE_KIND);
    WriteFlag(key::DocumentOption, state);
    if (state == BST_CHECKED) {
        SetDlgItemText(IDC_SOURCE_KIND, "文件：");
        SetDlgItemText(IDC_STATUS_TEXT, "");
    } else {
        SetDlgItemText(IDC_SOURCE_KIND, "文件夹：");
    }
    // Paths chosen for the other kind no longer fit; an unattended run keeps its own.
    if (!IsExactlyOne(ReadSetting(key::Install))) {
        SetDlgItemText(IDC_SOURCE_PATH, "");
        SetDlgItemText(IDC_TARGET_PATH, "");
    }
}

}  // namespace kestrava
