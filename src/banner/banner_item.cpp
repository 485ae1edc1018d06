#include "banner/banner_item.h"

namespace {

uint32_t DefaultButtonFace() { return 0x00F0F0F0; }

ButtonFaceColorSource g_buttonFace = DefaultButtonFace;

uint32_t ResolveBackColor(uint32_t color)
{
    return color == BANNER_BUTTON_FACE ? CurrentButtonFaceColor() : color;
}

} // namespace

const char* BannerFontFace(int fontKind)
{
    switch (fontKind) {
    case BANNER_FONT_SONG:
        return "宋体";
    case BANNER_FONT_PHONETIC:
        return "DFPhonetic";
    case BANNER_FONT_HEI:
        return "黑体";
    default:
        return "";
    }
}

void SetButtonFaceColorSource(ButtonFaceColorSource source)
{
    g_buttonFace = source ? source : DefaultButtonFace;
}

uint32_t CurrentButtonFaceColor() { return g_buttonFace(); }

CBannerItem::CBannerItem() : backColor(CurrentButtonFaceColor()) {}

CBannerItem::CBannerItem(const char* text_, uint32_t style_, uint32_t backColor_)
    : text(text_ ? text_ : ""), style(style_), backColor(ResolveBackColor(backColor_))
{
}

CBannerItem::CBannerItem(const std::string& text_, int fontKind_, uint32_t tag_, uint32_t style_,
                         uint32_t backColor_)
    : text(text_), style(style_), backColor(ResolveBackColor(backColor_)), tag(tag_), fontKind(fontKind_)
{
}
