#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::OnBrowseSource() {}
void CKestravaDlg::OnBrowseTarget() {}

}  // namespace kestrava
