#include "controls/LinkLabel.h"

#include <iterator>

#include "framework/MbString.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
// The help program's pointing hand.
constexpr WORD kHelpHandCursor = 106;
// The fallback's command line lives in a buffer of this size, terminator included.
constexpr size_t kCommandLineBytes = 520;

struct OpenError {
    INT_PTR code;
    const char* text;
};
constexpr OpenError kOpenErrors[] = {
    {0, "The operating system is out\nof memory or resources."},
    {ERROR_FILE_NOT_FOUND, "The specified file was not found."},
    {ERROR_PATH_NOT_FOUND, "The specified path was not found."},
    {ERROR_ACCESS_DENIED, "The operating system denied\naccess to the specified file."},
    {ERROR_NOT_ENOUGH_MEMORY, "There was not enough memory to complete the operation."},
    {ERROR_BAD_FORMAT, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {SE_ERR_SHARE, "A sharing violation occurred. "},
    {SE_ERR_ASSOCINCOMPLETE, "The filename association is\nincomplete or invalid."},
    {SE_ERR_DDETIMEOUT,
     "The DDE transaction could not\nbe completed because the request timed out."},
    {SE_ERR_DDEFAIL, "The DDE transaction failed."},
    {SE_ERR_DDEBUSY,
     "The DDE transaction could not\nbe completed because other DDE transactions\n"
     "were being processed."},
    {SE_ERR_NOASSOC, "There is no application associated\nwith the given filename extension."},
    {SE_ERR_DLLNOTFOUND, "The specified dynamic-link library was not found."},
};
}  // namespace

const MsgEntry CLinkLabelBase::kEntries[] = {
    on::CommandReflect<&CLinkLabelBase::OnClicked>(STN_CLICKED),
    on::CtlColorReflect<&CLinkLabelBase::CtlColor>(),
    on::SetCursor<&CLinkLabelBase::OnSetCursor>(),
    on::MouseMove<&CLinkLabelBase::OnMouseMove>(),
};
const MessageMap CLinkLabelBase::kMessageMap{&CWnd::kMessageMap, kEntries};

CLinkLabelBase::CLinkLabelBase() : m_clrHover(::GetSysColor(COLOR_HIGHLIGHT)) {}

void CLinkLabelBase::SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover) {
    m_clrLink = link;
    m_clrVisited = visited;
    m_clrHover = hover == CLR_INVALID ? ::GetSysColor(COLOR_HIGHLIGHT) : hover;
    InvalidateAll();
}

void CLinkLabelBase::InvalidateAll() {
    if (::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CLinkLabelBase::PreSubclassWindow() {
    // Only with SS_NOTIFY does a static take mouse input and report clicks.
    ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
    if (m_strTarget.empty()) m_strTarget = GetWindowText();
    if (GetWindowText().empty()) SetWindowText(m_strTarget);

    // The dialog's face, size and weight, underlined.
    auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!font) font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA logFont{};
    if (::GetObjectA(font, sizeof logFont, &logFont)) {
        logFont.lfUnderline = m_bUnderline ? TRUE : FALSE;
        m_fontLink.Reset(::CreateFontIndirectA(&logFont));
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontLink.Get()), TRUE);
    }

    FitToText();
    LoadHandCursor();

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (m_tipCtrl.Create(m_hWnd, 0)) m_tipCtrl.AddTool(m_hWnd, m_strTarget, client, 1);
    CStatic::PreSubclassWindow();
}

void CLinkLabelBase::PostNcDestroy() {
    // The tooltip belongs to this window; a later window gets a new one and no capture.
    m_tipCtrl.DestroyWindow();
    m_bHover = FALSE;
    CStatic::PostNcDestroy();
}

void CLinkLabelBase::FitToText() {
    if (!::IsWindow(m_hWnd) || !m_bFitToText) return;
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    if (HWND parent = ::GetParent(m_hWnd)) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    }

    const std::string text = GetWindowText();
    SIZE extent{};
    {
        CClientDC dc(m_hWnd);
        CSelectObject select(dc, m_fontLink);
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }

    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    if (style & SS_CENTERIMAGE) {
        const int d = (rect.bottom - rect.top - extent.cy) / 2;
        rect.top += d;
        rect.bottom -= d;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    if (style & SS_CENTER) {
        const int d = (rect.right - rect.left - extent.cx) / 2;
        rect.left += d;
        rect.right -= d;
    } else if (style & SS_RIGHT) {
        rect.left = rect.right - extent.cx;
    } else {
        rect.right = rect.left + extent.cx;
    }
    ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER);
}

void CLinkLabelBase::LoadHandCursor() {
    if (m_hHandCursor) return;
    char folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::string path = std::string(folder) + "\\winhlp32.exe";
        // As data only: nothing of the help program runs in our process.
        if (HMODULE help = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            if (HCURSOR hand = ::LoadCursorA(help, MAKEINTRESOURCEA(kHelpHandCursor)))
                m_hHandCursor.Reset(::CopyIcon(hand));
            ::FreeLibrary(help);
        }
    }
    // Without the help program's hand (Wine has none) the system's: a link without a
    // pointing hand misleads.
    if (!m_hHandCursor) m_hHandCursor.Reset(::CopyIcon(::LoadCursorA(nullptr, IDC_HAND)));
}

HBRUSH CLinkLabelBase::CtlColor(HDC dc, UINT) {
    ::SetTextColor(dc, m_bHover ? m_clrHover : m_bVisited ? m_clrVisited : m_clrLink);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CLinkLabelBase::OnSetCursor(HWND, UINT, UINT) {
    if (!m_hHandCursor) return FALSE;
    ::SetCursor(m_hHandCursor);
    return TRUE;
}

void CLinkLabelBase::OnMouseMove(UINT, POINT point) {
    Default();
    if (m_bHover) {
        // The capture shows every move, so the one that leaves the label ends the hover.
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        if (::PtInRect(&client, point)) return;
        m_bHover = FALSE;
        ::ReleaseCapture();
        ::RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawNow);
    } else {
        m_bHover = TRUE;
        ::RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawNow);
        ::SetCapture(m_hWnd);
    }
}

BOOL CLinkLabelBase::PreTranslateMessage(MSG* msg) {
    m_tipCtrl.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

void CLinkLabel::SetLinkTarget(std::string target) {
    if (target.empty()) return;
    m_strTarget = std::move(target);
    if (!::IsWindow(m_hWnd)) return;
    FitToText();
    m_tipCtrl.UpdateTipText(m_strTarget, m_hWnd, 1);
}

void CLinkLabel::SetVisitedFlag(BOOL visited) {
    m_bVisited = visited;
    InvalidateAll();
}

void CLinkLabel::OnClicked() {
    if (m_strTarget.empty()) return;
    if (g_nLinkMode == 1) {
        Platform().ShellExecute(nullptr, "open", g_strLinkConfigPath.c_str(), nullptr, nullptr,
                                SW_SHOWNORMAL);
        return;
    }
    const INT_PTR result = ShellOpen(m_strTarget, SW_SHOW);
    m_bVisited = result > 32;
    if (m_bVisited) {
        SetVisitedFlag(TRUE);
    } else {
        Platform().MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(result);
    }
}

INT_PTR CLinkLabel::ShellOpen(const std::string& target, int show) {
    const auto result = reinterpret_cast<INT_PTR>(
        Platform().ShellExecute(nullptr, "open", target.c_str(), nullptr, nullptr, show));
    if (result > 32) return result;

    // The program registered for web pages, started with the target in place of "%1".
    std::string htmlClass;
    if (!QueryRegDefault(HKEY_CLASSES_ROOT, ".htm", htmlClass)) return result;
    const std::string commandKey = htmlClass + "\\shell\\open\\command";
    std::string command;
    if (commandKey.size() >= kCommandLineBytes ||
        !QueryRegDefault(HKEY_CLASSES_ROOT, commandKey, command)) {
        return result;
    }
    // Whatever follows the placeholder (further switches) goes with it.
    if (const int quoted = mbs::Find(command, "\"%1\""); quoted >= 0) {
        command.resize(static_cast<size_t>(quoted));
    } else if (const int bare = mbs::Find(command, "%1"); bare >= 0) {
        command.resize(static_cast<size_t>(bare));
    }
    command += ' ';
    command += target;
    if (command.size() >= kCommandLineBytes) return result;
    return static_cast<INT_PTR>(Platform().WinExec(command.c_str(), static_cast<UINT>(show)));
}

bool CLinkLabel::QueryRegDefault(HKEY root, const std::string& subKey, std::string& value) {
    return Platform().RegQueryValue(root, subKey, value);
}

void CLinkLabel::ShowOpenError(INT_PTR code) {
    std::string text = mbs::Format("Unknown Error (%d) occurred.", static_cast<int>(code));
    for (const OpenError& e : kOpenErrors) {
        if (e.code == code) text = e.text;
    }
    AfxMessageBox("Unable to open hyperlink:\n\n" + text, MB_ICONEXCLAMATION | MB_OK);
}

}  // namespace kestrava
