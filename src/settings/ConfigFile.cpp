#include "settings/ConfigFile.h"

#include "framework/MbString.h"
#include "framework/Platform.h"
#include "settings/Settings.h"

namespace kestrava {

namespace {
// Far beyond any path, so only a hand edit could make a value this long; such a value
// comes back cut here rather than let a misbehaving reader grow the buffer without end.
constexpr DWORD kMaxValueBytes = 1u << 20;
}  // namespace

std::string ConfigPathFor(const std::string& modulePath) {
    // A trail byte equal to '\\' (as in 誠) must not be taken for the separator.
    const int slash = mbs::ReverseFind(modulePath, '\\');
    return mbs::Left(modulePath, slash + 1) + kConfigFileName;
}

std::string ComputeConfigPath() {
    return ConfigPathFor(Platform().ModuleFileName());
}

std::string ReadSetting(const std::string& path, const char* key) {
    // A fixed buffer would cut long paths, and a later run would then copy from or to a
    // different place than the one chosen, so the buffer grows until the value fits.
    std::string buffer(128, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD copied =
            ::GetPrivateProfileStringA(kConfigSection, key, "", buffer.data(), size, path.c_str());
        // A cut result fills the buffer, or stops one byte short of it rather than
        // split a double-byte character.
        if (copied + 2 < size || size >= kMaxValueBytes) {
            buffer.resize(copied < size ? copied : size - 1);
            return buffer;
        }
        buffer.assign(static_cast<size_t>(size) * 2, '\0');
    }
}

std::string ReadSetting(const char* key) {
    return ReadSetting(g_strConfigPath, key);
}

void WriteSetting(const char* key, const std::string& value) {
    ::WritePrivateProfileStringA(kConfigSection, key, value.c_str(), g_strConfigPath.c_str());
}

void WriteFlag(const char* key, LRESULT checkState) {
    WriteSetting(key, mbs::Format("%d", static_cast<int>(checkState)));
}

}  // namespace kestrava
