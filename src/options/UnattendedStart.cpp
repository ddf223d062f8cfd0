// The unattended run: the Copy command starts by itself shortly after the window first
// paints, once per settings load.
#include "app/KestravaDlg.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
// The switches that could change what the run does, in the order they are turned off
// and on again.
constexpr int kOptionControls[] = {IDC_AUTO_RUN,      IDC_DELAY,  IDC_SOURCE_KIND,
                                   IDC_DELAY_SECONDS, IDC_STATIC, IDC_PROMPT_LABEL};

void EnableOptionControls(const CWnd& dlg, bool enable) {
    for (const int id : kOptionControls) ::EnableWindow(dlg.GetDlgItem(id), enable);
}
}  // namespace

// Runs at every paint, minimised or not; only the first one after the load starts a run.
void CKestravaDlg::TriggerUnattendedStart() {
    if (g_nAutoStartPending != 1 || !IsExactlyOne(g_strInstall)) return;
    EnableOptionControls(*this, false);
    RunUnattendedStart();
}

void CKestravaDlg::RunUnattendedStart() {
    // Paints during the wait, the copy or the exit question must not start another run.
    g_nAutoStartPending = 0;
    WaitPumpingMessages();
    // The copy command takes this as it begins: its line in the log says unattended.
    m_bUnattendedCopy = true;
    // A file error leaves here: started from a paint it shows nothing and the switches
    // stay off; started by the hidden button it shows the stop box like the Copy button.
    OnCopy();
    EnableOptionControls(*this, true);
}

}  // namespace kestrava
