#include "support/SettingsScope.h"

#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"

namespace kestrava::test {

namespace {
void ResetSettingsState() {
    for (std::string* s : {&g_strConfigPath, &g_strLinkConfigPath, &g_strSourcePath,
                           &g_strTargetPath, &g_strInstall, &g_strDeferred, &g_strTimeLapse,
                           &g_strDocumentOption, &g_strTargetRoot, &g_strTargetFolder}) {
        s->clear();
    }
    g_nAutoStartPending = 0;
    g_nLinkMode = 0;
    g_nCountdownTicks = 0;
}
}  // namespace

SettingsScope::SettingsScope(FakePlatform& platform) : m_platform(platform) {
    ResetSettingsState();
    m_platform.moduleFileName = Folder() + "Kestrava.exe";
    g_strConfigPath = ConfigPath();
}

SettingsScope::~SettingsScope() {
    m_platform.moduleFileName.clear();
    ResetSettingsState();
}

std::string SettingsScope::ConfigPath() const {
    return Folder() + kConfigFileName;
}

}  // namespace kestrava::test
