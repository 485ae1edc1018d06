#include "banner/banner_timer_win.h"

#include <mmsystem.h>

namespace lex {

namespace {

// Runs on the multimedia timer thread: only the window handle is used, and only
// through calls that are safe for a handle whose window is gone.
void CALLBACK BannerTimerProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    HWND hwnd = reinterpret_cast<HWND>(user);
    if (IsWindow(hwnd))
        PostMessageW(hwnd, WM_TIMER, static_cast<WPARAM>(id), 0);
}

} // namespace

UINT ArmBannerTimer(HWND hwnd, UINT periodMs)
{
    if (!IsWindow(hwnd))
        return 0;
    return timeSetEvent(periodMs, kBannerTimerResolutionMs, BannerTimerProc, reinterpret_cast<DWORD_PTR>(hwnd),
                        TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
}

void CancelBannerTimer(UINT id)
{
    if (id != 0)
        timeKillEvent(id);
}

} // namespace lex
