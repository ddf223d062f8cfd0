#include "framework/WinApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "framework/MbString.h"
#include "framework/Platform.h"

namespace kestrava {

namespace {
CWinApp* g_app = nullptr;

// The shell's folder dialog needs COM in a single-threaded apartment on the thread that
// shows it. Without one the program still runs as before; only a successful start (a
// thread that had an apartment of this kind counts too) is balanced at the end.
class ComApartment {
  public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT m_result;
};
}  // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

const CWinApp::CommandEntry* CWinApp::CommandTable(size_t* count) const {
    *count = 0;
    return nullptr;
}

bool CWinApp::OnCmdMsg(UINT id, UINT code) {
    if (code != BN_CLICKED) return false;
    size_t count = 0;
    const CommandEntry* table = CommandTable(&count);
    for (size_t i = 0; i < count; ++i) {
        if (table[i].id == id) {
            (this->*table[i].handler)();
            return true;
        }
    }
    return false;
}

const std::string& AfxGetAppTitle() {
    static const std::string title = [] {
        char path[MAX_PATH + 1] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string name = path;
        const int slash = mbs::ReverseFind(name, '\\');
        name = mbs::Mid(name, slash + 1);
        const int dot = mbs::ReverseFind(name, '.');
        return dot >= 0 ? mbs::Left(name, dot) : name;
    }();
    return title;
}

int AfxMessageBox(const std::string& text, UINT type) {
    HWND owner = ActiveModalWindow();
    if (!owner && g_app && g_app->m_pMainWnd) owner = g_app->m_pMainWnd->m_hWnd;
    if (owner) owner = ::GetLastActivePopup(owner);
    return Platform().MessageBox(owner, text, AfxGetAppTitle(), type | MB_APPLMODAL);
}

void AfxEnableControlContainer() {}

void Enable3dControls() {
    // Version-5 common controls; the dialogs use the progress bar class.
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                                ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    ComApartment com;
    if (!app->InitInstance()) return app->ExitInstance();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    app->ExitInstance();
    return static_cast<int>(msg.wParam);
}

}  // namespace kestrava
