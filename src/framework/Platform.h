#pragma once
// Platform services that tests replace: anything that blocks on a person, ends the
// process, depends on wall-clock time or reaches outside the program.
#include <windows.h>
#include <shlobj.h>
#include <commdlg.h>

#include <string>

namespace kestrava {

class IPlatform {
  public:
    virtual ~IPlatform() = default;

    virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;
    // Ends the process; a test double records the code instead.
    virtual void TerminateProcess(UINT exitCode) = 0;
    virtual void Sleep(DWORD ms) = 0;
    virtual SYSTEMTIME LocalTime() = 0;
    // Waits for input in the thread's queue, at most timeoutMs; true when some arrived.
    virtual bool WaitForMessage(DWORD timeoutMs) = 0;
    // Full path of the running executable.
    virtual std::string ModuleFileName() = 0;

    virtual PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOA* info) = 0;
    virtual bool PathFromIdList(PCIDLIST_ABSOLUTE idList, std::string& path) = 0;
    // Frees an item list that BrowseForFolder returned.
    virtual void FreeIdList(PIDLIST_ABSOLUTE idList) = 0;
    virtual bool GetOpenFileName(OPENFILENAMEA* info) = 0;
    virtual HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file,
                                   const char* params, const char* dir, int show) = 0;
    virtual UINT WinExec(const char* commandLine, UINT show) = 0;
    // Default value of a key below root; false when the key does not open. A value that
    // cannot be read comes back empty.
    virtual bool RegQueryValue(HKEY root, const std::string& subKey, std::string& value) = 0;
    virtual void MessageBeep(UINT type) = 0;
    // Volume serial and file index of an open file or folder. Some shares give a zero or
    // repeated index.
    virtual bool FileIdentity(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) = 0;
};

// The real services.
class Win32Platform : public IPlatform {
  public:
    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void TerminateProcess(UINT exitCode) override;
    void Sleep(DWORD ms) override;
    SYSTEMTIME LocalTime() override;
    bool WaitForMessage(DWORD timeoutMs) override;
    std::string ModuleFileName() override;
    PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOA* info) override;
    bool PathFromIdList(PCIDLIST_ABSOLUTE idList, std::string& path) override;
    void FreeIdList(PIDLIST_ABSOLUTE idList) override;
    bool GetOpenFileName(OPENFILENAMEA* info) override;
    HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                           const char* dir, int show) override;
    UINT WinExec(const char* commandLine, UINT show) override;
    bool RegQueryValue(HKEY root, const std::string& subKey, std::string& value) override;
    void MessageBeep(UINT type) override;
    bool FileIdentity(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) override;
};

IPlatform& Platform();
// Installs a replacement and returns the previous one; nullptr restores the real one.
IPlatform* SetPlatform(IPlatform* platform);

}  // namespace kestrava
