#pragma once
// A file object whose every failure throws CFileException.
#include <windows.h>

#include <string>

#include "framework/Exception.h"

namespace kestrava {

class CFileException : public CException {
  public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    // fileName: the file's own name, an extended-length path included; the texts show it
    // without the prefix.
    CFileException(int cause, LONG osError, const std::wstring& fileName);

    static int OsErrorToCause(LONG osError);
    [[noreturn]] static void ThrowOsError(LONG osError, const std::wstring& fileName);

    // In the ANSI code page, as the stop box shows it.
    std::string GetErrorMessage() const override;

    int m_cause;
    LONG m_lOsError;
    std::wstring m_strFileNameW;  // whole, whatever the code page holds
    std::string m_strFileName;    // in the ANSI code page
};

class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoTruncate = 0x2000,
        modeCreate = 0x1000,
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    CFile(const std::wstring& fileName, UINT openFlags) { Open(fileName, openFlags); }
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens the path as given: an extended-length one reaches past MAX_PATH.
    void Open(const std::wstring& fileName, UINT openFlags);
    UINT Read(void* buffer, UINT count);
    // Writing fewer bytes than asked counts as a failure (a full disk).
    void Write(const void* buffer, UINT count);
    ULONGLONG GetLength() const;
    ULONGLONG GetPosition() const;
    ULONGLONG Seek(LONGLONG offset, SeekPosition from);
    void SetLength(ULONGLONG length);
    void Flush();
    void Close();
    // Closes without reporting failures; for clean-up after an error.
    void Abort() noexcept;

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    const std::wstring& GetFilePath() const { return m_strFileName; }
    HANDLE m_hFile = INVALID_HANDLE_VALUE;

  private:
    [[noreturn]] void ThrowLastError() const;
    std::wstring m_strFileName;
};

}  // namespace kestrava
