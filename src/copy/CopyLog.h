#pragma once
// Kestrava.log beside the executable: one line for every run of a copy command, so an
// unattended run that failed with nobody watching can still be read about later.
#include <windows.h>

#include <string>

namespace kestrava {

inline constexpr const char* kCopyLogName = "Kestrava.log";
inline constexpr const char* kOldCopyLogName = "Kestrava.old.log";
// A line that would take the log past this starts a new one; the full one is kept as
// the old log, which replaces the one before it.
inline constexpr ULONGLONG kCopyLogLimit = 1u << 20;

enum class CopyOutcome { Done, Failed, NothingCopied };

// What one run of a copy command leaves in the log. Texts are in the ANSI code page.
struct CopyLogEntry {
    SYSTEMTIME started{};
    bool unattended = false;
    bool folder = false;
    std::string source, target;
    CopyOutcome outcome = CopyOutcome::NothingCopied;
    ULONGLONG files = 0, bytes = 0, seconds = 0;
    std::string failure;  // as the stop box shows it
};

// A text in the log's encoding, UTF-8: every name and word of a line passes through here.
std::string LogText(const std::string& ansi);
// The entry as one line of the log, fields separated by tabs, ending in CR LF.
std::string FormatCopyLogLine(const CopyLogEntry& entry);
// Adds the line to the log at path, a new one beginning with a byte order mark. Throws
// CFileException when the log cannot be written.
void AppendToCopyLog(const std::string& path, const std::string& line);

}  // namespace kestrava
