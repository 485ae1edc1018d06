// The real program at the system DPI it is started at (scripts/dpi-run.sh runs it at 144
// and 192 DPI too): the manifest that makes Windows leave the drawing to it, and the bar
// and tray menu drawn at 1, 1.5 and 2 times their 96-DPI size. At 192 DPI it saves the
// screenshots of the bar and the tray menu (hi-dpi-bar and hi-dpi-tray-menu: pictures taken
// at 192 DPI are named so).
#include "base/text.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using e2e::LexorinProcess;

namespace {

// The bar as measured at 96 DPI, and the same at 1.5 and 2 times the size.
struct ScreenFigures {
    int dpi;
    int barWidth;
    int buttonWidth, buttonHeight;
    int bannerHeight; // the banner's client area, inside its frame
    int menuRows;     // the tray menu's eleven rows together (eight items, three separators)
};
const ScreenFigures kFigures[] = {
    {96, 640, 23, 22, 20, 185},
    {144, 960, 35, 33, 30, 279},
    {192, 1280, 46, 44, 40, 370},
};

} // namespace

TEST(HiDpiE2E, ManifestDeclaresPerMonitorV2AndCommonControls6)
{
    LexorinProcess app("manifest");
    const std::wstring exe = lex::Widen(app.Folder() + "Lexorin.exe");
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << "an application manifest, resource type 24 id 1";
    HGLOBAL loaded = LoadResource(module, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    ASSERT_NE(data, nullptr);
    const std::string manifest(data, SizeofResource(module, found));
    FreeLibrary(module);
    auto has = [&](const char* text) { return manifest.find(text) != std::string::npos; };
    EXPECT_TRUE(has("<dpiAwareness")) << manifest;
    EXPECT_TRUE(has(">PerMonitorV2")) << "per-monitor v2 first";
    EXPECT_TRUE(has(">true/pm</dpiAware>")) << "per-monitor for systems before Windows 10";
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(has("publicKeyToken=\"6595b64144ccf1df\""));
    EXPECT_FALSE(has("<activeCodePage")) << "the text stays code page 936 by our own conversions";
}

TEST(HiDpiE2E, BarAndTrayMenuAreDrawnForTheSystemDpi)
{
    const int dpi = wintest::TestDpi();
    const ScreenFigures* f = nullptr;
    for (const ScreenFigures& each : kFigures)
        if (each.dpi == dpi)
            f = &each;
    ASSERT_NE(f, nullptr) << "no figures for " << dpi << " DPI";

    LexorinProcess app(("hidpi" + std::to_string(dpi)).c_str());
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    wintest::PumpMessages(1500); // a few entries on the strip
    e2e::Sync(bar);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect.right - barRect.left, f->barWidth);
    HWND toolbar = e2e::FindToolbar(bar);
    ASSERT_NE(toolbar, nullptr);
    const LRESULT button = SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_NEAR(LOWORD(button), f->buttonWidth, 1);
    EXPECT_NEAR(HIWORD(button), f->buttonHeight, 1);
    RECT banner;
    GetClientRect(e2e::FindBanner(bar), &banner);
    EXPECT_NEAR(banner.bottom, f->bannerHeight, 1);
    if (dpi == 192) {
        EXPECT_TRUE(e2e::SaveScreenshot(barRect, "bar"));
    }

    // The menu opens over the banner; the first key makes the default item hot.
    SetCursorPos(barRect.left + (barRect.right - barRect.left) / 2, barRect.top + 4);
    PostMessageW(bar, e2e::kTrayMessage, e2e::kTrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(wintest::PumpUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) != nullptr; }, 5000));
    wintest::PumpMessages(300);
    e2e::PressKey(VK_DOWN);
    wintest::PumpMessages(300);
    RECT menuRect, menuClient;
    GetWindowRect(menu, &menuRect);
    GetClientRect(menu, &menuClient);
    // Eleven rows, each within a pixel of its size, and the border Wine's menus draw
    // inside their client area (three pixels a side, at every DPI).
    EXPECT_NEAR(menuClient.bottom, f->menuRows, 11 + 6) << "eleven rows of the tray menu";
    if (dpi == 192) {
        RECT shot;
        UnionRect(&shot, &barRect, &menuRect);
        InflateRect(&shot, 24, 24);
        const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&shot, &shot, &screen);
        EXPECT_TRUE(e2e::SaveScreenshot(shot, "tray-menu"));
    }
    e2e::PressKey(VK_ESCAPE);
    wintest::PumpMessages(200);
    ASSERT_TRUE(e2e::WaitUntilGone(menu, 5000));

    // The bar's context menu is the tray menu below three items of its own, drawn the
    // same way: as many pixels a row, the toolbar's pictures at the bar's DPI.
    e2e::RightClickAt(barRect.left + (barRect.right - barRect.left) / 2, (barRect.top + barRect.bottom) / 2);
    HWND context = nullptr;
    ASSERT_TRUE(wintest::PumpUntil([&] { return (context = FindWindowW(L"#32768", nullptr)) != nullptr; }, 5000));
    wintest::PumpMessages(300);
    RECT contextRect, contextClient;
    GetWindowRect(context, &contextRect);
    GetClientRect(context, &contextClient);
    const int trayRow = (menuClient.bottom - 6) / 11;
    EXPECT_GE(contextClient.bottom - menuClient.bottom, 3 * trayRow) << "three more rows of the same height";
    if (dpi == 192) {
        RECT shot = contextRect;
        InflateRect(&shot, 24, 24);
        const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&shot, &shot, &screen);
        EXPECT_TRUE(e2e::SaveScreenshot(shot, "context-menu"));
    }
    e2e::PressKey(VK_ESCAPE);
    wintest::PumpMessages(200);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
