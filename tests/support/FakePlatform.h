#pragma once
// Records what the program asks of the platform and answers from a script.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/Platform.h"

namespace kestrava::test {

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class FakePlatform : public IPlatform {
  public:
    FakePlatform();
    ~FakePlatform() override;

    // Message boxes: answers are taken in order; IDOK when none is queued.
    std::vector<ShownBox> boxes;
    std::deque<int> answers;
    std::function<void(const ShownBox&)> onBox;

    // Process end: recorded; onTerminate lets a test end its dialog instead.
    std::vector<UINT> exitCodes;
    std::function<void(UINT)> onTerminate;

    std::vector<DWORD> sleeps;

    // Clock: real local time unless a test sets one.
    bool fakeClock = false;
    SYSTEMTIME now{};
    void AdvanceSeconds(int seconds);

    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void TerminateProcess(UINT exitCode) override;
    void Sleep(DWORD ms) override;
    SYSTEMTIME LocalTime() override;
    bool WaitForMessage(DWORD timeoutMs) override;
    // Empty: the test executable's own path.
    std::string moduleFileName;
    std::string ModuleFileName() override;
    PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOA* info) override;
    bool PathFromIdList(PCIDLIST_ABSOLUTE idList, std::string& path) override;
    bool GetOpenFileName(OPENFILENAMEA* info) override;
    HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                           const char* dir, int show) override;
    UINT WinExec(const char* commandLine, UINT show) override;
    bool RegQueryValue(HKEY root, const std::string& subKey, std::string& value) override;

    // Shell results a test may script.
    std::string browsedFolder;  // empty: the folder dialog is cancelled
    std::string openedFile;     // empty: the file dialog is cancelled
    std::vector<std::string> shellOpened;
    HINSTANCE shellResult = reinterpret_cast<HINSTANCE>(33);
    std::vector<std::string> executed;
    std::string registryValue;
    bool registryFound = false;

  private:
    IPlatform* m_previous;
};

// Dispatches the thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);
// Dispatches until done() or the time runs out; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

}  // namespace kestrava::test
