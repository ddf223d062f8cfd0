#pragma once
// Process-wide settings state: the configuration file's path, the values loaded at
// start-up and the working strings of a folder copy.
#include <string>

namespace kestrava {

extern std::string g_strConfigPath;
extern std::string g_strLinkConfigPath;
extern std::string g_strSourcePath;
extern std::string g_strTargetPath;
extern std::string g_strInstall;
extern std::string g_strDeferred;
extern std::string g_strTimeLapse;
extern std::string g_strDocumentOption;
extern std::string g_strTargetRoot;
extern std::string g_strTargetFolder;
extern int g_nAutoStartPending;
extern int g_nLinkMode;
extern int g_nCountdownTicks;

}  // namespace kestrava
