// Drives a running Kestrava.exe from another process, the way a user's mouse and
// keyboard would: everything goes through window messages to the real windows.
// Narrow strings are code page 936 throughout.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/Files.h"

namespace kestrava::e2e {

using test::ReadTree;
using test::WriteBytes;

inline constexpr char kAppExeName[] = "Kestrava.exe";
inline constexpr char kConfigFileName[] = "Kestrava_Configuration.ini";

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

// A fresh empty folder under the temp directory, removed with its contents when
// the object goes. `name` (may be Chinese) ends the folder's name.
class TempDir {
  public:
    explicit TempDir(const std::string& name = "");

    const std::string& Path() const { return path_; }  // without a trailing backslash
    std::string operator/(const std::string& rel) const { return JoinPath(path_, rel); }

    // Throw DriverError on failure, so a broken set-up cannot pass as a result.
    void Write(const std::string& rel, const std::string& bytes) const;
    void MakeDir(const std::string& rel) const;

  private:
    test::ScratchFolder folder_;
    std::string path_;
};

// Copies the application (built next to this executable) into `toDir` as `asName`.
bool CopyApp(const std::string& toDir, const std::string& asName = kAppExeName);
// Writes a key of the configuration file's one section, as the application reads it.
bool WriteIni(const std::string& path, const std::string& key, const std::string& value);

// ---- Windows ------------------------------------------------------------------

// A dialog of the application seen from outside. Control ids are the dialog's
// direct children. Calls on a missing control throw DriverError.
class Window {
  public:
    HWND Handle() const { return hwnd_; }
    bool Exists() const;

    // WM_GETTEXT: GetWindowText cannot read another process's edit.
    std::string Text(int id) const;
    // WM_SETTEXT; an edit notifies its parent (EN_CHANGE) before this returns.
    void SetText(int id, const std::string& text) const;
    bool IsVisible(int id) const;
    bool IsEnabled(int id) const;
    int Check(int id) const;  // BM_GETCHECK
    // The control's rectangle in the dialog's client coordinates, in pixels.
    RECT ClientRect(int id) const;

    // Posts BM_CLICK. Refuses (false) what a user could not click: a hidden or
    // disabled control, or a dialog disabled behind a modal box. Posted because
    // the click may open a modal box and a send would wait for it to close.
    bool Click(int id) const;
    // Posts WM_COMMAND straight to the dialog: the way to reach a hidden command button.
    void PostCommand(int id) const;
    // Focuses the control unless it has the focus already, then posts the key's
    // down and up messages to it; the application's loop (IsDialogMessage,
    // TranslateMessage) turns them into commands or characters as with a real keyboard.
    bool PressKey(int id, UINT vk) const;

    void Close() const;          // posts WM_CLOSE
    void ClickCloseBox() const;  // posts WM_SYSCOMMAND SC_CLOSE, as the title bar does

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

// The application under test, in its own process, and its main dialog (visible
// top-level "#32770"; the one with WS_EX_APPWINDOW, else the first unowned one).
// The destructor kills a process that is still running.
class AppProcess : public Window {
  public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Starts the program with no arguments in `workDir`; again once the last run ended.
    bool Start(const std::string& exePath, const std::string& workDir);
    bool WaitForMainWindow(DWORD timeoutMs = 10000);
    bool IsRunning() const;
    // The exit code, or nothing when the process still runs after `timeoutMs`.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);

    std::vector<MessageBoxInfo> MessageBoxes() const;
    int CountMessageBoxes() const { return static_cast<int>(MessageBoxes().size()); }
    // The first message box to appear within the timeout.
    std::optional<MessageBoxInfo> FindMessageBox(DWORD timeoutMs) const;
    // Presses one of the box's buttons (posted BM_CLICK) and waits up to 3 s for the box
    // to go. False when the box has no such visible button or stays.
    bool Answer(const MessageBoxInfo& box, int buttonId) const;

  private:
    std::vector<HWND> TopLevelWindows() const;  // visible ones, topmost first
    HWND FindMainWindow() const;
    void Kill();

    PROCESS_INFORMATION pi_{};
};

using Settings = std::vector<std::pair<std::string, std::string>>;
// A copy made by hand: the completion box afterwards, and folders copied. Start-up takes
// the kind from the stored source, so that names a folder every Windows has.
inline const Settings kManualFolderCopy = {
    {"Install", "0"}, {"Document_option", "0"}, {"Source_path", "C:\\windows"}};

// Kestrava.exe copied into a fresh folder of its own with these settings in its
// configuration file, started there, its main window up. Throws DriverError when
// any of that fails.
struct LaunchedApp {
    explicit LaunchedApp(const std::string& name, const Settings& settings = {});

    TempDir dir;
    AppProcess app;  // after dir: the process ends before its folder goes
};

}  // namespace kestrava::e2e
