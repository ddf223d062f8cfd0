#pragma once
// A private place for the configuration file: tests run as parallel processes, and the
// file next to the test executable would be shared by all of them.
#include <string>

namespace kestrava::test {

class FakePlatform;

// A fresh folder under the temp directory, removed with everything in it at the end.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name = "");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Ends with a backslash.
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

// Puts the running "executable" into a scratch folder, so that the settings load finds
// its file there, points g_strConfigPath at that file, and clears the settings state
// on both ends so that tests run in one process do not see each other's values.
class SettingsScope {
  public:
    explicit SettingsScope(FakePlatform& platform, const std::string& folderName = "");
    ~SettingsScope();

    // Makes subFolder (inside the scratch folder) the executable's folder.
    void MoveExecutable(const std::string& subFolder, const std::string& exeName);
    const std::string& Folder() const { return m_folder.Path(); }
    std::string ConfigPath() const;

  private:
    FakePlatform& m_platform;
    ScratchFolder m_folder;
    std::string m_exeFolder;
};

void ResetSettingsState();
// The file as an editor writes it, without the profile calls.
bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace kestrava::test
