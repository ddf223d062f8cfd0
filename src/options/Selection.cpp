// The two browse buttons: the source as a folder or a single file, as the stored source
// kind says; the target always as a folder, which the target path is built in.
#include <cstring>
#include <optional>
#include <string>

#include "app/KestravaDlg.h"
#include "copy/CopyPaths.h"
#include "framework/Platform.h"
#include "settings/ConfigFile.h"

namespace kestrava {

namespace {
// The chosen item's file-system path: nothing when the user cancels, empty when the item
// has no such path.
std::optional<std::string> ChooseFolder(HWND owner, const char* title, UINT flags) {
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = flags;
    PIDLIST_ABSOLUTE item = Platform().BrowseForFolder(&info);
    if (!item) return std::nullopt;
    std::string path;
    if (!Platform().PathFromIdList(item, path)) path.clear();
    Platform().FreeIdList(item);
    return path;
}

// The full path of the file chosen in the Open dialog, or nothing when the user cancels.
std::optional<std::string> ChooseFile(HWND owner) {
    // Room for far longer paths than a dialog gives, so the choice comes back whole.
    std::string file(32768, '\0');
    std::strcpy(file.data(), "*.*");
    OPENFILENAMEA info{};
    info.lStructSize = sizeof(info);
    info.hwndOwner = owner;
    // One entry, all files; the literal's own terminator ends the list.
    info.lpstrFilter = "FILE(*.*)\0*.*\0";
    info.lpstrFile = file.data();
    info.nMaxFile = static_cast<DWORD>(file.size());
    info.lpstrDefExt = "文件";
    info.Flags = OFN_HIDEREADONLY;
    if (!Platform().GetOpenFileName(&info)) return std::nullopt;
    file.resize(std::strlen(file.c_str()));
    return file;
}
}  // namespace

void CKestravaDlg::OnBrowseSource() {
    if (IsExactlyOne(ReadSetting(key::DocumentOption))) {
        const std::optional<std::string> file = ChooseFile(m_hWnd);
        if (!file) return;
        m_strSourceFile = *file;
        m_strSourceName = LastComponent(*file);
        SetDlgItemText(IDC_SOURCE_PATH, m_strSourceFile);
        SetDlgItemText(IDC_STATUS_TEXT, "");
        WriteSetting(key::SourcePath, m_strSourceFile);
        return;
    }
    // The source names are left alone: the target browse keeps the last known file name.
    const std::optional<std::string> folder =
        ChooseFolder(m_hWnd, "请选择文件夹", BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT);
    if (!folder || folder->empty()) return;
    SetDlgItemText(IDC_SOURCE_PATH, *folder);
    SetDlgItemText(IDC_STATUS_TEXT, *folder);
    WriteSetting(key::SourcePath, *folder);
}

void CKestravaDlg::OnBrowseTarget() {
    const bool fileMode = IsExactlyOne(ReadSetting(key::DocumentOption));
    if (GetDlgItemText(IDC_SOURCE_PATH).empty() || m_strSourceName.empty()) return;
    // The edit field lets the user confirm items that are not folders on disk.
    const std::optional<std::string> folder = ChooseFolder(m_hWnd, "选择一个文件夹", BIF_EDITBOX);
    if (!folder) return;
    if (!fileMode) m_strSourceName = PLACEHOLDER_NAME;
    // Without a file-system path the target would land in the root of whatever drive is
    // current, so such an item is refused in both modes.
    if (folder->empty()) return;
    m_strTargetFile = JoinPath(*folder, m_strSourceName);
    SetDlgItemText(IDC_TARGET_PATH, m_strTargetFile);
    WriteSetting(key::SavePath, m_strTargetFile);
}

}  // namespace kestrava
