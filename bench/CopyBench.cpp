// Side-by-side timings of one 64 MiB copy under Wine: TransferFile with the range a fresh
// window has and right after a 1000-byte file (whose small range the counter soon passes),
// a bare loop of 512-byte ReadFile/WriteFile with a PBM_SETPOS per chunk, and CopyFileA;
// then the per-file cost of a 20-file folder copy beyond its 500 ms pauses, which are
// skipped. Usage: kestrava_bench.exe [rounds] [--old-pattern]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/KestravaDlg.h"
#include "framework/Platform.h"
#include "framework/WidePath.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/Files.h"

namespace {

using kestrava::CKestravaDlg;
using kestrava::ToWide;
using namespace kestrava::test;

constexpr size_t kFileSize = 64u << 20;
constexpr DWORD kChunk = 512;
constexpr int kFolderFiles = 20;
constexpr size_t kFolderFileSize = 64u << 10;
// The old way after a small file costs up to a millisecond a chunk: timed on less.
constexpr size_t kOldAfterSmallSize = 4u << 20;

// The real platform, except that pauses are counted, not waited, and boxes answer OK.
class BenchPlatform : public kestrava::Win32Platform {
  public:
    int MessageBox(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
    void Sleep(DWORD ms) override { pausedMs += ms; }
    DWORD pausedMs = 0;
};

double Seconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

enum class Invalidate {
    never,
    everyChunk,
    // As the transfer did before it skipped positions the bar clamps to the one it shows.
    whenAskedForAnother,
};

// The fixed pattern without its invalidations, or with them as they once were.
void BareLoop(const std::string& source, const std::string& target, HWND bar, bool flush,
              Invalidate invalidate) {
    HANDLE in = ::CreateFileA(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE out = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE) std::abort();
    LARGE_INTEGER size{};
    ::GetFileSizeEx(in, &size);
    const LONGLONG chunks = (size.QuadPart + kChunk - 1) / kChunk;
    char buffer[kChunk];
    DWORD read = 0;
    LONGLONG chunk = 0;
    do {
        if (!::ReadFile(in, buffer, kChunk, &read, nullptr)) std::abort();
        const auto position = static_cast<WPARAM>(++chunk * 100 / chunks);
        const auto previous = static_cast<WPARAM>(::SendMessageA(bar, PBM_SETPOS, position, 0));
        if (invalidate == Invalidate::everyChunk ||
            (invalidate == Invalidate::whenAskedForAnother && previous != position)) {
            ::InvalidateRect(bar, nullptr, TRUE);
        }
        DWORD written = 0;
        if (read && !::WriteFile(out, buffer, read, &written, nullptr)) std::abort();
    } while (read == kChunk);
    if (flush) ::FlushFileBuffers(out);
    ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessageA(bar, PBM_SETPOS, 0, 0);
    ::CloseHandle(in);
    ::CloseHandle(out);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    bool oldPattern = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--old-pattern") == 0) {
            oldPattern = true;
        } else {
            rounds = std::max(1, std::atoi(argv[i]));
        }
    }
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&init);
    BenchPlatform platform;
    kestrava::SetPlatform(&platform);

    ScratchFolder scratch;
    const std::string dir = scratch.Path();
    const std::string source = dir + "source.bin";
    const std::string small = dir + "small.bin";
    if (!WriteBytes(source, PatternBytes(kFileSize)) || !WriteBytes(small, PatternBytes(1000))) {
        std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
        return 1;
    }
    kestrava::g_strConfigPath = dir + kestrava::kConfigFileName;
    kestrava::WriteSetting(kestrava::key::Install, "0");

    CKestravaDlg dlg;
    if (!dlg.Create()) return 1;
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    ::UpdateWindow(dlg.m_hWnd);
    HWND bar = dlg.m_progress.m_hWnd;

    std::vector<double> transfer, afterSmall, bare, bareFlush, copyFile;
    for (int round = 0; round < rounds; ++round) {
        ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        transfer.push_back(Seconds([&] { dlg.TransferFile(ToWide(source), ToWide(dir + "transfer.out")); }));
        // Leaves the range at 0 to 2.
        dlg.TransferFile(ToWide(small), ToWide(dir + "small.out"));
        afterSmall.push_back(Seconds([&] { dlg.TransferFile(ToWide(source), ToWide(dir + "after.out")); }));
        bare.push_back(
            Seconds([&] { BareLoop(source, dir + "bare.out", bar, false, Invalidate::never); }));
        bareFlush.push_back(
            Seconds([&] { BareLoop(source, dir + "flush.out", bar, true, Invalidate::never); }));
        copyFile.push_back(
            Seconds([&] { ::CopyFileA(source.c_str(), (dir + "copyfile.out").c_str(), FALSE); }));
    }
    const double t = Median(transfer), ts = Median(afterSmall), b = Median(bare),
                 bf = Median(bareFlush), c = Median(copyFile);
    std::printf("64 MiB copy, median of %d rounds under Wine:\n", rounds);
    std::printf("  TransferFile                          %8.3f s\n", t);
    std::printf("  TransferFile after a 1000-byte file   %8.3f s\n", ts);
    std::printf("  bare 512-byte loop + PBM_SETPOS       %8.3f s\n", b);
    std::printf("  bare loop + FlushFileBuffers          %8.3f s\n", bf);
    std::printf("  CopyFileA                             %8.3f s\n", c);
    if (oldPattern) {
        const double old =
            Seconds([&] { BareLoop(source, dir + "old.out", bar, false, Invalidate::everyChunk); });
        std::printf("  bare loop + InvalidateRect per chunk  %8.3f s (one run)\n", old);
        const std::string part = dir + "part.bin";
        WriteBytes(part, PatternBytes(kOldAfterSmallSize));
        ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 2));
        const double oldSmall = Seconds(
            [&] { BareLoop(part, dir + "old.out", bar, false, Invalidate::whenAskedForAnother); });
        std::printf(
            "  bare loop as the transfer was, after a 1000-byte file, %zu MiB: %.3f s"
            " (one run; %.1f s for 64 MiB)\n",
            kOldAfterSmallSize >> 20, oldSmall,
            oldSmall * static_cast<double>(kFileSize / kOldAfterSmallSize));
    }
    std::printf("  after a 1000-byte file / fresh        %8.2fx\n", ts / t);
    std::printf("  TransferFile / bare loop              %8.2fx\n", t / b);
    std::printf("  TransferFile / bare loop + flush      %8.2fx\n", t / bf);
    std::printf("  TransferFile / CopyFileA              %8.2fx\n", t / c);

    // A folder of 20 files; the 500 ms pause before each is counted, not waited.
    const std::string folder = dir + "folder";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < kFolderFiles; ++i) {
        WriteBytes(folder + "\\file" + std::to_string(i) + ".bin",
                   PatternBytes(kFolderFileSize, i));
    }
    const std::string target = dir + "target";
    std::vector<double> folderCopy;
    for (int round = 0; round < rounds; ++round) {
        RemoveTree(target);
        ::CreateDirectoryA(target.c_str(), nullptr);
        dlg.SetDlgItemText(IDC_SOURCE_PATH, folder);
        dlg.SetDlgItemText(IDC_TARGET_PATH, target + "\\" + kestrava::PLACEHOLDER_NAME);
        platform.pausedMs = 0;
        folderCopy.push_back(Seconds([&] { dlg.OnFolderCopy(); }));
        if (platform.pausedMs != 500u * kFolderFiles) {
            std::fprintf(stderr, "expected %d pauses of 500 ms, got %lu ms\n", kFolderFiles,
                         platform.pausedMs);
            return 1;
        }
    }
    // The folder copy leaves the current directory inside the scratch folder.
    ::SetCurrentDirectoryA((dir + "..").c_str());
    const double perFile = Median(folderCopy) / kFolderFiles;
    std::printf("20-file folder copy (64 KiB each), median of %d rounds:\n", rounds);
    std::printf("  per file beyond its 500 ms pause      %8.1f ms\n", perFile * 1000);
    kestrava::SetPlatform(nullptr);
    return 0;
}
