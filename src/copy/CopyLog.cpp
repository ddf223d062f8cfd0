// The copy log: its line format, the writer, and the main window's hooks that the copy
// commands call when they start and end.
#include "copy/CopyLog.h"

#include <algorithm>
#include <utility>

#include "app/KestravaDlg.h"
#include "framework/File.h"
#include "framework/MbString.h"
#include "framework/WidePath.h"
#include "framework/Platform.h"

namespace kestrava {

namespace {
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

LONGLONG Ticks(const SYSTEMTIME& time) {
    FILETIME ft{};
    ::SystemTimeToFileTime(&time, &ft);
    return static_cast<LONGLONG>(ULARGE_INTEGER{{ft.dwLowDateTime, ft.dwHighDateTime}}.QuadPart);
}

std::string LogPath() {
    const std::string module = Platform().ModuleFileName();
    return mbs::Left(module, mbs::ReverseFind(module, '\\') + 1) + kCopyLogName;
}
}  // namespace

std::string LogText(const std::string& ansi) {
    if (ansi.empty()) return {};
    const std::wstring wide = ToWide(ansi);
    const int wideSize = static_cast<int>(wide.size());
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

std::string FormatCopyLogLine(const CopyLogEntry& e) {
    const SYSTEMTIME& t = e.started;
    std::string line = mbs::Format("%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                                   t.wHour, t.wMinute, t.wSecond);
    for (const std::string& field :
         {LogText(e.unattended ? "自动" : "手动"), LogText(e.folder ? "文件夹" : "文件"),
          LogText(e.source), LogText(e.target)})
        line += "\t" + field;
    switch (e.outcome) {
        case CopyOutcome::Done:
            line += "\t" + LogText("完成") + "\t" + std::to_string(e.files) + LogText(" 个文件") +
                    "\t" + std::to_string(e.bytes) + LogText(" 字节") + "\t" +
                    std::to_string(e.seconds) + LogText(" 秒");
            break;
        case CopyOutcome::Failed:
            line += "\t" + LogText("失败") + "\t" + LogText(e.failure);
            break;
        case CopyOutcome::NothingCopied:
            line += "\t" + LogText("未复制");
            break;
    }
    return line + "\r\n";
}

void AppendToCopyLog(const std::string& path, const std::string& line) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        const ULONGLONG size = ULARGE_INTEGER{{data.nFileSizeLow, data.nFileSizeHigh}}.QuadPart;
        // Should the old log be held open, the line still goes into this one.
        if (size + line.size() > kCopyLogLimit) {
            const std::string old =
                mbs::Left(path, mbs::ReverseFind(path, '\\') + 1) + kOldCopyLogName;
            ::MoveFileExA(path.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    // Readers such as Notepad may have it open; another writer may not.
    CFile file(ToWide(path), CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate |
                                 CFile::shareDenyWrite);
    const std::string text = file.Seek(0, CFile::end) == 0 ? kByteOrderMark + line : line;
    file.Write(text.data(), static_cast<UINT>(text.size()));
    file.Close();
}

void CKestravaDlg::BeginCopyLog(bool folder) {
    m_copyLog = CopyLogEntry{};
    m_copyLog.started = Platform().LocalTime();
    // Only the command the unattended start runs is unattended, even if it then fails.
    m_copyLog.unattended = std::exchange(m_bUnattendedCopy, false);
    m_copyLog.folder = folder;
    m_copyLog.source = m_strSourceFile;
    m_copyLog.target = m_strTargetFile;
}

void CKestravaDlg::EndCopyLog(CopyOutcome outcome) noexcept {
    try {
        m_copyLog.outcome = outcome;
        // A run that copied names the paths it used (a file copy may have renamed its
        // target); one that did not names the texts that kept it from copying.
        if (outcome != CopyOutcome::NothingCopied) m_copyLog.target = m_strTargetFile;
        if (outcome == CopyOutcome::Failed) m_copyLog.failure = CurrentExceptionText();
        const LONGLONG took = Ticks(Platform().LocalTime()) - Ticks(m_copyLog.started);
        m_copyLog.seconds = static_cast<ULONGLONG>(std::max<LONGLONG>(took, 0) / 10'000'000);
        AppendToCopyLog(LogPath(), FormatCopyLogLine(m_copyLog));
    } catch (...) {
        // A log that cannot be written (read-only, full, held open) changes nothing else:
        // the copy's own result stands.
    }
}

}  // namespace kestrava
