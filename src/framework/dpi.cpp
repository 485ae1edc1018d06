#include "framework/dpi.h"
#include "framework/system_call.h"

namespace lex {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

struct DpiCalls {
    GetDpiForWindowFn getDpiForWindow = LookupSystemCall<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    GetSystemMetricsForDpiFn getSystemMetricsForDpi =
        LookupSystemCall<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    SystemParametersInfoForDpiFn systemParametersInfoForDpi =
        LookupSystemCall<SystemParametersInfoForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
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

int SystemMetricForDpi(int index, int dpi)
{
    if (Calls().getSystemMetricsForDpi)
        return Calls().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    // Before Windows 10 the metrics are those of the system DPI.
    return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi)
{
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof ncm;
    if (Calls().systemParametersInfoForDpi &&
        Calls().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, static_cast<UINT>(dpi)))
        return ncm;
    ncm = NONCLIENTMETRICSW();
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    // Before Windows 10 the metrics are those of the system DPI.
    const int system = SystemDpi();
    if (dpi != system) {
        for (LOGFONTW* font : {&ncm.lfCaptionFont, &ncm.lfSmCaptionFont, &ncm.lfMenuFont, &ncm.lfStatusFont,
                               &ncm.lfMessageFont})
            font->lfHeight = ::MulDiv(font->lfHeight, dpi, system);
        for (int* size : {&ncm.iCaptionWidth, &ncm.iCaptionHeight, &ncm.iSmCaptionWidth, &ncm.iSmCaptionHeight,
                          &ncm.iMenuWidth, &ncm.iMenuHeight})
            *size = ::MulDiv(*size, dpi, system);
    }
    return ncm;
}

HICON LoadIconForDpi(HINSTANCE module, UINT id, int metricX, int metricY, int dpi)
{
    return static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                           SystemMetricForDpi(metricX, dpi), SystemMetricForDpi(metricY, dpi), 0));
}

namespace {

// The size of a bitmap resource from its header, without loading it.
bool BitmapResourceSize(HINSTANCE module, UINT id, int& width, int& height)
{
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)); // RT_BITMAP
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(::LockResource(loaded)) : nullptr;
    if (!header || ::SizeofResource(module, found) < sizeof(BITMAPCOREHEADER))
        return false;
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(header);
        width = core->bcWidth;
        height = core->bcHeight;
    } else {
        width = header->biWidth;
        height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    }
    return width > 0 && height > 0;
}

} // namespace

PickedStrip PickStrip(HINSTANCE module, const DrawnStrip& strip, int count, int dpi)
{
    const int wanted = PickDrawnSize(ScaleToDpi(16, dpi), {16, 24, 32});
    PickedStrip picked;
    int width = 0, height = 0;
    const UINT bigger = wanted == 32 ? strip.id32 : wanted == 24 ? strip.id24 : 0;
    if (bigger && count > 0 && BitmapResourceSize(module, bigger, width, height)) {
        picked.bitmapId = bigger;
        picked.size = wanted;
    } else {
        picked.bitmapId = strip.id16;
        picked.size = 16;
        if (!BitmapResourceSize(module, strip.id16, width, height))
            return picked;
    }
    picked.width = count > 0 ? width / count : 0;
    picked.height = height;
    return picked;
}

} // namespace lex
