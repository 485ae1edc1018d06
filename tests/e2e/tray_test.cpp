// The tray icon as the shell drives it: notifications sent to the running program.
#include "base/fileio.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

using e2e::LexorinProcess;

namespace {
const UINT kTrayMessage = WM_USER + 5;

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
const UINT kTrayIconId = 103;

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

    // The menu opens at the pointer; the last item, "退出", is one key up from the top.
    PostMessageW(bar, kTrayMessage, kTrayIconId, WM_RBUTTONUP);
    ASSERT_TRUE(wintest::PumpUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }, 5000))
        << "no popup menu appeared";
    wintest::PumpMessages(300);
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
