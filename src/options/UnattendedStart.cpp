#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::TriggerUnattendedStart() {}
void CKestravaDlg::RunUnattendedStart() {}

}  // namespace kestrava
