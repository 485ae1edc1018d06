#include "mainbar/feed_host.h"
#include "base/text.h"
#include "framework/app.h"
#include "framework/system_call.h"

#include <chrono>

void CFeedHost::FeedStartTimer(int periodMs)
{
    // A step a little late goes unnoticed; the feed keeps its own schedule.
    m_bar.SetCoalescableTimer(kFeedTimer, static_cast<UINT>(periodMs), static_cast<ULONG>(periodMs / 10));
}

void CFeedHost::FeedStopTimer()
{
    m_bar.KillTimer(kFeedTimer);
}

uint64_t CFeedHost::FeedNowMs() const
{
    // The feed makes up the steps of the time nobody saw the bar, which must not take
    // in a night asleep. The unbiased interrupt time leaves sleep and hibernation out;
    // the performance counter behind steady_clock is not documented to. Systems
    // without the call count on steady_clock, and the suspend and resume notices
    // (WM_POWERBROADCAST) take the sleep out there.
    using QueryUnbiasedInterruptTimeFn = BOOL(WINAPI*)(PULONGLONG);
    static const auto unbiased =
        lex::LookupSystemCall<QueryUnbiasedInterruptTimeFn>(L"kernel32.dll", "QueryUnbiasedInterruptTime");
    ULONGLONG ticks = 0; // 100 ns
    if (unbiased && unbiased(&ticks))
        return ticks / 10000;
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CFeedHost::FeedEndProgram(int exitCode)
{
    PostQuitMessage(exitCode);
}

void CFeedHost::FeedShowError(const std::string& text)
{
    // Topmost, like the bar: at start-up nothing of ours is on screen yet, and later
    // (the dictionary gone while running) the box must not hide behind the bar.
    lex::MessageBoxCp936(nullptr, text, m_caption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

void CFeedHost::Warn(const std::string& text, const std::string& caption)
{
    lex::MessageBoxCp936(nullptr, text, caption, MB_OK | MB_ICONWARNING);
}
