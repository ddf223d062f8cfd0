#pragma once
// Control classes the windows bind with data exchange.
#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

namespace kestrava {

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {
  public:
    void SetRange(short lower, short upper) {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
    }
    int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, pos)); }
};

}  // namespace kestrava
