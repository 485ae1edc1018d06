// The main bar's background chosen on the interface settings page of the real
// program: a shipped picture picked through the open-file dialog with its preview
// (the bar then tiles it), and a two-colour gradient (the bar then draws it).
// Screenshots of the dialog with its preview and of the page.
#include "base/fileio.h"
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using e2e::ClickCentre;
using e2e::Descendant;
using e2e::LexorinProcess;
using e2e::WindowText;

namespace {

// Opens 选项 on the interface page.
HWND OpenInterfacePage(const LexorinProcess& app, HWND bar)
{
    PostMessageW(bar, WM_COMMAND, ID_OPTIONS, 0);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    return sheet && e2e::ShowSettingsPageWith(sheet, IDC_BK_FILE) ? sheet : nullptr;
}

// The open-file dialog with the preview panel, once it is up.
HWND WaitForBitmapDialog(DWORD pid)
{
    return e2e::WaitForProcessWindowWith(pid, IDC_BMP_SHOW_PREVIEW);
}

// The bar's client area on screen and its pixels; the banner strip's pixels, which
// never show the background, are marked CLR_INVALID.
std::vector<COLORREF> ClientPixels(HWND bar, RECT* area)
{
    GetClientRect(bar, area);
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(area), 2);
    std::vector<COLORREF> pixels = e2e::GrabScreen(*area);
    RECT strip;
    GetWindowRect(e2e::FindBanner(bar), &strip);
    const int w = area->right - area->left;
    for (size_t k = 0; k < pixels.size(); ++k) {
        POINT p = {area->left + static_cast<int>(k % w), area->top + static_cast<int>(k / w)};
        if (PtInRect(&strip, p))
            pixels[k] = CLR_INVALID;
    }
    return pixels;
}

// How many pixels of the client area can show the background.
int BackgroundPixels(HWND bar)
{
    RECT area;
    std::vector<COLORREF> pixels = ClientPixels(bar, &area);
    int n = 0;
    for (COLORREF c : pixels)
        n += c != CLR_INVALID;
    return n;
}

// A 24-bit bitmap file's pixel at (x, y) from the top.
struct Picture {
    int width = 0, height = 0;
    std::string bytes;
    bool Load(const std::string& path)
    {
        if (!lex::ReadWholeFile(path, bytes) || bytes.size() < 54)
            return false;
        width = *reinterpret_cast<const int32_t*>(&bytes[18]);
        height = *reinterpret_cast<const int32_t*>(&bytes[22]);
        return width > 0 && height > 0 && bytes[28] == 24;
    }
    COLORREF At(int x, int y) const
    {
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
        const unsigned char* p =
            reinterpret_cast<const unsigned char*>(&bytes[54 + (height - 1 - y) * stride + x * 3]);
        return RGB(p[2], p[1], p[0]);
    }
};

// Pixels of the client area that show the picture tiled from the top-left corner.
int TiledMatches(HWND bar, const Picture& picture)
{
    RECT area;
    std::vector<COLORREF> pixels = ClientPixels(bar, &area);
    const int w = area.right - area.left;
    int n = 0;
    for (size_t k = 0; k < pixels.size(); ++k) {
        const int x = static_cast<int>(k % w), y = static_cast<int>(k / w);
        n += pixels[k] == picture.At(x % picture.width, y % picture.height);
    }
    return n;
}

// Pixels of the client area that show the blend of top and bottom for their row: the
// top colour on the first row, the bottom colour on the last, evenly in between, give
// or take the step from one row to the next.
int GradientMatches(HWND bar, COLORREF top, COLORREF bottom)
{
    RECT area;
    std::vector<COLORREF> pixels = ClientPixels(bar, &area);
    const int w = area.right - area.left, h = area.bottom - area.top;
    auto onBlend = [](int got, int from, int to, int y, int rows) {
        const int lines = rows > 1 ? rows - 1 : 1;
        const int blend = from + (to - from) * y / lines;
        const int step = std::abs(to - from) / lines + 2;
        return got >= blend - step && got <= blend + step;
    };
    int n = 0;
    for (size_t k = 0; k < pixels.size(); ++k) {
        const int y = static_cast<int>(k / w);
        const COLORREF c = pixels[k];
        n += c != CLR_INVALID && onBlend(GetRValue(c), GetRValue(top), GetRValue(bottom), y, h) &&
             onBlend(GetGValue(c), GetGValue(top), GetGValue(bottom), y, h) &&
             onBlend(GetBValue(c), GetBValue(top), GetBValue(bottom), y, h);
    }
    return n;
}

int SelectColour(HWND combo, COLORREF colour)
{
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (static_cast<COLORREF>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == colour)
            return static_cast<int>(SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0));
    return -1;
}

} // namespace

TEST(BackgroundE2E, AShippedPictureChosenThroughThePreviewDialogIsTiledAfterOk)
{
    LexorinProcess app("background");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    const std::string sky = app.Folder() + "Backgrounds\\Sky.bmp";
    Picture picture;
    ASSERT_TRUE(picture.Load(sky)) << "the program folder ships Backgrounds\\Sky.bmp";
    const int clientPixels = BackgroundPixels(bar);
    EXPECT_LT(TiledMatches(bar, picture), clientPixels / 20) << "the built-in tile first";

    HWND sheet = OpenInterfacePage(app, bar);
    ASSERT_NE(sheet, nullptr);
    ClickCentre(Descendant(sheet, IDC_BK_BROWSE));
    HWND dialog = WaitForBitmapDialog(app.ProcessId());
    ASSERT_NE(dialog, nullptr) << "\"...\" opens the bitmap dialog";
    e2e::Sync(dialog);
    wintest::PumpMessages(500);
    // The dialog starts in Backgrounds; a click into the list and End choose the last
    // of the three pictures, Sky.bmp, as a user would.
    HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    HWND list = view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    ASSERT_NE(list, nullptr);
    RECT lr;
    GetWindowRect(list, &lr);
    e2e::ClickAt(lr.right - 20, lr.bottom - 20);
    e2e::PressKey(VK_END);
    HWND widthLabel = Descendant(dialog, IDC_BMP_WIDTH);
    EXPECT_TRUE(wintest::PumpUntil([&] { return WindowText(widthLabel) == "宽度: 480 像素"; }, 5000))
        << WindowText(widthLabel);
    EXPECT_EQ(WindowText(Descendant(dialog, IDC_BMP_COLOURS)), "颜色数: 16 millions");
    wintest::PumpMessages(300);
    RECT dr;
    GetWindowRect(dialog, &dr);
    e2e::SaveScreenshot(dr, "bitmap-dialog");

    ClickCentre(GetDlgItem(dialog, IDOK)); // the file list has id 1 too
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(dialog); }, 5000)) << "Open closes the dialog";
    e2e::Sync(sheet);
    EXPECT_EQ(WindowText(Descendant(sheet, IDC_BK_FILE)), sky);
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).InterfaceBKImageFileName(), sky) << "written at once";
    wintest::PumpMessages(300);
    RECT sr;
    GetWindowRect(sheet, &sr);
    e2e::SaveScreenshot(sr, "interface-page");

    ClickCentre(Descendant(sheet, IDOK));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(sheet); }, 5000));
    EXPECT_TRUE(wintest::PumpUntil([&] { return TiledMatches(bar, picture) > clientPixels / 2; }, 5000))
        << "the bar tiles Sky.bmp around its toolbar pictures: " << TiledMatches(bar, picture) << " of "
        << clientPixels;
    GetWindowRect(bar, &sr);
    e2e::SaveScreenshot(sr, "mainbar-sky");

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_EQ(app.WaitForExit(10000), 0u);
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).InterfaceBKImageFileName(), sky);
}

TEST(BackgroundE2E, UntickingThePictureAndPickingTwoColoursDrawsTheGradientAfterOk)
{
    LexorinProcess app("gradient");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    const COLORREF top = RGB(255, 255, 0), bottom = RGB(0, 0, 255);
    const int clientPixels = BackgroundPixels(bar);
    EXPECT_LT(GradientMatches(bar, top, bottom), clientPixels / 20);

    HWND sheet = OpenInterfacePage(app, bar);
    ASSERT_NE(sheet, nullptr);
    HWND check = Descendant(sheet, IDC_BK_IMAGE);
    HWND startBox = Descendant(sheet, IDC_BK_START_COLOR), endBox = Descendant(sheet, IDC_BK_END_COLOR);
    EXPECT_FALSE(IsWindowEnabled(startBox)) << "a picture is on";
    ClickCentre(check);
    EXPECT_TRUE(wintest::PumpUntil([&] { return IsWindowEnabled(startBox) && IsWindowEnabled(endBox); }, 3000));
    EXPECT_FALSE(IsWindowEnabled(Descendant(sheet, IDC_BK_BROWSE)));
    ASSERT_GE(SelectColour(startBox, top), 0);
    ASSERT_GE(SelectColour(endBox, bottom), 0);
    ClickCentre(Descendant(sheet, IDOK));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(sheet); }, 5000));
    lex::CSettings settings(app.SettingsPath());
    EXPECT_FALSE(settings.InterfaceBKImage());
    EXPECT_EQ(settings.InterfaceBKStartColor(), top);
    EXPECT_EQ(settings.InterfaceBKEndColor(), bottom);
    EXPECT_TRUE(wintest::PumpUntil([&] { return GradientMatches(bar, top, bottom) > clientPixels / 2; }, 5000))
        << "the bar draws yellow to blue around its toolbar pictures: " << GradientMatches(bar, top, bottom)
        << " of " << clientPixels;
    RECT br;
    GetWindowRect(bar, &br);
    e2e::SaveScreenshot(br, "mainbar-gradient");

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_EQ(app.WaitForExit(10000), 0u);
}
