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
    void AdvanceMs(int ms);

    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void TerminateProcess(UINT exitCode) override;
    void Sleep(DWORD ms) override;
    SYSTEMTIME LocalTime() override;
    bool WaitForMessage(DWORD timeoutMs) override;
    // Empty: the test executable's own path.
    std::string moduleFileName;
    std::string ModuleFileName() override;
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
    // Programs start, the registry holds nothing.
    HINSTANCE ShellExecute(HWND, const char*, const char*, const char*, const char*, int) override {
        return reinterpret_cast<HINSTANCE>(33);
    }
    UINT WinExec(const char*, UINT) override { return 33; }
    bool RegQueryValue(HKEY, const std::string&, std::string&) override { return false; }
    std::vector<UINT> beeps;
    void MessageBeep(UINT type) override { beeps.push_back(type); }

  private:
    IPlatform* m_previous;
};

// WM_COMMAND from the dialog's control, as a press of it sends it.
void SendCommand(HWND dialog, int id, UINT code = BN_CLICKED);
// Dispatches the thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);
// Dispatches until done() or the time runs out; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

}  // namespace kestrava::test
