#pragma once
#include <windows.h>

#include <string>

#include "framework/Wnd.h"

namespace kestrava {

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns false when the process should end without a message loop of its own.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // Routes a command nothing else handled through the application's table.
    virtual bool OnCmdMsg(UINT id, UINT code);
    void OnHelp() {}

    CWnd* m_pMainWnd = nullptr;

  protected:
    struct CommandEntry {
        UINT id;
        void (CWinApp::*handler)();
    };
    virtual const CommandEntry* CommandTable(size_t* count) const;
};

CWinApp* AfxGetApp();
// The executable's file name without its extension.
const std::string& AfxGetAppTitle();
// Application-modal box owned by the innermost open dialog, captioned with the title.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// The innermost dialog that runs a modal loop, or null.
HWND ActiveModalWindow();
void AfxEnableControlContainer();
void Enable3dControls();
// Process entry: a COM apartment for the thread, InitInstance, then the loop when it
// asked for one.
int AfxWinMain();

}  // namespace kestrava
