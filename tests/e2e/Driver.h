// Drives a running Kestrava.exe from another process through window messages, as a
// user's mouse and keyboard would. Narrow strings are code page 936 throughout.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/Files.h"

namespace kestrava::e2e {

using namespace kestrava::test;

// A set-up the driver could not make, so that it cannot pass as a result.
struct DriverError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Polls every 20 ms until done() holds or the time is up; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // visible standard buttons, ascending
};

using Settings = std::vector<std::pair<std::string, std::string>>;
// A copy made by hand: the completion box afterwards, and folders copied. Start-up takes
// the kind from the stored source, so that names a folder every Windows has.
inline const Settings kManualFolderCopy = {
    {"Install", "0"}, {"Document_option", "0"}, {"Source_path", "C:\\windows"}};

// Kestrava.exe copied to <root>\<folder>\<exeName> with these settings in its own
// configuration file, started in workDir (else <root>), its main window up. The process
// is killed when the object goes.
class App {
  public:
    explicit App(const std::string& folder, const Settings& settings = {},
                 const std::string& exeName = "Kestrava.exe", const std::string& workDir = "");
    ~App();

    bool IsRunning() const;
    // The exit code, or nothing while the process still runs after timeoutMs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

    std::string Text(int id) const;
    void SetText(int id, const std::string& text) const;  // the edit notifies before this returns
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const;
    // Posted BM_CLICK; false for what a user could not click (a hidden control).
    bool Click(int id) const;
    // Focuses the control, then posts the key's down and up messages to it.
    bool PressKey(int id, UINT vk) const;
    // Posted, since what it starts may open a modal box.
    bool Post(UINT message, WPARAM wParam, LPARAM lParam = 0) const;

    std::vector<MessageBoxInfo> MessageBoxes() const;
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs) const;
    // Presses a visible button of the box and waits for the box to go.
    bool Answer(const MessageBoxInfo& box, int buttonId) const;

    ScratchFolder root;
    std::string exeDir;
    HWND window = nullptr;

  private:
    HWND Control(int id) const;
    std::vector<HWND> TopLevelWindows() const;
    PROCESS_INFORMATION m_process{};
};

}  // namespace kestrava::e2e
