#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::RunAfterCopyAction() {}
void CKestravaDlg::WaitPumpingMessages() {}
void CKestravaDlg::WaitThenAskToExit() {}
void CKestravaDlg::OnTimer(UINT_PTR) {
    Default();
}
void CKestravaDlg::ExitImmediately() {}
// Until the exit routine exists, closing takes the dialog's cancel route.
void CKestravaDlg::OnClose() {
    Default();
}

}  // namespace kestrava
