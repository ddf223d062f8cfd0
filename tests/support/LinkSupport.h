#pragma once
// For the link labels' and the About box's tests: a platform with a scripted shell and
// registry, a hand that ends modal dialogs, and what a label shows.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "support/FakePlatform.h"

namespace kestrava::test {

class ShellFake : public FakePlatform {
  public:
    INT_PTR shellResult = 33;
    UINT execResult = 33;
    std::map<std::string, std::string> classes;  // keys below HKEY_CLASSES_ROOT
    std::vector<std::string> opened;             // "verb file show" per ShellExecute
    std::vector<std::string> commandLines;       // per WinExec

    HINSTANCE ShellExecute(HWND, const char* verb, const char* file, const char*, const char*,
                           int show) override {
        opened.push_back(std::string(verb) + " " + file + " " + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(shellResult);
    }
    UINT WinExec(const char* commandLine, UINT) override {
        commandLines.push_back(commandLine);
        return execResult;
    }
    bool RegQueryValue(HKEY root, const std::string& key, std::string& value) override {
        const auto it = classes.find(key);
        if (root != HKEY_CLASSES_ROOT || it == classes.end()) return false;
        value = it->second;
        return true;
    }
};

// Runs act with the innermost modal dialog each time one is open and not yet ended, from
// a thread timer that the modal loop dispatches; act is to end the dialog.
class OnEachModal {
  public:
    explicit OnEachModal(std::function<void(HWND)> act) : m_act(std::move(act)) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 10, &Tick);
    }
    ~OnEachModal() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    int runs = 0;

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(ActiveModalWindow()));
        if (!s_current || !dialog || dialog->IsEnded()) return;
        ++s_current->runs;
        s_current->m_act(dialog->m_hWnd);
    }
    static inline OnEachModal* s_current = nullptr;
    std::function<void(HWND)> m_act;
    UINT_PTR m_timer;
};

struct CtlColors {
    COLORREF text;
    int mode;
    HGDIOBJ brush;
};
// What dialog's colour handling makes of control's text.
inline CtlColors ColoursOf(HWND dialog, HWND control) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const LRESULT brush = ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(control));
    const CtlColors colours{::GetTextColor(dc), ::GetBkMode(dc), reinterpret_cast<HGDIOBJ>(brush)};
    ::DeleteDC(dc);
    return colours;
}

// The text of tool 1 of the label's tooltip.
inline std::string TipText(HWND tooltip, HWND label) {
    char text[1024] = {};
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = label;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
}

}  // namespace kestrava::test
