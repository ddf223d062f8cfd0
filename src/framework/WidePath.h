#pragma once
// The file system's own UTF-16 names and extended-length paths. The windows show paths
// in the ANSI code page; the copy reads and writes through these, so a name outside the
// code page or a path past MAX_PATH is copied as it is.
#include <string>

namespace kestrava {

// ANSI code page text as UTF-16.
std::wstring ToWide(const std::string& text);
// UTF-16 text in the ANSI code page; a character outside it becomes the system's
// replacement (such as '?').
std::string ToAnsi(const std::wstring& text);
// path, made absolute against the current directory ('/', "." and ".." resolved), with the
// extended-length prefix: "\\?\" for a drive, "\\?\UNC\" for a network path. A path that
// already has a "\\?\" or "\\.\" prefix is left alone; empty stays empty.
std::wstring ExtendedPath(const std::string& path);
// An extended-length path as a person reads it: without its prefix.
std::wstring DisplayPath(const std::wstring& path);
// dir and name with exactly one '\\' between them.
std::wstring JoinPath(const std::wstring& dir, const std::wstring& name);
// True for a folder, also past MAX_PATH or under a name outside the code page.
bool IsFolder(const std::string& path);

}  // namespace kestrava
