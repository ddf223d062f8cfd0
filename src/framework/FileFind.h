#pragma once
// Directory listing in the order the file system returns it, under the file system's own
// UTF-16 names. As with the usual finder, FindFile starts the search and each FindNextFile
// moves to the next entry; FindNextFile returns false when the entry it moved to is the
// last one.
#include <windows.h>

#include <string>

namespace kestrava {

class CFileFind {
  public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Lists folder (an extended-length path reaches past MAX_PATH). False when it holds
    // nothing or cannot be listed; GetLastError tells which.
    bool FindFile(const std::wstring& folder);
    bool FindNextFile();
    void Close();

    std::wstring GetFileName() const { return m_found.cFileName; }
    std::wstring GetFilePath() const { return m_root + m_found.cFileName; }
    bool IsDirectory() const { return (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDots() const;

  private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW m_found{};
    WIN32_FIND_DATAW m_next{};
    bool m_hasNext = false;
    std::wstring m_root;  // the folder, with its trailing backslash
};

}  // namespace kestrava
