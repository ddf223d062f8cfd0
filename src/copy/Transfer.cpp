// Copies one file in large blocks while the progress bar counts, 512-byte step by step, the
// marks the source's position passes.
#include "app/KestravaDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace kestrava {

namespace {
constexpr UINT kStepSize = 512;
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
void CreateIfMissing(const std::wstring& path) {
    HANDLE created = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) ::CloseHandle(created);
}
}  // namespace

void CKestravaDlg::TransferFile(std::wstring source, std::wstring target) {
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

        m_hCopyBuffer = ::GlobalAlloc(GMEM_MOVEABLE, kCopyBlockSize);
        if (!m_hCopyBuffer) throw std::bad_alloc();
        m_pCopyBuffer = static_cast<BYTE*>(::GlobalLock(m_hCopyBuffer));
        if (!m_pCopyBuffer) throw std::bad_alloc();

        // The bar is moved as if every 512-byte step had been read, written and shown on its
        // own: its position, range and picture after each step are those that a PBM_SETPOS
        // and an invalidation per step leave. It clamps a position to its range, ignores the
        // one it holds and repaints whole when sent any other, even one that clamps to where
        // it is: so only a step that moves it is sent, and then invalidated. Only this loop
        // sends to the bar while it runs, so what the bar holds is known without asking.
        PBRANGE range{};
        m_progress.SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        int shown = static_cast<int>(m_progress.SendMessage(PBM_GETPOS));
        for (;;) {
            // At least one step, and no further than the steps up to the length reach: a source
            // that grows meanwhile is copied as far as step by step.
            const LONGLONG steps =
                std::max<LONGLONG>(1, (m_nLength - m_nPosition + kStepSize - 1) / kStepSize);
            const UINT wanted =
                static_cast<UINT>(std::min<LONGLONG>(kCopyBlockSize, steps * kStepSize));
            const UINT read = m_pSourceFile->Read(m_pCopyBuffer, wanted);
            m_pTargetFile->Write(m_pCopyBuffer, read);
            // A read moves the file position by exactly the bytes it returns, and no one else
            // holds this handle: counting saves a system call per step.
            UINT done = 0;
            do {
                m_nBytesRead = std::min(kStepSize, read - done);
                done += m_nBytesRead;
                m_nPosition += m_nBytesRead;
                if (m_nPosition > mark && counter < kMaxCounter) {
                    mark += step;
                    ++counter;
                }
                const int next = ClampedToRange(counter, range);
                if (next != shown) {
                    m_progress.SendMessage(PBM_SETPOS, counter);
                    ::InvalidateRect(m_progress.m_hWnd, nullptr, TRUE);
                    shown = next;
                }
            } while (done < read);
            // A source that shrinks stops short of its length (a read of nothing), one that
            // grows steps over it.
            if (read == 0 || m_nPosition >= m_nLength) break;
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
