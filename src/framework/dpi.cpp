#include "framework/dpi.h"
#include "framework/system_call.h"

namespace lex {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

struct DpiCalls {
    GetDpiForWindowFn getDpiForWindow = LookupSystemCall<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    GetSystemMetricsForDpiFn getSystemMetricsForDpi =
        LookupSystemCall<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi =
        LookupSystemCall<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    GetDpiForMonitorFn getDpiForMonitor = LookupSystemCall<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
};

const DpiCalls& Calls()
{
    static const DpiCalls calls;
    return calls;
}

} // namespace

int SystemDpi()
{
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
        if (screen)
            ::ReleaseDC(nullptr, screen);
        return value > 0 ? value : kBaseDpi;
    }();
    return dpi;
}

int DpiOfWindow(HWND hWnd)
{
    if (hWnd && Calls().getDpiForWindow) {
        const UINT dpi = Calls().getDpiForWindow(hWnd);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int DpiOfMonitor(HMONITOR monitor)
{
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (monitor && Calls().getDpiForMonitor && SUCCEEDED(Calls().getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) &&
        y > 0)
        return static_cast<int>(y);
    return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi)
{
    if (Calls().getSystemMetricsForDpi)
        return Calls().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    // Before Windows 10 the metrics are those of the system DPI.
    return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi)
{
    if (Calls().adjustWindowRectExForDpi &&
        Calls().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        return;
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

} // namespace lex
