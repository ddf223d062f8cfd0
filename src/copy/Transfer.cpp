#include "app/KestravaDlg.h"

namespace kestrava {

void CKestravaDlg::TransferFile(std::string, std::string) {}

}  // namespace kestrava
