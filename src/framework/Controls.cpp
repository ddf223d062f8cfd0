#include "framework/Controls.h"

#include <commctrl.h>

namespace kestrava {

namespace {
// The version-5 size: older common controls refuse a larger record.
TOOLINFOA ToolInfo(HWND window, UINT_PTR id, const std::string& text) {
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = window;
    info.uId = id;
    info.lpszText = const_cast<char*>(text.c_str());
    return info;
}
}  // namespace

bool CToolTipCtrl::Create(HWND parent, DWORD style) {
    DestroyWindow();
    // The class may not be registered yet in a process that never asked for it.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&init) != FALSE;
    }();
    (void)registered;
    m_hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

void CToolTipCtrl::DestroyWindow() {
    // Its owner's window may have taken it along already.
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

bool CToolTipCtrl::AddTool(HWND window, const std::string& text, const RECT& rect, UINT_PTR id) {
    TOOLINFOA info = ToolInfo(window, id, text);
    info.rect = rect;
    return m_hWnd && ::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(const std::string& text, HWND window, UINT_PTR id) {
    TOOLINFOA info = ToolInfo(window, id, text);
    if (m_hWnd) ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
    if (m_hWnd) ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

}  // namespace kestrava
