#include "support/Files.h"

#include <functional>

namespace kestrava::test {

namespace {
// Calls visit with each entry of folder but "." and "..".
void ForEachEntry(const std::string& folder,
                  const std::function<void(const WIN32_FIND_DATAA&)>& visit) {
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            visit(found);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
}

void ReadTreeInto(const std::string& root, const std::string& prefix,
                  std::map<std::string, std::string>& out) {
    ForEachEntry(root, [&](const WIN32_FIND_DATAA& found) {
        const std::string rel = prefix + found.cFileName;
        const std::string path = root + "\\" + found.cFileName;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        out[rel] = folder ? "<folder>" : ReadBytes(path);
        if (folder) ReadTreeInto(path, rel + "\\", out);
    });
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
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& found) {
        const std::string path = folder + "\\" + found.cFileName;
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileA(path.c_str())) RemoveTree(path);
    });
    return ::RemoveDirectoryA(folder.c_str()) || !FileExists(folder);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
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

std::map<std::string, std::string> ReadTree(const std::string& root) {
    std::map<std::string, std::string> out;
    ReadTreeInto(root, "", out);
    return out;
}

}  // namespace kestrava::test
