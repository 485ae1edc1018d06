#include "support/win_test_util.h"
#include "base/text.h"
#include "framework/gdi.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdlib>

namespace wintest {

void PumpMessages(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string MakeTempFolder(const char* tag)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"lexorin-" + lex::Widen(tag) + L"-" +
                          std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    CreateDirectoryW(folder.c_str(), nullptr);
    return lex::Narrow(folder) + "\\";
}

void RemoveFolder(const std::string& folder)
{
    std::wstring from = lex::Widen(folder);
    while (!from.empty() && from.back() == L'\\')
        from.pop_back();
    from.push_back(L'\0'); // double-terminated list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

std::string FromUnixPath(const std::string& unixPath)
{
    std::string out = "Z:";
    for (char c : unixPath)
        out += (c == '/') ? '\\' : c;
    return out;
}

COLORREF ClientPixel(HWND hWnd, int x, int y)
{
    HDC dc = GetDC(hWnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return c;
}

Image Capture(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    Image img;
    img.w = rc.right;
    img.h = rc.bottom;
    const BITMAPINFO bi = lex::TopDownDibInfo(img.w, img.h);
    HDC wdc = ::GetDC(hWnd);
    HDC mdc = ::CreateCompatibleDC(wdc);
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(wdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mdc, bmp);
    ::BitBlt(mdc, 0, 0, img.w, img.h, wdc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* p = static_cast<const unsigned char*>(bits);
    img.px.resize(static_cast<size_t>(img.w * img.h));
    for (size_t i = 0; i < img.px.size(); ++i)
        img.px[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
    ::SelectObject(mdc, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mdc);
    ::ReleaseDC(hWnd, wdc);
    return img;
}

std::string BitmapFileBytes(int w, int h, int bpp, const std::function<COLORREF(int, int)>& pixel)
{
    const int stride = ((w * bpp + 31) / 32) * 4;
    std::string b(54 + static_cast<size_t>(stride) * h, '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int k = 0; k < n; ++k)
            b[at + k] = static_cast<char>(v >> (8 * k));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<uint32_t>(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(w), 4);
    put(22, static_cast<uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, static_cast<uint32_t>(bpp), 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixel(x, h - 1 - y);
            char* p = &b[54 + static_cast<size_t>(y) * stride + x * (bpp / 8)];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    return b;
}

} // namespace wintest

namespace wintest {

int TestDpi()
{
    char value[16] = {};
    const DWORD n = GetEnvironmentVariableA("LEX_TEST_DPI", value, sizeof value);
    const int dpi = n > 0 && n < sizeof value ? atoi(value) : 0;
    return dpi > 0 ? dpi : 96;
}

int AtTestDpi(int at96, int at144, int at192)
{
    switch (TestDpi()) {
    case 96:
        return at96;
    case 144:
        return at144;
    case 192:
        return at192;
    default:
        ADD_FAILURE() << "no expected value written for " << TestDpi() << " DPI";
        return at96;
    }
}

} // namespace wintest
