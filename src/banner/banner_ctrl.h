// CBannerCtrl: the window that shows the banner line. It paints the items from the
// scroll offset, records where each item stands, moves the line one pixel per tick
// of its multimedia timer and passes every mouse click on to its parent, so that a
// click on the moving text acts like a click on the toolbar around it.
//
// The host creates it as a child static control (Create), sends its font
// (SetFont), applies the settings (SetAutoSize, SetSpeed, SetBackgroundColor) and
// adds items. To resize, the host destroys the window and creates it again on the
// same object: items, colours, offset and speed survive, the timer does not (the
// host sets the speed again).
#pragma once

#include "banner/banner_scroll.h"
#include "banner/canvas_wnd.h"

// Told where the pointer is on the banner, on the banner's thread.
class IBannerPointerListener {
public:
    // inside: the pointer rests on the banner (see CBannerCtrl::IsPointerResting);
    // item: the item under it, or -1. Called whenever either changes (the line moving
    // under a resting pointer included).
    virtual void BannerPointerChanged(bool inside, int item) = 0;

protected:
    ~IBannerPointerListener() = default;
};

class CBannerCtrl : public CCanvasWnd, private IBannerScrollHost {
public:
    static constexpr UINT kDefaultId = 32777;

    CBannerCtrl();
    ~CBannerCtrl() override;

    // A static control of its own class with a private DC: a tick draws without
    // fetching a DC from the system's cache.
    BOOL Create(const std::string& text, DWORD style, const RECT& rect, HWND parent, UINT id);

    // -1000..1000: positive moves the line left, negative right, 0 stops it where it
    // is (the stored speed is kept). Out-of-range values are ignored.
    void SetSpeed(int speed) { m_scroll.SetSpeed(speed); }
    int GetSpeed() const { return m_scroll.GetSpeed(); }
    // Half the ticks, each moving twice as far: the same speed (see CBannerScroll). Kept
    // when the window is made again.
    void SetPowerSaving(bool on) { m_scroll.SetPowerSaving(on); }
    bool IsPowerSaving() const { return m_scroll.IsPowerSaving(); }
    // The period of the ticks while the line moves, in ms.
    int GetTickPeriod() const { return m_scroll.GetTickPeriod(); }
    // The item under client x, or -1.
    int HitTest(int x) const { return m_scroll.HitTest(x); }
    // Client x of item 0's left edge, and where each item stood at the last paint.
    int GetOffset() const { return m_scroll.GetOffset(); }
    // Item 0's left edge back at the client area's left edge.
    void MoveLineToStart() { m_scroll.MoveLineToStart(); }
    int GetLineWidth() const { return m_scroll.GetLineWidth(); }
    const std::vector<int>& GetItemLeftEdges() const { return m_scroll.GetItemLeftEdges(); }
    // The line rests, arming no timer, while it is empty or cannot be seen (this window
    // or its top-level window hidden or minimised). Adding items wakes it by itself; the
    // host calls WakeScrolling when its window was shown or restored.
    void WakeScrolling() { m_scroll.Wake(); }
    // Something else keeps the line from being seen (a full-screen window over it, a
    // locked session, the display off): it rests where it is as while hidden, and
    // takes up scrolling when that ends.
    void SetObstructed(bool obstructed);
    bool IsScrollResting() const { return m_scroll.IsResting(); }

    // The listener must outlive the control's window, or be reset to nullptr first.
    void SetPointerListener(IBannerPointerListener* listener) { m_pointerListener = listener; }
    // On: the line holds still while the pointer rests on the banner and moves on from
    // where it stood when the pointer leaves.
    void SetHoldOnHover(bool on);
    bool IsPointerInside() const { return m_pointerInside; }
    // The pointer was brought onto the banner and rests there. A pointer that has not
    // moved since the banner's window appeared under it is over it by chance, not
    // resting on it: it holds nothing until it moves.
    bool IsPointerResting() const { return m_pointerInside && !m_stillPointerValid; }
    // Masked items among first .. first + count - 1 show their text; count 0 masks all.
    void RevealItems(int first, int count);

    // Process-wide switch between moving the line by copying it from a picture drawn
    // ahead of it (on) and the system's ScrollWindow with a paint cycle per tick (off);
    // the picture is the same. Benchmarks compare both.
    static void SetDirectScrollEnabled(bool on);

protected:
    void PreSubclassWindow() override;
    void CanvasInvalidateAll() override;
    void CanvasInvalidateAppended() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint() override;
    // The scrolling follows the new size too.
    void OnSize() override;
    // Fills and draws the line inside the paint DC, for the items drawn clipped to
    // paintRect, and measures its geometry, as every paint does. The window's DC is its
    // own and keeps what is selected into it: the clip is dropped again at the end.
    void PaintLine(lex::CDC& dc, const RECT& paintRect);
    void OnTimer(WPARAM id);
    void ForwardToParent(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnSetCursor();
    void OnMouseMove(LPARAM lParam);
    void OnMouseLeave();
    // Tells the listener when the pointer's item changed (or the pointer left).
    void UpdatePointerItem();
    void ReleaseTimerThread();
    // Shows the line at its offset from the picture drawn ahead, drawing that picture
    // anew when the line has moved past it or it is gone. False if no picture can be
    // made.
    bool ShowFromAhead(HDC dc, bool movingLeft);
    bool DrawAhead(HDC dc, bool movingLeft);
    void ReleaseAhead();

    // IBannerScrollHost
    bool BannerWindowExists() const override;
    BannerRect BannerClientRect() const override;
    int BannerItemCount() const override;
    void BannerInvalidateAll() override;
    void BannerInvalidateColumns(int left, int right) override;
    void BannerScrollContents(int dx) override;
    uint32_t BannerArmTimer(int periodMs) override;
    void BannerCancelTimer(uint32_t id) override;
    bool BannerIsShowing() const override;

    CBannerScroll m_scroll;
    HCURSOR m_itemCursor = nullptr;
    HCURSOR m_plainCursor = nullptr;
    POINT m_lastMouse = {0, 0};
    IBannerPointerListener* m_pointerListener = nullptr;
    bool m_holdOnHover = false;
    bool m_pointerInside = false;
    // The item the listener was last told of; -2 before any.
    int m_pointerItem = -2;
    bool m_pointerToldResting = false;
    // Where the pointer stood (screen) when this window was made, while it has not
    // moved since.
    POINT m_stillPointer = {0, 0};
    bool m_stillPointerValid = false;
    // A multimedia timer that only keeps the system's timer thread alive, 0 if none.
    UINT m_keepTimerThread = 0;
    // The line drawn ahead of where it stands, one strip wider than the window by
    // aheadColumns on the side the line comes from: a tick copies the window's part of
    // it to the screen in one blit instead of scrolling the window and drawing the
    // uncovered column, which costs several times more under Wine. Drawn at line offset
    // m_aheadOffset, its first column shows client x m_aheadLeft; any paint of the
    // window drops it (whatever made the paint may have changed the line).
    lex::CMemoryDC m_aheadDc;
    lex::CBitmap m_aheadBitmap;
    HGDIOBJ m_aheadOldBitmap = nullptr;
    int m_aheadWidth = 0;
    int m_aheadHeight = 0;
    int m_aheadOffset = 0;
    int m_aheadLeft = 0;
    bool m_aheadValid = false;
    // The banner invalidated itself and its WM_PAINT has not come yet.
    bool m_paintPending = true;
    bool m_obstructed = false;
};
