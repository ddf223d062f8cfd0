// The single-file copy: the file in the source box to the path in the target box, with
// the target renamed after the source when their names differ.
#include "app/KestravaDlg.h"
#include "copy/CopyPaths.h"
#include "framework/MbString.h"
#include "framework/WidePath.h"
#include "settings/ConfigFile.h"

namespace kestrava {

namespace {
// The folder-mode target's name without its extension; such a target is never copied to.
constexpr const char* kPlaceholderTitle = "复制文件夹功能启动";
}  // namespace

std::string CKestravaDlg::GetPathTitle(std::string path, bool keepExtension) {
    int separator = mbs::ReverseFind(path, '\\');
    if (separator < 0) separator = mbs::ReverseFind(path, '/');
    std::string title = mbs::Mid(path, separator + 1);
    if (!keepExtension) {
        const int dot = mbs::ReverseFind(title, '.');
        if (dot >= 0) title = mbs::Left(title, dot);
    }
    return title;
}

void CKestravaDlg::OnCopySingleFile() {
    m_strSourceFile = GetDlgItemText(IDC_SOURCE_PATH);
    m_strTargetFile = GetDlgItemText(IDC_TARGET_PATH);
    const std::string targetTitle = GetPathTitle(m_strTargetFile, false);
    const std::string sourceTitle = GetPathTitle(m_strSourceFile, false);
    BeginCopyLog(false);

    // In single-file mode the copy keeps the source's name; the new target is stored and
    // shown before anything else happens, the placeholder case included.
    if (IsExactlyOne(ReadSetting(key::DocumentOption)) && targetTitle != sourceTitle) {
        const std::string renamed = DirectoryPart(m_strTargetFile) + LastComponent(m_strSourceFile);
        WriteSetting(key::SavePath, renamed);
        SetDlgItemText(IDC_TARGET_PATH, renamed);
        m_strTargetFile = renamed;
    }

    if (targetTitle == kPlaceholderTitle) {
        SetDlgItemText(IDC_TARGET_PATH, "");
        ::SetFocus(GetDlgItem(IDC_TARGET_PATH));
        EndCopyLog(CopyOutcome::NothingCopied);
        return;
    }
    if (m_strSourceFile.empty() || m_strTargetFile.empty()) {
        EndCopyLog(CopyOutcome::NothingCopied);
        return;
    }
    try {
        // Windows refuses a path past MAX_PATH without the extended-length prefix (Wine
        // takes it).
        TransferFile(ExtendedPath(m_strSourceFile), ExtendedPath(m_strTargetFile));
    } catch (...) {
        EndCopyLog(CopyOutcome::Failed);
        throw;
    }
    EndCopyLog(CopyOutcome::Done);
    RunAfterCopyAction();
}

}  // namespace kestrava
