// GDI objects and device contexts with their ownership in the type.
//
// The owning object wrappers (CFont, CBrush, CPen, CBitmap) are move-only and delete
// their handle; there is no implicit conversion to the raw handle, so a handle cannot
// silently outlive its owner. CDC is a non-owning view of a device context; CPaintDC,
// CClientDC and CMemoryDC own theirs. CSelectObject selects into a DC for a scope and
// puts the previous object back.
#pragma once

#include <windows.h>

#include <utility>

namespace lex {

template <class Handle>
class CGdiObjectT {
public:
    CGdiObjectT() = default;
    explicit CGdiObjectT(Handle h) : m_handle(h) {}
    ~CGdiObjectT() { DeleteObject(); }
    CGdiObjectT(const CGdiObjectT&) = delete;
    CGdiObjectT& operator=(const CGdiObjectT&) = delete;
    CGdiObjectT(CGdiObjectT&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CGdiObjectT& operator=(CGdiObjectT&& other) noexcept
    {
        if (this != &other)
            Attach(std::exchange(other.m_handle, nullptr));
        return *this;
    }

    Handle GetSafeHandle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Takes ownership of h, deleting the handle held before.
    void Attach(Handle h)
    {
        DeleteObject();
        m_handle = h;
    }
    Handle Detach() { return std::exchange(m_handle, nullptr); }
    void DeleteObject()
    {
        if (m_handle)
            ::DeleteObject(m_handle);
        m_handle = nullptr;
    }

protected:
    Handle m_handle = nullptr;
};

class CFont : public CGdiObjectT<HFONT> {
public:
    BOOL CreateFontIndirect(const LOGFONTW& lf)
    {
        Attach(::CreateFontIndirectW(&lf));
        return m_handle != nullptr;
    }
};

class CBrush : public CGdiObjectT<HBRUSH> {
public:
    BOOL CreateSolidBrush(COLORREF colour)
    {
        Attach(::CreateSolidBrush(colour));
        return m_handle != nullptr;
    }
};

class CPen : public CGdiObjectT<HPEN> {
public:
    BOOL CreatePen(int style, int width, COLORREF colour)
    {
        Attach(::CreatePen(style, width, colour));
        return m_handle != nullptr;
    }
};

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
    BOOL LoadBitmap(UINT id);
    BOOL CreateCompatibleBitmap(HDC dc, int cx, int cy)
    {
        Attach(::CreateCompatibleBitmap(dc, cx, cy));
        return m_handle != nullptr;
    }
    // Width and height in pixels; (0, 0) without a bitmap.
    SIZE GetSize() const;
};

// A non-owning view of a device context with the drawing calls the program uses.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    void FillRect(const RECT& r, HBRUSH brush) { ::FillRect(m_hDC, &r, brush); }
    BOOL GetTextMetrics(TEXTMETRICW* tm) const { return ::GetTextMetricsW(m_hDC, tm); }
    int IntersectClipRect(const RECT& r) { return ::IntersectClipRect(m_hDC, r.left, r.top, r.right, r.bottom); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

protected:
    HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// A memory DC compatible with another DC, deleted with the object.
class CMemoryDC : public CDC {
public:
    CMemoryDC() = default;
    ~CMemoryDC() { DeleteDC(); }
    BOOL CreateCompatibleDC(HDC dc)
    {
        DeleteDC();
        m_hDC = ::CreateCompatibleDC(dc);
        return m_hDC != nullptr;
    }
    void DeleteDC()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
        m_hDC = nullptr;
    }
};

// An icon owned by the object and destroyed with it; move-only. Assigning a new one
// destroys the old one after the new one is held, so a window can be handed the new
// icon before the one it showed goes.
class CIcon {
public:
    CIcon() = default;
    explicit CIcon(HICON icon) : m_icon(icon) {}
    ~CIcon() { Destroy(); }
    CIcon(CIcon&& other) noexcept : m_icon(std::exchange(other.m_icon, nullptr)) {}
    CIcon& operator=(CIcon&& other) noexcept
    {
        if (this != &other) {
            Destroy();
            m_icon = std::exchange(other.m_icon, nullptr);
        }
        return *this;
    }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;

    HICON GetSafeHandle() const { return m_icon; }

private:
    void Destroy()
    {
        if (m_icon)
            ::DestroyIcon(m_icon);
        m_icon = nullptr;
    }
    HICON m_icon = nullptr;
};

// Selects an object into a DC for the guard's lifetime and restores the previous one.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectObject()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Which way a gradient runs: from the left edge to the right, or from the top to the
// bottom.
enum class GradientAxis { LeftToRight, TopToBottom };

// Fills r, and nothing outside it, with a linear gradient from colour `from` at its
// first line (the left column or the top row) to colour `to` at its last.
void FillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, GradientAxis axis);

// The header of a 32 bits-per-pixel DIB of cx x cy whose rows run from the top; its
// pixels are 0x00RRGGBB.
inline BITMAPINFO TopDownDibInfo(int cx, int cy)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

} // namespace lex
