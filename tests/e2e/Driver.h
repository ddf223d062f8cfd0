// Drives a running Kestrava.exe from another process, the way a user's mouse and
// keyboard would: everything goes through window messages to the real windows.
// Narrow strings are code page 936 throughout.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrava::e2e {

inline constexpr char kAppExeName[] = "Kestrava.exe";
inline constexpr char kConfigFileName[] = "Kestrava_Configuration.ini";
inline constexpr char kConfigSection[] = "Overall_situation";

// How long a sent message may wait for the application's thread. The copy pumps
// no messages: a send during a long copy throws after this time instead of
// holding the test until the copy ends.
inline constexpr DWORD kSendTimeoutMs = 5000;

// Thrown when the driver cannot do what a test asked: a missing control, a window
// that is gone, a thread that did not answer in time, a file that cannot be made.
class DriverError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Polls every 20 ms until `done` holds or `timeoutMs` have passed; `done` is
// checked once more at the end. Returns whether it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// ---- Files and folders --------------------------------------------------------

// Joins with one backslash. Multibyte-aware: a GBK trail byte 0x5C is not taken
// for a separator.
std::string JoinPath(const std::string& dir, const std::string& name);
// Everything before the last separator (no trailing backslash).
std::string ParentDir(const std::string& path);

std::optional<std::string> ReadFileBytes(const std::string& path);
// Creates missing parent folders.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Deletes a file or a whole tree, read-only entries included.
bool RemoveTree(const std::string& path);
// Every entry below `root`, keyed by relative path: a file maps to its bytes, a
// folder to "" under its path with a trailing backslash. Empty when root is absent.
std::map<std::string, std::string> ReadTree(const std::string& root);

// A fresh empty folder under the temp directory, removed with its contents when
// the object goes. `name` (may be Chinese) becomes part of the folder's name.
class TempDir {
  public:
    explicit TempDir(const std::string& name = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rel) const { return JoinPath(path_, rel); }

    // Throws DriverError on failure, so a broken set-up cannot pass as a result.
    void Write(const std::string& rel, const std::string& bytes) const;
    void MakeDir(const std::string& rel) const;
    std::string Read(const std::string& rel) const;
    bool Exists(const std::string& rel) const;

  private:
    std::string path_;
};

// Folder of the running test executable; the build puts Kestrava.exe next to it.
std::string ThisExeDir();
// Copies the application (built next to this executable) into `toDir`.
bool CopyApp(const std::string& toDir, const std::string& exeName = kAppExeName);

// ---- Configuration file -------------------------------------------------------
// Section "Overall_situation", through the private profile calls as the
// application reads it. A write by the application is seen by the next read.

std::string ReadIni(const std::string& path, const std::string& key);
std::vector<std::string> IniKeys(const std::string& path);
bool WriteIni(const std::string& path, const std::string& key, const std::string& value);

// ---- Windows ------------------------------------------------------------------

// A dialog of the application seen from outside. Control ids are the dialog's
// direct children. Calls on a missing control throw DriverError.
class Window {
  public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}

    HWND Handle() const { return hwnd_; }
    bool Exists() const;
    // nullptr when the dialog has no such control.
    HWND Item(int id) const;

    std::string Caption() const;
    // WM_GETTEXT: GetWindowText cannot read another process's edit.
    std::string Text(int id) const;
    // WM_SETTEXT; an edit notifies its parent (EN_CHANGE) before this returns.
    void SetText(int id, const std::string& text) const;
    int Check(int id) const;  // BM_GETCHECK
    bool IsVisible(int id) const;
    bool IsEnabled(int id) const;
    // The control's rectangle in the dialog's client coordinates.
    RECT ClientRect(int id) const;

    // Posts BM_CLICK. Refuses (false) what a user could not click: a hidden or
    // disabled control, or a dialog disabled behind a modal box. Posted because
    // the click may open a modal box and a send would wait for it to close.
    bool Click(int id) const;
    // A left click at the control's centre with posted mouse messages, for
    // controls without BM_CLICK (link labels). Goes where a real click would: to
    // the dialog when the control is transparent to hit testing.
    bool MouseClick(int id) const;
    // The pointer moving onto the control's centre (posted WM_MOUSEMOVE).
    bool MouseMove(int id) const;
    // Real pointer input: moves the system cursor onto the control's centre (a
    // tooltip shows only under the real cursor), and a click there through
    // SendInput, with the system's own hit testing. Whatever window is on top at
    // that point gets the click, so tests using these need the desktop to themselves.
    bool PointAt(int id) const;
    bool RealClick(int id) const;
    // Posts WM_COMMAND straight to the dialog: the way to reach a hidden command button.
    void PostCommand(int id, WORD code = BN_CLICKED) const;

    // Moves the keyboard focus the way the dialog manager does (WM_NEXTDLGCTL), as
    // Tab would: an edit gets all its text selected.
    void Focus(int id) const;
    // Id of the control with the keyboard focus in the dialog's thread, or 0.
    int FocusedId() const;
    // Focuses the control unless it has the focus already, then posts the key's
    // down and up messages to it. The
    // application's loop (IsDialogMessage, TranslateMessage) turns them into
    // commands or characters as with a real keyboard. `alt` sends the
    // WM_SYSKEY* form, so Alt+letter reaches the dialog's access keys.
    bool PressKey(int id, UINT vk, bool alt = false) const;

    void Close() const;          // posts WM_CLOSE
    void ClickCloseBox() const;  // posts WM_SYSCOMMAND SC_CLOSE, as the title bar does

    // A message whose parameters are plain values (no pointers), sent with the
    // timeout; e.g. PBM_GETPOS.
    LRESULT Send(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

  protected:
    HWND Control(int id) const;  // throws when missing
    HWND hwnd_ = nullptr;
};

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // visible standard buttons (IDOK ... IDCONTINUE), ascending
    bool hasIcon = false;      // some icon is shown; which one cannot be read from outside
};

// Reads a window as a system message box; nullopt when it is not one.
std::optional<MessageBoxInfo> ReadMessageBox(HWND hwnd);

// The application under test, in its own process, and its main dialog (visible
// top-level "#32770"; the one with WS_EX_APPWINDOW, else the first unowned one).
// The destructor kills a process that is still running.
class AppProcess : private Window {
  public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Starts the program with no arguments in `workDir` (its own folder when empty).
    bool Start(const std::string& exePath, const std::string& workDir = "");
    bool WaitForMainWindow(DWORD timeoutMs = 5000);
    bool IsRunning() const;
    // False on timeout; `exitCode` receives the code when the process has ended.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();  // exit code 0xDEAD, told apart from the program's own exits
    DWORD ProcessId() const { return pi_.dwProcessId; }

    const Window& Main() const { return *this; }
    using Window::Caption;
    using Window::Check;
    using Window::Click;
    using Window::ClickCloseBox;
    using Window::ClientRect;
    using Window::Close;
    using Window::Focus;
    using Window::FocusedId;
    using Window::Handle;
    using Window::IsEnabled;
    using Window::IsVisible;
    using Window::Item;
    using Window::MouseClick;
    using Window::MouseMove;
    using Window::PointAt;
    using Window::PostCommand;
    using Window::PressKey;
    using Window::RealClick;
    using Window::Send;
    using Window::SetText;
    using Window::Text;

    // Visible top-level windows of the process, topmost first.
    std::vector<HWND> TopLevelWindows() const;
    std::vector<MessageBoxInfo> MessageBoxes() const;
    int CountMessageBoxes() const { return static_cast<int>(MessageBoxes().size()); }
    // The first message box to appear within the timeout.
    std::optional<MessageBoxInfo> FindMessageBox(DWORD timeoutMs = 3000) const;
    // Presses one of the box's buttons (posted BM_CLICK). False when the box has
    // no such visible button.
    bool Answer(const MessageBoxInfo& box, int buttonId) const;
    // A visible dialog of the process other than the main window and message
    // boxes, with exactly this caption.
    std::optional<Window> FindDialog(const std::string& caption, DWORD timeoutMs = 3000) const;

  private:
    HWND FindMainWindow() const;

    PROCESS_INFORMATION pi_{};
};

}  // namespace kestrava::e2e
