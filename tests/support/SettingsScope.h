#pragma once
// A private place for the configuration file: tests run as parallel processes, and the
// file next to the test executable would be shared by all of them.
#include <string>

#include "support/Files.h"

namespace kestrava::test {

class FakePlatform;

// Puts the running "executable" into a scratch folder, so that the settings load finds
// its file there, points g_strConfigPath at that file, and clears the settings state
// on both ends so that tests run in one process do not see each other's values.
class SettingsScope {
  public:
    explicit SettingsScope(FakePlatform& platform);
    ~SettingsScope();

    const std::string& Folder() const { return m_folder.Path(); }
    std::string ConfigPath() const;

  private:
    FakePlatform& m_platform;
    ScratchFolder m_folder;
};

}  // namespace kestrava::test
