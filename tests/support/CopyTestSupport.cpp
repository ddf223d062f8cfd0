#include "support/CopyTestSupport.h"

#include <commctrl.h>

#include <cstdlib>

#include "settings/ConfigFile.h"

namespace kestrava::test {

namespace {
constexpr const char* kHookProp = "KestravaWindowHook";

std::wstring Widen(const std::string& text, UINT codePage) {
    const int length = ::MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

}  // namespace

WindowHook::WindowHook(HWND window) : m_window(window) {
    ::SetPropA(window, kHookProp, this);
    m_previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

WindowHook::~WindowHook() {
    ::SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    ::RemovePropA(m_window, kHookProp);
}

LRESULT CALLBACK WindowHook::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<WindowHook*>(::GetPropA(hwnd, kHookProp))
        ->Handle(hwnd, message, wParam, lParam);
}

LRESULT WindowHook::CallPrevious(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::CallWindowProcA(m_previous, hwnd, message, wParam, lParam);
}

void ProgressRecorder::Clear() {
    positions.clear();
    ranges.clear();
    rangeAtSetPos.clear();
    shownAfterSetPos.clear();
}

LRESULT ProgressRecorder::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PBM_SETPOS) {
        if (onSetPos) onSetPos(positions.size());
        positions.push_back(static_cast<int>(wParam));
        const LRESULT result = CallPrevious(hwnd, message, wParam, lParam);
        PBRANGE range{};
        CallPrevious(hwnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        rangeAtSetPos.push_back({range.iLow, range.iHigh});
        shownAfterSetPos.push_back(static_cast<int>(CallPrevious(hwnd, PBM_GETPOS, 0, 0)));
        return result;
    }
    if (message == PBM_SETRANGE) {
        if (onSetRange) onSetRange();
        ranges.push_back({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    }
    return CallPrevious(hwnd, message, wParam, lParam);
}

std::string RenderClient(HWND hwnd) {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string pixels;
    if (bitmap) {
        HGDIOBJ previous = ::SelectObject(dc, bitmap);
        ::SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        ::GdiFlush();
        pixels.assign(static_cast<const char*>(bits),
                      static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom) * 4);
        ::SelectObject(dc, previous);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(dc);
    return pixels;
}

int RunUnixShell(const std::string& command) {
    // Wine starts a Unix program given by its Unix path, but hands back no handle to wait
    // on: the shell reports its exit status in a file that appears when it is done.
    const ScratchFolder folder;
    const std::string status = folder.Path() + "status";
    const std::string unixStatus = UnixPath(status);
    if (unixStatus.empty()) return -1;
    const std::string script = "(" + command + "); echo $? > '" + unixStatus + ".tmp'; mv '" +
                               unixStatus + ".tmp' '" + unixStatus + "'";
    std::wstring line = L"/bin/sh -c \"" + Widen(script, CP_UTF8) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return -1;
    }
    if (process.hThread) ::CloseHandle(process.hThread);
    if (process.hProcess) ::CloseHandle(process.hProcess);
    const ULONGLONG deadline = ::GetTickCount64() + 30000;
    while (!FileExists(status)) {
        if (::GetTickCount64() > deadline) return -1;
        ::Sleep(5);
    }
    return std::atoi(ReadBytes(status).c_str());
}

std::string UnixPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(Widen(windowsPath, CP_ACP).c_str());
    if (!unix) return {};
    std::string path = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return path;
}

HeldOpenFile::HeldOpenFile(const std::string& path)
    : m_handle(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {}

HeldOpenFile::~HeldOpenFile() {
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
}

bool CanOpenExclusively(const std::string& path) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(handle);
    return true;
}

void CopyCommandTest::SetUp() {
    char directory[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(MAX_PATH, directory);
    m_savedDirectory = directory;
    WriteSetting(key::Install, "0");
    ASSERT_TRUE(dlg.Create());
    // Start-up took the empty stored source for a file.
    WriteSetting(key::DocumentOption, "0");
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    status = std::make_unique<TextRecorder>(dlg.GetDlgItem(IDC_STATUS_TEXT));
    platform.boxes.clear();
}

void CopyCommandTest::TearDown() {
    status.reset();
    // A folder copy leaves the current directory inside its target.
    ::SetCurrentDirectoryA(m_savedDirectory.c_str());
}

void CopyCommandTest::SetPaths(const std::string& source, const std::string& target) {
    dlg.SetDlgItemText(IDC_SOURCE_PATH, source);
    dlg.SetDlgItemText(IDC_TARGET_PATH, target);
}

std::vector<std::string> CopyCommandTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : platform.boxes) texts.push_back(box.text);
    return texts;
}

}  // namespace kestrava::test
