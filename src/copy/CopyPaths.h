#pragma once
// Path pieces the copy commands build targets from. Paths are ANSI byte strings; a
// double-byte character whose trail byte equals '\\' is never taken for a separator.
#include <string>

namespace kestrava {

// True when the last character (a whole one, not a trail byte) is '\\'.
bool EndsWithBackslash(const std::string& path);
// The text after the last '\\'; the whole text when there is none.
std::string LastComponent(const std::string& path);
// The text up to and including the last '\\'; empty when there is none.
std::string DirectoryPart(const std::string& path);
// dir and name with exactly one '\\' between them; name alone when dir is empty.
std::string JoinPath(const std::string& dir, const std::string& name);
// The folder name a folder copy recreates for the source folder at fullPath: its last
// component once trailing backslashes are dropped, and empty for a drive root, whose
// contents go straight into the target folder.
std::string SourceFolderName(const std::string& fullPath);

}  // namespace kestrava
