#include "banner/banner_ctrl.h"
#include "banner/banner_timer_win.h"

#include <mmsystem.h>
#include <windowsx.h>

namespace {

bool g_directScroll = true;

// Runs on the timer thread and does nothing; see CBannerCtrl::BannerArmTimer.
void CALLBACK KeepTimerThreadProc(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

} // namespace

CBannerCtrl::CBannerCtrl() : m_scroll(*this) {}

CBannerCtrl::~CBannerCtrl()
{
    // The engine calls back into this object to cancel; do it while it is whole.
    m_scroll.Stop();
    ReleaseTimerThread();
    ReleaseAhead();
}

void CBannerCtrl::SetDirectScrollEnabled(bool on) { g_directScroll = on; }

BOOL CBannerCtrl::Create(const std::string& text, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CWnd::Create(lex::RegisterOwnDcClass(L"STATIC", L"LexorinBanner"), text, style, rect, parent, id);
}

void CBannerCtrl::ReleaseTimerThread()
{
    if (m_keepTimerThread != 0) {
        ::timeKillEvent(m_keepTimerThread);
        m_keepTimerThread = 0;
    }
}

void CBannerCtrl::PreSubclassWindow()
{
    CCanvasWnd::PreSubclassWindow();
    m_paintPending = true; // a new window paints itself once first
    // A timer left from an earlier window must not drive this one; the host sets the
    // speed again once the window is set up.
    m_scroll.SetSpeed(0);
    m_scroll.SetDpi(GetDpi());
    // A window that appears under a still pointer (the bar placed at start-up where
    // the pointer happens to be) must not take it for a reader resting on the strip.
    m_stillPointerValid = ::GetCursorPos(&m_stillPointer) != FALSE;
    m_itemCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    m_plainCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
}

LRESULT CBannerCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        ForwardToParent(msg, wParam, lParam);
        return 0;
    case WM_SETCURSOR:
        OnSetCursor();
        return TRUE;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_DESTROY: {
        LRESULT result = Default();
        // Both are the shared system arrow, which must not be destroyed: forget them.
        m_itemCursor = nullptr;
        m_plainCursor = nullptr;
        // The next window starts with the pointer outside it.
        if (m_pointerInside)
            OnMouseLeave();
        // Font, brush, caches, items and scroll state stay for the next window.
        ReleaseWindowResources(true);
        ReleaseTimerThread();
        ReleaseAhead();
        return result;
    }
    default:
        break;
    }
    return CCanvasWnd::WindowProc(msg, wParam, lParam);
}

void CBannerCtrl::OnPaint()
{
    // A paint the banner did not ask for: another window exposed part of the strip, and
    // ticks may have scrolled the exposed area's stale pixels out of it before this
    // paint came. Appended entries paint only their own columns, so nothing else would
    // repaint those until the line is cleared.
    const bool exposed = !m_paintPending;
    m_paintPending = false;
    m_aheadValid = false;
    {
        lex::CPaintDC dc(m_hWnd);
        PaintLine(dc, dc.m_ps.rcPaint);
    }
    if (exposed)
        BannerInvalidateAll();
    // New items stand where the paint measured them: find the one under the pointer.
    if (m_pointerInside && m_pointerItem == -2)
        UpdatePointerItem();
}

void CBannerCtrl::OnSize()
{
    CCanvasWnd::OnSize();
    m_scroll.OnResize();
}

void CBannerCtrl::PaintLine(lex::CDC& dc, const RECT& paintRect)
{
    const RECT& rc = ClientRect();
    dc.FillRect(rc, BackgroundBrush());
    dc.IntersectClipRect(rc);
    m_scroll.BeginGeometry();
    DrawLine(dc, m_scroll.GetOffset(), paintRect, [this](int width) { m_scroll.AddItemWidth(width); });
    ::SelectClipRgn(dc.GetSafeHdc(), nullptr);
}

void CBannerCtrl::OnTimer(WPARAM id)
{
    if (!m_scroll.OnTick(static_cast<uint32_t>(id))) {
        Default();
        return;
    }
    // A resting line wakes nothing at all, not even the thread kept for its timers.
    if (m_scroll.IsResting())
        ReleaseTimerThread();
    // The line moved under a resting pointer.
    if (m_pointerInside)
        UpdatePointerItem();
}

void CBannerCtrl::SetObstructed(bool obstructed)
{
    if (obstructed == m_obstructed)
        return;
    m_obstructed = obstructed;
    if (!obstructed)
        m_scroll.Wake();
}

void CBannerCtrl::OnMouseMove(LPARAM lParam)
{
    m_lastMouse.x = GET_X_LPARAM(lParam);
    m_lastMouse.y = GET_Y_LPARAM(lParam);
    if (m_stillPointerValid) {
        POINT screen = m_lastMouse;
        ::ClientToScreen(m_hWnd, &screen);
        // The system also reports a move when a window appears under the pointer.
        if (screen.x != m_stillPointer.x || screen.y != m_stillPointer.y)
            m_stillPointerValid = false;
    }
    if (!m_pointerInside) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        if (!::TrackMouseEvent(&track))
            return; // no word of its leaving would come: do not hold on to it
        m_pointerInside = true;
        m_pointerItem = -2;
    }
    UpdatePointerItem();
}

void CBannerCtrl::OnMouseLeave()
{
    m_pointerInside = false;
    m_stillPointerValid = false; // coming back is a move of its own
    UpdatePointerItem();
    // A line held by the pointer moves on from where it stood.
    m_scroll.Wake();
}

void CBannerCtrl::UpdatePointerItem()
{
    const bool resting = IsPointerResting();
    const int item = resting ? m_scroll.HitTest(m_lastMouse.x) : -1;
    if (item == m_pointerItem && resting == m_pointerToldResting)
        return;
    m_pointerItem = item;
    m_pointerToldResting = resting;
    if (m_pointerListener)
        m_pointerListener->BannerPointerChanged(resting, item);
}

void CBannerCtrl::SetHoldOnHover(bool on)
{
    m_holdOnHover = on;
    if (!on)
        m_scroll.Wake();
}

void CBannerCtrl::RevealItems(int first, int count)
{
    if (SetRevealedRange(first, count) && IsWindow())
        BannerInvalidateAll();
}

void CBannerCtrl::ForwardToParent(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND parent = GetParent();
    if (!parent)
        return; // a null target would post to the thread instead
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    ::ScreenToClient(parent, &pt);
    // Posted, not sent: the parent handles the click after this handler has returned.
    ::PostMessageW(parent, msg, wParam, MAKELPARAM(pt.x, pt.y));
}

void CBannerCtrl::OnSetCursor()
{
    HCURSOR cursor = m_scroll.HitTest(m_lastMouse.x) >= 0 ? m_itemCursor : m_plainCursor;
    if (cursor)
        ::SetCursor(cursor);
}

bool CBannerCtrl::BannerWindowExists() const { return IsWindow() != FALSE; }

BannerRect CBannerCtrl::BannerClientRect() const
{
    const RECT& rc = ClientRect();
    BannerRect r;
    r.left = rc.left;
    r.top = rc.top;
    r.right = rc.right;
    r.bottom = rc.bottom;
    return r;
}

int CBannerCtrl::BannerItemCount() const { return GetItemCount(); }

void CBannerCtrl::BannerInvalidateAll()
{
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    m_paintPending = true;
}

void CBannerCtrl::BannerInvalidateColumns(int left, int right)
{
    const RECT& rc = ClientRect();
    const RECT columns = {left, rc.top, right, rc.bottom};
    ::InvalidateRect(m_hWnd, &columns, TRUE);
    m_paintPending = true;
}

void CBannerCtrl::BannerScrollContents(int dx)
{
    // ScrollWindow invalidates the uncovered column and lets a WM_PAINT draw it: a whole
    // paint cycle per tick, under Wine a dozen wine-server round trips (update and
    // visible regions, caret, redraw) against the one the tick itself costs. Copying
    // the window's part of the line drawn ahead gives the same picture in one blit.
    // A paint already pending must move with the contents, which only ScrollWindow
    // does, so that tick goes the old way. The banner knows its own invalidations
    // (asking the system, GetUpdateRect, costs several round trips under Wine); an area
    // that another window exposed is repainted from the line as it is then, and that
    // paint repaints the whole strip once more (OnPaint).
    if (g_directScroll && !m_paintPending) {
        lex::CClientDC dc(m_hWnd);
        if (dc.GetSafeHdc() && ShowFromAhead(dc.GetSafeHdc(), dx < 0))
            return;
    }
    const RECT& rc = ClientRect();
    ::ScrollWindow(m_hWnd, dx, 0, &rc, &rc);
    // The column ScrollWindow leaves to a WM_PAINT is one the banner asked for, not an
    // exposure: without marking it, every such tick would repaint the whole strip.
    m_paintPending = true;
}

bool CBannerCtrl::ShowFromAhead(HDC dc, bool movingLeft)
{
    const RECT& rc = ClientRect();
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return true; // nothing to show
    // Where the window's left edge lies in the picture: the line moved by the offset's
    // change since it was drawn.
    auto source = [&] {
        return static_cast<long long>(rc.left) - m_aheadLeft - (static_cast<long long>(GetOffset()) - m_aheadOffset);
    };
    const bool sameSide = m_aheadLeft == (movingLeft ? rc.left : rc.left - (m_aheadWidth - width));
    if (!m_aheadValid || !sameSide || m_aheadHeight != height || source() < 0 ||
        source() + width > m_aheadWidth) {
        if (!DrawAhead(dc, movingLeft))
            return false;
    }
    return ::BitBlt(dc, rc.left, rc.top, width, height, m_aheadDc.GetSafeHdc(), static_cast<int>(source()), 0,
                    SRCCOPY) != FALSE;
}

bool CBannerCtrl::DrawAhead(HDC dc, bool movingLeft)
{
    const RECT& rc = ClientRect();
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    // About three seconds of movement at the highest speed before it is drawn again.
    const int aheadColumns = lex::CDpi(GetDpi()).Scale(256);
    const int wanted = width + aheadColumns;
    if (wanted != m_aheadWidth || height != m_aheadHeight || !m_aheadDc.GetSafeHdc()) {
        ReleaseAhead();
        if (!m_aheadDc.CreateCompatibleDC(dc) || !m_aheadBitmap.CreateCompatibleBitmap(dc, wanted, height)) {
            ReleaseAhead();
            return false;
        }
        m_aheadOldBitmap = ::SelectObject(m_aheadDc.GetSafeHdc(), m_aheadBitmap.GetSafeHandle());
        m_aheadWidth = wanted;
        m_aheadHeight = height;
    }
    m_aheadLeft = movingLeft ? rc.left : rc.left - aheadColumns;
    m_aheadOffset = GetOffset();
    const RECT all = {0, 0, m_aheadWidth, m_aheadHeight};
    m_aheadDc.FillRect(all, BackgroundBrush());
    // Every paint measures the line; this one too, so that the geometry follows fonts
    // and items exactly as a paint of the window would.
    m_scroll.BeginGeometry();
    DrawLine(
        m_aheadDc, m_aheadOffset - m_aheadLeft, all, [this](int w) { m_scroll.AddItemWidth(w); }, m_aheadWidth);
    m_aheadValid = true;
    return true;
}

void CBannerCtrl::ReleaseAhead()
{
    m_aheadValid = false;
    if (m_aheadDc.GetSafeHdc() && m_aheadOldBitmap)
        ::SelectObject(m_aheadDc.GetSafeHdc(), m_aheadOldBitmap);
    m_aheadOldBitmap = nullptr;
    m_aheadBitmap.DeleteObject();
    m_aheadDc.DeleteDC();
    m_aheadWidth = m_aheadHeight = 0;
}

uint32_t CBannerCtrl::BannerArmTimer(int periodMs)
{
    // Wine ends its multimedia timer thread whenever no timer is left, so a chain of
    // one-shots starts a new thread for every tick: about 1 ms of CPU 83 times a second,
    // ten times all the banner's own work. A long periodic timer that does nothing keeps
    // the thread alive while the banner has a window. Windows keeps its thread anyway.
    if (m_keepTimerThread == 0)
        m_keepTimerThread =
            ::timeSetEvent(65535, 1000, KeepTimerThreadProc, 0, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    return periodMs > 0 ? lex::ArmBannerTimer(m_hWnd, static_cast<UINT>(periodMs)) : 0;
}

void CBannerCtrl::BannerCancelTimer(uint32_t id) { lex::CancelBannerTimer(id); }

bool CBannerCtrl::BannerIsShowing() const
{
    // Held by the pointer: the reader is looking at it standing still.
    if (m_holdOnHover && IsPointerResting())
        return false;
    if (m_obstructed || !::IsWindowVisible(m_hWnd))
        return false;
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    return !root || !::IsIconic(root);
}

void CBannerCtrl::CanvasInvalidateAll()
{
    CCanvasWnd::CanvasInvalidateAll();
    m_paintPending = true;
    // The items changed: the one under the pointer is found again at its next move or tick.
    m_pointerItem = -2;
    // New items give a resting line something to move.
    m_scroll.Wake();
}

void CBannerCtrl::CanvasInvalidateAppended()
{
    // New items beyond the window's right edge may still lie in the picture drawn ahead.
    m_aheadValid = false;
    m_scroll.OnItemAppended();
}
