#include "framework/Platform.h"

#include <cstring>

namespace kestrava {

int Win32Platform::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                              UINT type) {
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

void Win32Platform::TerminateProcess(UINT exitCode) {
    ::TerminateProcess(::GetCurrentProcess(), exitCode);
}

void Win32Platform::Sleep(DWORD ms) {
    ::Sleep(ms);
}

SYSTEMTIME Win32Platform::LocalTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return st;
}

bool Win32Platform::WaitForMessage(DWORD timeoutMs) {
    return ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
           WAIT_OBJECT_0;
}

std::string Win32Platform::ModuleFileName() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

PIDLIST_ABSOLUTE Win32Platform::BrowseForFolder(BROWSEINFOA* info) {
    return ::SHBrowseForFolderA(info);
}

bool Win32Platform::PathFromIdList(PCIDLIST_ABSOLUTE idList, std::string& path) {
    char buffer[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListA(idList, buffer) != FALSE;
    path = buffer;
    return ok;
}

void Win32Platform::FreeIdList(PIDLIST_ABSOLUTE idList) {
    ::CoTaskMemFree(idList);
}

bool Win32Platform::GetOpenFileName(OPENFILENAMEA* info) {
    return ::GetOpenFileNameA(info) != FALSE;
}

HINSTANCE Win32Platform::ShellExecute(HWND owner, const char* verb, const char* file,
                                      const char* params, const char* dir, int show) {
    return ::ShellExecuteA(owner, verb, file, params, dir, show);
}

UINT Win32Platform::WinExec(const char* commandLine, UINT show) {
    return ::WinExec(commandLine, show);
}

bool Win32Platform::RegQueryValue(HKEY root, const std::string& subKey, std::string& value) {
    value.clear();
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[MAX_PATH] = {};
    LONG size = sizeof(buffer);
    // A value that does not fit may leave the buffer unterminated: take only a read one.
    if (::RegQueryValueA(key, nullptr, buffer, &size) == ERROR_SUCCESS)
        value.assign(buffer, ::strnlen(buffer, sizeof(buffer)));
    ::RegCloseKey(key);
    return true;
}

void Win32Platform::MessageBeep(UINT type) {
    ::MessageBeep(type);
}

bool Win32Platform::FileIdentity(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileInformationByHandle(file, &info) != FALSE;
}

namespace {
Win32Platform g_realPlatform;
IPlatform* g_platform = &g_realPlatform;
}  // namespace

IPlatform& Platform() {
    return *g_platform;
}

IPlatform* SetPlatform(IPlatform* platform) {
    IPlatform* previous = g_platform;
    g_platform = platform ? platform : &g_realPlatform;
    return previous;
}

}  // namespace kestrava
