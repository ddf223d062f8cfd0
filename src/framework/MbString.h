#pragma once
// Byte-string helpers in the ANSI code page. A double-byte character is one unit in
// every search, so a trail byte that equals '\\' is never taken for a separator.
#include <string>

namespace kestrava::mbs {

// Index of the last ch that starts a character, or -1.
int ReverseFind(const std::string& s, char ch);
// Index of the first ch at or after start that starts a character, or -1.
int Find(const std::string& s, char ch, int start = 0);
// Index of the first occurrence of sub starting on a character boundary, or -1.
int Find(const std::string& s, const std::string& sub, int start = 0);
// First or last count bytes, clamped to the string.
std::string Left(const std::string& s, int count);
std::string Right(const std::string& s, int count);
std::string Mid(const std::string& s, int first);
// printf-style formatting into a byte string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// True when byte i of s is the first byte of a double-byte character.
bool IsLeadByteAt(const std::string& s, size_t i);

}  // namespace kestrava::mbs
