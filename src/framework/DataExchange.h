#pragma once
#include <string>

namespace kestrava {

class CWnd;

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;  // true: from the controls into the members
};

// Attaches control at the first exchange (which runs its PreSubclassWindow).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::string& value);

}  // namespace kestrava
