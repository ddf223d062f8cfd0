#include "e2e/Driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kestrava::e2e {

namespace {
LRESULT SendTo(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, 5000, &result))
        throw DriverError("no answer to message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT: GetWindowText cannot read another process's edit.
std::string WindowText(HWND hwnd) {
    char text[4096] = {};
    SendTo(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}
}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (const ULONGLONG end = ::GetTickCount64() + timeoutMs; ::GetTickCount64() < end;) {
        if (done()) return true;
        ::Sleep(20);
    }
    return done();
}

App::App(const std::string& folder, const Settings& settings, const std::string& exeName,
         const std::string& workDir)
    : exeDir(root.Path() + folder) {
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string built = std::string(self, std::strrchr(self, '\\') + 1) + "Kestrava.exe";
    const std::string exe = exeDir + "\\" + exeName;
    if (!::CreateDirectoryA(exeDir.c_str(), nullptr) ||
        !::CopyFileA(built.c_str(), exe.c_str(), FALSE))
        throw DriverError("cannot copy the application to " + exe);
    for (const auto& [key, value] : settings) {
        ::WritePrivateProfileStringA("Overall_situation", key.c_str(), value.c_str(),
                                     (exeDir + "\\Kestrava_Configuration.ini").c_str());
    }
    // Wine now and then fails to start a process at all: it ends before any window. Such
    // a start is tried once more; a program that ends that way twice fails the test.
    for (int attempt = 1;; ++attempt) {
        std::string commandLine = "\"" + exe + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              (workDir.empty() ? root.Path() : workDir).c_str(), &startup,
                              &m_process))
            throw DriverError("cannot start " + exe);
        WaitUntil(
            [this] {
                for (HWND hwnd : TopLevelWindows()) {
                    if (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) window = hwnd;
                }
                return window || !IsRunning();
            },
            10000);
        if (window) return;
        const std::optional<DWORD> code = WaitForExit(0);
        if (!code || attempt == 2)
            throw DriverError("no main window, exit code " + std::to_string(code.value_or(0)));
        std::fprintf(stderr,
                     "Kestrava.exe ended with exit code %lu before showing its window; "
                     "starting it once more\n",
                     static_cast<unsigned long>(*code));
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
}

App::~App() {
    if (IsRunning()) ::TerminateProcess(m_process.hProcess, 0xDEAD);
    ::WaitForSingleObject(m_process.hProcess, 5000);
    ::CloseHandle(m_process.hThread);
    ::CloseHandle(m_process.hProcess);
}

bool App::IsRunning() const {
    return ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> App::WaitForExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (::WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(m_process.hProcess, &code))
        return std::nullopt;
    return code;
}

HWND App::Control(int id) const {
    HWND control = ::GetDlgItem(window, id);
    if (!control) throw DriverError("no control " + std::to_string(id));
    return control;
}

std::string App::Text(int id) const {
    return WindowText(Control(id));
}

void App::SetText(int id, const std::string& text) const {
    SendTo(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT App::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendTo(Control(id), message, wParam, lParam);
}

bool App::Click(int id) const {
    HWND control = Control(id);
    return ::IsWindowVisible(control) && ::PostMessageA(control, BM_CLICK, 0, 0);
}

bool App::PressKey(int id, UINT vk) const {
    HWND control = Control(id);
    // WM_NEXTDLGCTL moves the focus the way the dialog manager does for Tab.
    SendTo(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (!::PostMessageA(control, WM_KEYDOWN, vk, 1 | scan)) return false;
    // The key-down may already have closed the window (Enter, Esc): no key-up then.
    return ::PostMessageA(control, WM_KEYUP, vk, 1 | scan | (LPARAM{3} << 30)) ||
           !::IsWindow(control);
}

bool App::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(window, message, wParam, lParam);
}

std::vector<HWND> App::TopLevelWindows() const {
    std::pair<DWORD, std::vector<HWND>> search{m_process.dwProcessId, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->first && ::IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770")
                s->second.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// A message box: a dialog of the process other than the main window, its text in the
// static 0xFFFF.
std::vector<MessageBoxInfo> App::MessageBoxes() const {
    std::vector<MessageBoxInfo> boxes;
    for (HWND hwnd : TopLevelWindows()) {
        HWND text = ::GetDlgItem(hwnd, 0xFFFF);
        if (hwnd == window || !text) continue;
        try {
            MessageBoxInfo box{hwnd, WindowText(hwnd), WindowText(text), {}};
            for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                const int id = ::GetDlgCtrlID(c);
                if (ClassOf(c) == "Button" && id >= IDOK && id <= IDCONTINUE &&
                    ::IsWindowVisible(c))
                    box.buttons.push_back(id);
            }
            std::sort(box.buttons.begin(), box.buttons.end());
            boxes.push_back(box);
        } catch (const DriverError&) {
            // A box that is closing loses its controls before its own window.
        }
    }
    return boxes;
}

std::optional<MessageBoxInfo> App::WaitForMessageBox(DWORD timeoutMs) const {
    std::vector<MessageBoxInfo> boxes;
    WaitUntil([&] { return !(boxes = MessageBoxes()).empty(); }, timeoutMs);
    if (boxes.empty()) return std::nullopt;
    return boxes.front();
}

bool App::Answer(const MessageBoxInfo& box, int buttonId) const {
    HWND button = ::GetDlgItem(box.hwnd, buttonId);
    return button && ::IsWindowVisible(button) && ::PostMessageA(button, BM_CLICK, 0, 0) &&
           WaitUntil([&] { return !::IsWindow(box.hwnd); }, 3000);
}

}  // namespace kestrava::e2e
