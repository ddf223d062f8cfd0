#pragma once
// Directory listing in the order the file system returns it. As with the usual
// finder, FindFile starts the search and each FindNextFile moves to the next entry;
// FindNextFile returns false when the entry it moved to is the last one.
#include <windows.h>

#include <string>

namespace kestrava {

class CFileFind {
  public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // False when nothing matches or the folder cannot be listed; GetLastError tells which.
    bool FindFile(const std::string& pattern = "*.*");
    bool FindNextFile();
    void Close();

    std::string GetFileName() const { return m_found.cFileName; }
    std::string GetFilePath() const { return m_root + m_found.cFileName; }
    bool IsDirectory() const { return (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDots() const;

  private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_found{};
    WIN32_FIND_DATAA m_next{};
    bool m_hasNext = false;
    std::string m_root;  // the pattern's folder, with its trailing backslash
};

}  // namespace kestrava
