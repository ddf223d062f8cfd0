#include "support/SettingsScope.h"

#include <windows.h>

#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"

namespace kestrava::test {

namespace {
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}
}  // namespace

ScratchFolder::ScratchFolder(const std::string& name) {
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    for (;;) {
        m_path = std::string(temp) + "kestrava-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(++serial) + name;
        if (::CreateDirectoryA(m_path.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            m_path.clear();
            return;
        }
    }
    m_path += "\\";
}

ScratchFolder::~ScratchFolder() {
    if (!m_path.empty()) RemoveTree(m_path);
}

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

SettingsScope::SettingsScope(FakePlatform& platform, const std::string& folderName)
    : m_platform(platform), m_folder(folderName) {
    ResetSettingsState();
    MoveExecutable("", "Kestrava.exe");
}

SettingsScope::~SettingsScope() {
    m_platform.moduleFileName.clear();
    ResetSettingsState();
}

void SettingsScope::MoveExecutable(const std::string& subFolder, const std::string& exeName) {
    m_exeFolder = m_folder.Path();
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

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kestrava::test
