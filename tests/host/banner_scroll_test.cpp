// The scrolling engine against a fake window and a fake timer. A fault here shows as a
// line that jumps, runs twice as fast, stops for good or never comes back into view.
#include "banner/banner_scroll.h"
#include "banner/canvas_items.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// A banner as the window side will build it: the item list plus the scroll host, with
// a timer that only records what was armed and cancelled.
class FakeBanner : public CCanvasItems, public IBannerScrollHost {
public:
    bool window = true;
    BannerRect client{0, 0, 200, 20};
    std::vector<int> armedPeriods;
    std::vector<uint32_t> armedIds, cancelled;
    std::vector<int> scrolls;
    int fullRepaints = 0;
    std::vector<std::pair<int, int>> columnRepaints; // [left, right)
    bool refuseTimers = false;
    bool showing = true;
    std::vector<int> widths; // what the next paint measures, one per item

    CBannerScroll scroll{*this};

    ~FakeBanner() override { scroll.Stop(); }

    // Fires the most recently armed timer, as the posted tick would arrive.
    bool FireLatest() { return scroll.OnTick(armedIds.back()); }
    void Paint()
    {
        scroll.BeginGeometry();
        for (int i = 0; i < GetItemCount(); ++i)
            scroll.AddItemWidth(widths[static_cast<size_t>(i)]);
    }
    void SetLine(const std::vector<int>& itemWidths)
    {
        RemoveAllItems();
        for (size_t i = 0; i < itemWidths.size(); ++i)
            AddText("item", 0, 0);
        widths = itemWidths;
        Paint();
    }

    bool BannerWindowExists() const override { return window; }
    BannerRect BannerClientRect() const override { return client; }
    int BannerItemCount() const override { return GetItemCount(); }
    void BannerInvalidateAll() override { ++fullRepaints; }
    void BannerInvalidateColumns(int left, int right) override { columnRepaints.emplace_back(left, right); }
    void BannerScrollContents(int dx) override { scrolls.push_back(dx); }
    uint32_t BannerArmTimer(int periodMs) override
    {
        if (refuseTimers)
            return 0;
        armedPeriods.push_back(periodMs);
        armedIds.push_back(m_nextId++);
        return armedIds.back();
    }
    void BannerCancelTimer(uint32_t id) override { cancelled.push_back(id); }
    bool BannerIsShowing() const override { return showing; }

protected:
    bool CanvasWindowExists() const override { return window; }
    void CanvasInvalidateAll() override { ++fullRepaints; }
    void CanvasInvalidateAppended() override { scroll.OnItemAppended(); }

private:
    uint32_t m_nextId = 41;
};

} // namespace

TEST(BannerScroll, SpeedRangeAndPeriods)
{
    FakeBanner b;
    b.scroll.SetSpeed(1001);
    b.scroll.SetSpeed(-1001);
    EXPECT_EQ(b.scroll.GetSpeed(), 0);
    EXPECT_TRUE(b.armedIds.empty());

    const struct {
        int speed, period;
    } cases[] = {{1000, 10}, {-1, 10000}, {800, 12}, {-800, 12}, {3, 3333}, {-1000, 10}};
    for (const auto& c : cases) {
        b.scroll.SetSpeed(c.speed);
        EXPECT_EQ(b.scroll.GetSpeed(), c.speed);
        EXPECT_EQ(b.scroll.GetTickPeriod(), c.period);
        EXPECT_EQ(b.armedPeriods.back(), c.period);
        EXPECT_EQ(b.scroll.GetTimerId(), b.armedIds.back());
    }
    b.scroll.SetSpeed(2000);
    EXPECT_EQ(b.scroll.GetSpeed(), -1000) << "out of range leaves the running speed";
}

TEST(BannerScroll, OneChainAfterRepeatedSpeeds)
{
    FakeBanner b;
    b.SetLine({50});
    b.scroll.SetSpeed(800);
    const uint32_t first = b.armedIds.back();
    b.scroll.SetSpeed(800);
    const uint32_t second = b.armedIds.back();
    ASSERT_NE(first, second);
    EXPECT_EQ(b.cancelled, (std::vector<uint32_t>{first})) << "the superseded timer is cancelled";

    // Should the first timer's tick still arrive, it is dropped and not re-armed.
    const size_t armed = b.armedIds.size();
    EXPECT_FALSE(b.scroll.OnTick(first));
    EXPECT_EQ(b.armedIds.size(), armed);
    EXPECT_EQ(b.scroll.GetOffset(), 0);
    EXPECT_TRUE(b.scroll.OnTick(second));
    EXPECT_EQ(b.scroll.GetOffset(), -1);
    // The tick acted on cannot be acted on again.
    EXPECT_FALSE(b.scroll.OnTick(second));
    EXPECT_EQ(b.scroll.GetOffset(), -1);
    EXPECT_FALSE(b.scroll.OnTick(0));
}

TEST(BannerScroll, StopKeepsPlaceAndSpeed)
{
    FakeBanner b;
    b.SetLine({100});
    b.scroll.SetSpeed(800);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(b.FireLatest());
    const uint32_t live = b.scroll.GetTimerId();
    b.scroll.SetSpeed(0);
    EXPECT_EQ(b.scroll.GetTimerId(), 0u);
    EXPECT_EQ(b.cancelled.back(), live);
    EXPECT_EQ(b.scroll.GetSpeed(), 800);
    EXPECT_FALSE(b.scroll.OnTick(live)) << "a tick already on its way after stopping";
    EXPECT_EQ(b.scroll.GetOffset(), -5);
    b.scroll.SetSpeed(800);
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), -6);
}

TEST(BannerScroll, EmptyOrHiddenLineRestsAndResumesWhereItStopped)
{
    FakeBanner b;
    // Empty: the first tick moves nothing and arms no other.
    b.scroll.SetSpeed(800);
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.armedIds.size(), 1u);
    EXPECT_TRUE(b.scroll.IsResting());
    EXPECT_EQ(b.scroll.GetOffset(), 0);
    EXPECT_TRUE(b.scrolls.empty());
    // Items wake it through the host; the chain runs again.
    b.SetLine({100, 100, 100});
    b.scroll.Wake();
    EXPECT_EQ(b.armedIds.size(), 2u);
    EXPECT_EQ(b.armedPeriods.back(), 12);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), -5);
    const size_t armed = b.armedIds.size();

    // Hidden: the next tick rests without moving; waking while still hidden does nothing.
    b.showing = false;
    ASSERT_TRUE(b.FireLatest());
    EXPECT_TRUE(b.scroll.IsResting());
    b.scroll.Wake();
    EXPECT_EQ(b.armedIds.size(), armed);
    EXPECT_EQ(b.scroll.GetOffset(), -5);
    // Shown again: one wake, one chain, from where it stopped; a second wake adds none.
    b.showing = true;
    b.scroll.Wake();
    b.scroll.Wake();
    EXPECT_EQ(b.armedIds.size(), armed + 1);
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), -6);
    // A stopped banner (speed 0) is not resting, and a wake does not start it.
    b.scroll.SetSpeed(0);
    b.scroll.Wake();
    EXPECT_FALSE(b.scroll.IsResting());
    EXPECT_EQ(b.scroll.GetTimerId(), 0u);
}

TEST(BannerScroll, WrapsAtTheLeftEdge)
{
    // A line 300 wide in a client 0..200, moving left.
    FakeBanner b;
    b.SetLine({100, 200});
    b.scroll.SetSpeed(800);
    const int repaintsBefore = b.fullRepaints;
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(b.FireLatest());
        b.Paint();
    }
    EXPECT_EQ(b.scroll.GetOffset(), -300) << "its last pixel column has just left";
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), 200) << "re-enters from the right edge";
    b.Paint();
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), 199);
    EXPECT_EQ(b.fullRepaints, repaintsBefore) << "scrolling alone brings it in";
    EXPECT_EQ(b.scrolls, std::vector<int>(302, -1));
}

TEST(BannerScroll, CrossesTheStripInTheSameTimeAtEveryDpi)
{
    // 200 ticks at 96 DPI move a line 200 pixels; at 192 DPI 400, two at a time; at 144
    // DPI 300, in steps of one and two pixels by turns. The period stays the same.
    struct Case {
        int dpi;
        int offsetAfter200;
        std::vector<int> firstScrolls;
    };
    for (const Case& c : {Case{96, -200, {-1, -1, -1, -1}}, Case{144, -300, {-1, -2, -1, -2}},
                          Case{192, -400, {-2, -2, -2, -2}}}) {
        SCOPED_TRACE(c.dpi);
        FakeBanner b;
        b.client = {0, 0, 600, 20};
        b.SetLine({300, 300});
        b.scroll.SetDpi(c.dpi);
        b.scroll.SetSpeed(800);
        for (int i = 0; i < 200; ++i)
            ASSERT_TRUE(b.FireLatest());
        EXPECT_EQ(b.scroll.GetOffset(), c.offsetAfter200);
        EXPECT_EQ(std::vector<int>(b.scrolls.begin(), b.scrolls.begin() + 4), c.firstScrolls);
        EXPECT_EQ(b.armedPeriods, std::vector<int>(201, 12)) << "no more ticks than at 96 DPI";
        // The line of 600 has left after its last column passed the left edge, and comes
        // back at the right edge.
        while (b.scroll.GetOffset() < 0 && b.scroll.GetOffset() >= -600)
            ASSERT_TRUE(b.FireLatest());
        EXPECT_EQ(b.scroll.GetOffset(), 600);
    }
}

TEST(BannerScroll, WrapsAtTheRightEdgeWithFullRepaint)
{
    FakeBanner b;
    b.SetLine({100, 200});
    b.scroll.SetSpeed(-800);
    const int repaintsBefore = b.fullRepaints;
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), 200);
    EXPECT_EQ(b.fullRepaints, repaintsBefore);
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), -300) << "client left minus the line width";
    EXPECT_EQ(b.fullRepaints, repaintsBefore + 1);
    EXPECT_EQ(b.scrolls, std::vector<int>(201, +1));
}

TEST(BannerScroll, ClearingKeepsTheOffset)
{
    FakeBanner b;
    b.SetLine({300});
    b.scroll.SetSpeed(800);
    for (int i = 0; i < 250; ++i)
        ASSERT_TRUE(b.FireLatest());
    // The feed clears and adds a short entry: it starts off-screen to the left...
    b.SetLine({40});
    EXPECT_EQ(b.scroll.GetOffset(), -250);
    // An item added while the line stands wholly left of the strip may show from the
    // left edge on.
    b.columnRepaints.clear();
    b.AddText("late", 0, 0);
    EXPECT_EQ(b.columnRepaints, (std::vector<std::pair<int, int>>{{0, 200}}));
    // ...and wraps in from the right at the next tick.
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), 200);
}

TEST(BannerScroll, AppendedItemRepaintsOnlyTheColumnsRightOfTheLine)
{
    FakeBanner b;
    b.SetLine({50, 60});
    b.columnRepaints.clear();
    const int repaints = b.fullRepaints;
    b.AddText("next", 0, 0);
    EXPECT_EQ(b.columnRepaints, (std::vector<std::pair<int, int>>{{110, 200}}));
    // Before the next paint measured it, a second item goes to the right of it: the
    // columns from the measured end cover both.
    b.AddText("after", 0, 0);
    EXPECT_EQ(b.columnRepaints.back(), std::make_pair(110, 200));
    b.widths = {50, 60, 40, 30};
    b.Paint();

    b.scroll.SetSpeed(800);
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(b.FireLatest());
    b.AddText("moved", 0, 0);
    EXPECT_EQ(b.columnRepaints.back(), std::make_pair(150, 200)) << "where the line ends now";
    b.widths.push_back(80);
    b.Paint();
    const size_t before = b.columnRepaints.size();
    b.AddText("beyond", 0, 0);
    EXPECT_EQ(b.columnRepaints.size(), before) << "past the right edge: nothing to repaint";
    EXPECT_EQ(b.fullRepaints, repaints) << "appends never repaint the whole strip";
}

TEST(BannerScroll, RefusedTimerStopsUntilNextSpeed)
{
    FakeBanner b;
    b.SetLine({10});
    b.refuseTimers = true;
    b.scroll.SetSpeed(800);
    EXPECT_EQ(b.scroll.GetTimerId(), 0u);
    b.refuseTimers = false;
    b.scroll.SetSpeed(800);
    EXPECT_NE(b.scroll.GetTimerId(), 0u);
    b.refuseTimers = true;
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetTimerId(), 0u) << "the tick could not re-arm: stopped";
    EXPECT_EQ(b.scroll.GetOffset(), -1);
}

TEST(BannerScroll, NoTimerWithoutWindowAndNoneLeftAfterDestruction)
{
    std::vector<uint32_t> cancelled;
    uint32_t armed = 0;
    {
        FakeBanner b;
        b.window = false;
        b.scroll.SetSpeed(800);
        EXPECT_EQ(b.scroll.GetTimerId(), 0u);
        EXPECT_TRUE(b.armedIds.empty());
        b.window = true;
        b.scroll.SetSpeed(800);
        armed = b.scroll.GetTimerId();
        ASSERT_NE(armed, 0u);
        // Resizing keeps the chain and repaints the whole control.
        const int before = b.fullRepaints;
        b.scroll.OnResize();
        EXPECT_EQ(b.fullRepaints, before + 1);
        EXPECT_EQ(b.scroll.GetTimerId(), armed);
        b.scroll.Stop();
        cancelled = b.cancelled;
    }
    EXPECT_EQ(cancelled, (std::vector<uint32_t>{armed}));

    // An engine destroyed while running cancels its timer itself.
    struct Recorder : IBannerScrollHost {
        std::vector<uint32_t> cancelled;
        bool BannerWindowExists() const override { return true; }
        BannerRect BannerClientRect() const override { return {}; }
        int BannerItemCount() const override { return 0; }
        void BannerInvalidateAll() override {}
        void BannerScrollContents(int) override {}
        uint32_t BannerArmTimer(int) override { return 7; }
        void BannerCancelTimer(uint32_t id) override { cancelled.push_back(id); }
    } host;
    {
        CBannerScroll engine(host);
        engine.SetSpeed(5);
    }
    EXPECT_EQ(host.cancelled, (std::vector<uint32_t>{7}));
}

TEST(BannerScroll, GeometryAndHitTest)
{
    FakeBanner b;
    EXPECT_EQ(b.scroll.HitTest(0), -1) << "nothing painted yet";
    b.SetLine({10, 20, 30});
    EXPECT_EQ(b.scroll.GetLineWidth(), 60);
    EXPECT_EQ(b.scroll.GetItemLeftEdges(), (std::vector<int>{0, 10, 30}));
    EXPECT_EQ(b.scroll.HitTest(-1), -1) << "left of item 0";
    EXPECT_EQ(b.scroll.HitTest(0), 0);
    EXPECT_EQ(b.scroll.HitTest(9), 0);
    EXPECT_EQ(b.scroll.HitTest(10), 1);
    EXPECT_EQ(b.scroll.HitTest(29), 1);
    EXPECT_EQ(b.scroll.HitTest(30), 2);
    EXPECT_EQ(b.scroll.HitTest(59), 2);
    EXPECT_EQ(b.scroll.HitTest(60), -1) << "at the end of the last item";
    EXPECT_EQ(b.scroll.HitTest(500), -1);

    // After moving, the next paint places the edges from the new offset.
    b.scroll.SetSpeed(800);
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(b.FireLatest());
    b.Paint();
    EXPECT_EQ(b.scroll.GetItemLeftEdges(), (std::vector<int>{-15, -5, 15}));
    EXPECT_EQ(b.scroll.HitTest(-6), 0);
    EXPECT_EQ(b.scroll.HitTest(0), 1);
    EXPECT_EQ(b.scroll.HitTest(44), 2);
    EXPECT_EQ(b.scroll.HitTest(45), -1);
}

TEST(BannerScroll, SavingPowerCrossesInTheSameTimeWithHalfTheTicks)
{
    // A line of 600 in a client of 600 wraps once it has moved 600 pixels: count the
    // ticks and the milliseconds that takes in each mode, at 96 and 144 DPI.
    struct Crossing {
        int ticks = 0;
        long long ms = 0;
        std::vector<int> firstScrolls;
    };
    auto cross = [](int dpi, bool saving) {
        FakeBanner b;
        b.client = {0, 0, 600, 20};
        b.SetLine({300, 300});
        b.scroll.SetDpi(dpi);
        b.scroll.SetPowerSaving(saving);
        b.scroll.SetSpeed(800);
        Crossing c;
        while (b.scroll.GetOffset() <= 0 && c.ticks < 10000) {
            c.ms += b.armedPeriods.back();
            EXPECT_TRUE(b.FireLatest());
            ++c.ticks;
        }
        EXPECT_EQ(b.scroll.GetOffset(), 600) << "re-enters from the right edge";
        c.firstScrolls.assign(b.scrolls.begin(), b.scrolls.begin() + 4);
        return c;
    };
    const Crossing plain = cross(96, false);
    const Crossing saving = cross(96, true);
    EXPECT_EQ(plain.ticks, 601);
    EXPECT_EQ(plain.firstScrolls, (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_EQ(saving.firstScrolls, (std::vector<int>{-2, -2, -2, -2}));
    EXPECT_LE(saving.ticks, plain.ticks / 2 + 1);
    EXPECT_LE(std::llabs(saving.ms - plain.ms), 24) << "within one tick";

    const Crossing plain144 = cross(144, false);
    const Crossing saving144 = cross(144, true);
    EXPECT_EQ(saving144.firstScrolls, (std::vector<int>{-3, -3, -3, -3}));
    EXPECT_LE(std::llabs(saving144.ms - plain144.ms), 24);
}

TEST(BannerScroll, SwitchingPowerSavingReArmsARunningLineOnly)
{
    FakeBanner b;
    b.SetLine({50});
    b.scroll.SetPowerSaving(true); // before any speed: taken up by the first
    b.scroll.SetSpeed(800);
    EXPECT_EQ(b.armedPeriods.back(), 24);
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), -2);

    // Running: the armed timer is replaced by one at the new period; its tick is stale.
    const uint32_t running = b.armedIds.back();
    b.scroll.SetPowerSaving(false);
    EXPECT_EQ(b.cancelled.back(), running);
    EXPECT_EQ(b.armedPeriods.back(), 12);
    EXPECT_FALSE(b.scroll.OnTick(running));
    ASSERT_TRUE(b.FireLatest());
    EXPECT_EQ(b.scroll.GetOffset(), -3) << "goes on from where it stood, one pixel a tick";
    EXPECT_FALSE(b.scroll.IsPowerSaving());

    // Resting (hidden): nothing is armed by the switch; waking arms at the new period.
    b.showing = false;
    ASSERT_TRUE(b.FireLatest());
    ASSERT_TRUE(b.scroll.IsResting());
    const size_t armed = b.armedIds.size();
    b.scroll.SetPowerSaving(true);
    b.scroll.SetPowerSaving(true);
    EXPECT_EQ(b.armedIds.size(), armed);
    b.showing = true;
    b.scroll.Wake();
    EXPECT_EQ(b.armedPeriods.back(), 24);

    // Stopped: the switch arms nothing either.
    b.scroll.SetSpeed(0);
    const size_t stopped = b.armedIds.size();
    b.scroll.SetPowerSaving(false);
    EXPECT_EQ(b.armedIds.size(), stopped);
    EXPECT_EQ(b.scroll.GetTickPeriod(), 12);
}
