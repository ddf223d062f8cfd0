// What happens once a copy has finished, and every way the program ends by itself.
#include <algorithm>
#include <cstdlib>

#include "app/KestravaDlg.h"
#include "framework/MbString.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
constexpr UINT_PTR kCountdownTimer = 1;
constexpr UINT kCountdownPeriodMs = 1000;

// The whole-second rule below ends the wait by then; a wall clock set back during the
// wait must not hold it for as long as the step.
constexpr ULONGLONG kLongestWaitMs = 2000;

constexpr LONGLONG kTicksPerMs = 10'000;
constexpr LONGLONG kTicksPerSecond = 1000 * kTicksPerMs;

// A local time reading in 100 ns units.
LONGLONG Ticks(const SYSTEMTIME& time) {
    FILETIME ft{};
    ::SystemTimeToFileTime(&time, &ft);
    ULARGE_INTEGER value{};
    value.LowPart = ft.dwLowDateTime;
    value.HighPart = ft.dwHighDateTime;
    return static_cast<LONGLONG>(value.QuadPart);
}
}  // namespace

void CKestravaDlg::RunAfterCopyAction() {
    // The file's current mode decides, so a mode switched during the run takes effect;
    // the countdown-or-question choice stays the one loaded at start-up.
    if (!IsNotZero(ReadSetting(key::Install))) {
        AfxMessageBox("复制完成", MB_OK);
        return;
    }
    if (!IsNotZero(g_strTimeLapse)) {
        WaitThenAskToExit();
        return;
    }
    SetDlgItemText(IDC_COUNTDOWN_TEXT, "");
    SetTimer(kCountdownTimer, kCountdownPeriodMs);
}

void CKestravaDlg::WaitPumpingMessages() {
    // The clock counts whole seconds: the wait ends once it shows more than one second
    // gone, which is after more than 1 and at most 2 seconds.
    const LONGLONG startSecond = Ticks(Platform().LocalTime()) / kTicksPerSecond;
    const ULONGLONG startedMs = ::GetTickCount64();
    for (;;) {
        const LONGLONG now = Ticks(Platform().LocalTime());
        const ULONGLONG elapsedMs = ::GetTickCount64() - startedMs;
        if (now / kTicksPerSecond - startSecond > 1 || elapsedMs >= kLongestWaitMs) return;
        // Waiting with a limit ends the wait on time even when no message ever comes, so
        // an unattended run with nobody at the machine does not stall here.
        const LONGLONG leftMs = ((startSecond + 2) * kTicksPerSecond - now) / kTicksPerMs + 1;
        const LONGLONG limitMs = static_cast<LONGLONG>(kLongestWaitMs - elapsedMs);
        if (!Platform().WaitForMessage(
                static_cast<DWORD>(std::clamp<LONGLONG>(leftMs, 1, limitMs))))
            continue;
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Straight to the window, without dialog keys: Enter and Esc do not end the
            // dialog in the middle of the wait.
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CKestravaDlg::WaitThenAskToExit() {
    WaitPumpingMessages();
    const int answer =
        MessageBox("复制成功,是否退出此程序？", "提示", MB_OKCANCEL | MB_ICONEXCLAMATION);
    // A box that could not be shown counts as consent.
    if (answer == IDCANCEL) return;
    ExitImmediately();
}

void CKestravaDlg::OnTimer(UINT_PTR) {
    // strtol rather than atoi: the same value for every number, and no undefined result
    // for a hand-edited number out of range.
    const int total = static_cast<int>(std::strtol(g_strDeferred.c_str(), nullptr, 10));
    const int count = g_nCountdownTicks;
    if (count >= total) {
        g_nCountdownTicks = 0;
        KillTimer(kCountdownTimer);
        ExitImmediately();
        return;
    }
    g_nCountdownTicks = count + 1;
    SetDlgItemText(IDC_COUNTDOWN_TEXT, mbs::Format("离关闭程序还有%d秒", total - count - 1));
    UpdateData(false);
    Default();
}

void CKestravaDlg::ExitImmediately() {
    KillTimer(kCountdownTimer);
    // Every setting was written when it changed, so ending here loses nothing.
    Platform().TerminateProcess(0);
}

// The close box ends the process like the Close button, never through the cancel route.
void CKestravaDlg::OnClose() {
    ExitImmediately();
}

}  // namespace kestrava
