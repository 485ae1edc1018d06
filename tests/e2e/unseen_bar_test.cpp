// A bar that nobody can see costs nothing: covered by a full-screen window or on a
// locked session the program's threads do not wake at all, hidden its timers stop, and
// when the bar is seen again it scrolls on and its reading position is where it would
// have been.
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/linux_proc.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <chrono>

using e2e::LexorinProcess;

namespace {

double Seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// How many times the program's threads went to sleep again over ms (each wake-up ends
// in one), while this thread dispatches its own messages.
long long WaitsOver(unsigned long pid, DWORD ms)
{
    const auto before = e2e::LinuxThreadWaits(pid);
    wintest::PumpMessages(ms);
    const auto after = e2e::LinuxThreadWaits(pid);
    return before.empty() || after.empty() ? -1 : e2e::GrowthBetween(before, after);
}

// Waits up to timeoutMs for the program to be asleep (no wake-up over 500 ms) or, with
// asleep false, awake (scrolling: at least 10 wake-ups over 200 ms); the seconds it
// took, or -1.
double SecondsUntil(unsigned long pid, bool asleep, DWORD timeoutMs)
{
    const double start = Seconds();
    while (Seconds() - start < timeoutMs / 1000.0) {
        const long long waits = WaitsOver(pid, asleep ? 500 : 200);
        if (asleep ? waits == 0 : waits >= 10)
            return Seconds() - start;
    }
    return -1;
}


// Runs the program for about 13 s with one entry a second, hidden from 1.5 s to 9.5 s
// if hide is set, and returns the reading position it saved. The waits of its threads
// over 2 s while shown and while hidden go to shownWaits and hiddenWaits. With asleep,
// the system is told it is suspended for the 7 s from 2.5 s on (Wine itself never
// sends the notices).
int PositionAfterRun(bool hide, long long* shownWaits = nullptr, long long* hiddenWaits = nullptr,
                     bool asleep = false)
{
    LexorinProcess app(hide ? "hidden-run" : "seen-run");
    {
        lex::CSettings s(app.SettingsPath());
        s.SetBannerScrollSpeed(1);
        s.SetDictWordCount(0);
    }
    // A pointer resting on the strip would hold it: keep it away from the bar.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    EXPECT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    EXPECT_NE(bar, nullptr);
    if (!bar)
        return -1;
    const unsigned long pid = e2e::LinuxProcessOfFolder(app.Folder());
    wintest::PumpMessages(1500);
    if (hide) {
        PostMessageW(bar, WM_COMMAND, ID_HIDE_BAR, 0);
        EXPECT_TRUE(e2e::WaitUntilGone(bar));
    }
    wintest::PumpMessages(1000);
    DWORD_PTR ignored = 0;
    if (asleep)
        SendMessageTimeoutW(bar, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (hiddenWaits)
        *hiddenWaits = WaitsOver(pid, 2000);
    wintest::PumpMessages(5000);
    if (asleep) {
        // Windows sends both for a wake-up the user started.
        SendMessageTimeoutW(bar, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        SendMessageTimeoutW(bar, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    if (hide)
        PostMessageW(bar, WM_COMMAND, ID_SHOW_BAR, 0);
    wintest::PumpMessages(2500);
    if (shownWaits)
        *shownWaits = WaitsOver(pid, 2000);
    e2e::Sync(bar);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
    return lex::CSettings(app.SettingsPath()).DictWordCount();
}

} // namespace

TEST(UnseenBarE2E, HiddenBarSleepsAndItsFeedCatchesUpWhenShown)
{
    const int seenAllAlong = PositionAfterRun(false);
    long long shownWaits = -1, hiddenWaits = -1;
    const int hiddenFor8s = PositionAfterRun(true, &shownWaits, &hiddenWaits);
    // Wine's own display connection still wakes a hidden window's thread now and then;
    // the bar's timers (scrolling 83 times a second, the feed once) do not.
    EXPECT_GE(hiddenWaits, 0);
    EXPECT_LT(hiddenWaits * 4, shownWaits) << "the hidden bar neither scrolls nor steps (" << hiddenWaits
                                           << " waits against " << shownWaits << " while shown)";
    // The hidden seconds count as steps: without them the hidden run would be about
    // eight behind. Under Wine a shown bar's window timer comes a little late now and
    // then (the banner's timer posts 83 times a second), while the hidden bar counts
    // its steps by the clock, so it may be a step or two ahead, never behind.
    EXPECT_GE(seenAllAlong, 8);
    EXPECT_GE(hiddenFor8s, seenAllAlong - 1);
    EXPECT_LE(hiddenFor8s, seenAllAlong + 3);

    // Seven of the hidden seconds asleep: they are no steps to make up. Against the
    // other hidden run, which counts its hidden steps by the same clock.
    const int asleepFor7s = PositionAfterRun(true, nullptr, nullptr, true);
    EXPECT_LE(asleepFor7s, hiddenFor8s - 5) << "the time asleep was made up";
    EXPECT_GE(asleepFor7s, hiddenFor8s - 9) << "the time awake was lost";
}

TEST(UnseenBarE2E, CoveredOrLockedBarStopsScrollingAndResumesWhenSeen)
{
    LexorinProcess app("covered");
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    const unsigned long pid = e2e::LinuxProcessOfFolder(app.Folder());
    ASSERT_NE(pid, 0u);
    wintest::PumpMessages(2000); // entries on the strip, scrolling
    EXPECT_GE(SecondsUntil(pid, false, 2000), 0) << "scrolling while seen";

    // A full-screen window of another program over the bar's monitor.
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(bar, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& m = monitor.rcMonitor;
    HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"full screen", WS_POPUP | WS_VISIBLE, m.left, m.top,
                                 m.right - m.left, m.bottom - m.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    const double stoppedAfter = SecondsUntil(pid, true, 8000);
    EXPECT_GE(stoppedAfter, 0) << "covered, the bar stops";
    EXPECT_LE(stoppedAfter, 5.0);
    EXPECT_EQ(WaitsOver(pid, 3000), 0) << "and stays asleep while covered";

    DestroyWindow(cover);
    const double resumedAfter = SecondsUntil(pid, false, 3000);
    EXPECT_GE(resumedAfter, 0) << "uncovered, it scrolls again";
    EXPECT_LE(resumedAfter, 1.0);

    // The session is locked and unlocked (as the system tells a registered window).
    constexpr UINT kSessionChange = 0x02B1;
    SendMessageW(bar, kSessionChange, 0x7 /* locked */, 0);
    EXPECT_GE(SecondsUntil(pid, true, 3000), 0) << "locked, the bar sleeps";
    SendMessageW(bar, kSessionChange, 0x8 /* unlocked */, 0);
    EXPECT_GE(SecondsUntil(pid, false, 1000), 0) << "unlocked, it scrolls again";

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
