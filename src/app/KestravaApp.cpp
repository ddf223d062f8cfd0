#include "app/KestravaApp.h"

#include "app/KestravaDlg.h"

namespace kestrava {

namespace {
constexpr UINT ID_HELP = 0xE146;
}

const CWinApp::CommandEntry* CKestravaApp::CommandTable(size_t* count) const {
    static const CommandEntry table[] = {{ID_HELP, &CWinApp::OnHelp}};
    *count = std::size(table);
    return table;
}

BOOL CKestravaApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    // A copy dispatches no messages. Windows would swap the window for a frozen "not
    // responding" copy after a few seconds and hide the bar's progress until the end.
    ::DisableProcessWindowsGhosting();
    CKestravaDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has ended: end the process rather than run a loop of our own.
    return FALSE;
}

}  // namespace kestrava
