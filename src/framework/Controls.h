#pragma once
// Control classes the windows bind with data exchange.
#include <windows.h>

#include "framework/Wnd.h"

namespace kestrava {

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {};

}  // namespace kestrava
