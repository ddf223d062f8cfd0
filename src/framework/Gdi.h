#pragma once
// Owners for GDI objects, cursor copies and device contexts: what a window makes, it
// frees when the owner goes, on every path.
#include <windows.h>

#include <utility>

namespace kestrava {

// A handle freed by Free when the owner goes or takes another one; move-only.
template <class H, auto Free>
class CHandle {
  public:
    CHandle() = default;
    explicit CHandle(H handle) : m_handle(handle) {}
    ~CHandle() { Reset(); }
    CHandle(CHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CHandle& operator=(CHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }

    void Reset(H handle = nullptr) {
        if (m_handle && m_handle != handle) Free(m_handle);
        m_handle = handle;
    }
    // Gives the handle up without freeing it.
    H Detach() { return std::exchange(m_handle, nullptr); }
    H Get() const { return m_handle; }
    operator H() const { return m_handle; }

  private:
    H m_handle = nullptr;
};

namespace detail {
inline void DeleteFont(HFONT font) {
    ::DeleteObject(font);
}
inline void DestroyCursorCopy(HCURSOR cursor) {
    ::DestroyCursor(cursor);
}
inline void FreeGlobal(HGLOBAL memory) {
    ::GlobalFree(memory);
}
}  // namespace detail

using CFont = CHandle<HFONT, &detail::DeleteFont>;
// A private copy (CopyIcon) of a cursor; shared system cursors must not be destroyed.
using CCursorCopy = CHandle<HCURSOR, &detail::DestroyCursorCopy>;
using CGlobalMemory = CHandle<HGLOBAL, &detail::FreeGlobal>;

// A window's client-area device context, released with the object.
class CClientDC {
  public:
    explicit CClientDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~CClientDC() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// The paint cycle of one WM_PAINT.
class CPaintDC {
  public:
    explicit CPaintDC(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_dc; }

  private:
    HWND m_window;
    PAINTSTRUCT m_ps{};
    HDC m_dc = nullptr;
};

// Selects an object into a device context and puts the previous one back.
class CSelectObject {
  public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectObject() {
        if (m_previous) ::SelectObject(m_dc, m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace kestrava
