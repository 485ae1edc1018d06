#include "menuskin/menu_theme.h"
#include "base/text.h"
#include "framework/gdi.h"
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
    static IsThemeActiveFn isThemeActive = [] {
        HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
        return uxtheme ? reinterpret_cast<IsThemeActiveFn>(
                             reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsThemeActive")))
                       : nullptr;
    }();
    return isThemeActive && isThemeActive();
}

HFONT CreateMenuFont(bool bold)
{
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    if (bold)
        ncm.lfMenuFont.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&ncm.lfMenuFont);
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour)
{
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    FillSolid(dc, RECT{r.left, r.top, r.right, r.top + 1}, colour);
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
    FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
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

CMenuThemeFlat::CMenuThemeFlat()
    : m_rightInset(MenuSkinFacts().systemShadows ? 2 : 5), m_bottomInset(MenuSkinFacts().systemShadows ? 2 : 6)
{
}

CMenuThemeFlat& CMenuThemeFlat::Active()
{
    static CMenuThemeFlat theme;
    return theme;
}

FlatMenuColours CMenuThemeFlat::Colours() const
{
    MenuSkinState state = MenuSkinFacts().state;
    if (state.osCode == 7) {
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

void CMenuThemeFlat::MeasureItem(MEASUREITEMSTRUCT* mis, const CNewMenuItemData& data, int iconWidth,
                                 int iconHeight, bool bold, bool menuBar) const
{
    if (data.m_nFlags & MF_SEPARATOR) {
        const MenuItemSize size = MeasureFlatSeparator();
        mis->itemWidth = static_cast<UINT>(size.width);
        mis->itemHeight = static_cast<UINT>(size.height);
        return;
    }
    const std::wstring text = lex::Widen(data.m_szMenuText);
    HDC dc = GetDC(nullptr);
    lex::CFont font;
    font.Attach(CreateMenuFont(bold));
    SIZE extent = {0, 0};
    {
        lex::CSelectObject selected(dc, font.GetSafeHandle());
        RECT r = {0, 0, 0, 0};
        // The caption as drawn: ampersands mark the underlined letter and take no room.
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
        extent.cx = r.right - r.left;
        extent.cy = r.bottom - r.top;
    }
    ReleaseDC(nullptr, dc);
    const MenuItemSize size = MeasureFlatItem(extent.cx, extent.cy, text.find(L'\t') != std::wstring::npos, menuBar,
                                              iconWidth, iconHeight, GetSystemMetrics(SM_CYMENU));
    mis->itemWidth = static_cast<UINT>(std::max(size.width, 0));
    mis->itemHeight = static_cast<UINT>(size.height);
}

void CMenuThemeFlat::DrawItem(const DRAWITEMSTRUCT* dis, const CNewMenuItemData& data, int iconWidth,
                              int iconHeight, bool menuBar) const
{
    HDC dc = dis->hDC;
    const RECT item = dis->rcItem;
    const int L = item.left, T = item.top, R = item.right, B = item.bottom, w = iconWidth;
    const FlatMenuColours c = Colours();
    const bool highContrast = MenuSkinFacts().state.highContrast;
    const bool lowColour = MenuSkinFacts().state.lowColour;
    const UINT state = dis->itemState;
    const bool selected = (state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE)) != 0;
    const bool grayed = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (state & ODS_CHECKED) != 0;
    const int savedDC = SaveDC(dc);

    const std::wstring text = lex::Widen(data.m_szMenuText);
    if (menuBar) {
        // Menu bars are not skinned here beyond a plain, centred caption.
        FillSolid(dc, item, selected ? c.selectionFill : c.menuBar);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Sys(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        RECT r = item;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        RestoreDC(dc, savedDC);
        return;
    }

    FillSolid(dc, RECT{L, T, L + w + 8, B}, c.iconColumn);
    FillSolid(dc, RECT{L + w + 8, T, R, B}, c.background);
    RECT textRect = {L + w + 12, T, R - 15, B};

    if (data.m_nFlags & MF_SEPARATOR) {
        FillSolid(dc, RECT{textRect.left, (T + B) / 2, R, (T + B) / 2 + 1}, Sys(COLOR_GRAYTEXT));
        RestoreDC(dc, savedDC);
        return;
    }

    if (selected) {
        FillSolid(dc, item, c.selectionFill);
        FrameSolid(dc, item, c.selectionFrame);
    }

    // The caption: the label before the first tab, the accelerator after the last one.
    lex::CFont font;
    font.Attach(CreateMenuFont((state & ODS_DEFAULT) != 0));
    SelectObject(dc, font.GetSafeHandle());
    SetBkMode(dc, TRANSPARENT);
    COLORREF textColour = Sys(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    if (highContrast && !selected)
        textColour = Sys(COLOR_WINDOWTEXT);
    SetTextColor(dc, textColour);
    const size_t firstTab = text.find(L'\t'), lastTab = text.rfind(L'\t');
    const std::wstring label = text.substr(0, firstTab);
    const UINT prefix = (state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    RECT r = textRect;
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | prefix);
    if (lastTab != std::wstring::npos) {
        const std::wstring accel = text.substr(lastTab + 1);
        r = textRect;
        DrawTextW(dc, accel.c_str(), static_cast<int>(accel.size()), &r,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | prefix);
    }

    // The box behind a check mark.
    const COLORREF checkBox = !selected ? MenuMix86(c.iconColumn, Sys(COLOR_HIGHLIGHT))
                              : lowColour ? c.selectionFill
                                          : MenuMix86(c.selectionFill, Sys(COLOR_HIGHLIGHT));
    const RECT box = {L + 1, T + 1, L + w + 6, B - 1};

    HIMAGELIST icons = data.m_pMenuIcon ? data.m_pMenuIcon->m_IconsList : nullptr;
    if (icons && data.m_nMenuIconOffset >= 0) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(icons, &cx, &cy);
        const int x = cx < w ? L + (w - cx) / 2 + 3 : L + 3;
        const int y = T + (B - T - cy) / 2;
        const int index = data.m_nMenuIconOffset;
        if (checked) {
            FillSolid(dc, box, checkBox);
            FrameSolid(dc, box, c.selectionFrame);
        }
        if (grayed) {
            ImageList_Draw(icons, index + 2, dc, x, y, ILD_TRANSPARENT);
        } else if (selected) {
            if (checked) {
                ImageList_Draw(icons, index, dc, x, y, ILD_TRANSPARENT);
            } else {
                DrawSilhouette(dc, icons, index, x + 1, y + 1, MenuShade(c.selectionFill));
                ImageList_Draw(icons, index, dc, x - 1, y - 1, ILD_TRANSPARENT);
            }
        } else {
            ImageList_Draw(icons, index + 1, dc, x, y, ILD_TRANSPARENT);
        }
    } else if (checked) {
        FillSolid(dc, box, checkBox);
        FrameSolid(dc, box, c.selectionFrame);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_CHECKMARKS;
        GetMenuItemInfoW(reinterpret_cast<HMENU>(dis->hwndItem), dis->itemID, FALSE, &info);
        const wchar_t glyph = info.hbmpChecked ? L'i' : L'b';
        RECT g = {L - 2, T, L + w + 10, B};
        const int middle = (T + B) / 2, half = (iconHeight + 4) / 2;
        g.top = middle - half;
        g.bottom = g.top + iconHeight + 4;
        InflateRect(&g, -2, -2);
        LOGFONTW lf = {};
        lf.lfHeight = g.bottom - g.top;
        lf.lfWeight = (state & ODS_DEFAULT) ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = SYMBOL_CHARSET;
        std::wcscpy(lf.lfFaceName, L"Marlett");
        lex::CFont marlett;
        marlett.CreateFontIndirect(lf);
        SelectObject(dc, marlett.GetSafeHandle());
        SetTextColor(dc, Sys(grayed || (state & ODS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        DrawTextW(dc, &glyph, 1, &g, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    RestoreDC(dc, savedDC);
}

void CMenuThemeFlat::PaintFrame(HDC dc, int W, int H, const RECT& client, HBITMAP screen) const
{
    const bool shadows = MenuSkinFacts().systemShadows;
    const FlatMenuColours c = Colours();
    const bool highContrast = MenuSkinFacts().state.highContrast;
    const COLORREF background = highContrast ? Sys(COLOR_MENU) : c.background;
    const COLORREF column = highContrast ? Sys(COLOR_MENU) : c.iconColumn;
    const COLORREF frame = highContrast ? Sys(COLOR_WINDOWFRAME) : c.frame;
    const int w = shadows ? W : W - 4, h = shadows ? H : H - 4;

    // The gap between the edge and the client area, leaving the client alone.
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillSolid(dc, RECT{0, 0, w, h}, background);
    RestoreDC(dc, saved);
    FrameSolid(dc, RECT{1, 1, w - 1, h - 1}, background);
    FillSolid(dc, RECT{1, 2, 2, 2 + (h - 4)}, column);
    FrameSolid(dc, RECT{0, 0, w, h}, frame);
    if (!shadows)
        PaintShadow(dc, W, H, screen);
}

void CMenuThemeFlat::PaintShadow(HDC dc, int W, int H, HBITMAP screen) const
{
    if (!screen || W < 8 || H < 8)
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

    // Right band W-4..W-1 over all rows, bottom band H-4..H-1 over columns 0..W-5.
    std::vector<uint32_t> right(static_cast<size_t>(4 * H)), bottom(static_cast<size_t>((W - 4) * 4));
    for (int y = 0; y < H; ++y)
        for (int i = 0; i < 4; ++i) {
            const int x = W - 4 + i, k = W - x;
            const int d = lowColour ? 0 : ShadowDarkening(k, y, H);
            right[static_cast<size_t>(y * 4 + i)] = toDib(d ? MenuDarken(d, pixel(x, y)) : pixel(x, y));
        }
    for (int j = 0; j < 4; ++j)
        for (int x = 0; x < W - 4; ++x) {
            const int y = H - 4 + j, k = H - y;
            const int d = lowColour ? 0 : ShadowDarkening(k, x, W);
            bottom[static_cast<size_t>(j * (W - 4) + x)] = toDib(d ? MenuDarken(d, pixel(x, y)) : pixel(x, y));
        }
    auto blit = [dc](int x, int y, int cx, int cy, const std::vector<uint32_t>& bits) {
        const BITMAPINFO bi = lex::TopDownDibInfo(cx, cy);
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(cx), static_cast<DWORD>(cy), 0, 0, 0, static_cast<UINT>(cy),
                          bits.data(), &bi, DIB_RGB_COLORS);
    };
    blit(W - 4, 0, 4, H, right);
    blit(0, H - 4, W - 4, 4, bottom);
    if (lowColour) {
        // A two-pixel band of the button-shadow colour inside the captured background.
        FillSolid(dc, RECT{W - 4, 4, W - 2, H - 2}, Sys(COLOR_BTNSHADOW));
        FillSolid(dc, RECT{4, H - 4, W - 4, H - 2}, Sys(COLOR_BTNSHADOW));
    }
}
