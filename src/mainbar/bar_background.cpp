#include "mainbar/bar_background.h"
#include "base/text.h"
#include "resources/resource.h"
#include "widgets/bmp_file.h"

namespace {

void RedrawBar(HWND bar)
{
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace

CBarBackground::CBarBackground()
    : m_gradientStart(GetSysColor(COLOR_3DLIGHT)), m_gradientEnd(GetSysColor(COLOR_BTNSHADOW))
{
}

void CBarBackground::Create(HWND bar)
{
    m_gradientStart = GetSysColor(COLOR_3DLIGHT);
    m_gradientEnd = GetSysColor(COLOR_BTNSHADOW);
    m_picture.LoadBitmap(IDB_BACKGROUND);
    m_stamp = FileStamp();
    lex::CClientDC windowDC(bar);
    m_memDC.CreateCompatibleDC(windowDC.GetSafeHdc());
}

void CBarBackground::Release()
{
    m_picture.DeleteObject();
    m_stamp = FileStamp();
    m_memDC.DeleteDC();
}

BOOL CBarBackground::LoadFile(HWND bar, const char* path)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    // No such file (the shipped name "2" names none): nothing to load, so the bar's
    // drawing is not held at all. Under Wine each hold and release of a top-level
    // window costs about a millisecond, and every resize step comes through here.
    if (!GetFileAttributesExW(lex::Widen(path).c_str(), GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    stamp.path = path;
    stamp.size = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    stamp.lastWrite = (static_cast<unsigned long long>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                      attributes.ftLastWriteTime.dwLowDateTime;
    if (HasPicture() && stamp == m_stamp)
        return TRUE; // the picture on show is this very file
    SendMessageW(bar, WM_SETREDRAW, FALSE, 0);
    HBITMAP loaded = lex::LoadBitmapFile(path);
    if (loaded) {
        m_picture.Attach(loaded);
        m_stamp = stamp;
    }
    SendMessageW(bar, WM_SETREDRAW, TRUE, 0);
    return loaded != nullptr;
}

void CBarBackground::Clear(HWND bar)
{
    SendMessageW(bar, WM_SETREDRAW, FALSE, 0);
    m_picture.DeleteObject();
    m_stamp = FileStamp();
    SendMessageW(bar, WM_SETREDRAW, TRUE, 0);
    RedrawBar(bar);
}

void CBarBackground::Apply(HWND bar, bool image, const std::string& file, COLORREF gradientStart,
                           COLORREF gradientEnd)
{
    m_gradientStart = gradientStart;
    m_gradientEnd = gradientEnd;
    if (!image) {
        Clear(bar);
        return;
    }
    if (!LoadFile(bar, file.c_str()) && !HasPicture()) {
        // Back from the gradient with no usable file: the built-in tile again.
        lex::CBitmap builtIn;
        if (builtIn.LoadBitmap(IDB_BACKGROUND)) {
            m_picture = std::move(builtIn);
            m_stamp = FileStamp();
        }
    }
    RedrawBar(bar);
}

void CBarBackground::Paint(HDC dc, const RECT& r) const
{
    const SIZE size = m_picture.GetSize();
    if (!HasPicture() || size.cx <= 0 || size.cy <= 0 || !m_memDC.GetSafeHdc()) {
        lex::FillGradient(dc, r, m_gradientStart, m_gradientEnd, lex::GradientAxis::TopToBottom);
        return;
    }
    lex::CSelectObject picture(m_memDC.GetSafeHdc(), m_picture.GetSafeHandle());
    const int w = r.right - r.left, h = r.bottom - r.top;
    for (int i = 0; i <= w / size.cx; ++i)
        for (int j = 0; j <= h / size.cy; ++j)
            BitBlt(dc, r.left + i * size.cx, r.top + j * size.cy, size.cx, size.cy, m_memDC.GetSafeHdc(), 0, 0,
                   SRCCOPY);
}
