#pragma once
// A thin object layer over Win32 windows: static message tables per class, default
// processing of the current message, subclassing with reflected notifications, and
// an exception boundary at every window procedure.
#include <windows.h>

#include <span>
#include <string>

namespace kestrava {

class CWnd;
class CDataExchange;

// The message being handled, as the window procedure received it.
struct Msg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

using MsgHandler = LRESULT (*)(CWnd& self, const Msg& msg);

// Entry kinds. Command entries match a control id and notification code; BN_CLICKED and
// STN_CLICKED are both 0, so "any code" needs a value of its own.
enum class EntryKind { Message, Command, CtlColor, ReflectCommand, ReflectCtlColor };
constexpr UINT kAnyCode = 0xFFFFFFFFu;

struct MsgEntry {
    EntryKind kind;
    UINT message;  // window message for EntryKind::Message
    int id;        // control id for commands
    UINT code;     // notification code for commands
    MsgHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    std::span<const MsgEntry> entries;
};

namespace detail {
template <class M>
struct MemberClass;
template <class C, class R, class... A>
struct MemberClass<R (C::*)(A...)> {
    using type = C;
};
template <auto F>
using ClassOf = typename MemberClass<decltype(F)>::type;
}  // namespace detail

// Entry makers, one per handler shape the program uses.
namespace on {

template <auto F>  // void Handler()
constexpr MsgEntry Message(UINT message) {
    return {EntryKind::Message, message, 0, 0, [](CWnd& w, const Msg&) -> LRESULT {
                (static_cast<detail::ClassOf<F>&>(w).*F)();
                return 0;
            }};
}

template <auto F>  // void Handler()
constexpr MsgEntry Command(int id, UINT code = BN_CLICKED) {
    return {EntryKind::Command, WM_COMMAND, id, code, [](CWnd& w, const Msg&) -> LRESULT {
                (static_cast<detail::ClassOf<F>&>(w).*F)();
                return 0;
            }};
}

template <auto F>  // void OnTimer(UINT_PTR id)
constexpr MsgEntry Timer() {
    return {EntryKind::Message, WM_TIMER, 0, 0, [](CWnd& w, const Msg& m) -> LRESULT {
                (static_cast<detail::ClassOf<F>&>(w).*F)(static_cast<UINT_PTR>(m.wParam));
                return 0;
            }};
}

template <auto F>  // void OnSysCommand(UINT id, LPARAM lParam)
constexpr MsgEntry SysCommand() {
    return {EntryKind::Message, WM_SYSCOMMAND, 0, 0, [](CWnd& w, const Msg& m) -> LRESULT {
                (static_cast<detail::ClassOf<F>&>(w).*F)(static_cast<UINT>(m.wParam), m.lParam);
                return 0;
            }};
}

template <auto F>  // HCURSOR OnQueryDragIcon()
constexpr MsgEntry QueryDragIcon() {
    return {EntryKind::Message, WM_QUERYDRAGICON, 0, 0, [](CWnd& w, const Msg&) -> LRESULT {
                return reinterpret_cast<LRESULT>((static_cast<detail::ClassOf<F>&>(w).*F)());
            }};
}

template <auto F>  // void OnMouseMove(UINT flags, POINT point)
constexpr MsgEntry MouseMove() {
    return {EntryKind::Message, WM_MOUSEMOVE, 0, 0, [](CWnd& w, const Msg& m) -> LRESULT {
                const POINT pt{static_cast<short>(LOWORD(m.lParam)),
                               static_cast<short>(HIWORD(m.lParam))};
                (static_cast<detail::ClassOf<F>&>(w).*F)(static_cast<UINT>(m.wParam), pt);
                return 0;
            }};
}

template <auto F>  // BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message)
constexpr MsgEntry SetCursor() {
    return {EntryKind::Message, WM_SETCURSOR, 0, 0, [](CWnd& w, const Msg& m) -> LRESULT {
                return (static_cast<detail::ClassOf<F>&>(w).*F)(reinterpret_cast<HWND>(m.wParam),
                                                                LOWORD(m.lParam), HIWORD(m.lParam));
            }};
}

// HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType), for every WM_CTLCOLOR* message.
template <auto F>
constexpr MsgEntry CtlColor() {
    return {EntryKind::CtlColor, 0, 0, 0, [](CWnd& w, const Msg& m) -> LRESULT {
                return reinterpret_cast<LRESULT>((static_cast<detail::ClassOf<F>&>(w).*F)(
                    reinterpret_cast<HDC>(m.wParam), reinterpret_cast<HWND>(m.lParam),
                    m.message - WM_CTLCOLORMSGBOX));
            }};
}

// A control's own handler for a notification it sends to its parent.
template <auto F>  // void Handler()
constexpr MsgEntry CommandReflect(UINT code) {
    return {EntryKind::ReflectCommand, WM_COMMAND, 0, code, [](CWnd& w, const Msg&) -> LRESULT {
                (static_cast<detail::ClassOf<F>&>(w).*F)();
                return 0;
            }};
}

// HBRUSH CtlColor(HDC dc, UINT ctlType); a null brush leaves the colours to the default.
template <auto F>
constexpr MsgEntry CtlColorReflect() {
    return {EntryKind::ReflectCtlColor, 0, 0, 0, [](CWnd& w, const Msg& m) -> LRESULT {
                return reinterpret_cast<LRESULT>((static_cast<detail::ClassOf<F>&>(w).*F)(
                    reinterpret_cast<HDC>(m.wParam), m.message - WM_CTLCOLORMSGBOX));
            }};
}

}  // namespace on

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // The object attached to hwnd by subclassing or dialog creation, if any.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Attaches and routes the window's messages through this object.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, CWnd& parent);
    HWND UnsubclassWindow();

    // Data exchange between members and controls; save = true reads from the window.
    bool UpdateData(bool save = true);
    virtual void DoDataExchange(CDataExchange* dx);

    // Give the current message its default processing.
    LRESULT Default();

    virtual BOOL PreTranslateMessage(MSG* msg);

    // Small helpers over the window handle.
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    // Window-owned message box; a null caption uses the application title.
    int MessageBox(const std::string& text, const char* caption = nullptr, UINT type = MB_OK);

  protected:
    virtual const MessageMap* GetMessageMap() const { return &kMessageMap; }
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification this control sent to its parent, offered to its own table first.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Default colour handling: the control's reflected handler, then default processing.
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType);

    const Msg& CurrentMessage() const { return m_current; }

    // Shared by subclassed windows and dialogs.
    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    void Attach(HWND hwnd);
    void Detach();

    WNDPROC m_pfnSuper = nullptr;

    static const MessageMap kMessageMap;

  private:
    LRESULT SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    const MsgEntry* FindEntry(EntryKind kind, UINT message, int id, UINT code) const;

    Msg m_current{};
};

// Inside a catch: the text the user is shown for the exception being handled.
std::string CurrentExceptionText();
// Reports an exception that ended a handler of message; returns the message's result.
LRESULT ReportHandlerException(HWND hwnd, UINT message, const std::string& text) noexcept;

}  // namespace kestrava
