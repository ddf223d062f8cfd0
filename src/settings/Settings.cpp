#include "settings/Settings.h"

#include "app/KestravaDlg.h"
#include "framework/MbString.h"
#include "settings/ConfigFile.h"

namespace kestrava {

std::string g_strConfigPath;
std::string g_strLinkConfigPath;
std::string g_strSourcePath;
std::string g_strTargetPath;
std::string g_strInstall;
std::string g_strDeferred;
std::string g_strTimeLapse;
std::string g_strDocumentOption;
std::string g_strTargetRoot;
std::string g_strTargetFolder;
int g_nAutoStartPending = 0;
int g_nLinkMode = 0;
int g_nCountdownTicks = 0;

// The copies read here stay as they are for the whole run, whatever the file holds later.
void CKestravaDlg::LoadSettings() {
    g_strConfigPath = ComputeConfigPath();
    g_strSourcePath = ReadSetting(key::SourcePath);
    m_strSourceFile = g_strSourcePath;
    g_strInstall = ReadSetting(key::Install);
    g_strTargetPath = ReadSetting(key::SavePath);
    g_strDeferred = ReadSetting(key::Deferred);
    g_strTimeLapse = ReadSetting(key::TimeLapse);
    g_strDocumentOption = ReadSetting(key::DocumentOption);

    const int slash = mbs::ReverseFind(m_strSourceFile, '\\');
    m_strSourceName = slash < 0 ? std::string() : mbs::Mid(m_strSourceFile, slash + 1);

    // Raises the box's change notification, exactly as typing the number would.
    SetDlgItemText(IDC_DELAY_SECONDS, g_strDeferred);

    g_strLinkConfigPath = g_strConfigPath;
    g_nAutoStartPending = 1;
    g_strTargetFolder.clear();
    g_strTargetRoot.clear();
}

}  // namespace kestrava
