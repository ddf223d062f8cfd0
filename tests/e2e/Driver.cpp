#include "Driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kestrava::e2e {

namespace {

constexpr DWORD kPollMs = 20;
constexpr char kDialogClass[] = "#32770";
// The message box's text static, and its icon static (1088 under Wine, 20 on Windows).
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconIds[] = {1088, 20};

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

bool IsDialogClass(HWND hwnd) {
    return ClassOf(hwnd) == kDialogClass;
}

// How long a sent message may wait for the application's thread. The copy pumps no
// messages: a send during a long copy throws after this time instead of holding the
// test until the copy ends.
constexpr DWORD kSendTimeoutMs = 5000;

// A message sent on its own thread, so the caller can stop waiting. Wine's
// SendMessageTimeout does not return at its timeout while the receiving thread
// pumps no messages (as during a copy); it waits until that thread gets back to
// its queue. The job owns every buffer the reply is written into, since an
// abandoned send may still complete later.
struct SendJob {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool lpIsText;  // lp is text.data()
    std::string text;
    DWORD_PTR result = 0;
    BOOL ok = FALSE;
    DWORD error = 0;
};

DWORD WINAPI RunSendJob(void* param) {
    std::unique_ptr<std::shared_ptr<SendJob>> holder(static_cast<std::shared_ptr<SendJob>*>(param));
    SendJob& job = **holder;
    const LPARAM lp = job.lpIsText ? reinterpret_cast<LPARAM>(job.text.data()) : job.lp;
    // The long timeout only makes the call report a window that is gone.
    job.ok = SendMessageTimeoutA(job.hwnd, job.msg, job.wp, lp, SMTO_NORMAL, 24 * 3600 * 1000,
                                 &job.result);
    job.error = job.ok ? 0 : GetLastError();
    return 0;
}

// With `text`, lParam points at a copy of it, which comes back in *text (as WM_GETTEXT
// fills it).
LRESULT SendOrThrow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, std::string* text = nullptr) {
    auto job = std::make_shared<SendJob>(
        SendJob{hwnd, msg, wp, lp, text != nullptr, text ? *text : std::string()});
    char what[96];
    std::snprintf(what, sizeof what, "message 0x%04X to window %p", msg, static_cast<void*>(hwnd));
    auto* param = new std::shared_ptr<SendJob>(job);
    HANDLE thread = CreateThread(nullptr, 0, RunSendJob, param, 0, nullptr);
    if (!thread) {
        delete param;
        throw DriverError(std::string("cannot start a thread for ") + what);
    }
    const DWORD wait = WaitForSingleObject(thread, kSendTimeoutMs);
    CloseHandle(thread);
    if (wait != WAIT_OBJECT_0) {
        throw DriverError(what + std::string(": no answer within ") +
                          std::to_string(kSendTimeoutMs) + " ms");
    }
    if (!job->ok)
        throw DriverError(what + std::string(" failed, error ") + std::to_string(job->error));
    if (text) *text = job->text;
    return static_cast<LRESULT>(job->result);
}

std::string WindowText(HWND hwnd) {
    // The length is in the window's own units; a Unicode window answers an ANSI
    // query with an upper bound, and DBCS text may need up to twice the characters.
    const auto length = static_cast<size_t>(SendOrThrow(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length * 2 + 2, '\0');
    SendOrThrow(hwnd, WM_GETTEXT, text.size(), 0, &text);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

int ControlId(HWND hwnd) {
    return static_cast<int>(GetWindowLongPtrA(hwnd, GWLP_ID) & 0xFFFF);
}

// Walks with CharNextA so the trail byte of a GBK character (which may be 0x5C)
// is never taken for a separator.
size_t LastSeparator(const std::string& path) {
    size_t last = std::string::npos;
    for (const char* p = path.c_str(); *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') last = static_cast<size_t>(p - path.c_str());
    }
    return last;
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

LPARAM KeyParam(UINT vk, bool up) {
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM lp = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (up) lp |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    return lp;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        if (done()) return true;
        Sleep(kPollMs);
    }
    return done();
}

// ---- Files and folders --------------------------------------------------------

std::string JoinPath(const std::string& dir, const std::string& name) {
    const size_t last = LastSeparator(dir);
    if (dir.empty() || (last != std::string::npos && last + 1 == dir.size())) return dir + name;
    return dir + "\\" + name;
}

std::string ParentDir(const std::string& path) {
    const size_t last = LastSeparator(path);
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

TempDir::TempDir(const std::string& name)
    : folder_(name), path_(folder_.Path().substr(0, folder_.Path().size() - 1)) {
    if (!test::FileExists(path_)) throw DriverError("cannot create the folder " + path_);
}

void TempDir::Write(const std::string& rel, const std::string& bytes) const {
    if (!test::WriteBytes(JoinPath(path_, rel), bytes)) throw DriverError("cannot write " + rel);
}

void TempDir::MakeDir(const std::string& rel) const {
    if (!CreateDirectoryA(JoinPath(path_, rel).c_str(), nullptr))
        throw DriverError("cannot create folder " + rel);
}

bool CopyApp(const std::string& toDir, const std::string& asName) {
    char self[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) throw DriverError("GetModuleFileNameA failed");
    return CopyFileA(JoinPath(ParentDir(self), kAppExeName).c_str(),
                     JoinPath(toDir, asName).c_str(), FALSE);
}

bool WriteIni(const std::string& path, const std::string& key, const std::string& value) {
    return WritePrivateProfileStringA("Overall_situation", key.c_str(), value.c_str(),
                                      path.c_str());
}

// ---- Window -------------------------------------------------------------------

bool Window::Exists() const {
    return hwnd_ && IsWindow(hwnd_);
}

HWND Window::Control(int id) const {
    if (!Exists()) throw DriverError("the window is gone");
    for (HWND child : ChildrenOf(hwnd_)) {
        if (ControlId(child) == (id & 0xFFFF)) return child;
    }
    throw DriverError("no control " + std::to_string(id));
}

std::string Window::Text(int id) const {
    return WindowText(Control(id));
}

void Window::SetText(int id, const std::string& text) const {
    std::string copy = text;
    SendOrThrow(Control(id), WM_SETTEXT, 0, 0, &copy);
}

bool Window::IsVisible(int id) const {
    return IsWindowVisible(Control(id));
}

bool Window::IsEnabled(int id) const {
    return IsWindowEnabled(Control(id));
}

int Window::Check(int id) const {
    return static_cast<int>(SendOrThrow(Control(id), BM_GETCHECK, 0, 0));
}

RECT Window::ClientRect(int id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Window::Click(int id) const {
    HWND control = Control(id);
    if (!IsWindowVisible(control) || !IsWindowEnabled(control) || !IsWindowEnabled(hwnd_))
        return false;
    return PostMessageA(control, BM_CLICK, 0, 0);
}

void Window::PostCommand(int id) const {
    if (!PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(Control(id)))) {
        throw DriverError("cannot post a command to the window");
    }
}

bool Window::PressKey(int id, UINT vk) const {
    HWND control = Control(id);
    if (!IsWindowVisible(control) || !IsWindowEnabled(control) || !IsWindowEnabled(hwnd_))
        return false;
    // Refocusing an edit would select all its text and the next key would replace it.
    // WM_NEXTDLGCTL moves the focus the way the dialog manager does for Tab.
    if (FocusOfThread(hwnd_) != control)
        SendOrThrow(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return PostMessageA(control, WM_KEYDOWN, vk, KeyParam(vk, false)) &&
           PostMessageA(control, WM_KEYUP, vk, KeyParam(vk, true));
}

void Window::Close() const {
    if (!PostMessageA(hwnd_, WM_CLOSE, 0, 0)) throw DriverError("cannot post WM_CLOSE");
}

void Window::ClickCloseBox() const {
    if (!PostMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0)) throw DriverError("cannot post SC_CLOSE");
}

// ---- Message boxes ------------------------------------------------------------

namespace {

std::optional<MessageBoxInfo> ReadMessageBoxOrThrow(HWND hwnd) {
    if (!IsWindow(hwnd) || !IsDialogClass(hwnd)) return std::nullopt;
    MessageBoxInfo box;
    box.hwnd = hwnd;
    bool hasText = false;
    bool hasIconStatic = false;
    for (HWND child : ChildrenOf(hwnd)) {
        const std::string cls = ClassOf(child);
        const int id = ControlId(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (cls == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
            std::find(std::begin(kBoxIconIds), std::end(kBoxIconIds), id) !=
                std::end(kBoxIconIds)) {
            hasIconStatic = true;
            box.hasIcon = IsWindowVisible(child) && SendOrThrow(child, STM_GETICON, 0, 0) != 0;
        } else if (cls == "Static" && id == kBoxTextId && (style & SS_TYPEMASK) != SS_ICON) {
            hasText = true;
            box.text = WindowText(child);
        } else if (cls == "Button" && id >= IDOK && id <= IDCONTINUE) {
            if (IsWindowVisible(child)) box.buttons.push_back(id);
        } else {
            return std::nullopt;  // a control no message box has
        }
    }
    if (!hasText || !hasIconStatic) return std::nullopt;
    std::sort(box.buttons.begin(), box.buttons.end());
    box.caption = WindowText(hwnd);
    return box;
}

// Reads a window as a system message box; nullopt when it is not one.
std::optional<MessageBoxInfo> ReadMessageBox(HWND hwnd) {
    try {
        return ReadMessageBoxOrThrow(hwnd);
    } catch (const DriverError&) {
        // A box that is closing loses its controls before its own window: it is no longer
        // there. Anything else gets one more try.
        Sleep(20);
        if (!IsWindow(hwnd) || !IsWindowVisible(hwnd)) return std::nullopt;
        return ReadMessageBoxOrThrow(hwnd);
    }
}

}  // namespace

// ---- AppProcess ---------------------------------------------------------------

AppProcess::~AppProcess() {
    Kill();
    if (pi_.hThread) CloseHandle(pi_.hThread);
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
}

bool AppProcess::Start(const std::string& exePath, const std::string& workDir) {
    if (IsRunning()) throw DriverError("the process is still running");
    if (pi_.hThread) CloseHandle(pi_.hThread);
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
    pi_ = {};
    hwnd_ = nullptr;
    std::string commandLine = "\"" + exePath + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.c_str(), &si, &pi_)) {
        pi_ = {};
        return false;
    }
    return true;
}

std::vector<HWND> AppProcess::TopLevelWindows() const {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pi_.dwProcessId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND AppProcess::FindMainWindow() const {
    HWND firstUnowned = nullptr;
    for (HWND hwnd : TopLevelWindows()) {
        if (!IsDialogClass(hwnd)) continue;
        if (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) return hwnd;
        if (!firstUnowned && !GetWindow(hwnd, GW_OWNER)) firstUnowned = hwnd;
    }
    return firstUnowned;
}

bool AppProcess::WaitForMainWindow(DWORD timeoutMs) {
    if (!pi_.hProcess) throw DriverError("the process was not started");
    // Stops early when the process is gone: the window will never come.
    WaitUntil([this] { return (hwnd_ = FindMainWindow()) != nullptr || !IsRunning(); }, timeoutMs);
    return hwnd_ != nullptr;
}

bool AppProcess::IsRunning() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> AppProcess::WaitForExit(DWORD timeoutMs) {
    if (!pi_.hProcess) throw DriverError("the process was not started");
    DWORD code = 0;
    if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(pi_.hProcess, &code)) {
        return std::nullopt;
    }
    return code;
}

void AppProcess::Kill() {
    if (!IsRunning()) return;
    TerminateProcess(pi_.hProcess, 0xDEAD);
    WaitForSingleObject(pi_.hProcess, 5000);
}

std::vector<MessageBoxInfo> AppProcess::MessageBoxes() const {
    std::vector<MessageBoxInfo> boxes;
    for (HWND hwnd : TopLevelWindows()) {
        if (hwnd == hwnd_) continue;
        if (auto box = ReadMessageBox(hwnd)) boxes.push_back(std::move(*box));
    }
    return boxes;
}

std::optional<MessageBoxInfo> AppProcess::FindMessageBox(DWORD timeoutMs) const {
    std::optional<MessageBoxInfo> found;
    WaitUntil(
        [&] {
            auto boxes = MessageBoxes();
            if (!boxes.empty()) found = std::move(boxes.front());
            return found.has_value();
        },
        timeoutMs);
    return found;
}

bool AppProcess::Answer(const MessageBoxInfo& box, int buttonId) const {
    if (std::find(box.buttons.begin(), box.buttons.end(), buttonId) == box.buttons.end())
        return false;
    HWND button = GetDlgItem(box.hwnd, buttonId);
    return button && PostMessageA(button, BM_CLICK, 0, 0) &&
           WaitUntil([&] { return !IsWindow(box.hwnd); }, 3000);
}

LaunchedApp::LaunchedApp(const std::string& name, const Settings& settings) : dir(name) {
    if (!CopyApp(dir.Path())) throw DriverError("cannot copy the application");
    for (const auto& [key, value] : settings) {
        if (!WriteIni(dir / kConfigFileName, key, value)) throw DriverError("cannot write " + key);
    }
    // Wine now and then fails to start a process at all: it ends before any window. Such
    // a start is tried once more; a program that ends that way twice fails the test.
    for (int attempt = 1;; ++attempt) {
        if (!app.Start(dir / kAppExeName, dir.Path()))
            throw DriverError("cannot start the application");
        if (app.WaitForMainWindow()) return;
        const std::optional<DWORD> code = app.WaitForExit(0);
        if (!code) throw DriverError("no main window");
        if (attempt == 2) {
            throw DriverError("the application ended with exit code " + std::to_string(*code) +
                              " before showing its window");
        }
        std::fprintf(stderr,
                     "Kestrava.exe ended with exit code %lu before showing its window; "
                     "starting it once more\n",
                     static_cast<unsigned long>(*code));
    }
}

}  // namespace kestrava::e2e
