#include "framework/FileFind.h"

#include "framework/WidePath.h"

namespace kestrava {

bool CFileFind::FindFile(const std::wstring& folder) {
    Close();
    m_root = JoinPath(folder, L"");
    // "*" matches every name; "*.*" matches names without a dot only by a translation.
    m_hFind = ::FindFirstFileW((m_root + L"*").c_str(), &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE) return false;
    m_hasNext = true;
    return true;
}

bool CFileFind::FindNextFile() {
    if (!m_hasNext) return false;
    m_found = m_next;
    m_hasNext = ::FindNextFileW(m_hFind, &m_next) != FALSE;
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
    const std::wstring_view name = m_found.cFileName;
    return IsDirectory() && (name == L"." || name == L"..");
}

}  // namespace kestrava
