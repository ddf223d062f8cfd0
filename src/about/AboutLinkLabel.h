#pragma once
#include "about/AboutDlg.h"
#include "controls/LinkLabel.h"

namespace kestrava {

// The main window's "about" label: the look of a link, but a click opens its own About
// box, whatever the link mode, and never counts as a visit.
class CAboutLinkLabel : public CLinkLabelBase {
  public:
    CAboutDlg m_aboutDlg;

  protected:
    void OnClicked() override { m_aboutDlg.DoModal(); }
};

}  // namespace kestrava
