// The tray icon as the shell drives it: notifications sent to the running program, its
// skinned menu steered by keyboard, and the balloon it shows when settings cannot be
// saved.
#include "base/fileio.h"
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

namespace {

// The texts of the visible balloons on screen (tooltip windows, shown by whichever
// process draws the tray), one string per balloon.
std::vector<std::string> VisibleBalloons()
{
    struct Search {
        std::vector<std::string> texts;
        static BOOL CALLBACK Visit(HWND h, LPARAM l)
        {
            wchar_t cls[64] = {};
            GetClassNameW(h, cls, 64);
            if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && IsWindowVisible(h) &&
                (GetWindowLongW(h, GWL_STYLE) & TTS_BALLOON))
                reinterpret_cast<Search*>(l)->texts.push_back(e2e::WindowText(h));
            return TRUE;
        }
    } search;
    EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&search));
    return search.texts;
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

TEST(TrayE2E, SettingsFileThatCannotBeWrittenIsToldOnceInABalloonAndAWritableOneNever)
{
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only Lexorin.ini" : "writable Lexorin.ini");
        LexorinProcess app("balloon");
        const std::wstring ini = lex::Widen(app.SettingsPath());
        if (readOnly) {
            ASSERT_TRUE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        std::string before;
        ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), before));
        ASSERT_TRUE(app.Start());
        HWND bar = app.WaitForMainWindow(15000);
        ASSERT_NE(bar, nullptr);

        // Over eight seconds: at most one balloon at any time, and what it says.
        std::vector<std::string> shown;
        const DWORD until = GetTickCount() + 8000;
        while (GetTickCount() < until) {
            const std::vector<std::string> now = VisibleBalloons();
            EXPECT_LE(now.size(), 1u);
            if (!now.empty() && shown.empty())
                shown = now;
            wintest::PumpMessages(200);
        }
        if (readOnly) {
            ASSERT_EQ(shown.size(), 1u) << "the user is told";
            const std::string& text = shown[0];
            EXPECT_NE(text.find("无法写入设置文件"), std::string::npos) << text;
            EXPECT_NE(Upper(text).find(Upper(app.SettingsPath())), std::string::npos) << "names the file: " << text;
        } else {
            EXPECT_TRUE(shown.empty()) << "a balloon without cause: " << (shown.empty() ? "" : shown[0]);
        }
        e2e::Sync(bar);
        EXPECT_TRUE(IsWindowEnabled(bar) && IsWindowVisible(bar)) << "nothing waits for the user";

        PostMessageW(bar, WM_COMMAND, ID_DICT_NEXT, 0);
        PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_EQ(app.WaitForExit(10000), 0u);
        std::string after;
        ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), after));
        EXPECT_EQ(after == before, readOnly) << "only a read-only file stays as it was";
        SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}
