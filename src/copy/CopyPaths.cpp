#include "copy/CopyPaths.h"

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

}  // namespace kestrava
