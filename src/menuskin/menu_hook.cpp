#include "menuskin/menu_hook.h"
#include "framework/gdi.h"
#include "framework/wnd.h"
#include "menuskin/menu_theme.h"
#include "menuskin/new_menu.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

namespace {

const UINT kMenuSizeWindow = 0x01E2; // the menu manager's resize message
const UINT kMenuGetMenu = 0x01E1;    // MN_GETHMENU
const wchar_t kMenuClass[] = L"#32768";
// The copy of the screen reaches this far past the window on the right and below,
// under the shadow (at 96 DPI, like every measure here; the theme scales them).
const int kCaptureMargin = 10;
// A border the system draws inside the client area is at most this wide.
const int kMaxClientBorder = 8;

// A popup-menu window given the theme's frame. It is linked through the framework like
// any other window (our procedure in front of the system's, found from the handle) and
// let go of as soon as the window is hidden: the menu manager may show the same window
// again for another menu, and the hook then skins it afresh.
class CMenuWindow : public lex::CWnd {
public:
    // Links the window and replaces the system's border with the theme's frame.
    void Skin(HWND hWnd);
    // Puts the window's styles back and cuts the link.
    void Release();
    bool IsLinked() const { return m_hWnd != nullptr; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    void AdjustPosition(WINDOWPOS* pos) const;
    // Follows the window's position; false when the window was released.
    bool TrackPosition(const WINDOWPOS* pos);
    void OnNcCalcSize(WPARAM wParam, LPARAM lParam) const;
    void OnNcPaint();
    LRESULT OnPaint();
    void OnPrint(HDC dc, LPARAM parts);
    void OnEraseBkgnd(HDC dc);
    void CaptureScreen(int x, int y, int cx, int cy);
    void PaintWindowFrame(HDC dc);
    void CoverSystemBorder(HDC dc, POINT origin);

    LONG_PTR m_style = 0;
    LONG_PTR m_exStyle = 0;
    bool m_stylesChanged = false;
    POINT m_pos = {0, 0};
    bool m_posKnown = false;
    lex::CBitmap m_screen; // what lay under the window (32-bit top-down DIB)
    bool m_framePainted = false;
    // The system draws its own border inside the client area (Wine's menus do) rather
    // than in a non-client border: the window then grows by the whole frame, and the
    // border it paints is covered after its painting.
    bool m_borderInClient = false;
};

// The menu windows skinned while the outermost scope lives. A window let go of keeps its
// object until then: it is released inside one of its own messages, whose handling is
// still on the stack.
std::vector<std::unique_ptr<CMenuWindow>>& MenuWindows()
{
    static std::vector<std::unique_ptr<CMenuWindow>> windows;
    return windows;
}

// The hook belongs to the thread that tracks the menu.
thread_local HHOOK g_hook = nullptr;
thread_local int g_scopes = 0;

bool IsMenuWindow(HWND hWnd)
{
    wchar_t name[8] = {};
    return GetClassNameW(hWnd, name, 8) == 6 && std::wcscmp(name, kMenuClass) == 0;
}

// The menu object behind a popup-menu window's items, if the menu is one of ours.
CNewMenu* OwningMenu(HWND hWnd)
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(hWnd, kMenuGetMenu, 0, 0));
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!menu || !GetMenuItemInfoW(menu, 0, TRUE, &info))
        return nullptr;
    return dynamic_cast<CNewMenu*>(lex::CMenu::FromItemData(info.dwItemData));
}

void CMenuWindow::Skin(HWND hWnd)
{
    m_style = GetWindowLongPtrW(hWnd, GWL_STYLE);
    m_exStyle = GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    if (!SubclassWindow(hWnd))
        return;
    const LONG_PTR border = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME;
    const LONG_PTR exBorder = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    m_borderInClient = !(m_style & border) && !(m_exStyle & exBorder);
    const LONG_PTR style = m_style & ~static_cast<LONG_PTR>(WS_BORDER);
    const LONG_PTR exStyle = m_exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    if (style != m_style || exStyle != m_exStyle) {
        SetWindowLongPtrW(hWnd, GWL_STYLE, style);
        SetWindowLongPtrW(hWnd, GWL_EXSTYLE, exStyle);
        m_stylesChanged = true;
    }
}

void CMenuWindow::Release()
{
    if (!m_hWnd)
        return;
    if (m_stylesChanged) {
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, m_style);
        SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, m_exStyle);
    }
    UnsubclassWindow();
}

// Copies the screen under a window of cx x cy at (x, y), and the margin beyond it.
void CMenuWindow::CaptureScreen(int x, int y, int cx, int cy)
{
    const int margin = CMenuThemeFlat::Active().Scale(kCaptureMargin);
    const int w = cx + margin, h = cy + margin;
    const BITMAPINFO bi = lex::TopDownDibInfo(w, h);
    void* bits = nullptr;
    m_screen.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_screen)
        return;
    HDC screen = GetDC(nullptr);
    lex::CMemoryDC mem;
    if (mem.CreateCompatibleDC(screen)) {
        lex::CSelectObject selected(mem.GetSafeHdc(), m_screen.GetSafeHandle());
        BitBlt(mem.GetSafeHdc(), 0, 0, w, h, screen, x, y, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    GdiFlush();
}

// The window's frame (and shadow) into a DC whose origin is the window's top-left.
void CMenuWindow::PaintWindowFrame(HDC dc)
{
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    const int W = window.right - window.left, H = window.bottom - window.top;
    if (!m_screen)
        CaptureScreen(m_posKnown ? m_pos.x : window.left, m_posKnown ? m_pos.y : window.top, W, H);
    CMenuThemeFlat::Active().PaintFrame(dc, W, H, client, m_screen.GetSafeHandle());
    m_framePainted = true;
}

// Covers the border the system painted inside the client area with the item colours,
// so that the icon column runs on to the frame. origin: the client area's place in dc.
void CMenuWindow::CoverSystemBorder(HDC dc, POINT origin)
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(kMenuGetMenu));
    const int count = menu ? GetMenuItemCount(menu) : 0;
    RECT first, last, client;
    if (count <= 0 || !GetMenuItemRect(nullptr, menu, 0, &first) || !GetMenuItemRect(nullptr, menu, count - 1, &last))
        return;
    GetClientRect(&client);
    POINT at = {0, 0};
    ClientToScreen(m_hWnd, &at);
    OffsetRect(&first, -at.x, -at.y);
    OffsetRect(&last, -at.x, -at.y);
    const CMenuThemeFlat& theme = CMenuThemeFlat::Active();
    const int most = theme.Scale(kMaxClientBorder);
    const int left = std::clamp(static_cast<int>(first.left), 0, most);
    const int top = std::clamp(static_cast<int>(first.top), 0, most);
    const int right = std::clamp(static_cast<int>(client.right - first.right), 0, most);
    const int bottom = std::clamp(static_cast<int>(client.bottom - last.bottom), 0, most);
    const FlatMenuColours& c = theme.Colours();
    CNewMenu* owner = OwningMenu(m_hWnd);
    const COLORREF background = owner ? c.background : GetSysColor(COLOR_MENU);
    const COLORREF column = owner ? c.iconColumn : GetSysColor(COLOR_MENU);
    const int columnRight = owner ? left + theme.IconColumnWidth(owner->IconWidth()) : left;
    const int cw = client.right, ch = client.bottom;
    auto fill = [dc, origin](int l, int t, int r, int b, COLORREF colour) {
        if (r <= l || b <= t)
            return;
        RECT rect = {origin.x + l, origin.y + t, origin.x + r, origin.y + b};
        lex::CBrush brush;
        brush.CreateSolidBrush(colour);
        FillRect(dc, &rect, brush.GetSafeHandle());
    };
    fill(0, 0, columnRight, top, column);
    fill(columnRight, 0, cw, top, background);
    fill(0, ch - bottom, columnRight, ch, column);
    fill(columnRight, ch - bottom, cw, ch, background);
    fill(0, top, left, ch - bottom, column);
    fill(cw - right, top, cw, ch - bottom, background);
}

// The size and place the menu manager asks for, adjusted for the frame and shadow.
void CMenuWindow::AdjustPosition(WINDOWPOS* pos) const
{
    const CMenuThemeFlat& theme = CMenuThemeFlat::Active();
    if (!(pos->flags & SWP_NOSIZE)) {
        // The menu manager sized the window for the system's border, three pixels a side
        // in the classic look (six a dimension). Where the system draws the shadow our
        // frame is two pixels a side: two pixels less. Where we draw the shadow, frame and
        // shadow take seven pixels across and eight down: two more holds them, with a
        // spare column on the right.
        const int kGrowBesideSystemShadow = -2, kGrowWithOwnShadow = 2;
        const int grow =
            theme.Scale(MenuSkinFacts().systemShadows ? kGrowBesideSystemShadow : kGrowWithOwnShadow);
        int growX = grow, growY = grow;
        if (m_borderInClient) {
            // Nothing was taken away: keep the client area the system laid its items out in.
            growX = theme.m_leftInset + theme.m_rightInset;
            growY = theme.m_topInset + theme.m_bottomInset;
        }
        pos->cx += growX;
        pos->cy += growY;
    }
    // One pixel up: the row the menu manager put the menu's top at (the pointer's row,
    // or the edge of what the menu drops from) is then the light line inside the frame,
    // and the dark frame line lies just above it rather than on it.
    if (!(pos->flags & SWP_NOMOVE))
        pos->y -= theme.Scale(1);
}

bool CMenuWindow::TrackPosition(const WINDOWPOS* pos)
{
    if (pos->flags & SWP_NOMOVE)
        return true;
    if (!m_posKnown) {
        m_pos = POINT{pos->x, pos->y};
        m_posKnown = true;
        return true;
    }
    if (m_pos.x == pos->x && m_pos.y == pos->y)
        return true;
    if (pos->flags & SWP_NOSIZE) {
        // Moved only: the shadow is taken from the screen at the new place.
        m_pos = POINT{pos->x, pos->y};
        m_screen.DeleteObject();
        return true;
    }
    Release();
    return false;
}

LRESULT CMenuWindow::OnWindowPosChanging(WINDOWPOS* pos)
{
    AdjustPosition(pos);
    // About to appear: copy what lies beneath now, before the window covers it.
    if ((pos->flags & SWP_SHOWWINDOW) && !(pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) && !IsWindowVisible() &&
        !MenuSkinFacts().systemShadows)
        CaptureScreen(pos->x, pos->y, pos->cx, pos->cy);
    const LRESULT result = Default();
    if (IsLinked())
        TrackPosition(pos);
    return result;
}

void CMenuWindow::OnNcCalcSize(WPARAM wParam, LPARAM lParam) const
{
    const CMenuThemeFlat& theme = CMenuThemeFlat::Active();
    RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    r->left += theme.m_leftInset;
    r->top += theme.m_topInset;
    r->right -= theme.m_rightInset;
    r->bottom -= theme.m_bottomInset;
}

void CMenuWindow::OnNcPaint()
{
    HDC dc = GetWindowDC(m_hWnd);
    PaintWindowFrame(dc);
    ReleaseDC(m_hWnd, dc);
}

LRESULT CMenuWindow::OnPaint()
{
    const LRESULT result = Default();
    if (m_borderInClient) {
        HDC dc = GetDC(m_hWnd);
        CoverSystemBorder(dc, POINT{0, 0});
        ReleaseDC(m_hWnd, dc);
    }
    return result;
}

// The frame around the system's own drawing of the client area.
void CMenuWindow::OnPrint(HDC dc, LPARAM parts)
{
    RECT window, client;
    GetWindowRect(&window);
    POINT origin = {0, 0};
    ClientToScreen(m_hWnd, &origin);
    origin.x -= window.left;
    origin.y -= window.top;
    GetClientRect(&client);
    if (parts & PRF_NONCLIENT)
        PaintWindowFrame(dc);
    if (parts & PRF_CLIENT) {
        POINT oldOrigin;
        OffsetViewportOrgEx(dc, origin.x, origin.y, &oldOrigin);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), parts);
        RestoreDC(dc, saved);
        SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        if (m_borderInClient)
            CoverSystemBorder(dc, origin);
    }
}

void CMenuWindow::OnEraseBkgnd(HDC dc)
{
    if (!m_framePainted) {
        HDC windowDC = GetWindowDC(m_hWnd);
        PaintWindowFrame(windowDC);
        ReleaseDC(m_hWnd, windowDC);
    }
    RECT r;
    GetClientRect(&r);
    lex::CBrush brush;
    brush.CreateSolidBrush(GetSysColor(COLOR_MENU));
    FillRect(dc, &r, brush.GetSafeHandle());
}

LRESULT CMenuWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_WINDOWPOSCHANGING:
        return OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_WINDOWPOSCHANGED:
        if (!TrackPosition(reinterpret_cast<WINDOWPOS*>(lParam)))
            return Default();
        break;
    case WM_NCCALCSIZE:
        OnNcCalcSize(wParam, lParam);
        return 0;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_PAINT:
        return OnPaint();
    case WM_PRINT:
        OnPrint(reinterpret_cast<HDC>(wParam), lParam);
        return 0;
    case WM_ERASEBKGND:
        OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_SETTINGCHANGE:
        CMenuThemeFlat::Active().Refresh();
        break;
    case WM_SHOWWINDOW:
        if (!wParam) {
            Release();
            return Default();
        }
        break;
    default:
        break;
    }
    return lex::CWnd::WindowProc(msg, wParam, lParam);
}

LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((cwp->message == WM_CREATE || cwp->message == kMenuSizeWindow) && !lex::CWnd::FromHandle(cwp->hwnd) &&
            IsMenuWindow(cwp->hwnd)) {
            auto window = std::make_unique<CMenuWindow>();
            window->Skin(cwp->hwnd);
            if (window->IsLinked())
                MenuWindows().push_back(std::move(window));
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

CMenuHookScope::CMenuHookScope()
{
    if (g_scopes++ == 0) {
        g_hook = SetWindowsHookExW(WH_CALLWNDPROC, MenuHookProc, nullptr, GetCurrentThreadId());
        if (!g_hook)
            MenuErrorReport();
    }
}

CMenuHookScope::~CMenuHookScope()
{
    if (--g_scopes == 0) {
        if (g_hook) {
            UnhookWindowsHookEx(g_hook);
            g_hook = nullptr;
        }
        for (auto& window : MenuWindows())
            window->Release();
        MenuWindows().clear();
    }
}

bool CMenuHookScope::Installed()
{
    return g_hook != nullptr;
}

size_t CMenuHookScope::RecordCount()
{
    const auto& windows = MenuWindows();
    return static_cast<size_t>(
        std::count_if(windows.begin(), windows.end(), [](const auto& window) { return window->IsLinked(); }));
}

bool CMenuHookScope::IsSubclassed(HWND hWnd)
{
    return dynamic_cast<CMenuWindow*>(lex::CWnd::FromHandle(hWnd)) != nullptr;
}
