#include "framework/Wnd.h"

#include <unordered_map>

#include "framework/DataExchange.h"
#include "framework/Exception.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"

namespace kestrava {

namespace {
// One user-interface thread, so a plain map is enough.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

bool IsCtlColor(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}
}  // namespace

const MessageMap CWnd::kMessageMap{nullptr, {}};

CWnd::~CWnd() {
    if (m_hWnd) {
        // The object goes away before its window: stop routing messages to it.
        if (m_pfnSuper && FromHandlePermanent(m_hWnd) == this) UnsubclassWindow();
        Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    auto& map = PermanentMap();
    auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    PermanentMap()[hwnd] = this;
}

void CWnd::Detach() {
    if (m_hWnd) {
        auto& map = PermanentMap();
        auto it = map.find(m_hWnd);
        if (it != map.end() && it->second == this) map.erase(it);
    }
    m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd) return false;
    Attach(hwnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
    return true;
}

bool CWnd::SubclassDlgItem(int id, CWnd& parent) {
    return SubclassWindow(::GetDlgItem(parent.m_hWnd, id));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd && m_pfnSuper) {
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    Detach();
    return hwnd;
}

bool CWnd::UpdateData(bool save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return true;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

std::string CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CWnd::SetWindowText(const std::string& text) {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (!item) return {};
    const int length = ::GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(item, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CWnd::SetDlgItemText(int id, const std::string& text) {
    ::SetDlgItemTextA(m_hWnd, id, text.c_str());
}

int CWnd::MessageBox(const std::string& text, const char* caption, UINT type) {
    return Platform().MessageBox(m_hWnd, text, caption ? std::string(caption) : AfxGetAppTitle(),
                                 type);
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return wnd->SafeWindowProc(message, wParam, lParam);
}

LRESULT CWnd::SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const Msg saved = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    // No C++ exception may unwind through the system's frames above us.
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (...) {
        result = ReportHandlerException(m_hWnd, message, CurrentExceptionText());
    }
    m_current = saved;
    if (message == WM_NCDESTROY) {
        // The window is gone; the object may outlive it and be attached again.
        m_pfnSuper = nullptr;
        Detach();
        PostNcDestroy();
    }
    return result;
}

std::string CurrentExceptionText() {
    try {
        throw;
    } catch (const CException& e) {
        return e.GetErrorMessage();
    } catch (...) {
        return "程序内部发生错误。";
    }
}

LRESULT ReportHandlerException(HWND hwnd, UINT message, const std::string& text) noexcept {
    try {
        if (message == WM_PAINT) {
            // Painting reports nothing; a window left invalid would be painted forever.
            ::ValidateRect(hwnd, nullptr);
            return 0;
        }
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
    return 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

const MsgEntry* CWnd::FindEntry(EntryKind kind, UINT message, int id, UINT code) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MsgEntry& e : map->entries) {
            if (e.kind != kind) continue;
            switch (kind) {
                case EntryKind::Message:
                    if (e.message == message) return &e;
                    break;
                case EntryKind::Command:
                    if (e.id == id && (e.code == code || e.code == kAnyCode)) return &e;
                    break;
                case EntryKind::ReflectCommand:
                    if (e.code == code || e.code == kAnyCode) return &e;
                    break;
                case EntryKind::CtlColor:
                case EntryKind::ReflectCtlColor:
                    return &e;
            }
        }
    }
    return nullptr;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const Msg msg{message, wParam, lParam};
    if (message == WM_COMMAND) {
        HWND control = reinterpret_cast<HWND>(lParam);
        // A control that handles its own notification takes it before the parent.
        if (CWnd* child = control ? FromHandlePermanent(control) : nullptr;
            child && child != this && child->OnChildNotify(message, wParam, lParam, result)) {
            return true;
        }
        const MsgEntry* e = FindEntry(EntryKind::Command, 0, LOWORD(wParam), HIWORD(wParam));
        if (!e) {
            CWinApp* app = AfxGetApp();
            return app && app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
        }
        *result = e->handler(*this, msg);
        return true;
    }
    if (IsCtlColor(message)) {
        // The parent's handler runs first and reaches the control's through the default.
        if (const MsgEntry* e = FindEntry(EntryKind::CtlColor, 0, 0, 0)) {
            *result = e->handler(*this, msg);
        } else {
            *result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam),
                                                           reinterpret_cast<HWND>(lParam),
                                                           message - WM_CTLCOLORMSGBOX));
        }
        return true;
    }
    const MsgEntry* e = FindEntry(EntryKind::Message, message, 0, 0);
    if (!e) return false;
    *result = e->handler(*this, msg);
    return true;
}

HBRUSH CWnd::OnCtlColor(HDC, HWND control, UINT) {
    CWnd* child = FromHandlePermanent(control);
    LRESULT result = 0;
    if (child && child != this &&
        child->OnChildNotify(m_current.message, m_current.wParam, m_current.lParam, &result)) {
        return reinterpret_cast<HBRUSH>(result);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const Msg msg{message, wParam, lParam};
    if (message == WM_COMMAND) {
        const MsgEntry* e = FindEntry(EntryKind::ReflectCommand, 0, 0, HIWORD(wParam));
        if (!e) return false;
        *result = e->handler(*this, msg);
        return true;
    }
    if (IsCtlColor(message)) {
        const MsgEntry* e = FindEntry(EntryKind::ReflectCtlColor, 0, 0, 0);
        if (!e) return false;
        const LRESULT brush = e->handler(*this, msg);
        if (!brush) return false;
        *result = brush;
        return true;
    }
    return false;
}

}  // namespace kestrava
