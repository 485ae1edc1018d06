#include "menuskin/menu_theme.h"
#include "base/text.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "framework/system_call.h"
#include "menuskin/new_menu.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

COLORREF Sys(int index)
{
    return GetSysColor(index);
}

// IsThemeActive from uxtheme.dll, consulted only on Windows XP.
bool VisualStylesActive()
{
    using IsThemeActiveFn = BOOL(WINAPI*)();
    static const IsThemeActiveFn isThemeActive =
        lex::LookupSystemCall<IsThemeActiveFn>(L"uxtheme.dll", "IsThemeActive");
    return isThemeActive && isThemeActive();
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour)
{
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

// A hollow rectangle whose lines are `width` pixels wide, inside r.
void FrameSolid(HDC dc, const RECT& r, COLORREF colour, int width = 1)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    FillSolid(dc, RECT{r.left, r.top, r.right, r.top + width}, colour);
    FillSolid(dc, RECT{r.left, r.bottom - width, r.right, r.bottom}, colour);
    FillSolid(dc, RECT{r.left, r.top, r.left + width, r.bottom}, colour);
    FillSolid(dc, RECT{r.right - width, r.top, r.right, r.bottom}, colour);
}

// The icon's silhouette in one colour: the brush wherever the image is opaque.
void DrawSilhouette(HDC dc, HIMAGELIST list, int index, int x, int y, COLORREF colour)
{
    HICON icon = ImageList_GetIcon(list, index, ILD_TRANSPARENT);
    if (!icon)
        return;
    lex::CBrush brush;
    brush.CreateSolidBrush(colour);
    DrawStateW(dc, brush.GetSafeHandle(), nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0,
               DST_ICON | DSS_MONO);
    DestroyIcon(icon);
}

// The shadow our frame casts when the system draws none: this many pixels to the right
// and below (the darkening of each line is ShadowDarkening's).
constexpr int kShadowSize = 4;
// The caption starts this far right of the icon column and ends this far left of the
// item's right edge, where the system draws a popup's arrow.
constexpr int kCaptionIndent = 4;
constexpr int kCaptionRightMargin = 15;
// Icons sit this far right of the item's left edge (centred in the column when narrower).
constexpr int kIconLeft = 3;
// The check box stands in the icon column, one pixel in from the item's edges and two
// from the column's right edge.
constexpr int kCheckBoxInset = 1;
constexpr int kCheckBoxColumnGap = 2;
// The glyphs of the Marlett font for a radio bullet and a check mark.
constexpr wchar_t kMarlettBullet = L'i';
constexpr wchar_t kMarlettCheck = L'b';

// The theme's colours from the system colours as they are now.
FlatMenuColours ReadColours()
{
    MenuSkinState state = MenuSkinFacts().state;
    if (state.osCode == kMenuOsWindowsXp) {
        BOOL flat = FALSE;
        SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
        state.flatMenus = flat != FALSE;
        state.visualStyles = VisualStylesActive();
    }
    MenuSystemColours sys;
    sys.window = Sys(COLOR_WINDOW);
    sys.menu = Sys(COLOR_MENU);
    sys.menuBar = Sys(COLOR_MENUBAR);
    sys.highlight = Sys(COLOR_HIGHLIGHT);
    sys.btnFace = Sys(COLOR_BTNFACE);
    sys.btnText = Sys(COLOR_BTNTEXT);
    HDC screen = GetDC(nullptr);
    FlatMenuColours c = MakeFlatMenuColours(sys, state, [screen](uint32_t a, uint32_t b) {
        return GetNearestColor(screen, a) == GetNearestColor(screen, b);
    });
    ReleaseDC(nullptr, screen);
    return c;
}

// One owner-drawn item being drawn.
struct ItemPaint {
    const CMenuThemeFlat& theme;
    HDC dc;
    RECT item;
    int iconWidth;
    int iconHeight;
    UINT state; // ODS_*
    bool selected;
    bool grayed;
    bool checked;
    bool bold;
    const FlatMenuColours& c;

    int S(int value96) const { return theme.Scale(value96); }
    int ColumnRight() const { return item.left + theme.IconColumnWidth(iconWidth); }
    RECT CaptionRect() const
    {
        return RECT{ColumnRight() + S(kCaptionIndent), item.top, item.right - S(kCaptionRightMargin), item.bottom};
    }
    RECT CheckBox() const
    {
        return RECT{item.left + S(kCheckBoxInset), item.top + S(kCheckBoxInset),
                    ColumnRight() - S(kCheckBoxColumnGap), item.bottom - S(kCheckBoxInset)};
    }
};

// Menu bars are not skinned here beyond a plain, centred caption.
void DrawMenuBarItem(const ItemPaint& p, const std::wstring& text)
{
    FillSolid(p.dc, p.item, p.selected ? p.c.selectionFill : p.c.menuBar);
    SetBkMode(p.dc, TRANSPARENT);
    SetTextColor(p.dc, Sys(p.grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    RECT r = p.item;
    DrawTextW(p.dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The icon column on the left, the background beside it.
void DrawItemBackground(const ItemPaint& p)
{
    const int column = p.ColumnRight();
    FillSolid(p.dc, RECT{p.item.left, p.item.top, column, p.item.bottom}, p.c.iconColumn);
    FillSolid(p.dc, RECT{column, p.item.top, p.item.right, p.item.bottom}, p.c.background);
}

// A one-pixel (at 96 DPI) grey line across the middle, from the caption's left edge.
void DrawSeparatorLine(const ItemPaint& p)
{
    const int middle = (p.item.top + p.item.bottom) / 2;
    FillSolid(p.dc, RECT{p.CaptionRect().left, middle, p.item.right, middle + p.S(1)}, Sys(COLOR_GRAYTEXT));
}

// The label before the first tab on the left, the accelerator after the last one on the right.
void DrawCaption(const ItemPaint& p, const std::wstring& text, HFONT font)
{
    SelectObject(p.dc, font);
    SetBkMode(p.dc, TRANSPARENT);
    COLORREF textColour = Sys(p.grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    if (MenuSkinFacts().state.highContrast && !p.selected)
        textColour = Sys(COLOR_WINDOWTEXT);
    SetTextColor(p.dc, textColour);
    const size_t firstTab = text.find(L'\t'), lastTab = text.rfind(L'\t');
    const std::wstring label = text.substr(0, firstTab);
    const UINT prefix = (p.state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    const RECT textRect = p.CaptionRect();
    RECT r = textRect;
    DrawTextW(p.dc, label.c_str(), static_cast<int>(label.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | prefix);
    if (lastTab != std::wstring::npos) {
        const std::wstring accel = text.substr(lastTab + 1);
        r = textRect;
        DrawTextW(p.dc, accel.c_str(), static_cast<int>(accel.size()), &r,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | prefix);
    }
}

// The box behind a check mark or a checked item's icon.
void DrawCheckBox(const ItemPaint& p)
{
    const COLORREF fill = !p.selected                    ? MenuMix86(p.c.iconColumn, Sys(COLOR_HIGHLIGHT))
                          : MenuSkinFacts().state.lowColour ? p.c.selectionFill
                                                            : MenuMix86(p.c.selectionFill, Sys(COLOR_HIGHLIGHT));
    const RECT box = p.CheckBox();
    FillSolid(p.dc, box, fill);
    FrameSolid(p.dc, box, p.c.selectionFrame, p.S(1));
}

// The item's icon: greyed when disabled, raised over its shadow when hot, darkened at rest.
void DrawItemIcon(const ItemPaint& p, HIMAGELIST icons, int index)
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(icons, &cx, &cy);
    const int L = p.item.left, w = p.iconWidth;
    const int x = cx < w ? L + (w - cx) / 2 + p.S(kIconLeft) : L + p.S(kIconLeft);
    const int lift = p.S(1); // how far a hot icon stands off its shadow, each way
    const int y = p.item.top + (p.item.bottom - p.item.top - cy) / 2;
    if (p.checked)
        DrawCheckBox(p);
    if (p.grayed) {
        ImageList_Draw(icons, index + 2, p.dc, x, y, ILD_TRANSPARENT);
    } else if (p.selected) {
        if (p.checked) {
            ImageList_Draw(icons, index, p.dc, x, y, ILD_TRANSPARENT);
        } else {
            DrawSilhouette(p.dc, icons, index, x + lift, y + lift, MenuShade(p.c.selectionFill));
            ImageList_Draw(icons, index, p.dc, x - lift, y - lift, ILD_TRANSPARENT);
        }
    } else {
        ImageList_Draw(icons, index + 1, p.dc, x, y, ILD_TRANSPARENT);
    }
}

// A checked item without an icon: its check mark (or radio bullet) in the Marlett font.
void DrawCheckMark(const ItemPaint& p, HMENU menu, UINT id)
{
    DrawCheckBox(p);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    GetMenuItemInfoW(menu, id, FALSE, &info);
    const wchar_t glyph = info.hbmpChecked ? kMarlettBullet : kMarlettCheck;
    const int L = p.item.left, T = p.item.top, B = p.item.bottom;
    const int two = p.S(2), four = p.S(4);
    RECT g = {L - two, T, p.ColumnRight() + two, B};
    const int middle = (T + B) / 2, half = (p.iconHeight + four) / 2;
    g.top = middle - half;
    g.bottom = g.top + p.iconHeight + four;
    InflateRect(&g, -two, -two);
    LOGFONTW lf = {};
    lf.lfHeight = g.bottom - g.top;
    lf.lfWeight = p.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = SYMBOL_CHARSET;
    std::wcscpy(lf.lfFaceName, L"Marlett");
    lex::CFont marlett;
    marlett.CreateFontIndirect(lf);
    SelectObject(p.dc, marlett.GetSafeHandle());
    SetTextColor(p.dc, Sys(p.grayed || (p.state & ODS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawTextW(p.dc, &glyph, 1, &g, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
}

} // namespace

const MenuSkinSystem& MenuSkinFacts()
{
    static const MenuSkinSystem facts = [] {
        MenuSkinSystem f;
        f.state.osCode = MenuOsCode(GetVersion());
        HIGHCONTRASTW hc = {};
        hc.cbSize = sizeof hc;
        f.state.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
                               (hc.dwFlags & HCF_HIGHCONTRASTON);
        HDC screen = GetDC(nullptr);
        const int colours = GetDeviceCaps(screen, NUMCOLORS);
        const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        ReleaseDC(nullptr, screen);
        f.screenColours = bits > 8 || colours < 0 ? 64000 : colours;
        f.state.lowColour = f.screenColours <= 256;
        BOOL shadows = FALSE;
        SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &shadows, 0);
        f.systemShadows = shadows != FALSE;
        return f;
    }();
    return facts;
}

void MenuErrorReport()
{
    const DWORD code = GetLastError();
    if (code == 0)
        return;
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message;
    if (n && text) {
        message = text;
    } else {
        wchar_t buf[64];
        std::swprintf(buf, 64, L"Error message 0x%lx not found", static_cast<unsigned long>(code));
        message = buf;
    }
    if (text)
        LocalFree(text);
    MessageBoxW(nullptr, message.c_str(), L"Error", MB_OK | MB_ICONINFORMATION);
}

CMenuThemeFlat::CMenuThemeFlat() : m_dpi(lex::SystemDpi())
{
    SetInsets();
}

void CMenuThemeFlat::SetInsets()
{
    const bool shadows = MenuSkinFacts().systemShadows;
    m_leftInset = Scale(2);
    m_topInset = Scale(2);
    m_rightInset = Scale(shadows ? 2 : 5);
    m_bottomInset = Scale(shadows ? 2 : 6);
}

CMenuThemeFlat& CMenuThemeFlat::Active()
{
    static CMenuThemeFlat theme;
    return theme;
}

void CMenuThemeFlat::Refresh(int dpi)
{
    m_dpi = dpi > 0 ? dpi : lex::kBaseDpi;
    SetInsets();
    NONCLIENTMETRICSW ncm = lex::NonClientMetricsForDpi(m_dpi);
    m_resources.regular.CreateFontIndirect(ncm.lfMenuFont);
    ncm.lfMenuFont.lfWeight = FW_BOLD;
    m_resources.bold.CreateFontIndirect(ncm.lfMenuFont);
    m_resources.cyMenu = lex::SystemMetricForDpi(SM_CYMENU, m_dpi);
    m_resources.colours = ReadColours();
    m_resources.ready = true;
}

const CMenuThemeFlat::ItemResources& CMenuThemeFlat::Resources() const
{
    if (!m_resources.ready)
        const_cast<CMenuThemeFlat*>(this)->Refresh();
    return m_resources;
}

HFONT CMenuThemeFlat::ItemFont(bool bold) const
{
    return (bold ? Resources().bold : Resources().regular).GetSafeHandle();
}

const FlatMenuColours& CMenuThemeFlat::Colours() const
{
    return Resources().colours;
}

void CMenuThemeFlat::MeasureItem(MEASUREITEMSTRUCT* mis, const CNewMenuItemData& data, int iconWidth,
                                 int iconHeight, bool bold, bool menuBar, int dpi)
{
    if (dpi != m_dpi)
        Refresh(dpi);
    if (data.m_nFlags & MF_SEPARATOR) {
        const MenuItemSize size = MeasureFlatSeparator(m_dpi);
        mis->itemWidth = static_cast<UINT>(size.width);
        mis->itemHeight = static_cast<UINT>(size.height);
        return;
    }
    const std::wstring text = lex::Widen(data.m_szMenuText);
    HDC dc = GetDC(nullptr);
    SIZE extent = {0, 0};
    {
        lex::CSelectObject selected(dc, ItemFont(bold));
        RECT r = {0, 0, 0, 0};
        // The caption as drawn: ampersands mark the underlined letter and take no room.
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
        extent.cx = r.right - r.left;
        extent.cy = r.bottom - r.top;
    }
    ReleaseDC(nullptr, dc);
    const MenuItemSize size = MeasureFlatItem(extent.cx, extent.cy, text.find(L'\t') != std::wstring::npos, menuBar,
                                              iconWidth, iconHeight, Resources().cyMenu, m_dpi);
    mis->itemWidth = static_cast<UINT>(std::max(size.width, 0));
    mis->itemHeight = static_cast<UINT>(size.height);
}

void CMenuThemeFlat::DrawItem(const DRAWITEMSTRUCT* dis, const CNewMenuItemData& data, int iconWidth,
                              int iconHeight, bool bold, bool menuBar, int dpi)
{
    if (dpi != m_dpi)
        Refresh(dpi);
    const UINT state = dis->itemState;
    const ItemPaint p = {*this,
                         dis->hDC,
                         dis->rcItem,
                         iconWidth,
                         iconHeight,
                         state,
                         (state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE)) != 0,
                         (state & (ODS_GRAYED | ODS_DISABLED)) != 0,
                         (state & ODS_CHECKED) != 0,
                         bold,
                         Colours()};
    const int savedDC = SaveDC(p.dc);
    const std::wstring text = lex::Widen(data.m_szMenuText);
    if (menuBar) {
        DrawMenuBarItem(p, text);
    } else if (data.m_nFlags & MF_SEPARATOR) {
        DrawItemBackground(p);
        DrawSeparatorLine(p);
    } else {
        DrawItemBackground(p);
        if (p.selected) {
            FillSolid(p.dc, p.item, p.c.selectionFill);
            FrameSolid(p.dc, p.item, p.c.selectionFrame, p.S(1));
        }
        DrawCaption(p, text, ItemFont(bold));
        HIMAGELIST icons = data.m_pMenuIcon ? data.m_pMenuIcon->m_IconsList : nullptr;
        if (icons && data.m_nMenuIconOffset >= 0)
            DrawItemIcon(p, icons, data.m_nMenuIconOffset);
        else if (p.checked)
            DrawCheckMark(p, reinterpret_cast<HMENU>(dis->hwndItem), dis->itemID);
    }
    RestoreDC(p.dc, savedDC);
}

void CMenuThemeFlat::PaintFrame(HDC dc, int W, int H, const RECT& client, HBITMAP screen) const
{
    const bool shadows = MenuSkinFacts().systemShadows;
    const FlatMenuColours c = Colours();
    const bool highContrast = MenuSkinFacts().state.highContrast;
    const COLORREF background = highContrast ? Sys(COLOR_MENU) : c.background;
    const COLORREF column = highContrast ? Sys(COLOR_MENU) : c.iconColumn;
    const COLORREF frame = highContrast ? Sys(COLOR_WINDOWFRAME) : c.frame;
    const int shadow = Scale(kShadowSize);
    const int w = shadows ? W : W - shadow, h = shadows ? H : H - shadow;
    // The frame is one pixel at 96 DPI, the light line inside it fills the rest of the
    // inset, and the icon column runs on in it from the item rows.
    const int line = Scale(1);

    // The gap between the edge and the client area, leaving the client alone.
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillSolid(dc, RECT{0, 0, w, h}, background);
    RestoreDC(dc, saved);
    FrameSolid(dc, RECT{line, line, w - line, h - line}, background, std::max(m_leftInset - line, line));
    FillSolid(dc, RECT{line, 2 * line, m_leftInset, h - 2 * line}, column);
    FrameSolid(dc, RECT{0, 0, w, h}, frame, line);
    if (!shadows)
        PaintShadow(dc, W, H, screen);
}

void CMenuThemeFlat::PaintShadow(HDC dc, int W, int H, HBITMAP screen) const
{
    const int S = Scale(kShadowSize);
    if (!screen || W < 2 * S || H < 2 * S)
        return;
    BITMAP bm = {};
    if (!GetObjectW(screen, sizeof bm, &bm) || bm.bmWidth < W || bm.bmHeight < H || !bm.bmBits ||
        bm.bmBitsPixel != 32)
        return;
    const auto* src = static_cast<const uint32_t*>(bm.bmBits);
    const int stride = bm.bmWidthBytes / 4;
    // The copy is a top-down DIB of 0x00RRGGBB pixels; the colour functions take 0x00BBGGRR.
    auto pixel = [&](int x, int y) {
        const uint32_t p = src[y * stride + x];
        return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    };
    auto toDib = [](uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); };
    const bool lowColour = MenuSkinFacts().state.lowColour;

    // The right band over all rows, the bottom band over the columns left of it.
    std::vector<uint32_t> right(static_cast<size_t>(S * H)), bottom(static_cast<size_t>((W - S) * S));
    for (int y = 0; y < H; ++y)
        for (int i = 0; i < S; ++i) {
            const int x = W - S + i, depth = W - x;
            const int d = lowColour ? 0 : ShadowDarkeningAt(depth, y, H, m_dpi);
            right[static_cast<size_t>(y * S + i)] = toDib(d ? MenuDarken(d, pixel(x, y)) : pixel(x, y));
        }
    for (int j = 0; j < S; ++j)
        for (int x = 0; x < W - S; ++x) {
            const int y = H - S + j, depth = H - y;
            const int d = lowColour ? 0 : ShadowDarkeningAt(depth, x, W, m_dpi);
            bottom[static_cast<size_t>(j * (W - S) + x)] = toDib(d ? MenuDarken(d, pixel(x, y)) : pixel(x, y));
        }
    auto blit = [dc](int x, int y, int cx, int cy, const std::vector<uint32_t>& bits) {
        const BITMAPINFO bi = lex::TopDownDibInfo(cx, cy);
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(cx), static_cast<DWORD>(cy), 0, 0, 0, static_cast<UINT>(cy),
                          bits.data(), &bi, DIB_RGB_COLORS);
    };
    blit(W - S, 0, S, H, right);
    blit(0, H - S, W - S, S, bottom);
    if (lowColour) {
        // A two-pixel band of the button-shadow colour inside the captured background.
        const int two = Scale(2), four = Scale(4);
        FillSolid(dc, RECT{W - four, four, W - two, H - two}, Sys(COLOR_BTNSHADOW));
        FillSolid(dc, RECT{four, H - four, W - four, H - two}, Sys(COLOR_BTNSHADOW));
    }
}
