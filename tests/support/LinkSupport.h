#pragma once
// For the link and About box tests: a scripted shell and registry, a hand that ends each
// modal dialog, and what a label shows.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "support/Fixtures.h"

namespace kestrava::test {

class ShellFake : public FakePlatform {
  public:
    INT_PTR shellResult = 33;
    UINT execResult = 33;
    std::map<std::string, std::string> classes;     // keys below HKEY_CLASSES_ROOT
    std::vector<std::string> opened, commandLines;  // "verb file show"; WinExec's lines

    HINSTANCE ShellExecute(HWND, const char* verb, const char* file, const char*, const char*,
                           int show) override {
        opened.push_back(std::string(verb) + " " + file + " " + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(shellResult);
    }
    UINT WinExec(const char* line, UINT) override {
        commandLines.push_back(line);
        return execResult;
    }
    bool RegQueryValue(HKEY root, const std::string& key, std::string& value) override {
        const auto it = classes.find(key);
        if (root != HKEY_CLASSES_ROOT || it == classes.end()) return false;
        value = it->second;
        return true;
    }
};

// Runs act, which is to end it, with each modal dialog the loop runs while this lives.
class OnEachModal {
  public:
    explicit OnEachModal(std::function<void(HWND)> act) { s_act = std::move(act); }
    ~OnEachModal() {
        ::KillTimer(nullptr, m_timer);
        s_act = nullptr;
    }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(ActiveModalWindow()));
        if (s_act && dialog && !dialog->IsEnded()) s_act(dialog->m_hWnd);
    }
    static inline std::function<void(HWND)> s_act;
    UINT_PTR m_timer = ::SetTimer(nullptr, 0, 10, &Tick);
};

// The text colour dialog's colour handling gives control; brush and mode must be NULL_BRUSH
// and TRANSPARENT, or the colour comes back as -1.
inline COLORREF ColourOf(HWND dialog, HWND control) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(control)));
    const bool clear = brush == ::GetStockObject(NULL_BRUSH) && ::GetBkMode(dc) == TRANSPARENT;
    const COLORREF colour = clear ? ::GetTextColor(dc) : CLR_INVALID;
    ::DeleteDC(dc);
    return colour;
}

// The text of tool 1 of the tooltip.
inline std::string TipText(HWND tooltip, HWND label) {
    char text[1024] = {};
    TOOLINFOA info{TTTOOLINFOA_V2_SIZE, 0, label, 1, {}, nullptr, text, 0, nullptr};
    ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
}

}  // namespace kestrava::test
