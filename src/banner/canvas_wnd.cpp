#include "banner/canvas_wnd.h"
#include "base/text.h"
#include "framework/dpi.h"

#include <algorithm>
#include <climits>
#include <cwchar>

namespace {

bool g_caching = true;

uint32_t SystemButtonFace() { return ::GetSysColor(COLOR_BTNFACE); }

bool SameLogFont(const LOGFONTW& a, const LOGFONTW& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

int ClampToInt(long long v)
{
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// Halfway between two colours, channel by channel.
COLORREF Halfway(COLORREF a, COLORREF b)
{
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

} // namespace

CCanvasWnd::CCanvasWnd()
{
    // Items built with back colour -1 take the system's button face from here on.
    SetButtonFaceColorSource(SystemButtonFace);
    SetBackgroundColor(static_cast<COLORREF>(-1));
}

CCanvasWnd::~CCanvasWnd()
{
    RemoveAllItems();
    LetGoOfKeptFont();
    m_fonts = {};
    m_itemFont.DeleteObject();
    m_backBrush.DeleteObject();
}

void CCanvasWnd::SetCachingEnabled(bool on) { g_caching = on; }

bool CCanvasWnd::IsCachingEnabled() { return g_caching; }

bool CCanvasWnd::CanvasWindowExists() const { return IsWindow() != FALSE; }

void CCanvasWnd::CanvasInvalidateAll() { ::InvalidateRect(m_hWnd, nullptr, TRUE); }

void CCanvasWnd::SetBackgroundColor(COLORREF colour)
{
    if (colour == static_cast<COLORREF>(-1))
        colour = ::GetSysColor(COLOR_BTNFACE);
    m_backColor = colour;
    m_backBrush.CreateSolidBrush(colour);
    if (IsWindow())
        CanvasInvalidateAll();
}

void CCanvasWnd::SetAutoSize(BOOL on)
{
    m_autoSize = on ? 1 : 0;
    m_cacheBaseDirty = true;
}

HBRUSH CCanvasWnd::BackgroundBrush()
{
    // The plain canvas gives its brush up with its window; a new window gets a new one.
    if (!m_backBrush)
        m_backBrush.CreateSolidBrush(m_backColor);
    return m_backBrush.GetSafeHandle();
}

void CCanvasWnd::DescribeBaseFont(LOGFONTW* lf)
{
    *lf = LOGFONTW();
    if (!m_hostFont || ::GetObjectW(m_hostFont, sizeof *lf, lf) == 0)
        *lf = LOGFONTW();
    if (m_autoSize) {
        lf->lfHeight = m_clientRect.bottom - m_clientRect.top;
    } else {
        lf->lfHeight = m_dpi.Metric(SM_CYCAPTION);
        lf->lfWidth = lf->lfHeight * 7 / 16;
    }
}

void CCanvasWnd::DescribeItemFont(const CBannerItem& item, LOGFONTW* lf)
{
    DescribeBaseFont(lf);
    lf->lfWeight = item.IsBold() ? 900 : 400;
    lf->lfItalic = item.IsItalic() ? 1 : 0;
    lf->lfUnderline = item.IsUnderline() ? 1 : 0;
    lf->lfCharSet = DEFAULT_CHARSET;
    lf->lfQuality = DEFAULT_QUALITY;
    const std::wstring face = lex::Widen(BannerFontFace(item.fontKind));
    std::fill(std::begin(lf->lfFaceName), std::end(lf->lfFaceName), L'\0');
    std::wcsncpy(lf->lfFaceName, face.c_str(), LF_FACESIZE - 1);
}

void CCanvasWnd::CreateItemFont(const CBannerItem& item)
{
    m_itemFont.DeleteObject();
    LOGFONTW lf;
    DescribeItemFont(item, &lf);
    m_itemFont.CreateFontIndirect(lf);
}

void CCanvasWnd::PreSubclassWindow()
{
    GetClientRect(&m_clientRect);
    m_cacheBaseDirty = true;
    {
        lex::CClientDC dc(m_hWnd);
        if (dc.GetSafeHdc())
            dc.FillRect(m_clientRect, BackgroundBrush());
        // A class with a private DC hands out this same DC for the window's life.
        if (::GetClassLongPtrW(m_hWnd, GCL_STYLE) & CS_OWNDC)
            m_ownDc = dc.GetSafeHdc();
    }
    // A static control lets clicks through to its parent unless it notifies.
    ModifyStyle(0, SS_NOTIFY);
}

LRESULT CCanvasWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SIZE: {
        LRESULT result = Default();
        OnSize();
        return result;
    }
    case WM_DESTROY: {
        LRESULT result = Default();
        ReleaseWindowResources(false);
        return result;
    }
    case WM_SETFONT:
        // Asked to redraw, the canvas paints with its next paint, together with
        // whatever else changed (a new banner gets its font and its settings one after
        // the other).
        m_hostFont = reinterpret_cast<HFONT>(wParam);
        m_cacheBaseDirty = true;
        if (LOWORD(lParam))
            CanvasInvalidateAll();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_hostFont);
    case WM_ERASEBKGND:
        return TRUE; // the paint handlers fill the background themselves
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wParam, lParam);
    case WM_NCPAINT: {
        LRESULT result = Default();
        OnNcPaint();
        return result;
    }
    default:
        break;
    }
    return CStatic::WindowProc(msg, wParam, lParam);
}

int CCanvasWnd::ExtraBorder() const
{
    // The system draws a one-pixel border at every DPI; ours is one pixel at 96 DPI.
    if (!(GetStyle() & WS_BORDER))
        return 0;
    return std::max(m_dpi.Scale(1) - ::GetSystemMetrics(SM_CXBORDER), 0);
}

LRESULT CCanvasWnd::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default();
    const int extra = ExtraBorder();
    if (extra > 0) {
        RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        ::InflateRect(r, -extra, -extra);
        if (r->right < r->left)
            r->right = r->left;
        if (r->bottom < r->top)
            r->bottom = r->top;
    }
    return result;
}

void CCanvasWnd::OnNcPaint()
{
    const int extra = ExtraBorder();
    if (extra <= 0)
        return;
    // The rest of the border, inside the line the system drew, in its colour.
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc)
        return;
    RECT r;
    ::GetWindowRect(m_hWnd, &r);
    ::OffsetRect(&r, -r.left, -r.top);
    ::InflateRect(&r, -::GetSystemMetrics(SM_CXBORDER), -::GetSystemMetrics(SM_CYBORDER));
    lex::CBrush brush;
    brush.CreateSolidBrush(::GetSysColor(COLOR_WINDOWFRAME));
    for (int i = 0; i < extra; ++i) {
        ::FrameRect(dc, &r, brush.GetSafeHandle());
        ::InflateRect(&r, -1, -1);
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CCanvasWnd::OnSize()
{
    GetClientRect(&m_clientRect);
    m_cacheBaseDirty = true;
}

void CCanvasWnd::ReleaseWindowResources(bool keepForNextWindow)
{
    LetGoOfKeptFont();
    m_ownDc = nullptr;     // it goes with the window
    m_hostFont = nullptr;  // a new window has none until it is given one
    m_cacheBaseDirty = true;
    if (keepForNextWindow)
        return;
    m_fonts = {};
    m_widths.clear();
    m_widths.shrink_to_fit();
    m_cacheBaseValid = false;
    m_itemFont.DeleteObject();
    m_backBrush.DeleteObject();
}

void CCanvasWnd::OnPaint()
{
    lex::CPaintDC dc(m_hWnd);
    dc.FillRect(m_clientRect, BackgroundBrush());
    DrawLine(dc, m_clientRect.left, dc.m_ps.rcPaint, [](int) {});
}

void CCanvasWnd::SetItemColours(lex::CDC& dc, const CBannerItem& item)
{
    // An item on the button face is drawn on the control's own colour; any other back
    // colour shows as a box behind its text (the background mode stays opaque).
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    dc.SetBkColor(item.backColor == face ? m_backColor : item.backColor);
    dc.SetTextColor(item.GetTextColor());
}

void CCanvasWnd::DrawLine(lex::CDC& dc, int startX, const RECT& paintRect, const std::function<void(int)>& placed,
                          int surfaceWidth)
{
    const int right = surfaceWidth > 0 ? m_clientRect.left + surfaceWidth : m_clientRect.right;
    // The window's private DC keeps the last cached font selected: the next tick most
    // often draws with the same one and need not select it again. The cache lets go of
    // it (LetGoOfKeptFont) before deleting any font. Any other DC gets its font back.
    const bool keepFont = g_caching && m_ownDc && dc.GetSafeHdc() == m_ownDc;
    HGDIOBJ original = keepFont ? nullptr : ::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT);
    dc.SetBkMode(OPAQUE);
    if (g_caching)
        DrawLineCached(dc, startX, paintRect, right, placed);
    else
        DrawLinePlain(dc, startX, right, placed);
    if (!keepFont)
        dc.SelectObject(original);
}

void CCanvasWnd::LetGoOfKeptFont()
{
    if (m_ownDc && IsWindow())
        ::SelectObject(m_ownDc, ::GetStockObject(SYSTEM_FONT));
}

void CCanvasWnd::DrawLinePlain(lex::CDC& dc, int startX, int right, const std::function<void(int)>& placed)
{
    HDC hdc = dc.GetSafeHdc();
    HGDIOBJ original = ::GetCurrentObject(hdc, OBJ_FONT);
    long long x = startX;
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        const CBannerItem& item = ItemRef(i);
        // The previous item's font must leave the DC before it is released.
        dc.SelectObject(original);
        CreateItemFont(item);
        if (m_itemFont)
            dc.SelectObject(m_itemFont.GetSafeHandle());
        SetItemColours(dc, item);
        TEXTMETRICW tm = {};
        dc.GetTextMetrics(&tm);
        const std::wstring wide = lex::Widen(item.text);
        SIZE extent = {0, 0};
        ::GetTextExtentPoint32W(hdc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        RECT r = {ClampToInt(x), m_clientRect.top, right, m_clientRect.bottom};
        const int width = extent.cx + tm.tmOverhang;
        if (item.IsMasked() && !IsRevealed(i))
            DrawVeil(hdc, item, r.left, width, wide);
        else
            ::DrawTextW(hdc, wide.c_str(), static_cast<int>(wide.size()), &r, 0);
        placed(width);
        x += width;
    }
}

int CCanvasWnd::FontKeyOf(const CBannerItem& item)
{
    const int face = (item.fontKind >= BANNER_FONT_SONG && item.fontKind <= BANNER_FONT_HEI) ? item.fontKind : 0;
    return (item.IsBold() ? 1 : 0) | (item.IsItalic() ? 2 : 0) | (item.IsUnderline() ? 4 : 0) | (face << 3);
}

void CCanvasWnd::RefreshCacheBase()
{
    // The description needs the host font's LOGFONT and the client height: only worth
    // asking for when one of them may have changed.
    if (m_cacheBaseValid && !m_cacheBaseDirty)
        return;
    m_cacheBaseDirty = false;
    LOGFONTW base;
    DescribeBaseFont(&base);
    if (m_cacheBaseValid && SameLogFont(base, m_cacheBase))
        return;
    // Another host font, height or auto-size setting: every font and width is stale.
    LetGoOfKeptFont();
    m_fonts = {};
    m_widths.clear();
    m_cacheBase = base;
    m_cacheBaseValid = true;
}

CCanvasWnd::CachedFont& CCanvasWnd::FontFor(const CBannerItem& item, HDC dc)
{
    CachedFont& entry = m_fonts[static_cast<size_t>(FontKeyOf(item))];
    if (entry.font)
        return entry;
    LOGFONTW lf;
    DescribeItemFont(item, &lf);
    entry.font.CreateFontIndirect(lf);
    TEXTMETRICW tm = {};
    HGDIOBJ old = ::SelectObject(dc, entry.font.GetSafeHandle());
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    entry.overhang = tm.tmOverhang;
    // Text is clipped at its cell's left edge, but a slanted or overhanging glyph may
    // reach past the right end of its cell into the next items.
    entry.inkMargin = tm.tmHeight + tm.tmMaxCharWidth + tm.tmOverhang;
    entry.italicSlack = (tm.tmAscent + 1) / 2;
    return entry;
}

int CCanvasWnd::InkPastCell(HDC dc, const std::wstring& text, const CachedFont& font, bool italic)
{
    // The right edge of every glyph's black box against where the pen ends. Mostly the
    // last letter decides (an italic f); trailing blanks leave nothing past the cell.
    long long pen = 0, inkRight = 0;
    for (wchar_t ch : text) {
        ABC abc;
        if (!::GetCharABCWidthsW(dc, ch, ch, &abc))
            return font.inkMargin; // not a scalable font: the wide margin
        const long long boxRight = pen + abc.abcA + static_cast<long long>(abc.abcB);
        inkRight = std::max(inkRight, boxRight);
        pen = boxRight + abc.abcC;
    }
    // One pixel more for the smoothing of the glyph's edge.
    const long long past = std::max(0LL, inkRight - pen) + font.overhang + 1 + (italic ? font.italicSlack : 0);
    return static_cast<int>(std::min<long long>(past, font.inkMargin));
}

const CCanvasWnd::CachedWidth& CCanvasWnd::WidthFor(int index, const CBannerItem& item, HDC dc)
{
    CachedWidth& entry = m_widths[static_cast<size_t>(index)];
    const int key = FontKeyOf(item);
    if (entry.fontKey == key && entry.text == item.text)
        return entry;
    CachedFont& font = FontFor(item, dc);
    entry.text = item.text;
    entry.fontKey = key;
    entry.wide = lex::Widen(item.text);
    entry.plainText = entry.wide.find_first_of(L"&\r\n") == std::wstring::npos;
    SIZE extent = {0, 0};
    HGDIOBJ old = ::SelectObject(dc, font.font.GetSafeHandle());
    ::GetTextExtentPoint32W(dc, entry.wide.c_str(), static_cast<int>(entry.wide.size()), &extent);
    entry.inkPast = InkPastCell(dc, entry.wide, font, item.IsItalic());
    ::SelectObject(dc, old);
    entry.width = extent.cx + font.overhang;
    return entry;
}

void CCanvasWnd::DrawLineCached(lex::CDC& dc, int startX, const RECT& paintRect, int right,
                                const std::function<void(int)>& placed)
{
    HDC hdc = dc.GetSafeHdc();
    RefreshCacheBase();
    const int count = GetItemCount();
    m_widths.resize(static_cast<size_t>(count));
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // Only the part of the invalid area inside the surface can show anything.
    const long long visibleLeft = std::max(paintRect.left, m_clientRect.left);
    const long long visibleRight = std::min<long long>(paintRect.right, right);
    HGDIOBJ selected = ::GetCurrentObject(hdc, OBJ_FONT);
    long long x = startX;
    for (int i = 0; i < count; ++i) {
        const CBannerItem& item = ItemRef(i);
        const CachedWidth& w = WidthFor(i, item, hdc);
        placed(w.width);
        const long long left = x;
        x += w.width;
        if (left >= visibleRight)
            continue;
        if (left + w.width + w.inkPast <= visibleLeft)
            continue;
        CachedFont& font = m_fonts[static_cast<size_t>(w.fontKey)];
        if (selected != font.font.GetSafeHandle()) {
            selected = font.font.GetSafeHandle();
            ::SelectObject(hdc, selected);
        }
        ::SetBkColor(hdc, item.backColor == face ? m_backColor : item.backColor);
        ::SetTextColor(hdc, item.GetTextColor());
        RECT r = {ClampToInt(left), m_clientRect.top, right, m_clientRect.bottom};
        if (item.IsMasked() && !IsRevealed(i))
            DrawVeil(hdc, item, r.left, w.width, w.wide);
        else if (w.plainText)
            ::ExtTextOutW(hdc, r.left, r.top, ETO_CLIPPED, &r, w.wide.c_str(), static_cast<UINT>(w.wide.size()),
                          nullptr);
        else
            ::DrawTextW(hdc, w.wide.c_str(), static_cast<int>(w.wide.size()), &r, 0);
    }
}

bool CCanvasWnd::SetRevealedRange(int first, int count)
{
    if (count <= 0)
        first = count = 0;
    if (first == m_revealFirst && count == m_revealCount)
        return false;
    m_revealFirst = first;
    m_revealCount = count;
    return true;
}

bool CCanvasWnd::IsRevealed(int index) const
{
    return index >= m_revealFirst && index - m_revealFirst < m_revealCount;
}

void CCanvasWnd::DrawVeil(HDC dc, const CBannerItem& item, int left, int width, const std::wstring& wide)
{
    // The item's cell as its text would fill it, so nothing around it moves, and a bar
    // over where the text's ink would be (its trailing blanks stay clear), halfway
    // between the text colour and the cell's background.
    const COLORREF back = ::GetBkColor(dc);
    const RECT cell = {left, m_clientRect.top, left + width, m_clientRect.bottom};
    ::SetBkColor(dc, back);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
    size_t inked = wide.find_last_not_of(L' ');
    inked = inked == std::wstring::npos ? 0 : inked + 1;
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(inked), &extent);
    const int height = m_clientRect.bottom - m_clientRect.top;
    const RECT bar = {left, m_clientRect.top + height * 3 / 10, left + std::min<int>(extent.cx, width),
                      m_clientRect.bottom - height * 3 / 10};
    if (bar.right > bar.left && bar.bottom > bar.top) {
        ::SetBkColor(dc, Halfway(item.GetTextColor(), back));
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
        ::SetBkColor(dc, back);
    }
}
