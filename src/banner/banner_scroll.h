// The banner's scrolling engine: speed and tick period, the chain of one-shot timers,
// the one-pixel move with wrap-around, and the geometry of the line as the last paint
// measured it. The window side implements IBannerScrollHost.
#pragma once

#include <cstdint>
#include <vector>

struct BannerRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class IBannerScrollHost {
public:
    virtual bool BannerWindowExists() const = 0;
    // The client rectangle as last cached (on creation and on every resize).
    virtual BannerRect BannerClientRect() const = 0;
    virtual int BannerItemCount() const = 0;
    // The whole client area, with background erase.
    virtual void BannerInvalidateAll() = 0;
    // The client columns left <= x < right, over the full height, with background erase.
    virtual void BannerInvalidateColumns(int left, int right)
    {
        (void)left;
        (void)right;
        BannerInvalidateAll();
    }
    // Moves the client contents horizontally by dx pixels; the uncovered column
    // becomes invalid and is repainted from the new offset.
    virtual void BannerScrollContents(int dx) = 0;
    // Arms a one-shot timer that, after periodMs, delivers a tick carrying its id to
    // the UI thread (OnTick). The delivery must need nothing but the window: a timer
    // that outlives the control must not reach it. Returns the id, 0 if refused.
    virtual uint32_t BannerArmTimer(int periodMs) = 0;
    virtual void BannerCancelTimer(uint32_t id) = 0;
    // Whether the line should move: somebody can see it (the window and its top-level
    // window are shown and not minimised) and nothing holds it still.
    virtual bool BannerIsShowing() const { return true; }

protected:
    ~IBannerScrollHost() = default;
};

class CBannerScroll {
public:
    static constexpr int kMaxSpeed = 1000;

    // The host must outlive the engine; a host that owns the engine as a member
    // should call Stop() in its own destructor.
    explicit CBannerScroll(IBannerScrollHost& host) : m_host(host) {}
    ~CBannerScroll();
    CBannerScroll(const CBannerScroll&) = delete;
    CBannerScroll& operator=(const CBannerScroll&) = delete;

    // -1000..1000: positive moves the line left, negative right; values outside are
    // ignored. 0 stops (the stored speed is kept); any other value restarts the chain
    // with a period of |10000 / speed| ms (twice that while saving power).
    void SetSpeed(int speed);
    int GetSpeed() const { return m_speed; }
    int GetTickPeriod() const { return m_period; }
    uint32_t GetTimerId() const { return m_timerId; }
    // Cancels the armed timer, if any: the line stands still where it is.
    void Stop();
    // How far a tick moves the line: one pixel at 96 DPI, dpi / 96 pixels at another
    // DPI (at 144, three pixels every two ticks), so the line crosses the screen in the
    // same time at every scaling without ticking more often.
    void SetDpi(int dpi);
    // Saving power: a tick comes half as often and moves the line twice as far (2 px
    // every 24 ms instead of 1 every 12 ms at speed 800), so the line keeps its speed at
    // half the wake-ups. A running chain is re-armed at the new period from where the
    // line stands; a stopped or resting one takes the period up when it starts again.
    void SetPowerSaving(bool on);
    bool IsPowerSaving() const { return m_ticksPerStep == 2; }

    // A tick delivered to the window. False when it is not the current timer's (a
    // stale tick): hand it to default processing; it is not re-armed.
    //
    // A tick that finds the line hidden (BannerIsShowing false) or empty moves nothing
    // and arms no further tick: the engine rests, still set to its speed, and costs
    // nothing until Wake.
    bool OnTick(uint32_t id);
    // The host's items or visibility changed: a resting engine whose line can be seen
    // again and holds items takes up its ticks from the offset where it stopped.
    void Wake();
    // Set to a speed but resting (see OnTick).
    bool IsResting() const { return m_resting; }
    // The host has cached its new client rectangle.
    void OnResize();
    // An item was appended to the line: invalidates the visible columns right of the
    // line's end as the last paint measured it (items appended since then lie there as
    // well; nothing left of it changes), none if the end is past the right edge, and
    // wakes a resting line.
    void OnItemAppended();

    // Geometry, rebuilt by every paint: BeginGeometry, then AddItemWidth for each item
    // in list order. AddItemWidth returns the item's left edge (client x). A tick moves
    // the edges with the line.
    void BeginGeometry();
    int AddItemWidth(int width);

    // Client x of item 0's left edge.
    int GetOffset() const { return m_offset; }
    // Puts item 0's left edge back at the client area's left edge and repaints.
    void MoveLineToStart();
    int GetLineWidth() const { return m_lineWidth; }
    const std::vector<int>& GetItemLeftEdges() const { return m_leftEdges; }

    // The index of the item whose span holds client x, or -1.
    int HitTest(int x) const;

private:
    void Arm();

    IBannerScrollHost& m_host;
    int m_speed = 0;
    int m_period = 0;
    uint32_t m_timerId = 0;
    bool m_resting = false;
    int m_offset = 0;
    int m_lineWidth = 0;
    std::vector<int> m_leftEdges;
    int m_dpi = 96;
    int m_stepRemainder = 0; // 96ths of a pixel owed from earlier ticks
    int m_ticksPerStep = 1;  // base ticks one armed tick stands for: 1, or 2 saving power
};
