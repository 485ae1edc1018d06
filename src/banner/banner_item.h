// One styled piece of banner text. The banner lays items end to end on one line and
// knows nothing of words or meanings; the word feed decides what the items are.
#pragma once

#include <cstdint>
#include <string>

// The style word: text colour as 0x00BBGGRR in bits 0-23, then four flags.
constexpr uint32_t BANNER_COLOR_MASK = 0x00FFFFFF;
constexpr uint32_t BANNER_BOLD = 0x01000000;
constexpr uint32_t BANNER_ITALIC = 0x02000000;
constexpr uint32_t BANNER_UNDERLINE = 0x04000000;
// Drawn as a veil of the text's own width until the banner is told to reveal the item.
constexpr uint32_t BANNER_MASKED = 0x08000000;

// A back colour of -1 asks for the system button-face colour.
constexpr uint32_t BANNER_BUTTON_FACE = 0xFFFFFFFF;

// Font kinds, each naming a face for the item's font.
constexpr int BANNER_FONT_SONG = 1;     // "宋体"
constexpr int BANNER_FONT_PHONETIC = 2; // "DFPhonetic", installed at start-up
constexpr int BANNER_FONT_HEI = 3;      // "黑体"

// The face name (code page 936) for a font kind; any other kind gives "", which lets
// the system's font mapper choose.
const char* BannerFontFace(int fontKind);

// Where the current button-face colour comes from. Portable code cannot ask the system,
// so the Windows side installs GetSysColor(COLOR_BTNFACE) at start-up and tests install
// a fake. Until then the default scheme's value, 0x00F0F0F0, is used.
using ButtonFaceColorSource = uint32_t (*)();
void SetButtonFaceColorSource(ButtonFaceColorSource source);
uint32_t CurrentButtonFaceColor();

class CBannerItem {
public:
    // Empty text, black and plain, button-face background, tag 0, font kind 0.
    CBannerItem();
    CBannerItem(const char* text, uint32_t style, uint32_t backColor);
    // The form the word feed uses.
    CBannerItem(const std::string& text, int fontKind, uint32_t tag, uint32_t style, uint32_t backColor);

    uint32_t GetTextColor() const { return style & BANNER_COLOR_MASK; }
    bool IsBold() const { return (style & BANNER_BOLD) != 0; }
    bool IsItalic() const { return (style & BANNER_ITALIC) != 0; }
    bool IsUnderline() const { return (style & BANNER_UNDERLINE) != 0; }
    bool IsMasked() const { return (style & BANNER_MASKED) != 0; }

    std::string text;
    uint32_t style = 0;
    // Always a real colour: -1 is resolved to the button face of the moment of
    // construction. At paint time a back colour equal to the then current button face
    // is drawn in the control's own background colour.
    uint32_t backColor = 0;
    uint32_t tag = 0; // opaque: copied with the item, never read by the banner
    int fontKind = 0;
};
