// At start-up the stored source path decides the source kind, and the stored target is
// rewritten to fit it: the placeholder file in the target folder for a folder source, a
// file of the source's name for a file source.
#include "app/KestravaDlg.h"
#include "copy/CopyPaths.h"
#include "framework/MbString.h"
#include "framework/WidePath.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
// Every search walks whole characters, so the trail byte of a character such as 誠
// (D5 5C) is never taken for a separator. The name before its first dot:
std::string Stem(const std::string& name) {
    const int dot = mbs::Find(name, '.');
    return dot < 0 ? name : mbs::Left(name, dot);
}
}  // namespace

void CKestravaDlg::ReconcilePaths() {
    // In manual mode the box is empty here, so a stored trailing backslash stays.
    std::string source = GetDlgItemText(IDC_SOURCE_PATH);
    if (EndsWithBackslash(source)) {
        source.pop_back();
        SetDlgItemText(IDC_SOURCE_PATH, source);
        WriteSetting(key::SourcePath, source);
        g_strSourcePath = source;
    }

    const auto setTarget = [this](const std::string& target) {
        WriteSetting(key::SavePath, target);
        SetDlgItemText(IDC_TARGET_PATH, target);
    };
    const std::string& target = g_strTargetPath;
    // A missing folder (a drive not attached) counts as a file, like any other non-folder.
    if (IsFolder(g_strSourcePath)) {
        SetCheck(IDC_SOURCE_KIND, false);
        if (IsFolder(target)) {
            setTarget(JoinPath(target, PLACEHOLDER_NAME));
        } else if (Stem(LastComponent(target)) != Stem(PLACEHOLDER_NAME)) {
            setTarget(DirectoryPart(target) + PLACEHOLDER_NAME);
        }
        return;
    }
    SetCheck(IDC_SOURCE_KIND, true);
    // The source as stored, trailing backslash and all. A bare name is all last
    // component, so a target without a folder part is renamed, not appended to.
    const std::string name = LastComponent(m_strSourceFile);
    if (name == LastComponent(target)) return;
    setTarget(IsFolder(target) ? JoinPath(target, name) : DirectoryPart(target) + name);
}

}  // namespace kestrava
