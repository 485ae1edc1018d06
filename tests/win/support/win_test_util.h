// Helpers shared by the Windows-tier tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace wintest {

// Dispatches this thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);
// Dispatches messages until done() is true or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// A fresh empty folder under the temp folder, with a trailing backslash.
std::string MakeTempFolder(const char* tag);
// Removes a folder and everything in it.
void RemoveFolder(const std::string& folder);
// The Windows path of a Unix path (Wine maps the root to drive Z:).
std::string FromUnixPath(const std::string& unixPath);
// Reads a pixel of a window's client area as it is on screen.
COLORREF ClientPixel(HWND hWnd, int x, int y);

// The client area of a window as it is on screen.
struct Image {
    int w = 0;
    int h = 0;
    std::vector<COLORREF> px;
    COLORREF At(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
    bool operator==(const Image& o) const { return w == o.w && h == o.h && px == o.px; }
    bool Uniform() const { return std::all_of(px.begin(), px.end(), [&](COLORREF c) { return c == px[0]; }); }
    int Count(COLORREF c) const { return static_cast<int>(std::count(px.begin(), px.end(), c)); }
};
Image Capture(HWND hWnd);
// The bytes of a bottom-up BMP file, w x h at 24 or 32 bits, each pixel coloured by
// pixel(x, y) with y counted from the top.
std::string BitmapFileBytes(int w, int h, int bpp, const std::function<COLORREF(int, int)>& pixel);

} // namespace wintest

namespace wintest {

// The system DPI the test program was started for (scripts/dpi-run.sh), else 96.
int TestDpi();

// Of values written out for 96, 144 and 192 DPI, the one for TestDpi(); a test run at
// another DPI fails.
int AtTestDpi(int at96, int at144, int at192);

} // namespace wintest
