// The about box as a user opens it: from the toolbar and from the tray menu, once.
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

using e2e::LexorinProcess;

namespace {

const UINT kAboutCommand = 32784;
const char kAboutTitle[] = "关于 Quillmere";

HWND WaitForAbout(const LexorinProcess& app, DWORD ms)
{
    return e2e::WaitForProcessWindow(app.ProcessId(), kAboutTitle, ms);
}

// Visible windows of the process titled like the about box.
int AboutBoxes(DWORD pid)
{
    return e2e::CountProcessWindows(pid, kAboutTitle);
}

// Opens the tray menu and chooses "关于...": three keys up from the top (退出,
// 每日一贴..., 关于...), as a user would with the keyboard.
void ChooseAboutInTrayMenu(HWND bar)
{
    ASSERT_TRUE(e2e::OpenTrayMenu(bar)) << "no popup menu appeared";
    wintest::PumpMessages(300);
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_RETURN);
    wintest::PumpUntil([] { return FindWindowW(L"#32768", nullptr) == nullptr; }, 3000);
}

void Drag(POINT from, POINT to)
{
    SetCursorPos(from.x, from.y);
    wintest::PumpMessages(100);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    wintest::PumpMessages(150);
    for (int i = 1; i <= 5; ++i) {
        SetCursorPos(from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5);
        wintest::PumpMessages(60);
    }
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    wintest::PumpMessages(200);
}

} // namespace

TEST(AboutE2E, OpensOnceFromToolbarAndTrayCentredOnTopAndDragsByItsBody)
{
    LexorinProcess app("about");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);

    // The toolbar's about button, clicked for real.
    RECT button;
    ASSERT_TRUE(e2e::ToolbarButtonScreenRect(e2e::FindToolbar(bar), kAboutCommand, &button));
    e2e::ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    HWND box = WaitForAbout(app, 10000);
    ASSERT_NE(box, nullptr) << "the toolbar's about button opens the box";

    RECT r;
    GetWindowRect(box, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2) << "centred across";
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2) << "centred down";
    EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) << "above all other windows";

    // Let the sky drift and the credits rise a while, then keep a picture of it.
    wintest::PumpMessages(2500);
    e2e::SaveScreenshot(r, "about-box");

    // Asking again, from the tray menu or the toolbar command, opens nothing more.
    ChooseAboutInTrayMenu(bar);
    PostMessageW(bar, WM_COMMAND, kAboutCommand, 0);
    wintest::PumpMessages(1000);
    e2e::Sync(bar);
    EXPECT_EQ(AboutBoxes(app.ProcessId()), 1) << "a second request while the box is open opens nothing";

    // A drag by an empty spot of its body (top right, beside the headline) moves it.
    POINT from = {r.right - 40, r.top + GetSystemMetrics(SM_CYCAPTION) + 20};
    Drag(from, POINT{from.x - 60, from.y + 40});
    e2e::Sync(box);
    RECT moved;
    GetWindowRect(box, &moved);
    EXPECT_EQ(moved.left - r.left, -60) << "dragged by its body";
    EXPECT_EQ(moved.top - r.top, 40);

    // OK closes it; then the tray menu opens it, as the only one.
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitUntilGone(box));
    ChooseAboutInTrayMenu(bar);
    box = WaitForAbout(app, 10000);
    ASSERT_NE(box, nullptr) << "the tray menu's 关于... opens the box";
    EXPECT_EQ(AboutBoxes(app.ProcessId()), 1);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitUntilGone(box));

    // With the box closed the bar is usable again and ends as ever.
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
