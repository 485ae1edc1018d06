// The colour tables of the colour widgets and the palette popup's rules that need no
// window: the keyboard moves, the layout arithmetic, the marked item and keeping the
// popup on its monitor. Colours are 0x00BBGGRR values; names are code page 936.
#pragma once

#include <cstdint>

namespace lex {

// The value a colour button holds while it follows its automatic colour. No RGB value
// has a high byte of 0xFF.
constexpr uint32_t kColorAutomatic = 0xFF000000u;

struct NamedColor {
    uint32_t color;
    const char* name;
};

// The sixteen colours of the colour combo box, in the order they are added.
constexpr int kComboColorCount = 16;
extern const NamedColor kComboColors[kComboColorCount];

// The palette popup's 40 colours, row by row (8 to a row).
constexpr int kPaletteColorCount = 40;
constexpr int kPaletteColumns = 8;
extern const NamedColor kPaletteColors[kPaletteColorCount];

namespace palette {

// Item indices: 0 .. count-1 are cells; the rest name the text boxes or nothing.
constexpr int kNoItem = -1;
constexpr int kMoreBox = -2;
constexpr int kAutoBox = -3;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

enum class Key { Down, Up, Right, Left, Escape, Enter, Other };
enum class KeyAction { None, Move, Ok, Cancel };

struct KeyResult {
    KeyAction action;
    int target; // the new hot item for Move
};

// What a key does with `hot` as the hot item.
KeyResult OnKey(Key key, int hot, int count, bool hasAuto, bool hasMore);

// The item the popup marks as the colour it opened with.
int MarkedItem(uint32_t initialColor, bool hasAuto, bool hasMore);

// Cell size for a frame margin: box (18 at 96 DPI), or 2 x margin + 7 when box leaves
// a swatch under 5.
int BoxSize(int margin, int box = 18);

// Where everything of the popup lies. `window` is in screen coordinates, the boxes and
// cells in client coordinates.
struct Layout {
    int box = 18;
    int margin = 2;
    int count = kPaletteColorCount;
    int columns = kPaletteColumns;
    int rows = 0;
    bool hasAuto = false;
    bool hasMore = false;
    Rect window;
    Rect autoBox;
    Rect moreBox;

    Rect Cell(int index) const;
    // The item under a client point, or kNoItem where there is none.
    int HitTest(int x, int y) const;
};

// textWidth/textHeight: the widest and tallest of the non-empty texts (0 without).
Layout LayoutPopup(int x, int y, int box, int margin, int count, bool hasAuto, bool hasMore, int textWidth,
                   int textHeight);

// The popup opens under its button; when it would pass workBottom, the bottom of the
// work area, it opens above the button instead (moved up by its own height plus the
// button's). Keeping it whole on the work area is the window's business (KeepWithin).
Rect OpenAboveWhenLow(const Rect& window, int workBottom, int buttonHeight);

} // namespace palette
} // namespace lex
