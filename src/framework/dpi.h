// The DPI a window is drawn at, and measures scaled to it.
//
// Lexorin declares itself per-monitor DPI aware (v2) in its manifest: Windows then
// draws none of its windows by stretching a 96-DPI bitmap, and every measure that
// is not taken from a dialog template (the system scales those) is scaled here from
// its 96-DPI value. The calls that know about monitors came with Windows 10;
// they are looked up at run time, and older systems fall back to the system DPI.
#pragma once

#include <windows.h>

#include <initializer_list>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace lex {

// The DPI every measure in the program is written for.
constexpr int kBaseDpi = 96;

// A measure given at 96 DPI, scaled to dpi and rounded to the nearest pixel.
inline int ScaleToDpi(int value96, int dpi) { return ::MulDiv(value96, dpi, kBaseDpi); }

// Of the sizes a picture is drawn at (in rising order: 16, 24, 32), the largest that
// fits in `wanted` pixels, or the smallest when none fits. Pictures are drawn for each
// of their sizes, never stretched: at 120 DPI a 20-pixel slot shows the 16-pixel art.
inline int PickDrawnSize(int wanted, std::initializer_list<int> drawn)
{
    int best = *drawn.begin();
    for (int size : drawn)
        if (size <= wanted)
            best = size;
    return best;
}

// The system DPI: the primary monitor's when the process started.
int SystemDpi();

// The DPI of the monitor a window is on (the system DPI on systems before Windows 10,
// or for a null window).
int DpiOfWindow(HWND hWnd);

// A system metric (SM_CXSMICON, SM_CXVSCROLL…) as it is at dpi.
int SystemMetricForDpi(int index, int dpi);

// The system's non-client metrics (menu, caption, message fonts and sizes) as they are
// at dpi.
NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi);

// An icon resource at the size of a system metric pair (SM_CXICON/SM_CYICON,
// SM_CXSMICON/SM_CYSMICON) at dpi; the caller destroys it.
HICON LoadIconForDpi(HINSTANCE module, UINT id, int metricX, int metricY, int dpi);

// A strip of 16-pixel pictures drawn at 16, 24 and 32 pixels: the bitmap resource of
// each size (0 when it was not drawn). The bigger strips hold the same pictures in the
// same order.
struct DrawnStrip {
    UINT id16 = 0;
    UINT id24 = 0;
    UINT id32 = 0;
};

// The strip to show at dpi: the size drawn for ScaleToDpi(16, dpi) and its bitmap, the
// 16-pixel one when the module lacks the bigger one. `width`/`height` are the size of
// one picture in the bitmap chosen (the bitmap's width divided by `count` pictures).
struct PickedStrip {
    UINT bitmapId = 0;
    int size = 16;
    int width = 0;
    int height = 0;
};
PickedStrip PickStrip(HINSTANCE module, const DrawnStrip& strip, int count, int dpi);

// A window's DPI and the measures that follow it. Windows keep one and set it again
// from WM_DPICHANGED.
class CDpi {
public:
    CDpi() = default;
    explicit CDpi(int dpi) : m_dpi(dpi > 0 ? dpi : kBaseDpi) {}

    int Dpi() const { return m_dpi; }
    void SetDpi(int dpi) { m_dpi = dpi > 0 ? dpi : kBaseDpi; }
    void SetFromWindow(HWND hWnd) { SetDpi(DpiOfWindow(hWnd)); }

    // A 96-DPI measure at this DPI.
    int Scale(int value96) const { return ScaleToDpi(value96, m_dpi); }
    RECT Scale(const RECT& r96) const { return RECT{Scale(r96.left), Scale(r96.top), Scale(r96.right), Scale(r96.bottom)}; }
    int Metric(int index) const { return SystemMetricForDpi(index, m_dpi); }

private:
    int m_dpi = kBaseDpi;
};

// The rectangle WM_DPICHANGED suggests (its lParam).
inline const RECT& SuggestedDpiRect(LPARAM lParam) { return *reinterpret_cast<const RECT*>(lParam); }

// The new DPI WM_DPICHANGED carries (its wParam; x and y are always equal).
inline int DpiFromDpiChanged(WPARAM wParam) { return LOWORD(wParam); }

} // namespace lex
