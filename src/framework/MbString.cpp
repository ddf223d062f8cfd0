#include "framework/MbString.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace kestrava::mbs {

bool IsLeadByteAt(const std::string& s, size_t i) {
    return i + 1 < s.size() && ::IsDBCSLeadByte(static_cast<BYTE>(s[i]));
}

namespace {
size_t NextChar(const std::string& s, size_t i) {
    return i + (IsLeadByteAt(s, i) ? 2 : 1);
}
}  // namespace

int ReverseFind(const std::string& s, char ch) {
    int found = -1;
    for (size_t i = 0; i < s.size(); i = NextChar(s, i)) {
        if (s[i] == ch) found = static_cast<int>(i);
    }
    return found;
}

int Find(const std::string& s, char ch, int start) {
    return Find(s, std::string(1, ch), start);
}

int Find(const std::string& s, const std::string& sub, int start) {
    if (start < 0) start = 0;
    size_t i = 0;
    while (i < s.size() && i < static_cast<size_t>(start)) i = NextChar(s, i);
    for (; i < s.size(); i = NextChar(s, i)) {
        if (s.compare(i, sub.size(), sub) == 0) return static_cast<int>(i);
    }
    return -1;
}

std::string Left(const std::string& s, int count) {
    if (count <= 0) return {};
    return s.substr(0, static_cast<size_t>(count));
}

std::string Right(const std::string& s, int count) {
    if (count <= 0) return {};
    const size_t n = static_cast<size_t>(count);
    return n >= s.size() ? s : s.substr(s.size() - n);
}

std::string Mid(const std::string& s, int first) {
    if (first <= 0) return s;
    return static_cast<size_t>(first) >= s.size() ? std::string() : s.substr(first);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (needed > 0) {
        out.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(needed));
    }
    va_end(args);
    return out;
}

}  // namespace kestrava::mbs
