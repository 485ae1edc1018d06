// The banner's one-shot multimedia timers. A timer knows nothing but the window
// handle: when it fires, on the system's timer thread, it posts WM_TIMER with its own
// id (lParam 0) to that window if the window still exists. Nothing of the banner object
// is reachable from the timer, so one that outlives the object or its window is
// harmless; its tick, if posted to a live banner, is dropped there as stale.
#pragma once

#include <windows.h>

namespace lex {

// The resolution the banner asks for: ticks need not be precise, only steady.
constexpr UINT kBannerTimerResolutionMs = 100;

// Arms a one-shot timer of periodMs for hwnd. Returns its id, 0 if the system refuses
// (or hwnd is not a window).
UINT ArmBannerTimer(HWND hwnd, UINT periodMs);
// Cancels a timer that has not fired yet; once this returns its callback does not run.
// Ids of timers that already fired are ignored.
void CancelBannerTimer(UINT id);

} // namespace lex
