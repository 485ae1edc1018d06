#include "framework/gdi.h"
#include "framework/app.h"

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

} // namespace lex
