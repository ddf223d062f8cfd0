#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::OnCopySingleFile() {}

}  // namespace kestrava
