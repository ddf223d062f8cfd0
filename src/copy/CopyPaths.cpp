#include "copy/CopyPaths.h"

#include <windows.h>

#include "framework/MbString.h"

namespace kestrava {

bool EndsWithBackslash(const std::string& path) {
    return !path.empty() && mbs::ReverseFind(path, '\\') == static_cast<int>(path.size()) - 1;
}

namespace {
bool IsBareDrive(const std::string& path) {
    return path.size() == 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}
}  // namespace

std::string LastComponent(const std::string& path) {
    return mbs::Mid(path, mbs::ReverseFind(path, '\\') + 1);
}

std::string DirectoryPart(const std::string& path) {
    return mbs::Left(path, mbs::ReverseFind(path, '\\') + 1);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return EndsWithBackslash(dir) ? dir + name : dir + "\\" + name;
}

std::string SourceFolderName(const std::string& fullPath) {
    std::string path = fullPath;
    while (EndsWithBackslash(path)) path.pop_back();
    if (path.empty() || IsBareDrive(path)) return {};
    return LastComponent(path);
}

std::string FullPath(const std::string& path) {
    if (path.empty()) return path;
    // "D:" alone would name the current directory on D:, which an earlier folder copy may
    // have left inside its own output; a user who types a drive means the drive.
    if (IsBareDrive(path)) return path + "\\";
    const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::string full(needed, '\0');
    const DWORD length = ::GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

}  // namespace kestrava
