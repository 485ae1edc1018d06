#include "framework/gdi.h"
#include "framework/app.h"
#include "framework/text.h"

namespace lex {

BOOL CBitmap::LoadBitmap(UINT id)
{
    Attach(static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    return m_handle != nullptr;
}

SIZE CBitmap::GetSize() const
{
    SIZE size = {0, 0};
    BITMAP bm;
    if (m_handle && ::GetObjectW(m_handle, sizeof bm, &bm)) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    return size;
}

void CDC::FillSolidRect(const RECT& r, COLORREF colour)
{
    COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

int CDC::DrawText(const std::string& text, RECT* r, UINT format)
{
    std::wstring wide = Widen(text);
    return ::DrawTextW(m_hDC, wide.c_str(), static_cast<int>(wide.size()), r, format);
}

SIZE CDC::GetTextExtent(const std::string& text) const
{
    std::wstring wide = Widen(text);
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(m_hDC, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

} // namespace lex
