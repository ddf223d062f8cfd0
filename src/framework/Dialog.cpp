// Dialogs run by our own modal loop rather than DialogBox, so that the
// PreTranslateMessage chain of the target window and its parents runs before
// IsDialogMessage (the link labels relay mouse moves to their tooltips there).
#include "framework/Dialog.h"

#include <vector>

#include "framework/WinApp.h"

namespace kestrava {

namespace {
// Innermost modal dialog last; message boxes are owned by it.
std::vector<CDialog*>& ModalStack() {
    static std::vector<CDialog*> stack;
    return stack;
}
}  // namespace

HWND ActiveModalWindow() {
    auto& stack = ModalStack();
    return stack.empty() ? nullptr : stack.back()->m_hWnd;
}

const MsgEntry CDialog::kEntries[] = {
    on::Command<&CDialog::OnOK>(IDOK),
    on::Command<&CDialog::OnCancel>(IDCANCEL),
};
const MessageMap CDialog::kMessageMap{&CWnd::kMessageMap, kEntries};

CDialog::~CDialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) noexcept {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    // From here on every message passes through the object first; the dialog
    // manager's own procedure becomes the default processing.
    dialog->Attach(hwnd);
    dialog->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
    try {
        return dialog->OnInitDialog();
    } catch (...) {
        ReportHandlerException(hwnd, WM_INITDIALOG, CurrentExceptionText());
    }
    return TRUE;
}

HWND CDialog::CreateFromTemplate(HWND owner) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEA>(::LockResource(loaded));
    if (!dialogTemplate) return nullptr;
    m_nModalResult = -1;
    m_bEnded = false;
    return ::CreateDialogIndirectParamA(instance, dialogTemplate, owner, &DialogProc,
                                        reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(CWnd* parent) {
    if (parent) m_pParentWnd = parent;
    return CreateFromTemplate(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        // A dialog without a parent is owned by the innermost open dialog or the main window.
        owner = ActiveModalWindow();
        if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd)
            owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    }
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);

    ModalStack().push_back(this);
    if (CreateFromTemplate(owner)) {
        if (!m_bEnded) {
            if (!::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
    ModalStack().pop_back();

    if (disableOwner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_bEnded) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for the loop outside ours.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!WalkPreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

bool CDialog::WalkPreTranslate(MSG& msg) {
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(&msg)) return true;
        if (hwnd == m_hWnd) return false;
    }
    // Not ours (another top-level window of the thread): the dialog still handles keys.
    return PreTranslateMessage(&msg) != FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    const bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    m_bEnded = true;
    // Wake the loop in case the call came from outside a dispatched message.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

}  // namespace kestrava
