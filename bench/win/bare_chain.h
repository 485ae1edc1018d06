// The bare timer chain: a window that only re-arms the banner's one-shot timer on every
// tick, with the timer thread kept alive as the banner keeps it. What each tick costs
// before the banner does any work; the scrolling budgets are ratios to it, measured in
// the same run. Shared by the banner's and the main bar's benchmarks.
//
// Made to show one changed pixel on every tick as well, it is the least any animation
// costs: under Wine every tick that draws ends with the window's surface sent to the X
// server when the thread next waits, whatever the size of the change.
#pragma once

#include "banner/banner_timer_win.h"
#include "bench_clock.h"
#include "framework/wnd.h"
#include "process_cpu.h"

#include <windows.h>

#include <mmsystem.h>

namespace {

// The banner's period at speed 800.
constexpr UINT kBareChainPeriodMs = 12;

inline void CALLBACK KeepThreadProc(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

class BareChain : public lex::CWnd {
public:
    explicit BareChain(bool drawsOnePixel = false) : m_drawsOnePixel(drawsOnePixel) {}
    ~BareChain() override { Stop(); }
    void Start()
    {
        if (!m_keep)
            m_keep = ::timeSetEvent(65535, 1000, KeepThreadProc, 0, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
        m_id = lex::ArmBannerTimer(m_hWnd, kBareChainPeriodMs);
    }
    void Stop()
    {
        lex::CancelBannerTimer(m_id);
        m_id = 0;
        if (m_keep)
            ::timeKillEvent(m_keep);
        m_keep = 0;
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_TIMER && wParam == m_id && m_id != 0) {
            m_id = lex::ArmBannerTimer(m_hWnd, kBareChainPeriodMs);
            if (m_drawsOnePixel)
                DrawPixel();
            return 0;
        }
        return lex::CWnd::WindowProc(msg, wParam, lParam);
    }

private:
    void DrawPixel()
    {
        HDC dc = ::GetDC(m_hWnd);
        if (!dc)
            return;
        ::SetPixel(dc, 0, 0, (++m_pixels & 1) ? RGB(255, 255, 255) : RGB(0, 0, 0));
        ::ReleaseDC(m_hWnd, dc);
    }

    bool m_drawsOnePixel;
    unsigned m_pixels = 0;
    UINT m_id = 0;
    UINT m_keep = 0;
};

// This process's share of a core while only a bare chain runs, for `seconds`, in an
// ordinary GetMessage loop; negative if its window cannot be made. Drawing one pixel,
// the chain's window is shown (without taking the activation) so that it has a surface.
inline double BareChainCpuShare(int seconds, bool drawsOnePixel = false)
{
    BareChain chain(drawsOnePixel);
    if (!chain.CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, nullptr, "bare chain", WS_POPUP, 0, 0, 1, 1, nullptr,
                        0))
        return -1;
    if (drawsOnePixel)
        ::SetWindowPos(chain.m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    constexpr UINT_PTR kEndTimer = 77;
    const double wall0 = Now();
    const auto cpu0 = CpuClock::Own().Read();
    chain.Start();
    ::SetTimer(chain.m_hWnd, kEndTimer, static_cast<UINT>(1000 * seconds), nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == chain.m_hWnd && msg.message == WM_TIMER && msg.wParam == kEndTimer)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    const auto cpu1 = CpuClock::Own().Read();
    ::KillTimer(chain.m_hWnd, kEndTimer);
    chain.Stop();
    const double share = CpuClock::SecondsBetween(cpu0, cpu1) / (Now() - wall0);
    chain.DestroyWindow();
    return share;
}

} // namespace
