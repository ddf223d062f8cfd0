#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::OnCopy() {}
void CKestravaDlg::OnFolderCopy() {}

}  // namespace kestrava
