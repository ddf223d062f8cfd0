#include "support/Files.h"

#include "framework/WidePath.h"

#include <functional>

namespace kestrava::test {

namespace {
// An absolute path as the wide calls take it past MAX_PATH and with any name.
std::wstring Extended(const std::wstring& path) {
    return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

// Calls visit with each entry of folder but "." and "..".
void ForEachEntry(const std::wstring& folder,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((Extended(folder) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..")
            visit(found);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        ::CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file =
        ::CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void ReadTreeInto(const std::wstring& root, const std::wstring& prefix,
                  std::map<std::wstring, std::string>& out) {
    ForEachEntry(root, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring rel = prefix + found.cFileName;
        const std::wstring path = root + L"\\" + found.cFileName;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        out[rel] = folder ? "<folder>" : ReadBytes(path);
        if (folder) ReadTreeInto(path, rel + L"\\", out);
    });
}

bool RemoveTree(const std::wstring& folder) {
    ForEachEntry(folder, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring path = Extended(folder + L"\\" + found.cFileName);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(path.c_str())) RemoveTree(path);
    });
    return ::RemoveDirectoryW(Extended(folder).c_str()) ||
           ::GetFileAttributesW(Extended(folder).c_str()) == INVALID_FILE_ATTRIBUTES;
}
}  // namespace

ScratchFolder::ScratchFolder(const std::string& name) {
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    do {
        m_path = std::string(temp) + "kestrava-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(++serial) + name;
    } while (!::CreateDirectoryA(m_path.c_str(), nullptr) &&
             ::GetLastError() == ERROR_ALREADY_EXISTS);
    m_path += "\\";
}

ScratchFolder::~ScratchFolder() {
    // A process that was just killed may still hold a handle for a moment.
    for (int i = 0; i < 20 && !RemoveTree(m_path.substr(0, m_path.size() - 1)); ++i) ::Sleep(50);
}

bool RemoveTree(const std::string& folder) {
    return RemoveTree(ExtendedPath(folder));
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    return WriteBytes(ExtendedPath(path), bytes);
}

std::string ReadBytes(const std::string& path) {
    return ReadBytes(ExtendedPath(path));
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PatternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 23);
    return bytes;
}

std::string Recode(const std::string& text, UINT from, UINT to) {
    std::wstring wide(text.size(), L'\0');
    const int size = static_cast<int>(text.size());
    wide.resize(::MultiByteToWideChar(from, 0, text.data(), size, wide.data(), size));
    std::string out(wide.size() * 3, '\0');
    out.resize(::WideCharToMultiByte(to, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                     static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

bool WriteTree(const std::string& root, const std::vector<TreeEntry>& entries) {
    for (const TreeEntry& e : entries) {
        const std::string path = root + "\\" + e.path;
        if (e.isFolder ? !::CreateDirectoryA(path.c_str(), nullptr) : !WriteBytes(path, e.bytes))
            return false;
        if (e.attributes && !::SetFileAttributesA(path.c_str(), e.attributes)) return false;
    }
    return true;
}

std::map<std::wstring, std::string> ReadTree(const std::wstring& root) {
    std::map<std::wstring, std::string> out;
    ReadTreeInto(root, L"", out);
    return out;
}

std::map<std::string, std::string> ReadTree(const std::string& root) {
    std::map<std::string, std::string> out;
    for (const auto& [path, bytes] : ReadTree(ExtendedPath(root))) out[ToAnsi(path)] = bytes;
    return out;
}

bool WriteTree(const std::wstring& root,
               const std::vector<std::pair<std::wstring, const char*>>& entries) {
    for (const auto& [relative, bytes] : entries) {
        const std::wstring path = Extended(JoinPath(root, relative));
        if (bytes ? !WriteBytes(path, bytes) : !::CreateDirectoryW(path.c_str(), nullptr))
            return false;
    }
    return true;
}

}  // namespace kestrava::test
