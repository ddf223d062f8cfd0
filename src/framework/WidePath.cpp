#include "framework/WidePath.h"

#include <windows.h>

namespace kestrava {

namespace {
constexpr std::wstring_view kExtended = L"\\\\?\\";
constexpr std::wstring_view kExtendedUnc = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";
}  // namespace

std::wstring ToWide(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
    return wide;
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), needed, nullptr, nullptr);
    return ansi;
}

std::wstring ExtendedPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    if (wide.empty() || wide.starts_with(kExtended) || wide.starts_with(kDevice)) return wide;
    // "D:" alone would name the current directory on D:, which an earlier folder copy may
    // have left inside its own output; a user who types a drive means the drive.
    const bool bareDrive =
        wide.size() == 2 && wide[1] == L':' &&
        ((wide[0] >= L'A' && wide[0] <= L'Z') || (wide[0] >= L'a' && wide[0] <= L'z'));
    const std::wstring typed = bareDrive ? wide + L"\\" : wide;
    // The prefix switches off the normalisation of '/', "." and "..": do it first.
    std::wstring full(::GetFullPathNameW(typed.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        ::GetFullPathNameW(typed.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return wide;
    full.resize(length);
    // A device name such as "nul" resolves to "\\.\nul" and is no file to prefix.
    if (full.starts_with(kExtended) || full.starts_with(kDevice)) return full;
    if (full.starts_with(L"\\\\")) return std::wstring(kExtendedUnc) + full.substr(2);
    return std::wstring(kExtended) + full;
}

std::wstring DisplayPath(const std::wstring& path) {
    if (path.starts_with(kExtendedUnc)) return L"\\\\" + path.substr(kExtendedUnc.size());
    if (path.starts_with(kExtended)) return path.substr(kExtended.size());
    return path;
}

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name) {
    if (dir.empty()) return name;
    return dir.back() == L'\\' ? dir + name : dir + L"\\" + name;
}

bool IsFolder(const std::string& path) {
    const std::wstring extended = ExtendedPath(path);
    if (extended.empty()) return false;
    DWORD attributes = ::GetFileAttributesW(extended.c_str());
    // A share's root answers only with its trailing backslash.
    if (attributes == INVALID_FILE_ATTRIBUTES && extended.back() != L'\\')
        attributes = ::GetFileAttributesW((extended + L"\\").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kestrava
