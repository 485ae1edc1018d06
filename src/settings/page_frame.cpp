#include "settings/page_frame.h"
#include "base/text.h"
#include "framework/gdi.h"

namespace {

const wchar_t kFrameClass[] = L"LexorinPageFrame";

void RegisterFrameClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = kFrameClass;
    done = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

// CPageFrame --------------------------------------------------------------------------

void CPageFrame::SafeInvalidate(const RECT& rect)
{
    lex::CWnd* wnd = GetFrameWindow();
    if (wnd && wnd->IsWindow())
        InvalidateRect(wnd->m_hWnd, &rect, TRUE);
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
    m_hCaptionIcon = icon;
    SafeInvalidate(GetCaptionRect());
}

void CPageFrame::SetMessageText(const std::string& text)
{
    m_strMsg = text;
    SafeInvalidate(GetMessageRect());
}

void CPageFrame::SetMessageFormat(UINT format)
{
    m_dwMsgFormat = format;
    SafeInvalidate(GetMessageRect());
}

void CPageFrame::Paint(HDC dc)
{
    if (m_bShowCaption)
        PaintCaption(dc, GetCaptionRect(), m_strCaption, m_hCaptionIcon);
    PaintMessage(dc, GetMessageRect(), m_strMsg, m_dwMsgFormat);
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
    lex::CSelectObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
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

CPageFrameWnd::~CPageFrameWnd()
{
    m_Images.DeleteImageList();
}

BOOL CPageFrameWnd::CreateFrameWindow(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    RegisterFrameClass();
    return CreateEx(0, kFrameClass, "Page Frame", style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, id);
}

void CPageFrameWnd::SetCaptionText(const std::string& text, HICON icon)
{
    CPageFrame::SetCaptionText(text, icon);
    m_Images.DeleteImageList();
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return;
    BITMAP mask = {};
    if (info.hbmMask && GetObjectW(info.hbmMask, sizeof mask, &mask)
        && m_Images.Create(mask.bmWidth, mask.bmHeight, ILC_COLOR32 | ILC_MASK, 0, 1)) {
        if (m_Images.Add(icon) < 0)
            m_Images.DeleteImageList();
    }
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
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
    double r = GetRValue(start), g = GetGValue(start), b = GetBValue(start);
    int width = rect.right - rect.left;
    double dr = width > 0 ? (GetRValue(end) - r) / width : 0;
    double dg = width > 0 ? (GetGValue(end) - g) / width : 0;
    double db = width > 0 ? (GetBValue(end) - b) / width : 0;
    for (int x = rect.left; x <= rect.right; ++x) {
        lex::CPen pen;
        pen.CreatePen(PS_SOLID, 1, RGB(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)));
        lex::CSelectObject select(dc, pen.GetSafeHandle());
        MoveToEx(dc, x, rect.top, nullptr);
        LineTo(dc, x, rect.bottom);
        r += dr;
        g += dg;
        b += db;
    }

    RECT textRect = rect;
    if (icon && m_Images.GetImageCount() == 1) {
        int cx = 0, cy = 0;
        m_Images.GetIconSize(&cx, &cy);
        m_Images.Draw(dc, 0, 3, (rect.top + rect.bottom) / 2 - cy / 2, ILD_TRANSPARENT);
        textRect.left += cx + 3;
    }
    textRect.left += 2;
    COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    lex::CSelectObject font(dc, GetStockObject(SYSTEM_FONT));
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
