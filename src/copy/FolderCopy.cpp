// The Copy command and the folder copy: the source folder is recreated, with everything
// below it, as a folder of the same name inside the target directory.
#include <memory>

#include "app/KestravaDlg.h"
#include "copy/CopyPaths.h"
#include "framework/File.h"
#include "framework/FileFind.h"
#include "framework/Platform.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
// Long enough to read each file name in the status line as it goes by.
constexpr DWORD kPauseBeforeFileMs = 500;
constexpr const char* kLevelDoneText = "文件夹复制成功......";

// Uses a folder that exists (and makes it the current directory), else creates it one
// level deep; a folder that cannot be created shows up when a file is copied into it.
void EnsureFolder(const std::string& folder) {
    if (!::SetCurrentDirectoryA(folder.c_str())) ::CreateDirectoryA(folder.c_str(), nullptr);
}

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Volume and file index: the same folder under any spelling, case or link.
bool FolderIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE opened = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    UniqueHandle folder(opened);
    return ::GetFileInformationByHandle(folder.get(), &info) != FALSE;
}

bool IsSameFolder(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION infoA{};
    BY_HANDLE_FILE_INFORMATION infoB{};
    return FolderIdentity(a, infoA) && FolderIdentity(b, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
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
    const std::string source = FullPath(m_strSourceFile);
    g_strTargetRoot = DirectoryPart(m_strTargetFile);
    g_strTargetFolder = g_strTargetRoot + SourceFolderName(source);
    m_strTargetFolderPath = g_strTargetFolder.empty() ? FullPath(".") : FullPath(g_strTargetFolder);

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

void CKestravaDlg::CopyFolderTree(std::string sourceDir, std::string targetDir) {
    CFileFind finder;
    const bool found = finder.FindFile(JoinPath(sourceDir, "*.*"));
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
            const std::string path = finder.GetFilePath();
            const std::string target = JoinPath(targetDir, finder.GetFileName());
            if (finder.IsDirectory()) {
                // A target inside the source would be copied into itself level by level.
                if (!IsSameFolder(path, m_strTargetFolderPath)) CopyFolderTree(path, target);
                continue;
            }
            SetDlgItemText(IDC_STATUS_TEXT, path);
            Platform().Sleep(kPauseBeforeFileMs);
            TransferFile(path, target);
        }
    }
    finder.Close();
    SetDlgItemText(IDC_STATUS_TEXT, kLevelDoneText);
}

}  // namespace kestrava
