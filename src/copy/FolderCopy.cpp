// The Copy command and the folder copy: the source folder is recreated, with everything
// below it, as a folder of the same name inside the target directory.
#include <memory>

#include "app/KestravaDlg.h"
#include "copy/CopyPaths.h"
#include "framework/File.h"
#include "framework/FileFind.h"
#include "framework/Platform.h"
#include "framework/WidePath.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
// Long enough to read each file name in the status line as it goes by.
constexpr DWORD kPauseBeforeFileMs = 500;
constexpr const char* kLevelDoneText = "文件夹复制成功......";
// The longest current directory a program that is not long-path aware may set: MAX_PATH
// less the trailing backslash the system adds and the terminator.
constexpr size_t kMaxCurrentDirectory = MAX_PATH - 2;

// Creates the folder one level deep, or finds it, and makes it the current directory. A
// folder that neither exists nor can be made stops the copy: left to the first file
// copied into it, an empty one would go missing unreported. Past the current directory's
// limit the folder is not entered; the walk uses whole paths only.
void EnsureFolder(const std::wstring& folder) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            CFileException::ThrowOsError(static_cast<LONG>(error), folder);
    }
    const std::wstring plain = DisplayPath(folder);
    if (plain.size() <= kMaxCurrentDirectory) ::SetCurrentDirectoryW(plain.c_str());
}

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OpenFolder(const std::wstring& path) {
    HANDLE opened = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return UniqueHandle(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
}

// The path the file system resolves an open folder to, links and spelling undone; empty
// when it cannot tell.
std::wstring FinalPath(HANDLE folder) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(folder, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0) return {};
        const bool fits = length < path.size();
        path.resize(length);
        if (fits) return path;
    }
    return {};
}

// The same folder under any spelling, case or link. Two folders never share a volume and
// file index, but some network and FUSE shares give every folder a zero or the same one: a
// match counts only when the final paths agree as well.
bool IsSameFolder(const std::wstring& a, const std::wstring& b) {
    const UniqueHandle folderA = OpenFolder(a);
    const UniqueHandle folderB = OpenFolder(b);
    if (!folderA || !folderB) return false;
    BY_HANDLE_FILE_INFORMATION infoA{};
    BY_HANDLE_FILE_INFORMATION infoB{};
    const bool identified = Platform().FileIdentity(folderA.get(), infoA) &&
                            Platform().FileIdentity(folderB.get(), infoB);
    if (identified && (infoA.dwVolumeSerialNumber != infoB.dwVolumeSerialNumber ||
                       infoA.nFileIndexHigh != infoB.nFileIndexHigh ||
                       infoA.nFileIndexLow != infoB.nFileIndexLow)) {
        return false;
    }
    const std::wstring finalA = FinalPath(folderA.get());
    const std::wstring finalB = FinalPath(folderB.get());
    if (finalA.empty() || finalB.empty()) return identified;
    return finalA == finalB;
}
}  // namespace

void CKestravaDlg::OnCopy() {
    // Read at every press: the stored kind may have changed since start-up.
    if (IsExactlyOne(ReadSetting(key::DocumentOption))) {
        OnCopySingleFile();
    } else {
        OnFolderCopy();
    }
}

void CKestravaDlg::OnFolderCopy() {
    m_strSourceFile = GetDlgItemText(IDC_SOURCE_PATH);
    m_strTargetFile = GetDlgItemText(IDC_TARGET_PATH);
    m_strSourceCopy = m_strSourceFile;
    BeginCopyLog(true);
    if (m_strSourceFile.empty() || m_strTargetFile.empty()) {
        EndCopyLog(CopyOutcome::NothingCopied);
        return;
    }

    // Both ends are fixed as full paths before the walk changes the current directory,
    // so a relative text means the same folder from the first file to the last.
    const std::wstring source = ExtendedPath(m_strSourceFile);
    g_strTargetRoot = DirectoryPart(m_strTargetFile);
    g_strTargetFolder = g_strTargetRoot + SourceFolderName(ToAnsi(DisplayPath(source)));
    m_strTargetFolderPath = ExtendedPath(g_strTargetFolder.empty() ? "." : g_strTargetFolder);

    // The walk's first level makes sure the target folder exists, once the source is
    // known to be a folder it can list.
    try {
        CopyFolderTree(source, m_strTargetFolderPath);
    } catch (...) {
        EndCopyLog(CopyOutcome::Failed);
        throw;
    }
    EndCopyLog(CopyOutcome::Done);
    RunAfterCopyAction();
    g_strTargetRoot.clear();
    g_strTargetFolder.clear();
    m_strTargetFolderPath.clear();
}

void CKestravaDlg::CopyFolderTree(std::wstring sourceDir, std::wstring targetDir) {
    CFileFind finder;
    const bool found = finder.FindFile(sourceDir);
    const DWORD error = found ? NO_ERROR : ::GetLastError();
    // Only an empty drive root lists nothing at all. Any other folder that cannot be
    // listed (missing, a file, no access) fails like a file that cannot be read, instead
    // of a copy reported complete without it.
    if (!found && error != ERROR_FILE_NOT_FOUND) {
        CFileException::ThrowOsError(static_cast<LONG>(error), sourceDir);
    }
    EnsureFolder(targetDir);
    if (found) {
        bool more = true;
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDots()) continue;
            // Each name goes from the listing to the target as the file system gave it.
            const std::wstring path = finder.GetFilePath();
            const std::wstring target = JoinPath(targetDir, finder.GetFileName());
            if (finder.IsDirectory()) {
                // A target inside the source would be copied into itself level by level.
                if (!IsSameFolder(path, m_strTargetFolderPath)) CopyFolderTree(path, target);
                continue;
            }
            SetDlgItemText(IDC_STATUS_TEXT, ToAnsi(DisplayPath(path)));
            Platform().Sleep(kPauseBeforeFileMs);
            TransferFile(path, target);
        }
    }
    finder.Close();
    SetDlgItemText(IDC_STATUS_TEXT, kLevelDoneText);
}

}  // namespace kestrava
