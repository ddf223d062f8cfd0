#include "settings/Settings.h"

#include "app/KestravaDlg.h"

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

void CKestravaDlg::LoadSettings() {}

}  // namespace kestrava
