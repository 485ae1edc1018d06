#include "widgets/color_button.h"
#include "widgets/color_popup.h"
#include "framework/dpi.h"
#include "framework/gdi.h"

namespace lex {

CColorButton::CColorButton() : m_color(CLR_AUTOMATIC), m_autoColor(GetSysColor(COLOR_APPWORKSPACE)) {}

void CColorButton::SetColor(COLORREF color)
{
    m_color = color;
    if (IsWindow())
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorButton::PreSubclassWindow()
{
    // The template declares a plain push button; it becomes owner-drawn here.
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

void CColorButton::NotifyParent(UINT msg, COLORREF color)
{
    HWND parent = GetParent();
    if (parent)
        ::SendMessageW(parent, msg, color, static_cast<LPARAM>(::GetDlgCtrlID(m_hWnd)));
}

LRESULT CColorButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const COLORREF color = static_cast<COLORREF>(wParam);
    switch (msg) {
    case UWM_COLOR_SELENDOK: {
        const COLORREF before = m_color;
        m_popupOpen = false;
        SetColor(color);
        NotifyParent(UWM_COLOR_CLOSEUP, color);
        NotifyParent(UWM_COLOR_SELENDOK, color);
        if (color != before)
            NotifyParent(UWM_COLOR_SELCHANGE, color);
        return TRUE;
    }
    case UWM_COLOR_SELENDCANCEL:
        m_popupOpen = false;
        SetColor(color);
        NotifyParent(UWM_COLOR_CLOSEUP, color);
        NotifyParent(UWM_COLOR_SELENDCANCEL, color);
        return TRUE;
    case UWM_COLOR_SELCHANGE:
        if (m_liveTracking)
            SetColor(color);
        NotifyParent(UWM_COLOR_SELCHANGE, color);
        return TRUE;
    default:
        return CButton::WindowProc(msg, wParam, lParam);
    }
}

BOOL CColorButton::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        OpenPopup();
        *result = 0;
        return TRUE;
    }
    return CButton::OnChildNotify(msg, wParam, lParam, result);
}

void CColorButton::OpenPopup()
{
    m_popupOpen = true;
    RECT rc;
    GetWindowRect(&rc);
    if (!CColorPalettePopup::Open(POINT{rc.left, rc.bottom}, m_color, m_hWnd, m_autoText, m_moreText)) {
        // No popup, so no outcome will come to close it: do not stay pushed.
        m_popupOpen = false;
        Invalidate();
    }
    NotifyParent(UWM_COLOR_DROPDOWN, m_color);
}

void CColorButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    const HDC dc = item.hDC;
    UINT state = item.itemState;
    if (m_popupOpen)
        state |= ODS_SELECTED | ODS_FOCUS;
    const bool selected = (state & ODS_SELECTED) != 0;
    const bool disabled = (state & ODS_DISABLED) != 0;

    RECT rc = item.rcItem;
    UINT frame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (selected)
        frame |= DFCS_PUSHED;
    if (disabled)
        frame |= DFCS_INACTIVE;
    ::DrawFrameControl(dc, &rc, DFC_BUTTON, frame);
    if (selected)
        ::OffsetRect(&rc, 1, 1);
    if (state & ODS_FOCUS) {
        RECT focus = {rc.left, rc.top, rc.right - 1, rc.bottom};
        ::DrawFocusRect(dc, &focus);
    }
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    ::InflateRect(&rc, -edgeX, -GetSystemMetrics(SM_CYEDGE));

    // The drop-down arrow: a small filled triangle at the right (4 by 2 at 96 DPI).
    const CDpi dpi(DpiOfWindow(m_hWnd));
    const int e = edgeX / 2;
    const int mid = (rc.top + rc.bottom) / 2;
    RECT arrow;
    arrow.left = rc.right - e - dpi.Scale(4);
    arrow.right = arrow.left + dpi.Scale(4);
    arrow.top = mid - dpi.Scale(1);
    arrow.bottom = mid + dpi.Scale(1);
    {
        const COLORREF ink = disabled ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, ink);
        CBrush brush;
        brush.CreateSolidBrush(ink);
        CSelectObject usePen(dc, pen.GetSafeHandle());
        CSelectObject useBrush(dc, brush.GetSafeHandle());
        const int oldMode = ::SetPolyFillMode(dc, WINDING);
        POINT points[3] = {{arrow.left, arrow.top}, {arrow.right, arrow.top},
                           {(arrow.left + arrow.right) / 2, arrow.bottom}};
        ::Polygon(dc, points, 3);
        ::SetPolyFillMode(dc, oldMode);
    }

    // An etched separator left of the arrow.
    rc.right = arrow.left - e;
    ::DrawEdge(dc, &rc, EDGE_ETCHED, BF_RIGHT);
    rc.right -= 2 * edgeX + 1;
    if (disabled)
        return;

    CBrush swatch;
    swatch.CreateSolidBrush(m_color == CLR_AUTOMATIC ? m_autoColor : m_color);
    ::FillRect(dc, &rc, swatch.GetSafeHandle());
    ::FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

} // namespace lex
