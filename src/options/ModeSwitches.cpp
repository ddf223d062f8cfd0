#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::OnAutoRunSwitch() {}
void CKestravaDlg::OnDelaySecondsChange() {}
void CKestravaDlg::OnDelaySwitch() {}
void CKestravaDlg::OnSourceKindSwitch() {}

}  // namespace kestrava
