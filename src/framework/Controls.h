#pragma once
// Control classes the windows bind with data exchange.
#include <windows.h>

#include <string>

#include "framework/Wnd.h"

namespace kestrava {

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {};

// A tooltip window the object owns: destroyed with the object or when it is made again.
class CToolTipCtrl {
  public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() { DestroyWindow(); }
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    bool Create(HWND parent, DWORD style);
    void DestroyWindow();
    // Registers a tool on window, shown over rect (window's client coordinates).
    bool AddTool(HWND window, const std::string& text, const RECT& rect, UINT_PTR id);
    void UpdateTipText(const std::string& text, HWND window, UINT_PTR id);
    void RelayEvent(MSG* msg);

    HWND m_hWnd = nullptr;
};

}  // namespace kestrava
