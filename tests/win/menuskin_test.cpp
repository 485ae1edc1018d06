// The menu skin under Wine: the tray menu's items converted and drawn flat with the
// toolbar's icons, and a real popup menu's window given its frame and shadow and put
// back when it closes.
#include "base/text.h"
#include "framework/gdi.h"
#include "framework/wnd.h"
#include "menuskin/menu_hook.h"
#include "menuskin/menu_theme.h"
#include "menuskin/new_menu.h"
#include "resources/resource.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// The tray menu as the main bar builds it.
struct TrayMenu {
    CNewMenu menu;
    CNewMenu* popup = nullptr;
    TrayMenu()
    {
        if (menu.LoadMenu(IDR_TRAY_MENU) && menu.LoadToolBarIcons(IDR_MAINTOOLBAR))
            popup = menu.GetSubMenu(0);
        if (popup)
            popup->SetDefaultItem(0, TRUE);
    }
};

// A 32-bit memory surface to draw items into.
struct Surface {
    int cx, cy;
    lex::CMemoryDC dc;
    lex::CBitmap bitmap;
    const uint32_t* bits = nullptr;
    HGDIOBJ old = nullptr;
    Surface(int w, int h) : cx(w), cy(h)
    {
        const BITMAPINFO bi = lex::TopDownDibInfo(w, h);
        void* p = nullptr;
        bitmap.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
        bits = static_cast<const uint32_t*>(p);
        dc.CreateCompatibleDC(nullptr);
        old = SelectObject(dc.GetSafeHdc(), bitmap.GetSafeHandle());
    }
    ~Surface() { SelectObject(dc.GetSafeHdc(), old); }
    COLORREF At(int x, int y) const
    {
        const uint32_t p = bits[y * cx + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(const RECT& r, const std::function<bool(COLORREF)>& pred) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += pred(At(x, y));
        return n;
    }
};

int Saturation(COLORREF c)
{
    const int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
    const int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
    return hi - lo;
}

// Draws item `pos` of the popup in state `state` into a fresh surface.
void DrawInto(CNewMenu& popup, int pos, UINT state, Surface& s)
{
    const CNewMenuItemData* data = popup.Items()[static_cast<size_t>(pos)].get();
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = static_cast<UINT>(data->m_nID);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = reinterpret_cast<HWND>(popup.GetSafeHmenu());
    dis.hDC = s.dc.GetSafeHdc();
    dis.rcItem = RECT{0, 0, s.cx, s.cy};
    dis.itemData = reinterpret_cast<ULONG_PTR>(data);
    popup.DrawItem(&dis);
    GdiFlush();
}

} // namespace

TEST(MenuSkin, TrayMenuIsConvertedToOwnerDrawnItemsWithToolbarIcons)
{
    TrayMenu tray;
    ASSERT_NE(tray.popup, nullptr);
    EXPECT_FALSE(tray.menu.IsPopup()) << "the loaded top menu counts as a menu bar";
    EXPECT_TRUE(tray.popup->IsPopup());
    const UINT ids[] = {32789, 32790, 0, 32791, 32904, 0, 32783, 32784, 32793, 0, 57665};
    const char* texts[] = {"显示单词条", "隐藏单词条", "", "设置...", "导入词表...", "",
                           "帮助",       "关于...",    "每日一贴...", "", "退出"};
    const int icons[] = {-1, 27, -1, 9, -1, -1, -1, 6, -1, -1, 30};
    HMENU h = tray.popup->GetSafeHmenu();
    ASSERT_EQ(GetMenuItemCount(h), 11);
    ASSERT_EQ(tray.popup->Items().size(), 11u);
    for (int i = 0; i < 11; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoW(h, static_cast<UINT>(i), TRUE, &info));
        const CNewMenuItemData* data = tray.popup->Items()[static_cast<size_t>(i)].get();
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(data)) << i;
        EXPECT_EQ(lex::CMenu::FromItemData(info.dwItemData), tray.popup) << "draw requests reach the popup " << i;
        EXPECT_EQ(data->m_nID, ids[i]) << i;
        EXPECT_EQ(data->m_szMenuText, texts[i]) << i;
        EXPECT_EQ((data->m_nFlags & MF_SEPARATOR) != 0, ids[i] == 0) << i;
        EXPECT_EQ(data->m_nMenuIconOffset, icons[i]) << "3 x the toolbar button's position " << i;
    }
    const CNewMenuIcons* shared = tray.popup->Items()[1]->m_pMenuIcon;
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(shared->m_IconsList), 33) << "11 buttons, three images each";
    EXPECT_EQ(tray.popup->Items()[10]->m_pMenuIcon, shared);

    // Loading the toolbar again shares the same icons; destroying the menu lets go of
    // every item's routing.
    {
        TrayMenu again;
        ASSERT_NE(again.popup, nullptr);
        EXPECT_EQ(again.popup->Items()[10]->m_pMenuIcon, shared);
    }
    const ULONG_PTR first = reinterpret_cast<ULONG_PTR>(tray.popup->Items()[0].get());
    tray.menu.DestroyMenu();
    EXPECT_EQ(lex::CMenu::FromItemData(first), nullptr);
}

TEST(MenuSkin, OwnerDrawRequestsWithWparam0ReachTheMenuThroughTheOwnerWindow)
{
    TrayMenu tray;
    ASSERT_NE(tray.popup, nullptr);
    lex::CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    auto measure = [&](int pos) {
        MEASUREITEMSTRUCT mis = {};
        mis.CtlType = ODT_MENU;
        mis.itemID = static_cast<UINT>(tray.popup->Items()[static_cast<size_t>(pos)]->m_nID);
        mis.itemData = reinterpret_cast<ULONG_PTR>(tray.popup->Items()[static_cast<size_t>(pos)].get());
        EXPECT_TRUE(owner.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)));
        return mis;
    };
    const int cyMenu = GetSystemMetrics(SM_CYMENU);
    const MEASUREITEMSTRUCT item = measure(1), separator = measure(2), bold = measure(0);
    EXPECT_EQ(static_cast<int>(item.itemHeight), cyMenu > 23 ? cyMenu : 22);
    EXPECT_EQ(separator.itemHeight, 3u);
    EXPECT_GT(item.itemWidth, 2u * 16u + 2u) << "text plus two icon widths";
    EXPECT_GE(bold.itemWidth, item.itemWidth) << "the bold default item is measured bold";
    owner.DestroyWindow();
}

TEST(MenuSkin, ItemsAreDrawnFlatWithIconColumnHotFrameBoldDefaultAndGreyedDisabled)
{
    TrayMenu tray;
    ASSERT_NE(tray.popup, nullptr);
    const FlatMenuColours c = CMenuThemeFlat::Active().Colours();
    const COLORREF text = GetSysColor(COLOR_MENUTEXT), grey = GetSysColor(COLOR_GRAYTEXT);
    const int w = tray.popup->IconWidth();
    const RECT textArea = {w + 12, 0, 200 - 15, 22};

    // Resting item with an icon ("退出"): icon column, background, darkened icon.
    Surface rest(200, 22);
    DrawInto(*tray.popup, 10, 0, rest);
    EXPECT_EQ(rest.At(1, 1), c.iconColumn);
    EXPECT_EQ(rest.At(w + 7, 20), c.iconColumn) << "the column is icon width + 8 wide";
    EXPECT_EQ(rest.At(w + 8, 1), c.background);
    EXPECT_EQ(rest.At(199, 21), c.background);
    const RECT iconBox = {3, 3, 3 + 16, 3 + 15};
    EXPECT_GT(rest.Count(iconBox, [](COLORREF p) { return Saturation(p) > 60; }), 10) << "a coloured icon";
    EXPECT_GT(rest.Count(textArea, [&](COLORREF p) { return p == text; }), 5) << "label in the menu text colour";

    // Hot: the whole item in the selection fill with a one-pixel frame, the icon raised.
    Surface hot(200, 22);
    DrawInto(*tray.popup, 10, ODS_SELECTED, hot);
    EXPECT_EQ(hot.At(0, 0), c.selectionFrame);
    EXPECT_EQ(hot.At(199, 10), c.selectionFrame);
    EXPECT_EQ(hot.At(100, 21), c.selectionFrame);
    EXPECT_EQ(hot.At(1, 1), c.selectionFill);
    EXPECT_EQ(hot.At(198, 20), c.selectionFill);
    const COLORREF shadow = MenuShade(c.selectionFill);
    EXPECT_GT(hot.Count(RECT{3, 3, 21, 20}, [&](COLORREF p) { return p == shadow; }), 3) << "the icon's shadow";

    // An item the system calls the default (ODS_DEFAULT) is bold: more ink for the same caption.
    Surface plain(200, 22), bold(200, 22);
    DrawInto(*tray.popup, 1, 0, plain);
    DrawInto(*tray.popup, 1, ODS_DEFAULT, bold);
    auto ink = [&](const Surface& s) { return s.Count(textArea, [&](COLORREF p) { return p != c.background; }); };
    EXPECT_GT(ink(bold), ink(plain) + 10);

    // Disabled ("关于..."): the greyed copy of the icon and grey text, highlighted when hot.
    Surface disabled(200, 22), enabled(200, 22);
    DrawInto(*tray.popup, 7, ODS_GRAYED, disabled);
    DrawInto(*tray.popup, 7, 0, enabled);
    EXPECT_GT(enabled.Count(iconBox, [](COLORREF p) { return Saturation(p) > 60; }), 10);
    EXPECT_EQ(disabled.Count(iconBox, [](COLORREF p) { return Saturation(p) > 40; }), 0) << "a grey icon";
    EXPECT_GT(disabled.Count(iconBox, [&](COLORREF p) { return p != c.iconColumn; }), 10) << "but an icon";
    EXPECT_GT(disabled.Count(textArea, [&](COLORREF p) { return p == grey; }), 5);
    EXPECT_EQ(disabled.Count(textArea, [&](COLORREF p) { return p == text && text != grey; }), 0);
    Surface disabledHot(200, 22);
    DrawInto(*tray.popup, 7, ODS_GRAYED | ODS_SELECTED, disabledHot);
    EXPECT_EQ(disabledHot.At(0, 0), c.selectionFrame);

    // Separator: a grey line in the middle from the text's left edge.
    Surface line(200, 3);
    DrawInto(*tray.popup, 2, 0, line);
    EXPECT_EQ(line.At(w + 12, 1), grey);
    EXPECT_EQ(line.At(199, 1), grey);
    EXPECT_EQ(line.At(w + 12, 0), c.background);
    EXPECT_EQ(line.At(2, 1), c.iconColumn);
}

namespace {

// A solid red window that owns the popup; at the menu's first idle moment it runs a check
// with the menu window, then closes the menu with Escape.
class MenuOwner : public lex::CWnd {
public:
    std::function<void(HWND)> onMenuShown;
    int idles = 0;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_ERASEBKGND) {
            RECT r;
            GetClientRect(&r);
            lex::CBrush red;
            red.CreateSolidBrush(RGB(200, 40, 40));
            FillRect(reinterpret_cast<HDC>(wParam), &r, red.GetSafeHandle());
            return 1;
        }
        if (msg == WM_ENTERIDLE && wParam == MSGF_MENU && idles++ == 0) {
            HWND menu = FindWindowW(L"#32768", nullptr);
            if (onMenuShown)
                onMenuShown(menu);
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// How many pixels of `text` drawn in the menu font (regular or bold) on the item
// background differ from the background.
int ReferenceInk(const std::wstring& text, bool bold, COLORREF background)
{
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    ncm.lfMenuFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lex::CFont font;
    font.CreateFontIndirect(ncm.lfMenuFont);
    Surface s(300, 40);
    lex::CBrush brush;
    brush.CreateSolidBrush(background);
    RECT all = {0, 0, s.cx, s.cy};
    FillRect(s.dc.GetSafeHdc(), &all, brush.GetSafeHandle());
    lex::CSelectObject selected(s.dc.GetSafeHdc(), font.GetSafeHandle());
    SetBkMode(s.dc.GetSafeHdc(), TRANSPARENT);
    SetTextColor(s.dc.GetSafeHdc(), GetSysColor(COLOR_MENUTEXT));
    DrawTextW(s.dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &all, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
    return s.Count(all, [&](COLORREF p) { return p != background; });
}

std::vector<COLORREF> Grab(const RECT& r)
{
    Surface s(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    BitBlt(s.dc.GetSafeHdc(), 0, 0, s.cx, s.cy, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    std::vector<COLORREF> out;
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            out.push_back(s.At(x, y));
    return out;
}

} // namespace

TEST(MenuSkin, TrackedPopupGetsFlatFrameAndShadowAndIsReleasedOnClose)
{
    TrayMenu tray;
    ASSERT_NE(tray.popup, nullptr);
    MenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(WS_EX_TOPMOST, nullptr, "owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, 0));
    SetForegroundWindow(owner.m_hWnd);
    wintest::PumpMessages(200);
    const COLORREF red = RGB(200, 40, 40);
    ASSERT_EQ(wintest::ClientPixel(owner.m_hWnd, 200, 200), red) << "the background the shadow falls on";
    EXPECT_FALSE(CMenuHookScope::Installed()) << "no hook while no menu is tracked";

    const FlatMenuColours c = CMenuThemeFlat::Active().Colours();
    const bool systemShadows = MenuSkinFacts().systemShadows;
    HWND first = nullptr;
    bool checked = false;
    owner.onMenuShown = [&](HWND menu) {
        first = menu;
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(CMenuHookScope::Installed());
        EXPECT_TRUE(CMenuHookScope::IsSubclassed(menu));
        EXPECT_EQ(CMenuHookScope::RecordCount(), 1u);
        RECT r;
        GetWindowRect(menu, &r);
        const int W = r.right - r.left, H = r.bottom - r.top;
        const std::vector<COLORREF> px = Grab(r);
        auto at = [&](int x, int y) { return px[static_cast<size_t>(y * W + x)]; };
        const int w = systemShadows ? W : W - 4, h = systemShadows ? H : H - 4;
        EXPECT_EQ(at(0, h / 2), c.frame) << "flat one-pixel frame";
        EXPECT_EQ(at(w - 1, h / 2), c.frame);
        EXPECT_EQ(at(w / 2, 0), c.frame);
        EXPECT_EQ(at(w / 2, h - 1), c.frame);
        EXPECT_EQ(at(w / 2, 1), c.background) << "inside the frame";
        if (!systemShadows) {
            // Every shadow pixel is the red beneath, darkened: most next to the menu.
            for (int k = 1; k <= 4; ++k) {
                EXPECT_EQ(at(W - k, H / 2), MenuDarken(30 * k, red)) << "right band, line " << k;
                EXPECT_EQ(at(W / 2, H - k), MenuDarken(30 * k, red)) << "bottom band, line " << k;
                EXPECT_EQ(at(W - k, 2), red) << "the top of the band is left alone";
                EXPECT_EQ(at(2, H - k), red) << "the left end of the band is left alone";
            }
        }
        // Printed (WM_PRINT), the window shows the same frame around the system's items.
        Surface printed(W, H);
        PrintWindow(menu, printed.dc.GetSafeHdc(), 0);
        GdiFlush();
        EXPECT_EQ(printed.At(0, h / 2), c.frame);
        EXPECT_EQ(printed.At(w / 2, h - 1), c.frame);
        EXPECT_EQ(printed.At(1, h / 2), at(1, h / 2)) << "the icon column";
        int same = 0;
        for (int y = 2; y < h - 2; ++y)
            for (int x = 2; x < w - 2; ++x)
                same += printed.At(x, y) == at(x, y);
        EXPECT_GT(same, (w - 4) * (h - 4) * 9 / 10) << "the items as on screen";

        // The menu's default item, "显示单词条", is drawn bold although the system does not
        // say so when it asks for the drawing: its caption has the ink of a bold rendering.
        RECT item;
        ASSERT_TRUE(GetMenuItemRect(nullptr, tray.popup->GetSafeHmenu(), 0, &item));
        OffsetRect(&item, -r.left, -r.top);
        int drawn = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left + tray.popup->IconWidth() + 8; x < item.right; ++x)
                drawn += at(x, y) != c.background;
        const int regular = ReferenceInk(L"显示单词条", false, c.background);
        const int boldInk = ReferenceInk(L"显示单词条", true, c.background);
        EXPECT_GT(boldInk, regular + 10) << "bold and regular captions can be told apart";
        EXPECT_LT(std::abs(drawn - boldInk), std::abs(drawn - regular))
            << "ink " << drawn << ", regular " << regular << ", bold " << boldInk;
        EXPECT_NEAR(drawn, boldInk, (boldInk - regular) / 4);
        checked = true;
    };
    tray.popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, 150, 150, &owner);
    EXPECT_TRUE(checked) << "the menu was shown";
    EXPECT_FALSE(IsWindow(first) && IsWindowVisible(first));
    EXPECT_EQ(CMenuHookScope::RecordCount(), 0u) << "no record remains after Escape";
    EXPECT_FALSE(CMenuHookScope::Installed());

    // Opened again, the new window is subclassed afresh and released again.
    HWND second = nullptr;
    owner.idles = 0;
    owner.onMenuShown = [&](HWND menu) {
        second = menu;
        EXPECT_TRUE(CMenuHookScope::IsSubclassed(menu));
        EXPECT_EQ(CMenuHookScope::RecordCount(), 1u);
    };
    tray.popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, 160, 160, &owner);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(CMenuHookScope::RecordCount(), 0u);
    owner.DestroyWindow();
}
