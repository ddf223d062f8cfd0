// Drives a running Kestrava.exe from another process through window messages, as a
// user's mouse and keyboard would. Narrow strings are code page 936 throughout.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "resource.h"
#include "support/Files.h"

namespace kestrava::e2e {

using namespace kestrava::test;

// Polls every 20 ms until what() gives something or the time is up; returns its last answer.
template <typename What>
auto WaitFor(const What& what, DWORD ms) {
    for (const ULONGLONG end = ::GetTickCount64() + ms; ::GetTickCount64() < end; ::Sleep(20))
        if (auto found = what()) return found;
    return what();
}

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption, text;
    std::vector<int> buttons;  // visible standard buttons, ascending
};

using Settings = std::vector<std::pair<std::string, std::string>>;
// Copies by hand, of folders: start-up takes the kind from the stored source, which exists.
inline const Settings kManualFolderCopy = {
    {"Install", "0"}, {"Document_option", "0"}, {"Source_path", "C:\\windows"}};

// Kestrava.exe copied to <root>\<folder>\<exeName> (an earlier App's dir as it is), these
// settings in its ini, started in workDir (else <root>) up to its main window, killed at the
// end. Failures throw or give false.
class App {
  public:
    explicit App(const std::string& folder, const Settings& settings = {},
                 const std::string& exeName = "Kestrava.exe", const std::string& workDir = "")
        : dir(folder.find(':') == std::string::npos ? root.Path() + folder + "\\" : folder),
          ini(dir + "Kestrava_Configuration.ini") {
        char self[MAX_PATH + 1] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string built = std::string(self, std::strrchr(self, '\\') + 1) + "Kestrava.exe";
        const std::string exe = dir + exeName;
        ::CreateDirectoryA(dir.c_str(), nullptr);
        ::CopyFileA(built.c_str(), exe.c_str(), FALSE);  // a failed copy fails the start
        for (const auto& [k, v] : settings)
            ::WritePrivateProfileStringA("Overall_situation", k.c_str(), v.c_str(), ini.c_str());
        // Wine now and then fails to start a process at all: it ends before any window. Such
        // a start is tried once more; a program that ends that way twice fails the test.
        for (int attempt = 1;; ++attempt) {
            std::string commandLine = "\"" + exe + "\"";
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, (workDir.empty() ? root.Path() : workDir).c_str(),
                                  &startup, &m_process))
                throw std::runtime_error("cannot start " + exe);
            WaitFor(
                [this] {
                    for (HWND hwnd : Windows())
                        if (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) window = hwnd;
                    return window || WaitForExit(0);
                },
                10000);
            if (window) return;
            const std::optional<DWORD> code = WaitForExit(0);
            if (!code || attempt == 2)
                throw std::runtime_error("no window, code " + std::to_string(code.value_or(0)));
            std::fprintf(stderr, "Kestrava.exe ended (code %lu) before a window; once more\n",
                         static_cast<unsigned long>(*code));
            ::CloseHandle(m_process.hThread);
            ::CloseHandle(m_process.hProcess);
        }
    }
    ~App() {
        ::TerminateProcess(m_process.hProcess, 0xDEAD);  // fails harmlessly once it has ended
        ::WaitForSingleObject(m_process.hProcess, 5000);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }

    // The exit code, or nothing while the process still runs after timeoutMs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const {
        DWORD code = 0;
        if (::WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(m_process.hProcess, &code))
            return std::nullopt;
        return code;
    }

    static LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, 5000, &result))
            throw std::runtime_error("no answer to message " + std::to_string(message));
        return static_cast<LRESULT>(result);
    }
    // WM_GETTEXT: GetWindowText cannot read another process's edit.
    static std::string Text(HWND hwnd) {
        char text[4096] = {};
        Send(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::string Text(int id) const { return Text(Control(id)); }
    // Posted BM_CLICK; false for what a user could not click (a hidden control).
    static bool Click(HWND b) { return ::IsWindowVisible(b) && ::PostMessageA(b, BM_CLICK, 0, 0); }
    bool Click(int id) const { return Click(Control(id)); }
    // Focuses the control, as the dialog manager does for Tab, then posts the key to it.
    bool PressKey(int id, UINT vk) const {
        HWND control = Control(id);
        Send(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        const LPARAM down = 1 | static_cast<LPARAM>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
        // The key-down may already have closed the window (Enter, Esc): no key-up then.
        return ::PostMessageA(control, WM_KEYDOWN, vk, down) &&
               (::PostMessageA(control, WM_KEYUP, vk, down | (LPARAM{3} << 30)) ||
                !::IsWindow(control));
    }

    // The first message box up within waitMs: a window of the process other than the main
    // window, its text in the static 0xFFFF.
    std::optional<MessageBoxInfo> FindMessageBox(DWORD waitMs = 0) const {
        return WaitFor([this] { return FirstMessageBox(); }, waitMs);
    }
    // Types both paths as a user would and clicks Copy; the box that ends the copy.
    std::optional<MessageBoxInfo> CopyByHand(const std::string& source, const std::string& target,
                                             DWORD waitMs) const {
        // WM_SETTEXT: the edit notifies before it returns.
        for (const auto& [id, text] :
             {std::pair{IDC_SOURCE_PATH, &source}, {IDC_TARGET_PATH, &target}})
            Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text->c_str()));
        return Click(IDC_COPY) ? FindMessageBox(waitMs) : std::nullopt;
    }
    // Nothing more within ms: no message box, and the process still runs.
    bool StaysQuiet(DWORD ms) const {
        ::Sleep(ms);
        return !FindMessageBox() && !WaitForExit(0);
    }
    // Presses a visible button of the box and waits for the box to go.
    static bool Answer(const MessageBoxInfo& box, int buttonId) {
        return Click(::GetDlgItem(box.hwnd, buttonId)) &&
               WaitFor([&] { return !::IsWindow(box.hwnd); }, 3000);
    }

    ScratchFolder root;
    const std::string dir;  // the executable's, ending in a backslash
    const std::string ini;
    HWND window = nullptr;

  private:
    HWND Control(int id) const { return ::GetDlgItem(window, id); }
    // The process's visible top-level windows.
    std::vector<HWND> Windows() const {
        std::pair<DWORD, std::vector<HWND>> search{m_process.dwProcessId, {}};
        ::EnumWindows(
            [](HWND hwnd, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(hwnd, &pid);
                if (pid == s->first && ::IsWindowVisible(hwnd)) s->second.push_back(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    std::optional<MessageBoxInfo> FirstMessageBox() const {
        for (HWND hwnd : Windows()) {
            if (hwnd == window || !::GetDlgItem(hwnd, 0xFFFF)) continue;
            try {
                MessageBoxInfo box{hwnd, Text(hwnd), Text(::GetDlgItem(hwnd, 0xFFFF)), {}};
                for (int id = IDOK; id <= IDCONTINUE; ++id)
                    if (::IsWindowVisible(::GetDlgItem(hwnd, id))) box.buttons.push_back(id);
                return box;
            } catch (const std::runtime_error&) {
                // A box that is closing loses its controls before its own window.
            }
        }
        return std::nullopt;
    }
    PROCESS_INFORMATION m_process{};
};

}  // namespace kestrava::e2e
