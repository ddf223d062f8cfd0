// Copies one file in 512-byte chunks while the progress bar counts the marks the
// source's position passes.
#include "app/KestravaDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace kestrava {

namespace {
constexpr UINT kChunkSize = 512;
// The counter is shown against a 16-bit range; only a source that grows while it is
// read could push it further.
constexpr int kMaxCounter = 100;

// Where the bar puts a position: at the nearer end of its range when outside it. For a
// range upside down the nearer end is not defined, so none is predicted there.
int ClampedToRange(int position, const PBRANGE& range) {
    if (range.iHigh < range.iLow) return position;
    return std::clamp(position, range.iLow, range.iHigh);
}

// Creates an empty target when none exists; an existing one is left as it is. The
// open that follows reports any failure, so the outcome is not looked at here.
void CreateIfMissing(const std::string& path) {
    HANDLE created = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) ::CloseHandle(created);
}
}  // namespace

void CKestravaDlg::TransferFile(std::string source, std::string target) {
    const auto freeBuffer = [this] {
        if (!m_hCopyBuffer) return;
        if (m_pCopyBuffer) ::GlobalUnlock(m_hCopyBuffer);
        ::GlobalFree(m_hCopyBuffer);
        m_hCopyBuffer = nullptr;
        m_pCopyBuffer = nullptr;
    };
    try {
        // No sharing: nobody changes the source while it is read.
        m_pSourceFile = std::make_unique<CFile>();
        m_pSourceFile->Open(source, CFile::modeRead | CFile::shareExclusive);
        CreateIfMissing(target);
        m_pTargetFile = std::make_unique<CFile>();
        m_pTargetFile->Open(target, CFile::modeReadWrite | CFile::shareExclusive);

        m_nLength = static_cast<LONGLONG>(m_pSourceFile->GetLength());
        m_nPosition = 0;
        const LONGLONG step = m_nLength / 100;
        LONGLONG mark = step;
        int counter = 0;

        m_hCopyBuffer = ::GlobalAlloc(GMEM_MOVEABLE, kChunkSize);
        if (!m_hCopyBuffer) throw std::bad_alloc();
        m_pCopyBuffer = static_cast<BYTE*>(::GlobalLock(m_hCopyBuffer));
        if (!m_pCopyBuffer) throw std::bad_alloc();

        // The bar keeps its position clamped to its range but repaints whole whenever it
        // is sent any other number, even one that clamps to where it already is. After a
        // small file the counter soon lies above the range left behind, and every chunk
        // would repaint a bar that does not change: such a position is not sent, and the
        // bar is invalidated only when it moves. Its position, range and picture after each
        // chunk stay those that a PBM_SETPOS and an invalidation per chunk leave. Only this
        // loop sends to the bar while it runs, so what the bar holds is known without asking.
        PBRANGE range{};
        m_progress.SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        int shown = static_cast<int>(m_progress.SendMessage(PBM_GETPOS));
        for (;;) {
            std::memset(m_pCopyBuffer, 0, kChunkSize);
            m_nBytesRead = m_pSourceFile->Read(m_pCopyBuffer, kChunkSize);
            // A read moves the file position by exactly the bytes it returns, and no one
            // else holds this handle: counting saves a system call per chunk.
            m_nPosition += m_nBytesRead;
            if (m_nPosition > mark && counter < kMaxCounter) {
                mark += step;
                ++counter;
            }
            const int next = ClampedToRange(counter, range);
            // A counter inside the range is sent as it is (the bar ignores the one it holds).
            if (next == counter || next != shown) {
                m_progress.SendMessage(PBM_SETPOS, counter);
                if (next != shown) ::InvalidateRect(m_progress.m_hWnd, nullptr, TRUE);
                shown = next;
            }
            m_pTargetFile->Write(m_pCopyBuffer, m_nBytesRead);
            // A source that shrinks stops short of its length, one that grows steps over it.
            if (m_nBytesRead == 0 || m_nPosition >= m_nLength) break;
        }

        // An older, longer target keeps no tail of its own.
        // The position counts exactly the bytes read, and every byte read was written.
        const auto written = static_cast<ULONGLONG>(m_nPosition);
        if (m_pTargetFile->GetLength() > written) m_pTargetFile->SetLength(written);
        // A copy counts as done only once its bytes cannot be lost from a cache.
        m_pTargetFile->Flush();

        m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, counter));
        m_progress.SendMessage(PBM_SETPOS, 0);
        freeBuffer();
        m_pSourceFile->Close();
        m_pTargetFile->Close();
        ++m_copyLog.files;
        m_copyLog.bytes += written;
    } catch (...) {
        // Nothing stays locked or allocated behind the error box: the same source can be
        // copied again at once.
        if (m_pSourceFile) m_pSourceFile->Abort();
        if (m_pTargetFile) m_pTargetFile->Abort();
        freeBuffer();
        throw;
    }
}

}  // namespace kestrava
