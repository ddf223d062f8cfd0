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
    MoveExecutable("", "Kestrava.exe");
}

SettingsScope::~SettingsScope() {
    m_platform.moduleFileName.clear();
    ResetSettingsState();
}

void SettingsScope::MoveExecutable(const std::string& subFolder, const std::string& exeName) {
    m_exeFolder = Folder();
    if (!subFolder.empty()) {
        m_exeFolder += subFolder + "\\";
        ::CreateDirectoryA(m_exeFolder.c_str(), nullptr);
    }
    m_platform.moduleFileName = m_exeFolder + exeName;
    g_strConfigPath = ConfigPath();
}

std::string SettingsScope::ConfigPath() const {
    return m_exeFolder + kConfigFileName;
}

}  // namespace kestrava::test
