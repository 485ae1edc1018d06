// The tray icon as the shell drives it: notifications sent to the running program, and
// its skinned menu steered by keyboard.
#include "base/fileio.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using e2e::LexorinProcess;

using e2e::kTrayIconId;
using e2e::kTrayMessage;

namespace {

// Without a system tray on the X display, Wine shows tray icons in a small window of
// its own, which is shown exactly while some program has an icon.
bool WineTrayShown()
{
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    return tray && IsWindowVisible(tray);
}

bool RunningOnWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
// Whether the bar ends up visible: waits for the expected state a while, since the
// notification is posted and read across processes.
bool Visible(HWND bar, bool expected)
{
    wintest::PumpUntil([&] { return (IsWindowVisible(bar) != FALSE) == expected; }, 3000);
    e2e::Sync(bar);
    return IsWindowVisible(bar) != FALSE;
}
} // namespace

TEST(TrayE2E, LeftClicksToggleTheBarAndExitFromTheMenuSaves)
{
    LexorinProcess app("tray");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);

    if (RunningOnWine()) {
        EXPECT_TRUE(WineTrayShown()) << "the icon was added";
    }

    PostMessageW(bar, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_FALSE(Visible(bar, false)) << "a left click hides the bar";
    PostMessageW(bar, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(Visible(bar, true)) << "a second one brings it back";
    PostMessageW(bar, kTrayMessage, kTrayIconId, WM_MOUSEMOVE);
    wintest::PumpMessages(300);
    EXPECT_TRUE(Visible(bar, true)) << "other mouse messages do nothing";

    // The menu opens at the pointer, here over the bar; the first key down makes the
    // default item hot, and the last item, "退出", is one key up from there.
    RECT barRect;
    GetWindowRect(bar, &barRect);
    SetCursorPos(barRect.left + 380, barRect.top + 10); // over the banner, away from the tooltips
    PostMessageW(bar, kTrayMessage, kTrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(wintest::PumpUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) != nullptr; }, 5000))
        << "no popup menu appeared";
    wintest::PumpMessages(300);
    e2e::PressKey(VK_DOWN);
    wintest::PumpMessages(300);
    RECT menuRect;
    GetWindowRect(menu, &menuRect);
    const int mw = menuRect.right - menuRect.left;
    const std::vector<COLORREF> pixels = e2e::GrabScreen(menuRect);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(mw * (menuRect.bottom - menuRect.top)));
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * mw + x)]; };
    // Flat: the one-pixel frame is a darkened menu colour, not the system's raised edge.
    const COLORREF menuColour = GetSysColor(COLOR_MENU);
    EXPECT_LT(GetRValue(at(0, 20)) + GetGValue(at(0, 20)) + GetBValue(at(0, 20)),
              GetRValue(menuColour) + GetGValue(menuColour) + GetBValue(menuColour) - 200)
        << "a dark one-pixel frame on the left";
    EXPECT_EQ(at(0, 20), at(mw / 2, 0)) << "the same frame along the top";
    // The icons of about, settings, hide and exit: coloured pixels in the icon column.
    int coloured = 0;
    for (int y = 0; y < menuRect.bottom - menuRect.top; ++y)
        for (int x = 2; x < 28 && x < mw; ++x) {
            const COLORREF c = at(x, y);
            const int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
            const int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
            coloured += hi - lo > 60;
        }
    EXPECT_GT(coloured, 60) << "toolbar icons in the icon column";
    // The hot item's one-pixel frame in the highlight colour.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), highlight), 2 * (mw - 20)) << "the hot item's frame";
    RECT shot;
    UnionRect(&shot, &barRect, &menuRect);
    InflateRect(&shot, 12, 12);
    e2e::SaveScreenshot(shot, "tray-menu");
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_RETURN);
    ASSERT_EQ(app.WaitForExit(10000), 0u) << "choosing 退出 ends the program";
    if (RunningOnWine()) {
        EXPECT_TRUE(wintest::PumpUntil([] { return !WineTrayShown(); }, 5000)) << "the icon is gone after exit";
    }

    std::string text;
    ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), text));
    for (const char* key : {"DictWordCount=", "InterfaceLeft=", "InterfaceTop=", "InterfaceCX=", "InterfaceCY=",
                            "InterfaceBKImageFileName="})
        EXPECT_NE(text.find(key), std::string::npos) << key;
}
