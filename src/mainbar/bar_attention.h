// Whether anybody can see the main bar, beyond its own window being shown: the session
// is not locked, the display is on, and no full-screen window of another program covers
// the bar's monitor. It listens to the system's notifications where the system has them
// (session changes, the console display's power state, foreground changes), and while
// the bar is seen it looks every few seconds whether a full-screen program came over it.
// While covered it does not look: the bar being uncovered (a repaint, a new foreground
// window) makes it look again at once.
#pragma once

#include <windows.h>

class CBarAttention {
public:
    static constexpr UINT_PTR kCheckTimer = 2;
    static constexpr UINT kCheckMs = 2000;
    static constexpr ULONG kCheckToleranceMs = 1000;
    // Posted to the bar when the foreground window changed.
    static constexpr UINT kForegroundChanged = WM_APP + 25;

    CBarAttention() = default;
    ~CBarAttention() { Stop(); }
    CBarAttention(const CBarAttention&) = delete;
    CBarAttention& operator=(const CBarAttention&) = delete;

    // Registers the bar for the notifications; Stop undoes it (before the bar is gone).
    void Start(HWND bar);
    void Stop();

    // Offers a message of the bar; true when what the bar can show may have changed
    // (the bar should look again whether it is seen). The message still gets its normal handling.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // The bar's window is shown and not minimised (shown) or not: looks at the screen
    // every few seconds only while that is so and nothing else hides it.
    void SetWindowShown(bool shown);

    // Nothing but the bar's own window state keeps it from being seen.
    bool Unobstructed() const { return !m_locked && !m_displayOff && !m_covered; }

private:
    // Looks whether a full-screen window covers the bar; true if that changed.
    bool CheckCovered();
    void UpdateCheckTimer();
    static void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);

    HWND m_bar = nullptr;
    bool m_sessionRegistered = false;
    HANDLE m_powerNotify = nullptr;
    HWINEVENTHOOK m_foregroundHook = nullptr;
    bool m_windowShown = false;
    bool m_checking = false;
    bool m_locked = false;
    bool m_displayOff = false;
    bool m_covered = false;
};
