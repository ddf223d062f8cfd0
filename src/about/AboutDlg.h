#pragma once
#include "framework/Dialog.h"
#include "controls/LinkLabel.h"
#include "resource.h"

namespace kestrava {

class CAboutDlg : public CDialog {
  public:
    CAboutDlg() : CDialog(IDD_ABOUT_DIALOG) {}
};

}  // namespace kestrava
