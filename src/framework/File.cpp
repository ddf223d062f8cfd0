#include "framework/File.h"

#include "framework/MbString.h"
#include "framework/WidePath.h"

namespace kestrava {

int CFileException::OsErrorToCause(LONG osError) {
    switch (osError) {
        case NO_ERROR:
            return none;
        case ERROR_FILE_NOT_FOUND:
            return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return badPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_NETWORK_ACCESS_DENIED:
            return accessDenied;
        case ERROR_INVALID_HANDLE:
            return invalidFile;
        case ERROR_CURRENT_DIRECTORY:
            return removeCurrentDir;
        case ERROR_CANNOT_MAKE:
            return directoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
            return badSeek;
        case ERROR_SHARING_VIOLATION:
            return sharingViolation;
        case ERROR_LOCK_VIOLATION:
            return lockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_FILE_TOO_LARGE:
            return diskFull;
        case ERROR_HANDLE_EOF:
            return endOfFile;
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
            return hardIO;
        default:
            return genericException;
    }
}

CFileException::CFileException(int cause, LONG osError, const std::wstring& fileName)
    : m_cause(cause),
      m_lOsError(osError),
      m_strFileNameW(DisplayPath(fileName)),
      m_strFileName(ToAnsi(m_strFileNameW)) {}

void CFileException::ThrowOsError(LONG osError, const std::wstring& fileName) {
    throw CFileException(OsErrorToCause(osError), osError, fileName);
}

std::string CFileException::GetErrorMessage() const {
    // One table of texts; %s is the file name, or a stand-in when it is unknown.
    static const char* const kTexts[] = {
        "访问 %s 时未发生错误。",
        "访问 %s 时发生未知错误。",
        "未找到 %s。",
        "%s 包含无效路径。",
        "无法打开 %s，因为打开的文件太多。",
        "拒绝访问 %s。",
        "使用了与 %s 关联的无效文件句柄。",
        "无法删除 %s，因为它是当前目录。",
        "无法创建 %s，因为目录已满。",
        "在 %s 上定位失败。",
        "访问 %s 时发生硬件 I/O 错误。",
        "访问 %s 时发生共享冲突。",
        "访问 %s 时发生锁定冲突。",
        "写入 %s 时磁盘已满。",
        "试图越过 %s 的末尾进行访问。",
    };
    const int index = (m_cause >= 0 && m_cause <= endOfFile) ? m_cause : genericException;
    const std::string name = m_strFileName.empty() ? std::string("未知文件") : m_strFileName;
    return mbs::Format(kTexts[index], name.c_str());
}

CFile::~CFile() {
    Abort();
}

void CFile::Open(const std::wstring& fileName, UINT openFlags) {
    Abort();
    m_strFileName = fileName;
    DWORD access = GENERIC_READ;
    switch (openFlags & 3) {
        case modeWrite:
            access = GENERIC_WRITE;
            break;
        case modeReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
        default:
            break;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
        case shareDenyWrite:
            share = FILE_SHARE_READ;
            break;
        case shareDenyRead:
            share = FILE_SHARE_WRITE;
            break;
        case shareDenyNone:
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        default:
            break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    HANDLE handle = ::CreateFileW(fileName.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) CFileException::ThrowOsError(::GetLastError(), fileName);
    m_hFile = handle;
}

void CFile::ThrowLastError() const {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!::ReadFile(m_hFile, buffer, count, &read, nullptr)) ThrowLastError();
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    if (count == 0) return;
    DWORD written = 0;
    if (!::WriteFile(m_hFile, buffer, count, &written, nullptr)) ThrowLastError();
    if (written < count) throw CFileException(CFileException::diskFull, 0, m_strFileName);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(m_hFile, &size)) ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

ULONGLONG CFile::Seek(LONGLONG offset, SeekPosition from) {
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(m_hFile, distance, &position, static_cast<DWORD>(from))) {
        ThrowLastError();
    }
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
    return const_cast<CFile*>(this)->Seek(0, current);
}

void CFile::SetLength(ULONGLONG length) {
    Seek(static_cast<LONGLONG>(length), begin);
    if (!::SetEndOfFile(m_hFile)) ThrowLastError();
}

void CFile::Flush() {
    if (!::FlushFileBuffers(m_hFile)) ThrowLastError();
}

void CFile::Close() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    HANDLE handle = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) ThrowLastError();
}

void CFile::Abort() noexcept {
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

}  // namespace kestrava
