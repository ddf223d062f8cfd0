#include "support/FakePlatform.h"

namespace kestrava::test {

FakePlatform::FakePlatform() : m_previous(SetPlatform(this)) {
    ::GetLocalTime(&now);
}

FakePlatform::~FakePlatform() {
    SetPlatform(m_previous == this ? nullptr : m_previous);
}

void FakePlatform::AdvanceMs(int ms) {
    FILETIME ft;
    ::SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER t{};
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart += static_cast<ULONGLONG>(ms) * 10000ULL;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    ::FileTimeToSystemTime(&ft, &now);
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

void FakePlatform::TerminateProcess(UINT exitCode) {
    exitCodes.push_back(exitCode);
    if (onTerminate) onTerminate(exitCode);
}

void FakePlatform::Sleep(DWORD ms) {
    sleeps.push_back(ms);
}

SYSTEMTIME FakePlatform::LocalTime() {
    if (fakeClock) return now;
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return st;
}

bool FakePlatform::WaitForMessage(DWORD timeoutMs) {
    return ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
           WAIT_OBJECT_0;
}

std::string FakePlatform::ModuleFileName() {
    if (!moduleFileName.empty()) return moduleFileName;
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void SendCommand(HWND dialog, int id, UINT code) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void PumpMessages(DWORD ms) {
    PumpUntil([] { return false; }, ms);
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

}  // namespace kestrava::test
