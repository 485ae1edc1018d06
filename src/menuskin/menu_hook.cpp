#include "menuskin/menu_hook.h"
#include "framework/gdi.h"
#include "menuskin/menu_theme.h"
#include "menuskin/new_menu.h"

#include <algorithm>
#include <cwchar>
#include <unordered_map>

namespace {

const UINT kMenuSizeWindow = 0x01E2; // the menu manager's resize message
const UINT kMenuGetMenu = 0x01E1;    // MN_GETHMENU
const wchar_t kMenuClass[] = L"#32768";

enum RecordState : unsigned {
    kStylesChanged = 1u << 1,
    kEscapePressed = 1u << 2,
    kPrinting = 1u << 3,
};

// What a subclassed popup-menu window needs to be put back, and its screen copy.
struct MenuWindowRecord {
    LONG_PTR style = 0;
    LONG_PTR exStyle = 0;
    POINT pos = {0, 0};
    bool posKnown = false;
    int kind = 0; // 1 when subclassed on the menu-resize message
    unsigned state = 0;
    HMENU owner = nullptr; // set only by menu-bar frames; none for our popups
    lex::CBitmap screen;   // what lay under the window (32-bit top-down DIB)
    bool skinned = true;
    WNDPROC oldProc = nullptr;
    bool framePainted = false;
    // The system draws its own border inside the client area (Wine's menus do) rather
    // than in a non-client border: the window then grows by the whole frame, and the
    // border it paints is covered after its painting.
    bool borderInClient = false;
};

std::unordered_map<HWND, MenuWindowRecord>& Records()
{
    static std::unordered_map<HWND, MenuWindowRecord> records;
    return records;
}

// The hook belongs to the thread that tracks the menu.
thread_local HHOOK g_hook = nullptr;
thread_local int g_scopes = 0;

LRESULT CALLBACK MenuWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

bool IsMenuWindow(HWND hWnd)
{
    wchar_t name[8] = {};
    return GetClassNameW(hWnd, name, 8) == 6 && std::wcscmp(name, kMenuClass) == 0;
}

void Subclass(HWND hWnd, int kind)
{
    MenuWindowRecord& rec = Records()[hWnd];
    rec.kind = kind;
    rec.skinned = true; // every popup menu of the thread is skinned
    rec.style = GetWindowLongPtrW(hWnd, GWL_STYLE);
    rec.exStyle = GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    SetLastError(0);
    rec.oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuWindowProc)));
    if (!rec.oldProc) {
        MenuErrorReport();
        Records().erase(hWnd);
        return;
    }
    // The theme's frame replaces the system's border.
    if (rec.skinned && CMenuThemeFlat::Active().DrawsOwnFrame()) {
        const LONG_PTR border = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME;
        const LONG_PTR exBorder = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
        rec.borderInClient = !(rec.style & border) && !(rec.exStyle & exBorder);
        const LONG_PTR style = rec.style & ~static_cast<LONG_PTR>(WS_BORDER);
        const LONG_PTR exStyle = rec.exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
        if (style != rec.style || exStyle != rec.exStyle) {
            SetWindowLongPtrW(hWnd, GWL_STYLE, style);
            SetWindowLongPtrW(hWnd, GWL_EXSTYLE, exStyle);
            rec.state |= kStylesChanged;
        }
    }
}

// Puts the window back as it was and forgets it.
void Release(HWND hWnd)
{
    auto it = Records().find(hWnd);
    if (it == Records().end())
        return;
    MenuWindowRecord& rec = it->second;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == MenuWindowProc) {
        SetLastError(0);
        if (!SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(rec.oldProc)))
            MenuErrorReport();
    }
    if (rec.state & kStylesChanged) {
        SetWindowLongPtrW(hWnd, GWL_STYLE, rec.style);
        SetWindowLongPtrW(hWnd, GWL_EXSTYLE, rec.exStyle);
    }
    Records().erase(it);
}

// Copies the screen under a window of cx x cy at (x, y), 10 pixels more each way.
void CaptureScreen(MenuWindowRecord& rec, int x, int y, int cx, int cy)
{
    const BITMAPINFO bi = lex::TopDownDibInfo(cx + 10, cy + 10);
    void* bits = nullptr;
    rec.screen.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!rec.screen)
        return;
    HDC screen = GetDC(nullptr);
    lex::CMemoryDC mem;
    if (mem.CreateCompatibleDC(screen)) {
        lex::CSelectObject selected(mem.GetSafeHdc(), rec.screen.GetSafeHandle());
        BitBlt(mem.GetSafeHdc(), 0, 0, cx + 10, cy + 10, screen, x, y, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    GdiFlush();
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

// The window's frame (and shadow) into a DC whose origin is the window's top-left.
void PaintWindowFrame(HWND hWnd, MenuWindowRecord& rec, HDC dc)
{
    RECT window, client;
    GetWindowRect(hWnd, &window);
    GetClientRect(hWnd, &client);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    const int W = window.right - window.left, H = window.bottom - window.top;
    if (!rec.screen)
        CaptureScreen(rec, rec.posKnown ? rec.pos.x : window.left, rec.posKnown ? rec.pos.y : window.top, W, H);
    CMenuThemeFlat::Active().PaintFrame(dc, W, H, client, rec.screen.GetSafeHandle());
    rec.framePainted = true;
}

// Covers the border the system painted inside the client area with the item colours,
// so that the icon column runs on to the frame. origin: the client area's place in dc.
void CoverSystemBorder(HWND hWnd, HDC dc, POINT origin)
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(hWnd, kMenuGetMenu, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : 0;
    RECT first, last, client;
    if (count <= 0 || !GetMenuItemRect(nullptr, menu, 0, &first) || !GetMenuItemRect(nullptr, menu, count - 1, &last))
        return;
    GetClientRect(hWnd, &client);
    POINT at = {0, 0};
    ClientToScreen(hWnd, &at);
    OffsetRect(&first, -at.x, -at.y);
    OffsetRect(&last, -at.x, -at.y);
    const int left = std::clamp(static_cast<int>(first.left), 0, 8);
    const int top = std::clamp(static_cast<int>(first.top), 0, 8);
    const int right = std::clamp(static_cast<int>(client.right - first.right), 0, 8);
    const int bottom = std::clamp(static_cast<int>(client.bottom - last.bottom), 0, 8);
    const FlatMenuColours c = CMenuThemeFlat::Active().Colours();
    CNewMenu* owner = OwningMenu(hWnd);
    const COLORREF background = owner ? c.background : GetSysColor(COLOR_MENU);
    const COLORREF column = owner ? c.iconColumn : GetSysColor(COLOR_MENU);
    const int columnRight = owner ? left + owner->IconWidth() + 8 : left;
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
void AdjustPosition(const MenuWindowRecord& rec, WINDOWPOS* pos)
{
    const CMenuThemeFlat& theme = CMenuThemeFlat::Active();
    if (!(pos->flags & SWP_NOSIZE)) {
        int grow = MenuSkinFacts().systemShadows ? -2 : 2;
        int growX = grow, growY = grow;
        if (rec.borderInClient) {
            // Nothing was taken away: keep the client area the system laid its items out in.
            growX = theme.m_leftInset + theme.m_rightInset;
            growY = theme.m_topInset + theme.m_bottomInset;
        }
        pos->cx += growX;
        pos->cy += growY;
    }
    if (!(pos->flags & SWP_NOMOVE))
        pos->y -= 1;
}

// Follows the window's position; false when the window was released.
bool TrackPosition(HWND hWnd, MenuWindowRecord& rec, const WINDOWPOS* pos)
{
    if (pos->flags & SWP_NOMOVE)
        return true;
    if (!rec.posKnown) {
        rec.pos = POINT{pos->x, pos->y};
        rec.posKnown = true;
        return true;
    }
    if (rec.pos.x == pos->x && rec.pos.y == pos->y)
        return true;
    if (pos->flags & SWP_NOSIZE) {
        rec.pos = POINT{pos->x, pos->y};
        rec.screen.DeleteObject();
        return true;
    }
    Release(hWnd);
    return false;
}

LRESULT CALLBACK MenuWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto it = Records().find(hWnd);
    if (it == Records().end())
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    MenuWindowRecord& rec = it->second;
    const WNDPROC old = rec.oldProc;
    const CMenuThemeFlat& theme = CMenuThemeFlat::Active();
    const bool frame = rec.skinned && theme.DrawsOwnFrame();

    switch (msg) {
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (frame) {
            AdjustPosition(rec, pos);
            // About to appear: copy what lies beneath now, before the window covers it.
            if ((pos->flags & SWP_SHOWWINDOW) && !(pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) &&
                !IsWindowVisible(hWnd) && !MenuSkinFacts().systemShadows)
                CaptureScreen(rec, pos->x, pos->y, pos->cx, pos->cy);
        }
        const LRESULT result = CallWindowProcW(old, hWnd, msg, wParam, lParam);
        if (Records().count(hWnd))
            TrackPosition(hWnd, Records()[hWnd], pos);
        return result;
    }
    case WM_WINDOWPOSCHANGED: {
        if (!TrackPosition(hWnd, rec, reinterpret_cast<WINDOWPOS*>(lParam)))
            return CallWindowProcW(old, hWnd, msg, wParam, lParam);
        break;
    }
    case WM_NCCALCSIZE:
        if (frame) {
            RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
            r->left += theme.m_leftInset;
            r->top += theme.m_topInset;
            r->right -= theme.m_rightInset;
            r->bottom -= theme.m_bottomInset;
            return 0;
        }
        break;
    case WM_NCPAINT:
        if (frame) {
            HDC dc = GetWindowDC(hWnd);
            PaintWindowFrame(hWnd, rec, dc);
            ReleaseDC(hWnd, dc);
            return 0;
        }
        break;
    case WM_PAINT:
        if (frame && rec.borderInClient) {
            const LRESULT result = CallWindowProcW(old, hWnd, msg, wParam, lParam);
            HDC dc = GetDC(hWnd);
            CoverSystemBorder(hWnd, dc, POINT{0, 0});
            ReleaseDC(hWnd, dc);
            return result;
        }
        break;
    case WM_PRINT:
        if (frame) {
            // The frame around the system's own drawing of the client area.
            HDC dc = reinterpret_cast<HDC>(wParam);
            rec.state |= kPrinting;
            RECT window, client;
            GetWindowRect(hWnd, &window);
            POINT origin = {0, 0};
            ClientToScreen(hWnd, &origin);
            origin.x -= window.left;
            origin.y -= window.top;
            GetClientRect(hWnd, &client);
            if (lParam & PRF_NONCLIENT)
                PaintWindowFrame(hWnd, rec, dc);
            if (lParam & PRF_CLIENT) {
                POINT oldOrigin;
                OffsetViewportOrgEx(dc, origin.x, origin.y, &oldOrigin);
                const int saved = SaveDC(dc);
                IntersectClipRect(dc, 0, 0, client.right, client.bottom);
                CallWindowProcW(old, hWnd, WM_PRINTCLIENT, wParam, lParam);
                RestoreDC(dc, saved);
                SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
                if (rec.borderInClient)
                    CoverSystemBorder(hWnd, dc, origin);
            }
            if (Records().count(hWnd))
                Records()[hWnd].state &= ~kPrinting;
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (frame) {
            if (!rec.framePainted) {
                HDC windowDC = GetWindowDC(hWnd);
                PaintWindowFrame(hWnd, rec, windowDC);
                ReleaseDC(hWnd, windowDC);
            }
            RECT r;
            GetClientRect(hWnd, &r);
            r.left -= 2;
            r.right -= 1;
            // With no owning menu recorded (our popups), the menu colour.
            const COLORREF colour = rec.owner ? CMenuThemeFlat::Active().Colours().menuBar : GetSysColor(COLOR_MENU);
            lex::CBrush brush;
            brush.CreateSolidBrush(colour);
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush.GetSafeHandle());
            return 1;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            rec.state |= kEscapePressed;
        break;
    case WM_SHOWWINDOW:
        if (!wParam) {
            Release(hWnd);
            return CallWindowProcW(old, hWnd, msg, wParam, lParam);
        }
        break;
    case WM_NCDESTROY:
        Release(hWnd);
        return CallWindowProcW(old, hWnd, msg, wParam, lParam);
    default:
        break;
    }
    return CallWindowProcW(old, hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((cwp->message == WM_CREATE || cwp->message == kMenuSizeWindow) && !Records().count(cwp->hwnd) &&
            IsMenuWindow(cwp->hwnd))
            Subclass(cwp->hwnd, cwp->message == kMenuSizeWindow ? 1 : 0);
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
    if (--g_scopes == 0 && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

bool CMenuHookScope::Installed()
{
    return g_hook != nullptr;
}

size_t CMenuHookScope::RecordCount()
{
    return Records().size();
}

bool CMenuHookScope::IsSubclassed(HWND hWnd)
{
    return Records().count(hWnd) &&
           reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == MenuWindowProc;
}
