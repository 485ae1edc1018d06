// The banner page of the real program's settings sheet: the colour button's palette,
// a new word colour and style that the bar shows at once after OK, and scrolling
// turned off, which puts the bar into single-entry mode.
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using e2e::ClickCentre;
using e2e::LexorinProcess;

namespace {

const COLORREF kPink = RGB(255, 0, 255); // "粉红色" in the colour boxes
// The marker before each entry in single-entry mode.
const COLORREF kMarkerGreen = RGB(0, 255, 0);

// Opens the settings sheet from the toolbar; returns it with its first page, the
// banner page, current.
HWND OpenSheet(const LexorinProcess& app, HWND bar, HWND* page)
{
    RECT r;
    if (!e2e::ToolbarButtonScreenRect(e2e::FindToolbar(bar), ID_OPTIONS, &r))
        return nullptr;
    e2e::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    HWND sheet = e2e::WaitForProcessWindow(app.ProcessId(), "选项", 10000);
    if (!sheet)
        return nullptr;
    e2e::Sync(sheet);
    *page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    return sheet;
}

bool PressOk(HWND sheet)
{
    ClickCentre(GetDlgItem(sheet, IDOK));
    return wintest::PumpUntil([&] { return !IsWindow(sheet) || !IsWindowVisible(sheet); }, 10000);
}

// Selects the entry of a colour box whose colour is c (the box's own entries, found by
// their item values).
bool SelectBoxColour(HWND box, COLORREF c)
{
    int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (static_cast<COLORREF>(SendMessageW(box, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == c)
            return SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0) == i;
    }
    return false;
}

std::vector<COLORREF> BannerPixels(HWND bar)
{
    RECT area;
    GetWindowRect(e2e::FindBanner(bar), &area);
    InflateRect(&area, -1, -1);
    return e2e::GrabScreen(area);
}

} // namespace

TEST(BannerPageE2E, NewWordColourAndBoldShowAtOnceAndScrollingOffGivesSingleEntries)
{
    LexorinProcess app("bannerpage");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    e2e::Sync(bar);
    wintest::PumpMessages(1500);
    EXPECT_EQ(e2e::CountColour(BannerPixels(bar), kPink), 0);
    {
        std::vector<COLORREF> a = BannerPixels(bar);
        wintest::PumpMessages(200);
        std::vector<COLORREF> b = BannerPixels(bar);
        EXPECT_NE(a, b) << "the shipped look scrolls";
    }

    HWND page = nullptr;
    HWND sheet = OpenSheet(app, bar, &page);
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(page, nullptr);
    // The shipped look as the page shows it: yellow words, bold on, scrolling on.
    HWND wordBox = GetDlgItem(page, IDC_BANNER_WORDCOLOR);
    HWND wordBold = GetDlgItem(page, IDC_BANNER_WORD_B);
    int sel = static_cast<int>(SendMessageW(wordBox, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(wordBox, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0)), 0xFFFFu);
    EXPECT_EQ(SendMessageW(wordBold, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(GetDlgItem(page, IDC_BANNER_SPEED), TBM_GETPOS, 0, 0), 3);

    // The colour button opens its palette under itself.
    HWND colourButton = GetDlgItem(page, IDC_BANNER_COLORBTN);
    RECT sheetRect;
    GetWindowRect(sheet, &sheetRect);
    e2e::Sync(page);
    wintest::PumpMessages(1000); // let the sheet finish painting
    e2e::SaveScreenshot(sheetRect, "banner-page");
    ClickCentre(colourButton);
    HWND popup = nullptr;
    wintest::PumpUntil([&] {
        return (popup = e2e::FindProcessWindowOfClass(app.ProcessId(), L"LexorinColorPalette")) != nullptr;
    }, 5000);
    ASSERT_NE(popup, nullptr);
    e2e::Sync(popup);
    RECT buttonRect, popupRect, shot;
    GetWindowRect(colourButton, &buttonRect);
    GetWindowRect(popup, &popupRect);
    EXPECT_EQ(popupRect.left, buttonRect.left);
    EXPECT_EQ(popupRect.top, buttonRect.bottom);
    // Resting the pointer on a cell shows the colour's name.
    SetCursorPos(popupRect.left + (popupRect.right - popupRect.left) * 5 / 8,
                 (popupRect.top + popupRect.bottom) / 2);
    HWND tip = nullptr;
    wintest::PumpUntil([&] {
        return (tip = e2e::FindProcessWindowOfClass(app.ProcessId(), TOOLTIPS_CLASSW)) != nullptr;
    }, 5000);
    EXPECT_NE(tip, nullptr) << "a tooltip names the colour under the pointer";
    wintest::PumpMessages(300);
    RECT tipRect = {};
    if (tip)
        GetWindowRect(tip, &tipRect);
    UnionRect(&shot, &sheetRect, &popupRect);
    UnionRect(&shot, &shot, &tipRect);
    e2e::SaveScreenshot(shot, "banner-page-palette");
    e2e::PressKey(VK_ESCAPE);
    EXPECT_TRUE(wintest::PumpUntil([&] { return !IsWindow(popup); }, 5000)) << "Escape closes the palette";
    EXPECT_TRUE(IsWindowVisible(sheet)) << "and only the palette";

    // Word row pink and not bold; OK shows it on the bar at once.
    ASSERT_TRUE(SelectBoxColour(wordBox, kPink));
    ClickCentre(wordBold);
    e2e::Sync(page);
    EXPECT_EQ(SendMessageW(wordBold, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_TRUE(PressOk(sheet));
    lex::CSettings settings(app.SettingsPath());
    EXPECT_EQ(settings.BannerWordColor(), kPink);
    EXPECT_FALSE(settings.BannerWordB());
    EXPECT_EQ(settings.BannerScrollSpeed(), 3) << "untouched keys stay";
    // Entries already on the strip keep their look; the feed restarts its period (three
    // seconds) on OK, and the next entry's word is pink once it has scrolled in behind
    // the entries queued before it.
    EXPECT_TRUE(wintest::PumpUntil([&] { return e2e::CountColour(BannerPixels(bar), kPink) > 20; }, 20000))
        << "the word row shows in pink";

    // Scrolling off: the banner stands still and shows one entry at a time.
    sheet = OpenSheet(app, bar, &page);
    ASSERT_NE(sheet, nullptr);
    HWND scroll = GetDlgItem(page, IDC_BANNER_SCROLL);
    ClickCentre(scroll);
    e2e::Sync(page);
    EXPECT_EQ(SendMessageW(scroll, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_TRUE(PressOk(sheet));
    EXPECT_FALSE(lex::CSettings(app.SettingsPath()).BannerScroll());
    wintest::PumpMessages(500);
    // Between two entries (three seconds apart) nothing moves: of three looks 200 ms
    // apart at least two in a row are the same. A scrolling banner moves every tick.
    std::vector<COLORREF> a = BannerPixels(bar);
    wintest::PumpMessages(200);
    std::vector<COLORREF> b = BannerPixels(bar);
    wintest::PumpMessages(200);
    std::vector<COLORREF> c = BannerPixels(bar);
    EXPECT_TRUE(a == b || b == c) << "the banner stands still in single-entry mode";
    // The line had moved on while it scrolled; each single entry is still read from the
    // strip's left edge: its green marker first, then the word.
    RECT strip;
    GetWindowRect(e2e::FindBanner(bar), &strip);
    InflateRect(&strip, -1, -1);
    const int width = strip.right - strip.left;
    int firstGreen = width, lastGreen = -1, firstPink = width;
    EXPECT_TRUE(wintest::PumpUntil([&] {
        const std::vector<COLORREF> pixels = BannerPixels(bar);
        firstGreen = firstPink = width;
        lastGreen = -1;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const int x = static_cast<int>(i % static_cast<size_t>(width));
            if (pixels[i] == kMarkerGreen) {
                firstGreen = std::min(firstGreen, x);
                lastGreen = std::max(lastGreen, x);
            } else if (pixels[i] == kPink) {
                firstPink = std::min(firstPink, x);
            }
        }
        return lastGreen >= 0 && firstPink < width;
    }, 8000)) << "an entry with its marker and word shows";
    e2e::SaveScreenshot(strip, "banner-single-entry");
    EXPECT_LT(firstGreen, 8) << "the marker starts at the strip's left edge";
    EXPECT_LT(lastGreen, firstPink) << "the word follows the marker";
    EXPECT_LT(firstPink, 40) << "the word's first letters show";

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
