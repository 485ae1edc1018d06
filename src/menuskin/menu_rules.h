// The menu skin's arithmetic, kept apart from the windows so it can be tested natively:
// the colour functions, the flat theme's colours and item sizes, the shadow's darkening
// and where a toolbar button's images sit in the icon list.
#pragma once

#include <cstdint>
#include <vector>

// Colours are 0x00BBGGRR. Every channel result is rounded the way MulDiv rounds
// (halves away from zero).
int MenuMulDiv(int number, int numerator, int denominator);
// Each channel v becomes v * (255 - k) / 255.
uint32_t MenuDarken(int k, uint32_t colour);
// Each channel v becomes v + (255 - v) * k / 255.
uint32_t MenuLighten(int k, uint32_t colour);
// 86 % of a plus 14 % of b, and 70 % of a plus 30 % of b, each term rounded.
uint32_t MenuMix86(uint32_t a, uint32_t b);
uint32_t MenuMix70(uint32_t a, uint32_t b);
// The mean of the three channels in all three.
uint32_t MenuGrey(uint32_t colour);
// The bluish shadow of a hot icon: red and green at 70 %, blue raised by 55 then at 70 %.
uint32_t MenuShade(uint32_t colour);

// The operating-system code from GetVersion()'s value: 0 Win32s, 2 Windows 95 and other
// non-NT systems, 3 Windows 98, 4 Windows Me, 5 NT 4, 6 Windows 2000, 7 XP, 1 any other
// NT-family version.
int MenuOsCode(uint32_t version);
// The one version whose flat-menu and visual-style settings change the colours.
constexpr int kMenuOsWindowsXp = 7;

// The system colours the flat theme's colours are made from.
struct MenuSystemColours {
    uint32_t window = 0;    // COLOR_WINDOW
    uint32_t menu = 0;      // COLOR_MENU
    uint32_t menuBar = 0;   // COLOR_MENUBAR
    uint32_t highlight = 0; // COLOR_HIGHLIGHT
    uint32_t btnFace = 0;   // COLOR_BTNFACE
    uint32_t btnText = 0;   // COLOR_BTNTEXT
};

struct MenuSkinState {
    int osCode = 1;
    bool flatMenus = false;   // SPI_GETFLATMENU
    bool visualStyles = false; // the visual-style query (IsThemeActive)
    bool highContrast = false;
    bool lowColour = false;   // 256 colours or fewer on the screen
};

struct FlatMenuColours {
    uint32_t menuBar = 0;       // the menu-bar colour
    uint32_t menu = 0;          // the menu colour
    uint32_t background = 0;    // behind the item text
    uint32_t iconColumn = 0;    // the column on the left
    uint32_t selectionFill = 0; // the hot item's box
    uint32_t selectionFrame = 0;
    uint32_t frame = 0;         // the menu window's outer frame
};

// sameDeviceColour(a, b) tells whether the screen shows a and b as the same colour;
// then the background and the icon column fall back to the window and menu-bar colours,
// and when those match too, the column takes the button-face colour (or, if that
// matches as well, the window colour slightly darkened).
template <class SameDeviceColour>
FlatMenuColours MakeFlatMenuColours(const MenuSystemColours& sys, const MenuSkinState& state,
                                    SameDeviceColour sameDeviceColour);

// A measure written at 96 DPI at dpi, rounded as MulDiv rounds.
inline int MenuScale(int value96, int dpi) { return MenuMulDiv(value96, dpi, 96); }

// The size of an item of the flat theme; every measure of the look is written at 96 DPI
// and scaled to dpi (the text size, icon size and cyMenu are given at dpi).
struct MenuItemSize {
    int width = 0;
    int height = 0;
};
// A plain separator.
MenuItemSize MeasureFlatSeparator(int dpi = 96);
// An item whose caption (with any tab and accelerator) measures textWidth x textHeight
// in the menu font; cyMenu is SM_CYMENU.
MenuItemSize MeasureFlatItem(int textWidth, int textHeight, bool hasTab, bool menuBar, int iconWidth,
                             int iconHeight, int cyMenu, int dpi = 96);

// How much (the k of MenuDarken) the shadow darkens the pixel at `pos` along a band of
// `length` pixels (rows of the right band, of height H; columns of the bottom band, of
// width W) in its k-th line from the outside (1..4). 0 leaves the pixel as it was.
int ShadowDarkening(int k, int pos, int length);
// The same for a shadow drawn at dpi, MenuScale(4, dpi) pixels deep: the pixel `depth`
// pixels in from the band's outer edge (1 = outermost), at `pos` along it. Each line and
// step of the 96-DPI shadow covers as many pixels as the scale gives it.
int ShadowDarkeningAt(int depth, int pos, int length, int dpi);

// The first of the three images (plain, darkened, greyed) of the toolbar button with
// command id `id`: 3 x its position among the non-separator buttons; -1 if it has none.
int IconTripleIndex(const std::vector<uint16_t>& toolbarIds, uint16_t id);

// --- template definition -----------------------------------------------------------

template <class SameDeviceColour>
FlatMenuColours MakeFlatMenuColours(const MenuSystemColours& sys, const MenuSkinState& state,
                                    SameDeviceColour sameDeviceColour)
{
    FlatMenuColours c;
    const bool xp = state.osCode == kMenuOsWindowsXp;
    c.menuBar = xp && state.flatMenus ? sys.menuBar : sys.menu;
    c.menu = xp && (state.flatMenus || state.visualStyles) ? sys.menuBar : sys.menu;
    c.background = MenuMix86(sys.window, c.menuBar);
    c.iconColumn = state.lowColour ? sys.btnFace : MenuMix86(c.menu, sys.window);
    if (sameDeviceColour(c.background, c.iconColumn)) {
        c.background = sys.window;
        c.iconColumn = c.menuBar;
        // Schemes whose menu colour is the window colour would lose the column altogether.
        if (sameDeviceColour(c.background, c.iconColumn))
            c.iconColumn = sameDeviceColour(c.background, sys.btnFace) ? MenuDarken(16, c.background) : sys.btnFace;
    }
    if (state.highContrast)
        c.selectionFill = sys.highlight;
    else if (state.lowColour)
        c.selectionFill = sys.window;
    else
        c.selectionFill = MenuDarken(30, MenuMix70(sys.window, sys.highlight));
    c.selectionFrame = state.highContrast ? sys.btnText : sys.highlight;
    c.frame = MenuDarken(128, c.menu);
    return c;
}
