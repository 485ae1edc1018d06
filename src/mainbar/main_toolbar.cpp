#include "mainbar/main_toolbar.h"
#include "framework/app.h"
#include "base/text.h"
#include "mainbar/bar_layout.h"
#include "resources/resource.h"

#include <windowsx.h>

#include <cstring>
#include <vector>

namespace {
const WORD kToolbarResourceType = 241;
}

BOOL CMainToolBar::LoadToolBar(UINT resourceId, const lex::DrawnStrip& art, int dpi)
{
    HINSTANCE instance = lex::AfxGetResourceHandle();
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(kToolbarResourceType));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    ToolbarResource toolbar;
    if (!data || !ParseToolbarResource(data, SizeofResource(instance, found), toolbar))
        return FALSE;

    m_dpi.SetDpi(dpi);
    const int pictures = static_cast<int>(toolbar.ids.size());
    lex::DrawnStrip strip = art;
    strip.id16 = resourceId;
    const lex::PickedStrip picked = lex::PickStrip(instance, strip, pictures, dpi);
    // The resource's own strip has the resource's image size; a bigger one, its own.
    const SIZE imageSize = picked.size == 16 || picked.width <= 0 ? SIZE{toolbar.imageWidth, toolbar.imageHeight}
                                                                  : SIZE{picked.width, picked.height};
    // The image size goes first: the images are cut from the strip at the size set then.
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageSize.cx, imageSize.cy));
    TBADDBITMAP bitmap = {instance, picked.bitmapId};
    if (SendMessage(TB_ADDBITMAP, toolbar.ids.size(), reinterpret_cast<LPARAM>(&bitmap)) == static_cast<LRESULT>(-1))
        return FALSE;

    std::vector<UINT> ids(toolbar.ids.begin(), toolbar.ids.end());
    BOOL ok = SetButtons(ids.data(), static_cast<int>(ids.size()));
    if (ok) {
        SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageSize.cx, imageSize.cy));
        // Buttons keep their 96-DPI proportions whichever strip is shown.
        SendMessage(TB_SETBUTTONSIZE, 0,
                    MAKELPARAM(m_dpi.Scale(toolbar.imageWidth + 7), m_dpi.Scale(toolbar.imageHeight + 7)));
    }
    return ok;
}

BOOL CMainToolBar::SetButtons(const UINT* ids, int count)
{
    for (int n = GetButtonCount(); n > 0; --n)
        SendMessage(TB_DELETEBUTTON, 0);
    int images = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        button.fsState = TBSTATE_ENABLED;
        if (ids) {
            if (ids[i] == 0) {
                button.fsStyle = TBSTYLE_SEP;
                button.iBitmap = m_dpi.Scale(8); // a separator's width
            } else {
                button.fsStyle = TBSTYLE_BUTTON;
                button.idCommand = static_cast<int>(ids[i]);
                button.iBitmap = images;
                button.iString = images;
                ++images;
            }
        }
        if (!SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button)))
            return FALSE;
    }
    return TRUE;
}

BOOL CMainToolBar::OnTooltipNotify(NMHDR* header, LRESULT* result)
{
    if (header->code != TTN_GETDISPINFOW && header->code != TTN_GETDISPINFOA)
        return FALSE;
    std::string tip = TooltipPart(lex::LoadStringCp936(static_cast<UINT>(header->idFrom)));
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        std::wstring wide = lex::Widen(tip).substr(0, 79);
        info->lpszText = info->szText;
        std::memcpy(info->szText, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        // An ANSI request gets code page 936 bytes, cut on a character boundary.
        std::string narrow = lex::Narrow(lex::Widen(tip).substr(0, 39));
        info->lpszText = info->szText;
        std::memcpy(info->szText, narrow.c_str(), narrow.size() + 1);
    }
    *result = 0;
    return TRUE;
}

BOOL CMainToolBar::IsOnButton(POINT pt) const
{
    int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    if (index < 0)
        return FALSE;
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)))
        return FALSE;
    return !(button.fsStyle & TBSTYLE_SEP);
}

LRESULT CMainToolBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        // A press on the toolbar's background, a gap or the banner drags the main bar.
        // A press on a button is the button's own: the bar's move loop would swallow
        // the release and the button would never fire.
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!IsOnButton(pt)) {
            // WM_NCLBUTTONDOWN carries screen coordinates.
            POINT screen = pt;
            ClientToScreen(m_hWnd, &screen);
            ::PostMessageW(GetParent(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        }
        return Default();
    }
    case WM_RBUTTONUP: {
        // A right click anywhere on the toolbar or the banner is the bar's context menu.
        POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(m_hWnd, &screen);
        ::SendMessageW(GetParent(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(screen.x, screen.y));
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        // The toolbar keeps its adjustable style, but a double-click on an adjustable
        // toolbar opens the system's customise dialog, which has nothing to offer here
        // and, while open, leaves the bar deaf to Esc. The second click of a double-click
        // acts as a plain press instead.
        return SendMessage(WM_LBUTTONDOWN, wParam, lParam);
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnTooltipNotify(reinterpret_cast<NMHDR*>(lParam), &result))
            return result;
        break;
    }
    default:
        break;
    }
    return lex::CToolBarCtrl::WindowProc(msg, wParam, lParam);
}

// The main bar's toolbar and its banner slot -------------------------------------------

lex::DrawnStrip CMainToolBar::Art()
{
    return lex::DrawnStrip{IDR_MAINTOOLBAR, IDB_TOOLBAR_24, IDB_TOOLBAR_32};
}

void CMainToolBar::SetSeparatorWidth(UINT id, int width)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_SIZE | TBIF_COMMAND;
    info.idCommand = static_cast<int>(id);
    info.fsStyle = TBSTYLE_SEP;
    info.cx = static_cast<WORD>(width > 0 ? width : 0);
    SendMessage(TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
}

void CMainToolBar::CreateBanner(const RECT& slot, const char* text, HFONT font)
{
    m_banner.Create(text, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, slot, m_hWnd, IDC_BANNER);
    m_banner.SetFont(font, TRUE);
}

BOOL CMainToolBar::CreateForBar(HWND bar, UINT id, int dpi, int slotWidth, HFONT font)
{
    RECT empty = {0, 0, 0, 0};
    if (!Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE | CCS_TOP, empty, bar, id))
        return FALSE;
    LoadToolBar(IDR_MAINTOOLBAR, Art(), dpi);
    m_banner.SetDpi(dpi);
    SetSeparatorWidth(ID_BANNER_SLOT, slotWidth);
    RECT slot = {0, 0, 0, 0};
    GetItemRect(CommandToIndex(ID_BANNER_SLOT), &slot);
    CreateBanner(slot, "滚动条", font);
    // The two gaps are a third of a separator.
    for (UINT gap : {ID_GAP_1, ID_GAP_2}) {
        RECT r = {0, 0, 0, 0};
        GetItemRect(CommandToIndex(gap), &r);
        SetSeparatorWidth(gap, (r.right - r.left) / 3);
    }
    AutoSize();
    return TRUE;
}

int CMainToolBar::SlotWidth() const
{
    RECT slot = {0, 0, 0, 0};
    if (!IsWindow() || !GetItemRect(CommandToIndex(ID_BANNER_SLOT), &slot))
        return 0;
    return slot.right - slot.left;
}

CMainToolBar::ResizeStep CMainToolBar::Resize(int cx, int cy, HFONT font)
{
    ResizeStep step;
    RECT slot = {0, 0, 0, 0};
    GetItemRect(CommandToIndex(ID_BANNER_SLOT), &slot);
    RECT client;
    GetClientRect(&client);
    const int oldWidth = client.right - client.left;
    const int oldHeight = client.bottom - client.top;
    step.waiting = lex::CGdiObjectT<HRGN>(::CreateRectRgn(0, 0, 0, 0));
    step.waitingKnown = step.waiting && ::GetUpdateRgn(m_hWnd, step.waiting.GetSafeHandle(), FALSE) != ERROR;

    ::MoveWindow(m_hWnd, 0, 0, cx, cy, FALSE);
    GetClientRect(&client);
    slot.right += (client.right - client.left) - oldWidth;
    step.sameHeight = client.bottom - client.top == oldHeight;
    step.slotLeft = slot.left;

    m_banner.DestroyWindow();
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(slot.right > slot.left ? slot.right - slot.left : 0);
    SendMessage(TB_SETBUTTONINFOW, ID_BANNER_SLOT, reinterpret_cast<LPARAM>(&info));
    CreateBanner(slot, "滚动", font);
    return step;
}

void CMainToolBar::FinishResize(const ResizeStep& step)
{
    // The buttons left of the slot keep their places and the background is drawn from
    // the top-left corner (a gradient runs from top to bottom). The system keeps those
    // pixels through the resize, so that part is taken off the repaint; what was
    // waiting there from before is put back. Painting the toolbar's buttons is most of
    // a resize step's drawing.
    if (!step.waitingKnown || !step.sameHeight || step.slotLeft <= 0)
        return;
    RECT client;
    GetClientRect(&client);
    const RECT unchanged = {0, 0, step.slotLeft, client.bottom};
    ::ValidateRect(m_hWnd, &unchanged);
    ::InvalidateRgn(m_hWnd, step.waiting.GetSafeHandle(), TRUE);
}
