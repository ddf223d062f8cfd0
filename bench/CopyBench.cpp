// Side-by-side timings under Wine of one 256 MiB copy: TransferFile with the range a fresh
// window has, TransferFile right after a 1000-byte file (whose small range the counter soon
// passes), and CopyFileA followed by FlushFileBuffers, which sets the pace of the disk; then
// the per-file cost of a 200-file folder copy beyond its 500 ms pauses, which are counted,
// not waited. Usage: kestrava_bench.exe [rounds]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

constexpr size_t kFileSize = 256u << 20;
constexpr int kFolderFiles = 200;
constexpr size_t kFolderFileSize = 64u << 10;

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

// The system's own copy, its bytes then forced to the disk as the transfer's are.
void CopyAndFlush(const std::string& source, const std::string& target) {
    if (!::CopyFileA(source.c_str(), target.c_str(), FALSE)) std::abort();
    HANDLE out = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE || !::FlushFileBuffers(out)) std::abort();
    ::CloseHandle(out);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&init);
    BenchPlatform platform;
    kestrava::SetPlatform(&platform);

    ScratchFolder scratch;
    const std::string dir = scratch.Path();
    const std::string source = dir + "source.bin", small = dir + "small.bin";
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

    std::vector<double> transfer, afterSmall, copyFile;
    for (int round = 0; round < rounds; ++round) {
        ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        transfer.push_back(
            Seconds([&] { dlg.TransferFile(ToWide(source), ToWide(dir + "transfer.out")); }));
        // Leaves the range at 0 to 2.
        dlg.TransferFile(ToWide(small), ToWide(dir + "small.out"));
        afterSmall.push_back(
            Seconds([&] { dlg.TransferFile(ToWide(source), ToWide(dir + "after.out")); }));
        copyFile.push_back(Seconds([&] { CopyAndFlush(source, dir + "copyfile.out"); }));
    }
    const double t = Median(transfer), ts = Median(afterSmall), c = Median(copyFile);
    std::printf("256 MiB copy, median of %d rounds under Wine:\n", rounds);
    std::printf("  TransferFile                          %8.3f s\n", t);
    std::printf("  TransferFile after a 1000-byte file   %8.3f s\n", ts);
    std::printf("  CopyFileA + FlushFileBuffers          %8.3f s\n", c);
    std::printf("  TransferFile / CopyFileA + flush      %8.2fx\n", t / c);
    std::printf("  after a 1000-byte file / CopyFileA + flush %5.2fx\n", ts / c);

    // A folder of 200 files; the 500 ms pause before each is counted, not waited.
    const std::string folder = dir + "folder";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < kFolderFiles; ++i) {
        WriteBytes(folder + "\\file" + std::to_string(i) + ".bin",
                   PatternBytes(kFolderFileSize, i));
    }
    const std::string target = dir + "target";
    std::vector<double> folderCopy;
    for (int round = 0; round < rounds; ++round) {
        ::SetCurrentDirectoryA(dir.c_str());
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
    std::printf("%d-file folder copy (64 KiB each), median of %d rounds:\n", kFolderFiles, rounds);
    std::printf("  per file beyond its 500 ms pause      %8.1f ms\n", perFile * 1000);
    kestrava::SetPlatform(nullptr);
    return 0;
}
