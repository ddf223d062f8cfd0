#pragma once
#include "about/AboutDlg.h"
#include "framework/Controls.h"

namespace kestrava {

// The main window's "about" label; a click opens its own About box.
class CAboutLinkLabel : public CStatic {
  public:
    CAboutDlg m_aboutDlg;
};

}  // namespace kestrava
