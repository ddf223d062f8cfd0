#pragma once
// Helpers for the copy engine's tests: recorders in front of the progress bar and the
// status line, and Unix-side changes to a file that the program holds open without sharing.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "support/FakePlatform.h"
#include "support/SettingsScope.h"

namespace kestrava::test {

// Sits in front of a window's procedure for as long as it lives; Handle sees each message
// first and passes it on with CallPrevious.
class WindowHook {
  public:
    explicit WindowHook(HWND window);
    virtual ~WindowHook();
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;

  protected:
    virtual LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT CallPrevious(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window;
    WNDPROC m_previous;
};

// Records the progress messages a bar is sent.
class ProgressRecorder : public WindowHook {
  public:
    using WindowHook::WindowHook;

    struct Range {
        int low;
        int high;
        bool operator==(const Range&) const = default;
    };

    // PBM_SETPOS positions and PBM_SETRANGE ranges, in the order sent.
    std::vector<int> positions;
    std::vector<Range> ranges;
    // The range and the position the bar held just after each PBM_SETPOS.
    std::vector<Range> rangeAtSetPos;
    std::vector<int> shownAfterSetPos;
    // Run as each PBM_SETPOS (index counting from 0) or PBM_SETRANGE arrives, before the
    // bar handles it.
    std::function<void(size_t index)> onSetPos;
    std::function<void()> onSetRange;

    void Clear();

  private:
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Records the texts a window is given (WM_SETTEXT), such as each status line.
class TextRecorder : public WindowHook {
  public:
    using WindowHook::WindowHook;
    std::vector<std::string> texts;

  private:
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT)
            texts.push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
        return CallPrevious(hwnd, message, wParam, lParam);
    }
};

// The window's client area as WM_PRINTCLIENT draws it: 32-bit pixels, row by row.
std::string RenderClient(HWND hwnd);

// Runs a command with /bin/sh outside Wine's file sharing and waits for it; returns its
// exit code, or -1 when it could not be started.
int RunUnixShell(const std::string& command);
// The Unix path Wine maps a Windows path to; empty when there is none.
std::string UnixPath(const std::string& windowsPath);

// Opens a file with no sharing for as long as the object lives.
class HeldOpenFile {
  public:
    explicit HeldOpenFile(const std::string& path);
    ~HeldOpenFile();
    HeldOpenFile(const HeldOpenFile&) = delete;
    HeldOpenFile& operator=(const HeldOpenFile&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE m_handle;
};

// True when nobody else has the file open: an open without sharing succeeds.
bool CanOpenExclusively(const std::string& path);

// The main window in manual mode with its own configuration file and its status line
// recorded.
class CopyCommandTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void SetPaths(const std::string& source, const std::string& target);
    // Texts of the message boxes shown so far.
    std::vector<std::string> BoxTexts() const;

    FakePlatform platform;
    SettingsScope scope{platform};
    ScratchFolder files;
    CKestravaDlg dlg;
    std::unique_ptr<TextRecorder> status;

  private:
    std::string m_savedDirectory;
};

}  // namespace kestrava::test
