#include "support/Fixtures.h"

#include <commctrl.h>

#include <cstdlib>

#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava::test {

namespace {
void ResetSettings(const std::string& configPath) {
    for (std::string* s : {&g_strConfigPath, &g_strLinkConfigPath, &g_strSourcePath,
                           &g_strTargetPath, &g_strInstall, &g_strDeferred, &g_strTimeLapse,
                           &g_strDocumentOption, &g_strTargetRoot, &g_strTargetFolder}) {
        s->clear();
    }
    g_nAutoStartPending = g_nLinkMode = g_nCountdownTicks = 0;
    g_strConfigPath = configPath;
}

std::wstring Widen(const std::string& text, UINT codePage) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(::MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(),
                                      static_cast<int>(wide.size())) -
                1);
    return wide;
}
}  // namespace

FakePlatform::FakePlatform() {
    SetPlatform(this);
    ResetSettings(ConfigPath());
}

FakePlatform::~FakePlatform() {
    SetPlatform(nullptr);
    ResetSettings("");
}

int FakePlatform::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                             UINT type) {
    boxes.push_back({owner, text, caption, type});
    if (onBox) onBox(boxes.back());
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void SendCommand(HWND dialog, int id, UINT code) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return done();
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}

Recorder::Recorder(HWND window) : m_window(window) {
    ::SetPropA(window, "KestravaRecorder", this);
    m_previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

Recorder::~Recorder() {
    ::SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    ::RemovePropA(m_window, "KestravaRecorder");
}

LRESULT CALLBACK Recorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Recorder*>(::GetPropA(hwnd, "KestravaRecorder"));
    const auto previous = [&](UINT msg, WPARAM w, LPARAM l) {
        return ::CallWindowProcA(self->m_previous, hwnd, msg, w, l);
    };
    if (message == PBM_SETPOS) {
        if (self->onSetPos) self->onSetPos(self->positions.size());
        self->positions.push_back(static_cast<int>(wParam));
        const LRESULT result = previous(message, wParam, lParam);
        PBRANGE range{};
        previous(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        self->shown.push_back(
            {{range.iLow, range.iHigh}, static_cast<int>(previous(PBM_GETPOS, 0, 0))});
        return result;
    } else if (message == PBM_SETRANGE) {
        if (self->onSetRange) self->onSetRange();
        self->ranges.push_back(
            {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    } else if (message == WM_SETTEXT) {
        self->texts.push_back(reinterpret_cast<const char*>(lParam));
    }
    return ::CallWindowProcA(self->m_previous, hwnd, message, wParam, lParam);
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

int RunUnixShell(const std::string& command, DWORD timeoutMs) {
    // Wine starts a Unix program given by its Unix path, but hands back no handle to wait
    // on: the shell reports its exit status in a file that appears when it is done.
    const ScratchFolder folder;
    const std::string status = folder.Path() + "status";
    const std::string unixStatus = UnixPath(status);
    const std::string script = "(" + command + "); echo $? > '" + unixStatus + ".tmp'; mv '" +
                               unixStatus + ".tmp' '" + unixStatus + "'";
    std::wstring line = L"/bin/sh -c \"" + Widen(script, CP_UTF8) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (unixStatus.empty() || !::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                                                nullptr, nullptr, &startup, &process))
        return -1;
    if (process.hThread) ::CloseHandle(process.hThread);
    if (process.hProcess) ::CloseHandle(process.hProcess);
    for (const ULONGLONG end = ::GetTickCount64() + timeoutMs; !FileExists(status); ::Sleep(5)) {
        if (::GetTickCount64() > end) return -1;
    }
    return std::atoi(ReadBytes(status).c_str());
}

std::string UnixPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = convert ? convert(Widen(windowsPath, CP_ACP).c_str()) : nullptr;
    if (!unix) return {};
    std::string path = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return path;
}

void CopyTest::SetUp() {
    char directory[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(MAX_PATH, directory);
    m_savedDirectory = directory;
    WriteSetting(key::Install, "0");
    ASSERT_TRUE(dlg.Create());
    // Start-up took the empty stored source for a file.
    WriteSetting(key::DocumentOption, "0");
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    PumpMessages(20);
    bar = std::make_unique<Recorder>(dlg.m_progress.m_hWnd);
    status = std::make_unique<Recorder>(dlg.GetDlgItem(IDC_STATUS_TEXT));
    ResetBar({0, 100});
}

void CopyTest::TearDown() {
    bar.reset();
    status.reset();
    // A folder copy leaves the current directory inside its target.
    ::SetCurrentDirectoryA(m_savedDirectory.c_str());
}

void CopyTest::ResetBar(Recorder::Range range, int position) {
    dlg.m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(range.first, range.second));
    dlg.m_progress.SendMessage(PBM_SETPOS, position);
    bar->Clear();
}

}  // namespace kestrava::test
