// The menu skin's arithmetic: what the flat menu looks like in numbers.
#include "menuskin/menu_rules.h"

#include <gtest/gtest.h>

namespace {
constexpr uint32_t Rgb(int r, int g, int b)
{
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}
} // namespace

TEST(MenuRules, ColourFunctionsRoundLikeMulDivOnKnownColours)
{
    // MulDiv rounds halves away from zero: 100 * 205 / 255 = 80.39 -> 80; 128 * 127 / 255 = 63.75 -> 64.
    EXPECT_EQ(MenuMulDiv(5, 1, 2), 3);
    EXPECT_EQ(MenuMulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MenuMulDiv(1, 1, 0), -1);
    EXPECT_EQ(MenuDarken(50, Rgb(100, 128, 255)), Rgb(80, 103, 205));
    EXPECT_EQ(MenuDarken(128, Rgb(255, 255, 255)), Rgb(127, 127, 127)) << "the frame of a white menu";
    EXPECT_EQ(MenuDarken(0, Rgb(1, 2, 3)), Rgb(1, 2, 3));
    EXPECT_EQ(MenuDarken(255, Rgb(200, 200, 200)), 0u);
    // 100 + 155 * 100 / 255 = 160.78 -> 161; 0 + 255 * 100 / 255 = 100.
    EXPECT_EQ(MenuLighten(100, Rgb(100, 0, 255)), Rgb(161, 100, 255));
    // 86 % of 255 = 219.3 -> 219, 14 % of 0 = 0; 86 % of 10 = 8.6 -> 9, 14 % of 250 = 35.
    EXPECT_EQ(MenuMix86(Rgb(255, 10, 0), Rgb(0, 250, 255)), Rgb(219, 44, 36));
    // 70 % of 255 = 178.5 -> 179 (half away from zero), 30 % of 51 = 15.3 -> 15.
    EXPECT_EQ(MenuMix70(Rgb(255, 255, 255), Rgb(51, 153, 255)), Rgb(194, 225, 255));
    EXPECT_EQ(MenuGrey(Rgb(10, 20, 31)), Rgb(20, 20, 20)) << "61 / 3 = 20.33";
    EXPECT_EQ(MenuGrey(Rgb(0, 1, 1)), Rgb(1, 1, 1)) << "2 / 3 rounds up";
    // The hot icon's shadow leans blue: 200 * 0.7 = 140, (200 + 55) * 0.7 = 178.5 -> 179.
    EXPECT_EQ(MenuShade(Rgb(200, 100, 200)), Rgb(140, 70, 179));
    EXPECT_EQ(MenuShade(Rgb(255, 255, 255)), Rgb(179, 179, 217)) << "stays within 8 bits";
}

TEST(MenuRules, FlatColoursFollowTheSchemeHighContrastAndColourDepth)
{
    MenuSystemColours sys;
    sys.window = Rgb(255, 255, 255);
    sys.menu = Rgb(212, 208, 200);
    sys.menuBar = Rgb(236, 233, 216);
    sys.highlight = Rgb(49, 106, 197);
    sys.btnFace = Rgb(212, 208, 200);
    sys.btnText = Rgb(0, 0, 0);
    auto exact = [](uint32_t a, uint32_t b) { return a == b; };
    MenuSkinState state;
    FlatMenuColours c = MakeFlatMenuColours(sys, state, exact);
    EXPECT_EQ(c.background, MenuMix86(sys.window, sys.menu));
    EXPECT_EQ(c.iconColumn, MenuMix86(sys.menu, sys.window));
    EXPECT_EQ(c.selectionFill, MenuDarken(30, MenuMix70(sys.window, sys.highlight)));
    EXPECT_EQ(c.selectionFrame, sys.highlight);
    EXPECT_EQ(c.frame, MenuDarken(128, sys.menu));

    state.osCode = 7;
    state.flatMenus = true;
    c = MakeFlatMenuColours(sys, state, exact);
    EXPECT_EQ(c.menuBar, sys.menuBar) << "XP's flat menus use the menu-bar colour";
    EXPECT_EQ(c.iconColumn, MenuMix86(sys.menuBar, sys.window));

    state = MenuSkinState();
    state.lowColour = true;
    c = MakeFlatMenuColours(sys, state, exact);
    EXPECT_EQ(c.iconColumn, sys.btnFace) << "256 colours: button face column";
    EXPECT_EQ(c.selectionFill, sys.window) << "256 colours: window-coloured selection";

    state.highContrast = true;
    c = MakeFlatMenuColours(sys, state, exact);
    EXPECT_EQ(c.selectionFill, sys.highlight);
    EXPECT_EQ(c.selectionFrame, sys.btnText);

    // A scheme whose menu colour is the window colour (Wine's default) keeps a column.
    sys.menu = sys.menuBar = sys.window;
    c = MakeFlatMenuColours(sys, MenuSkinState(), exact);
    EXPECT_EQ(c.background, sys.window);
    EXPECT_EQ(c.iconColumn, sys.btnFace);
    sys.btnFace = sys.window;
    c = MakeFlatMenuColours(sys, MenuSkinState(), exact);
    EXPECT_NE(c.iconColumn, c.background);
}

TEST(MenuRules, ItemsAre22PixelsWithToolbarIconsAndSeparators3)
{
    EXPECT_EQ(MeasureFlatSeparator().height, 3);
    // 15-pixel icons: 22 unless the system menu height is 24 or more.
    MenuItemSize s = MeasureFlatItem(60, 13, false, false, 16, 15, 19);
    EXPECT_EQ(s.height, 22);
    EXPECT_EQ(s.width, 60 + 2 * 16 + 2);
    EXPECT_EQ(MeasureFlatItem(60, 13, false, false, 16, 15, 23).height, 22) << "23 is not above 15 + 8";
    EXPECT_EQ(MeasureFlatItem(60, 13, false, false, 16, 15, 24).height, 24);
    EXPECT_EQ(MeasureFlatItem(60, 30, false, false, 16, 15, 19).height, 30) << "never below the text";
    EXPECT_EQ(MeasureFlatItem(60, 13, true, false, 16, 15, 19).width, 60 + 34 + 15) << "a tab adds 15";
    EXPECT_EQ(MeasureFlatItem(60, 13, false, true, 16, 15, 19).width, 54) << "menu-bar items";
    EXPECT_EQ(MeasureFlatItem(60, 13, false, false, 24, 24, 19).height, 31) << "bigger icons";
}

TEST(MenuRules, ShadowIsStrongestNextToTheMenuAndFadesAtBothEnds)
{
    const int H = 100;
    for (int k = 1; k <= 4; ++k) {
        const int s = 6 * k;
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(ShadowDarkening(k, y, H), 0) << "the first 4 pixels stay as they were";
        EXPECT_EQ(ShadowDarkening(k, 4, H), s);
        EXPECT_EQ(ShadowDarkening(k, 7, H), 4 * s);
        EXPECT_EQ(ShadowDarkening(k, 8, H), 30 * k);
        EXPECT_EQ(ShadowDarkening(k, H - 5, H), 30 * k);
        EXPECT_EQ(ShadowDarkening(k, H - 4, H), 4 * s);
        EXPECT_EQ(ShadowDarkening(k, H - 1, H), s);
        EXPECT_EQ(ShadowDarkening(k, H, H), 0);
    }
    EXPECT_EQ(ShadowDarkening(4, 50, H), 120) << "next to the menu";
    EXPECT_EQ(ShadowDarkening(1, 50, H), 30) << "at the outer edge";
    EXPECT_EQ(ShadowDarkening(0, 50, H), 0);
    EXPECT_EQ(ShadowDarkening(5, 50, H), 0);
}

TEST(MenuRules, ToolbarButtonsOwnImageTriples)
{
    // Toolbar 132: gap, gap, about, settings, restart, pause, previous, next, slot, hide, exit.
    const std::vector<uint16_t> ids = {32792, 32786, 32784, 32791, 32773, 32788, 32774, 32775, 32777, 32790, 57665};
    EXPECT_EQ(IconTripleIndex(ids, 32784), 6);
    EXPECT_EQ(IconTripleIndex(ids, 32791), 9);
    EXPECT_EQ(IconTripleIndex(ids, 32790), 27);
    EXPECT_EQ(IconTripleIndex(ids, 57665), 30);
    EXPECT_EQ(IconTripleIndex(ids, 32789), -1) << "show has no button";
    // Separators (0) take no images.
    EXPECT_EQ(IconTripleIndex({0, 32784, 0, 57665}, 57665), 3);
    EXPECT_EQ(IconTripleIndex({0, 32784}, 0), -1);
}

TEST(MenuRules, OperatingSystemCodes)
{
    // GetVersion(): major in the low byte, minor in the next, bit 31 for the non-NT family.
    EXPECT_EQ(MenuOsCode(0x80000003u | (11u << 8)), 0) << "Win32s";
    EXPECT_EQ(MenuOsCode(0x80000004u), 2) << "Windows 95";
    EXPECT_EQ(MenuOsCode(0x80000004u | (10u << 8)), 3) << "Windows 98";
    EXPECT_EQ(MenuOsCode(0x80000004u | (90u << 8)), 4) << "Windows Me";
    EXPECT_EQ(MenuOsCode(0x00000004u), 5) << "NT 4";
    EXPECT_EQ(MenuOsCode(0x00000005u), 6) << "2000";
    EXPECT_EQ(MenuOsCode(0x00000105u), 7) << "XP";
    EXPECT_EQ(MenuOsCode(0x00000106u), 1) << "7";
}

// At twice the DPI a menu's rows, gaps and shadow lines are twice as large, each step of
// the shadow covering two pixels; at 1.5 times they round as the system rounds.
TEST(MenuRules, RowsAndShadowAreScaledToTheDpi)
{
    EXPECT_EQ(MeasureFlatSeparator(96).height, 3);
    EXPECT_EQ(MeasureFlatSeparator(144).height, 5);
    EXPECT_EQ(MeasureFlatSeparator(192).height, 6);
    // 32 x 30 icons, SM_CYMENU 38 at 192 DPI: 44 pixels high, text + two icons + 4 wide.
    MenuItemSize item = MeasureFlatItem(100, 30, false, false, 32, 30, 38, 192);
    EXPECT_EQ(item.height, 44);
    EXPECT_EQ(item.width, 168);
    EXPECT_EQ(MeasureFlatItem(100, 30, true, false, 32, 30, 38, 192).width, 198) << "a tab adds 30";
    EXPECT_EQ(MeasureFlatItem(100, 30, false, true, 32, 30, 38, 192).width, 88) << "a menu-bar item";
    EXPECT_EQ(MeasureFlatItem(100, 22, false, false, 24, 23, 29, 144).height, 34);

    // The outermost line of the right band of a 100-pixel-high menu at 192 DPI.
    const int outer[100] = {0,  0,  0,  0,  0,  0,  0,  0,  6,  6,  12, 12, 18, 18, 24, 24, 30, 30, 30, 30,
                            30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30,
                            30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30,
                            30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30,
                            30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 24, 24, 18, 18, 12, 12, 6,  6};
    for (int y = 0; y < 100; ++y) {
        EXPECT_EQ(ShadowDarkeningAt(1, y, 100, 192), outer[y]) << y;
        EXPECT_EQ(ShadowDarkeningAt(2, y, 100, 192), outer[y]) << "two pixels per line " << y;
    }
    EXPECT_EQ(ShadowDarkeningAt(3, 50, 100, 192), 60);
    EXPECT_EQ(ShadowDarkeningAt(8, 50, 100, 192), 120) << "strongest next to the menu";
    EXPECT_EQ(ShadowDarkeningAt(8, 8, 100, 192), 24);
    EXPECT_EQ(ShadowDarkeningAt(9, 50, 100, 192), 0) << "8 pixels deep";
    EXPECT_EQ(ShadowDarkeningAt(0, 50, 100, 192), 0);
    // At 96 DPI the shadow is the 96-DPI one, pixel for pixel.
    EXPECT_EQ(ShadowDarkeningAt(4, 50, 100, 96), 120);
    EXPECT_EQ(ShadowDarkeningAt(1, 4, 100, 96), 6);
    EXPECT_EQ(ShadowDarkeningAt(2, 99, 100, 96), 12);
    EXPECT_EQ(ShadowDarkeningAt(5, 50, 100, 96), 0);
}
