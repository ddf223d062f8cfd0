#pragma once
// Files and folders as the tests set them up and read them back.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace kestrava::test {

// A fresh folder under the temp directory whose name ends in `name` (may be Chinese),
// removed with everything in it at the end. Its path ends with a backslash.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name = "");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

// Deletes a folder (no trailing backslash) with everything in it; false when some is left.
bool RemoveTree(const std::string& folder);
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // empty when it cannot be read
bool FileExists(const std::string& path);
// Bytes that differ from position to position, so a shifted or repeated chunk shows.
std::string PatternBytes(size_t size, unsigned seed = 1);
// Text from one code page to another (936, CP_UTF8).
std::string Recode(const std::string& text, UINT from, UINT to);

// One entry of a tree: a folder when isFolder, else a file with these bytes.
struct TreeEntry {
    std::string path;  // relative, '\\'-separated
    std::string bytes;
    bool isFolder = false;
    DWORD attributes = 0;  // extra attributes to set, such as FILE_ATTRIBUTE_HIDDEN
};
bool WriteTree(const std::string& root, const std::vector<TreeEntry>& entries);
// Every entry below root (hidden ones too) by relative path: a file maps to its bytes, a
// folder to "<folder>". The wide forms take absolute paths of any length and any names.
std::map<std::string, std::string> ReadTree(const std::string& root);
std::map<std::wstring, std::string> ReadTree(const std::wstring& root);
// Entries by relative path: a file with these bytes, or a folder where they are null.
bool WriteTree(const std::wstring& root,
               const std::vector<std::pair<std::wstring, const char*>>& entries);

}  // namespace kestrava::test
