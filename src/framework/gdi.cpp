#include "framework/gdi.h"
#include "framework/app.h"

namespace lex {

BOOL CBitmap::LoadBitmap(UINT id)
{
    Attach(static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    return m_handle != nullptr;
}

void FillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, GradientAxis axis)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    // One call for the whole rectangle rather than a pen per line: the system
    // interpolates, and its corner vertices bound the fill (the far ones are exclusive).
    auto vertex = [](LONG x, LONG y, COLORREF c) {
        TRIVERTEX v = {};
        v.x = x;
        v.y = y;
        v.Red = static_cast<COLOR16>(GetRValue(c) << 8);
        v.Green = static_cast<COLOR16>(GetGValue(c) << 8);
        v.Blue = static_cast<COLOR16>(GetBValue(c) << 8);
        return v;
    };
    TRIVERTEX corners[2] = {vertex(r.left, r.top, from), vertex(r.right, r.bottom, to)};
    GRADIENT_RECT mesh = {0, 1};
    ::GdiGradientFill(dc, corners, 2, &mesh, 1,
                      axis == GradientAxis::LeftToRight ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
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

} // namespace lex
