#include "framework/FileFind.h"

#include <cstring>

#include "framework/MbString.h"

namespace kestrava {

bool CFileFind::FindFile(const std::string& pattern) {
    Close();
    m_hFind = ::FindFirstFileA(pattern.c_str(), &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE) return false;
    m_hasNext = true;
    const int slash = mbs::ReverseFind(pattern, '\\');
    m_root = slash >= 0 ? mbs::Left(pattern, slash + 1) : std::string();
    return true;
}

bool CFileFind::FindNextFile() {
    if (!m_hasNext) return false;
    m_found = m_next;
    m_hasNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_hasNext;
}

void CFileFind::Close() {
    if (m_hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
    m_hasNext = false;
}

bool CFileFind::IsDots() const {
    return IsDirectory() &&
           (std::strcmp(m_found.cFileName, ".") == 0 || std::strcmp(m_found.cFileName, "..") == 0);
}

}  // namespace kestrava
