#pragma once
// The platform double every in-process test installs, the copy commands' fixture, and
// recorders that sit in front of a window's procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "framework/Platform.h"
#include "support/Files.h"

namespace kestrava::test {

struct ShownBox {
    HWND owner;
    std::string text, caption;
    UINT type;
};

// Records what the program asks of the platform and answers from a script; waiting for
// input stays real. The running "executable" lies in a scratch folder
// of its own, so each test has its own configuration file, and the settings' globals start
// empty.
class FakePlatform : public Win32Platform {
  public:
    FakePlatform();
    ~FakePlatform() override;
    std::string ConfigPath() const { return folder.Path() + "Kestrava_Configuration.ini"; }

    ScratchFolder folder;
    std::vector<ShownBox> boxes;
    std::deque<int> answers;  // taken in order; IDOK when none is left
    std::function<void(const ShownBox&)> onBox;
    std::vector<UINT> exitCodes;
    std::function<void(UINT)> onTerminate;
    std::vector<DWORD> sleeps;
    bool fakeClock = false;                      // else the real local time
    SYSTEMTIME now{2026, 1, 4, 1, 12, 0, 0, 0};  // a test steps it by whole seconds

    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void TerminateProcess(UINT exitCode) override {
        exitCodes.push_back(exitCode);
        if (onTerminate) onTerminate(exitCode);
    }
    void Sleep(DWORD ms) override { sleeps.push_back(ms); }
    SYSTEMTIME LocalTime() override { return fakeClock ? now : Win32Platform::LocalTime(); }
    std::string ModuleFileName() override { return folder.Path() + "Kestrava.exe"; }
    // Dialogs: the answer each gives (nullptr cancels, a folder "" is an item without a
    // path), the arguments of the last call (lpstrFile as fileName), and item lists not freed.
    const char* folderAnswer = nullptr;
    const char* fileAnswer = nullptr;
    BROWSEINFOA folderDialog{};
    OPENFILENAMEA fileDialog{};
    std::string fileName;
    int liveIdLists = 0;
    ITEMIDLIST item{};  // the one the folder dialog hands out
    PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOA* info) override {
        folderDialog = *info;
        liveIdLists += folderAnswer != nullptr;
        return folderAnswer ? &item : nullptr;
    }
    bool PathFromIdList(PCIDLIST_ABSOLUTE, std::string& path) override {
        path = folderAnswer;
        return !path.empty();
    }
    void FreeIdList(PIDLIST_ABSOLUTE) override { --liveIdLists; }
    bool GetOpenFileName(OPENFILENAMEA* info) override {
        fileDialog = *info;
        fileName = info->lpstrFile;
        if (fileAnswer) ::lstrcpyA(info->lpstrFile, fileAnswer);
        return fileAnswer != nullptr;
    }
    // The shell: what a link asks of it, logged, and the answers (htmlfile's open command is
    // none when empty). Nothing outside the test is opened.
    int shell = 33, exec = 33;
    std::string command, log;
    HINSTANCE ShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int show) override {
        log += std::string(verb) + " " + file + " " + std::to_string(show) + "|";
        return reinterpret_cast<HINSTANCE>(INT_PTR(shell));
    }
    UINT WinExec(LPCSTR line, UINT) override { return log.append(line) += "|", UINT(exec); }
    void MessageBeep(UINT type) override { log += "beep " + std::to_string(type) + "|"; }
    bool RegQueryValue(HKEY root, const std::string& key, std::string& value) override {
        value = key == ".htm" ? "htmlfile" : key == "htmlfile\\shell\\open\\command" ? command : "";
        return root == HKEY_CLASSES_ROOT && !value.empty();
    }
    // Unless negative, the file index every file reports, as some shares give.
    LONG fileIndex = -1;
    bool FileIdentity(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) override {
        if (!Win32Platform::FileIdentity(file, info)) return false;
        if (fileIndex >= 0) info.nFileIndexHigh = 0, info.nFileIndexLow = DWORD(fileIndex);
        return true;
    }
};

// WM_COMMAND from the dialog's control, as a press of it sends it.
void SendCommand(HWND dialog, int id, UINT code = BN_CLICKED);
// Dispatches the thread's messages until done() or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
inline void PumpMessages(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Sits in front of a window's procedure for as long as it lives and records the
// progress messages and the texts (WM_SETTEXT) the window is sent.
class Recorder {
  public:
    explicit Recorder(HWND window);
    ~Recorder();
    using Range = std::pair<int, int>;  // low, high
    std::vector<int> positions;         // PBM_SETPOS, in the order sent
    std::vector<Range> ranges;          // PBM_SETRANGE
    std::vector<std::string> texts;
    // The range and the position the bar held just after each PBM_SETPOS.
    std::vector<std::pair<Range, int>> shown;
    // Run as each PBM_SETPOS (index counting from 0) or PBM_SETRANGE arrives, before the
    // bar handles it.
    std::function<void(size_t index)> onSetPos;
    std::function<void()> onSetRange;
    void Clear() { positions.clear(), ranges.clear(), shown.clear(); }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window;
    WNDPROC m_previous;
};

// The window's client area as WM_PRINTCLIENT draws it: 32-bit pixels, row by row.
std::string RenderClient(HWND hwnd);

// Runs a command with /bin/sh, outside Wine's file sharing; returns its exit code or -1.
int RunUnixShell(const std::string& command, DWORD timeoutMs = 30000);
std::string UnixPath(const std::string& windowsPath);  // empty when there is none

// The main window shown in manual mode (folder copy, completion box), its own files,
// the bar's messages and the status line recorded.
class CopyTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The bar as start-up leaves it, then nothing recorded.
    void ResetBar(Recorder::Range range, int position = 0);

    FakePlatform platform;
    ScratchFolder files;
    CKestravaDlg dlg;
    std::unique_ptr<Recorder> bar;
    std::unique_ptr<Recorder> status;

  private:
    std::string m_savedDirectory;
};

}  // namespace kestrava::test
