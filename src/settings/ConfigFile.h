#pragma once
// The configuration file next to the executable: one section, read and written key by
// key at the moment of use, never cached.
#include <windows.h>

#include <string>

namespace kestrava {

inline constexpr const char* kConfigFileName = "Kestrava_Configuration.ini";
inline constexpr const char* kConfigSection = "Overall_situation";

namespace key {
inline constexpr const char* SourcePath = "Source_path";
inline constexpr const char* SavePath = "Save_path";
inline constexpr const char* Install = "Install";
inline constexpr const char* TimeLapse = "Time_lapse";
inline constexpr const char* Deferred = "Deferred";
inline constexpr const char* DocumentOption = "Document_option";
inline constexpr const char* Headline = "Headline";
}  // namespace key

// The configuration file in the folder of the executable at modulePath.
std::string ConfigPathFor(const std::string& modulePath);
// The configuration file of the running executable.
std::string ComputeConfigPath();

// The key's whole value in the file at path; empty when the key or the file is missing.
std::string ReadSetting(const std::string& path, const char* key);
// The same from g_strConfigPath.
std::string ReadSetting(const char* key);
// Replaces the key's value in g_strConfigPath, creating the file when needed.
void WriteSetting(const char* key, const std::string& value);
// Stores a check box state (BM_GETCHECK) as its decimal text.
void WriteFlag(const char* key, LRESULT checkState);

// Stored flags are compared whole and case-sensitively; the two tests differ on every
// value other than "1" and "0", the empty one included.
inline bool IsExactlyOne(const std::string& value) {
    return value == "1";
}
inline bool IsNotZero(const std::string& value) {
    return value != "0";
}

}  // namespace kestrava
