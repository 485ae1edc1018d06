// The banner's multimedia timers under Wine. If the callback touched the banner object,
// resizing the main bar (which destroys and re-creates the banner window) or closing
// the program while a tick is on its way would crash it at random.
#include "banner/banner_scroll.h"
#include "banner/banner_timer_win.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Tick {
    HWND hwnd;
    WPARAM id;
    LPARAM lParam;
};

std::vector<Tick> g_ticks;
CBannerScroll* g_engine = nullptr; // the engine a window forwards its ticks to
int g_stale = 0;
int g_handled = 0;

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER) {
        g_ticks.push_back({hwnd, wParam, lParam});
        if (g_engine)
            ++(g_engine->OnTick(static_cast<uint32_t>(wParam)) ? g_handled : g_stale);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LexBannerTimerTest";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, L"LexBannerTimerTest", L"", WS_OVERLAPPED, 0, 0, 200, 20, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class BannerTimer : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_ticks.clear();
        g_engine = nullptr;
        g_stale = 0;
        g_handled = 0;
    }
};

} // namespace

TEST_F(BannerTimer, TickCarriesItsOwnId)
{
    HWND hwnd = MakeWindow();
    ASSERT_TRUE(hwnd);
    const UINT id = lex::ArmBannerTimer(hwnd, 20);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(wintest::PumpUntil([] { return !g_ticks.empty(); }, 3000));
    wintest::PumpMessages(100);
    ASSERT_EQ(g_ticks.size(), 1u) << "one shot, one tick";
    EXPECT_EQ(g_ticks[0].hwnd, hwnd);
    EXPECT_EQ(g_ticks[0].id, id);
    EXPECT_EQ(g_ticks[0].lParam, 0) << "a nonzero lParam would be called as a timer procedure";
    DestroyWindow(hwnd);
}

TEST_F(BannerTimer, CancelledTimerNeverTicks)
{
    HWND hwnd = MakeWindow();
    ASSERT_TRUE(hwnd);
    const UINT id = lex::ArmBannerTimer(hwnd, 30);
    ASSERT_NE(id, 0u);
    lex::CancelBannerTimer(id);
    wintest::PumpMessages(300);
    EXPECT_TRUE(g_ticks.empty());
    DestroyWindow(hwnd);
    EXPECT_EQ(lex::ArmBannerTimer(hwnd, 10), 0u) << "no timer for a window that is gone";
}

TEST_F(BannerTimer, TimersOutlivingTheirWindowAreHarmless)
{
    HWND survivor = MakeWindow();
    ASSERT_TRUE(survivor);
    std::vector<UINT> ids;
    for (int round = 0; round < 5; ++round) {
        // A banner window with many ticks on their way, destroyed before they fire,
        // as the main bar does when it is resized quickly.
        HWND doomed = MakeWindow();
        ASSERT_TRUE(doomed);
        for (UINT period = 1; period <= 20; ++period) {
            const UINT id = lex::ArmBannerTimer(doomed, period);
            if (id)
                ids.push_back(id);
        }
        DestroyWindow(doomed);
    }
    ASSERT_FALSE(ids.empty());
    wintest::PumpMessages(300);
    for (const Tick& t : g_ticks)
        ADD_FAILURE() << "tick " << t.id << " reached a window";
    EXPECT_TRUE(IsWindow(survivor));
    DestroyWindow(survivor);
}

namespace {

// The scroll host as the banner window provides it, over a plain window.
class WindowHost : public IBannerScrollHost {
public:
    explicit WindowHost(HWND hwnd) : m_hwnd(hwnd) {}
    int armed = 0;

    bool BannerWindowExists() const override { return IsWindow(m_hwnd) != FALSE; }
    BannerRect BannerClientRect() const override { return {0, 0, 200, 20}; }
    int BannerItemCount() const override { return 1; }
    void BannerInvalidateAll() override { InvalidateRect(m_hwnd, nullptr, TRUE); }
    void BannerScrollContents(int dx) override
    {
        RECT rc = {0, 0, 200, 20};
        ScrollWindow(m_hwnd, dx, 0, &rc, &rc);
    }
    uint32_t BannerArmTimer(int periodMs) override
    {
        ++armed;
        return lex::ArmBannerTimer(m_hwnd, static_cast<UINT>(periodMs));
    }
    void BannerCancelTimer(uint32_t id) override { lex::CancelBannerTimer(id); }

private:
    HWND m_hwnd;
};

} // namespace

TEST_F(BannerTimer, EngineRunsOneChainAndStops)
{
    HWND hwnd = MakeWindow();
    ASSERT_TRUE(hwnd);
    WindowHost host(hwnd);
    {
        CBannerScroll engine(host);
        g_engine = &engine;
        engine.SetSpeed(20);   // 500 ms
        engine.SetSpeed(1000); // supersedes it: 10 ms
        engine.BeginGeometry();
        engine.AddItemWidth(300);
        ASSERT_TRUE(wintest::PumpUntil([] { return g_handled >= 5; }, 3000));
        engine.SetSpeed(0);
        const int handled = g_handled;
        EXPECT_EQ(g_stale, 0);
        // One chain: every handled tick moved the line by exactly one pixel.
        EXPECT_EQ(engine.GetOffset(), -handled);
        EXPECT_EQ(host.armed, 2 + handled);
        wintest::PumpMessages(150);
        EXPECT_EQ(g_handled, handled) << "stopped";

        // Running again, then the object goes away with its window while a tick is armed.
        engine.SetSpeed(-10);
        EXPECT_NE(engine.GetTimerId(), 0u);
        DestroyWindow(hwnd);
        g_engine = nullptr;
    }
    wintest::PumpMessages(100);
}
