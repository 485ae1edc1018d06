#include "treesheet/page_frame.h"
#include "base/text.h"
#include "framework/dpi_follow.h"
#include "framework/gdi.h"

namespace {

const wchar_t kFrameClass[] = L"LexorinPageFrame";

// Caption text and icon stand this far in from the strip's left edge (at 96 DPI).
constexpr int kCaptionIconLeft = 3;
constexpr int kCaptionTextGap = 2;

SIZE IconSize(HICON icon)
{
    SIZE size = {0, 0};
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return size;
    BITMAP mask = {};
    if (info.hbmMask && GetObjectW(info.hbmMask, sizeof mask, &mask)) {
        size.cx = mask.bmWidth;
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        size.cy = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    }
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return size;
}

} // namespace

// CPageFrame --------------------------------------------------------------------------

CPageFrame::~CPageFrame()
{
    if (m_captionIcon)
        DestroyIcon(m_captionIcon);
}

void CPageFrame::SafeInvalidate(const RECT& rect)
{
    lex::CWnd* wnd = GetFrameWindow();
    if (wnd && wnd->IsWindow())
        InvalidateRect(wnd->m_hWnd, &rect, TRUE);
}

void CPageFrame::SetDpi(int dpi)
{
    m_dpi.SetDpi(dpi);
    const bool system = m_dpi.Dpi() == lex::SystemDpi();
    m_captionFont = system ? lex::CFont() : lex::StockFontForDpi(SYSTEM_FONT, m_dpi.Dpi());
    m_messageFont = system ? lex::CFont() : lex::StockFontForDpi(DEFAULT_GUI_FONT, m_dpi.Dpi());
    lex::CWnd* wnd = GetFrameWindow();
    if (wnd && wnd->IsWindow())
        InvalidateRect(wnd->m_hWnd, nullptr, TRUE);
}

void CPageFrame::EnableCaption(BOOL enable)
{
    m_bShowCaption = enable;
    SafeInvalidate(GetCaptionRect());
}

void CPageFrame::SetCaptionHeight(int height)
{
    m_nCaptionHeight = height;
    SafeInvalidate(GetCaptionRect());
}

void CPageFrame::SetCaptionText(const std::string& text, HICON icon)
{
    m_strCaption = text;
    if (m_captionIcon)
        DestroyIcon(m_captionIcon);
    m_captionIcon = icon ? CopyIcon(icon) : nullptr;
    SafeInvalidate(GetCaptionRect());
}

void CPageFrame::SetMessageText(const std::string& text)
{
    m_strMsg = text;
    SafeInvalidate(GetMessageRect());
}

void CPageFrame::Paint(HDC dc)
{
    if (m_bShowCaption)
        PaintCaption(dc, GetCaptionRect(), m_strCaption, m_captionIcon);
    PaintMessage(dc, GetMessageRect(), m_strMsg, kMessageFormat);
}

RECT CPageFrame::GetMessageRect()
{
    RECT r = {0, 0, 0, 0};
    lex::CWnd* wnd = GetFrameWindow();
    if (wnd && wnd->IsWindow())
        wnd->GetClientRect(&r);
    if (m_bShowCaption)
        r.top += m_nCaptionHeight;
    return r;
}

void CPageFrame::PaintMessage(HDC dc, const RECT& rect, const std::string& text, UINT format)
{
    lex::CSelectObject font(dc, m_messageFont ? m_messageFont.GetSafeHandle() : GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT r = rect;
    std::wstring wide = lex::Widen(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format);
    SetBkMode(dc, oldMode);
}

RECT CPageFrame::GetCaptionRect()
{
    RECT r = {0, 0, 0, 0};
    lex::CWnd* wnd = GetFrameWindow();
    if (wnd && wnd->IsWindow())
        wnd->GetClientRect(&r);
    r.bottom = m_bShowCaption ? r.top + m_nCaptionHeight : r.top;
    return r;
}

void CPageFrame::PaintCaption(HDC, const RECT&, const std::string&, HICON) {}

// CPageFrameWnd -----------------------------------------------------------------------

BOOL CPageFrameWnd::CreateFrameWindow(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    const wchar_t* frameClass =
        lex::RegisterWindowClass(kFrameClass, CS_HREDRAW | CS_VREDRAW, GetSysColorBrush(COLOR_3DFACE));
    return CreateEx(0, frameClass, "Page Frame", style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, id);
}

RECT CPageFrameWnd::GetMessageRect()
{
    RECT r = CPageFrame::GetMessageRect();
    if (m_bShowCaption)
        r.top += 1;
    return r;
}

void CPageFrameWnd::PaintCaption(HDC dc, const RECT& rect, const std::string& text, HICON icon)
{
    COLORREF start = GetSysColor(COLOR_INACTIVECAPTION);
    COLORREF end = GetPixel(dc, rect.right - 1, rect.top);
    // Outside the paint's clip region the pixel cannot be read; the background is
    // the 3-D face colour there too.
    if (end == CLR_INVALID)
        end = GetSysColor(COLOR_3DFACE);
    lex::FillGradient(dc, rect, start, end, lex::GradientAxis::LeftToRight);

    RECT textRect = rect;
    if (icon) {
        const SIZE size = IconSize(icon);
        const int left = m_dpi.Scale(kCaptionIconLeft);
        DrawIconEx(dc, rect.left + left, (rect.top + rect.bottom) / 2 - size.cy / 2, icon, size.cx, size.cy, 0,
                   nullptr, DI_NORMAL);
        textRect.left += size.cx + left;
    }
    textRect.left += m_dpi.Scale(kCaptionTextGap);
    COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    lex::CSelectObject font(dc, m_captionFont ? m_captionFont.GetSafeHandle() : GetStockObject(SYSTEM_FONT));
    std::wstring wide = lex::Widen(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &textRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

LRESULT CPageFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        lex::CPaintDC dc(m_hWnd);
        Paint(dc.GetSafeHdc());
        return 0;
    }
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}
