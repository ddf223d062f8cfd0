#include "framework/DataExchange.h"

#include "framework/Wnd.h"

namespace kestrava {

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.SubclassDlgItem(id, *dx->m_pDlgWnd);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    if (dx->m_bSaveAndValidate) {
        value = dx->m_pDlgWnd->GetDlgItemText(id);
    } else {
        dx->m_pDlgWnd->SetDlgItemText(id, value);
    }
}

}  // namespace kestrava
