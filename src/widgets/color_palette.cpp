#include "widgets/color_palette.h"

namespace lex {

namespace {
constexpr uint32_t Rgb(unsigned r, unsigned g, unsigned b)
{
    return r | (g << 8) | (b << 16);
}
} // namespace

const NamedColor kComboColors[kComboColorCount] = {
    {0x000000, "黑色"},   {0x000080, "栗色"},   {0x008000, "深绿色"}, {0x008080, "橄榄色"},
    {0x800000, "海蓝色"}, {0x800080, "紫色"},   {0x808000, "凫蓝色"}, {0x808080, "灰色"},
    {0xC0C0C0, "银色"},   {0x0000FF, "红色"},   {0x00FF00, "绿色"},   {0x00FFFF, "黄色"},
    {0xFF0000, "蓝色"},   {0xFF00FF, "粉红色"}, {0xFFFF00, "浅绿色"}, {0xFFFFFF, "白色"},
};

const NamedColor kPaletteColors[kPaletteColorCount] = {
    {Rgb(0, 0, 0), "黑色"},          {Rgb(165, 42, 0), "褐色"},       {Rgb(0, 64, 64), "橄榄绿"},
    {Rgb(0, 85, 0), "深绿"},         {Rgb(0, 0, 94), "深灰蓝"},       {Rgb(0, 0, 139), "深蓝"},
    {Rgb(75, 0, 130), "靛蓝"},       {Rgb(40, 40, 40), "灰色-80%"},   {Rgb(139, 0, 0), "深红"},
    {Rgb(255, 104, 32), "桔黄"},     {Rgb(139, 139, 0), "深黄"},      {Rgb(0, 147, 0), "绿色"},
    {Rgb(56, 142, 142), "青色"},     {Rgb(0, 0, 255), "蓝色"},        {Rgb(123, 123, 192), "蓝-灰"},
    {Rgb(102, 102, 102), "灰色-40%"}, {Rgb(255, 0, 0), "红色"},        {Rgb(255, 173, 91), "浅桔黄"},
    {Rgb(50, 205, 50), "酸橙色"},    {Rgb(60, 179, 113), "海绿"},     {Rgb(127, 255, 212), "宝石蓝"},
    {Rgb(125, 158, 192), "浅蓝"},    {Rgb(128, 0, 128), "紫色"},      {Rgb(127, 127, 127), "灰色-50%"},
    {Rgb(255, 192, 203), "粉红"},    {Rgb(255, 215, 0), "金色"},      {Rgb(255, 255, 0), "黄色"},
    {Rgb(0, 255, 0), "鲜绿"},        {Rgb(64, 224, 208), "青绿"},     {Rgb(192, 255, 255), "天蓝"},
    {Rgb(72, 0, 72), "梅红"},        {Rgb(192, 192, 192), "灰色-25%"}, {Rgb(255, 228, 225), "玫瑰红"},
    {Rgb(210, 180, 140), "棕黄"},    {Rgb(255, 255, 224), "浅黄"},    {Rgb(152, 251, 152), "浅绿"},
    {Rgb(175, 238, 238), "浅青绿"},  {Rgb(104, 131, 139), "淡蓝"},    {Rgb(230, 230, 250), "淡紫"},
    {Rgb(255, 255, 255), "白色"},
};

namespace palette {

KeyResult OnKey(Key key, int hot, int count, bool hasAuto, bool hasMore)
{
    const int last = count - 1;
    const bool onCell = hot >= 0 && hot < count;
    // Where a move off the cells goes when the neighbour is missing.
    auto forward = [&] { return hasMore ? kMoreBox : hasAuto ? kAutoBox : 0; };
    auto backward = [&] { return hasAuto ? kAutoBox : hasMore ? kMoreBox : last; };
    int target;
    switch (key) {
    case Key::Escape:
        return {KeyAction::Cancel, hot};
    case Key::Enter:
        return {KeyAction::Ok, hot};
    case Key::Other:
        return {KeyAction::None, hot};
    case Key::Down:
        if (hot == kAutoBox)
            target = 0;
        else if (hot == kMoreBox)
            target = hasAuto ? kAutoBox : 0;
        else
            target = onCell && hot + kPaletteColumns < count ? hot + kPaletteColumns : forward();
        break;
    case Key::Up:
        if (hot == kAutoBox)
            target = hasMore ? kMoreBox : last;
        else if (hot == kMoreBox)
            target = last;
        else
            target = onCell && hot >= kPaletteColumns ? hot - kPaletteColumns : backward();
        break;
    case Key::Right:
        if (hot == kAutoBox)
            target = 0;
        else if (hot == kMoreBox)
            target = hasAuto ? kAutoBox : 0;
        else
            target = onCell && hot + 1 < count ? hot + 1 : forward();
        break;
    case Key::Left:
        if (hot == kAutoBox)
            target = hasMore ? kMoreBox : last;
        else if (hot == kMoreBox)
            target = last;
        else
            target = onCell && hot > 0 ? hot - 1 : backward();
        break;
    default:
        return {KeyAction::None, hot};
    }
    return {KeyAction::Move, target};
}

int MarkedItem(uint32_t initialColor, bool hasAuto, bool hasMore)
{
    if (initialColor == kColorAutomatic && hasAuto)
        return kAutoBox;
    for (int i = 0; i < kPaletteColorCount; ++i)
        if (kPaletteColors[i].color == initialColor)
            return i;
    return hasMore ? kMoreBox : kNoItem;
}

int BoxSize(int margin, int box)
{
    if (box - 2 * margin - 2 < 5)
        box = 2 * margin + 7;
    return box;
}

Layout LayoutPopup(int x, int y, int box, int margin, int count, bool hasAuto, bool hasMore, int textWidth,
                   int textHeight)
{
    Layout l;
    l.box = box;
    l.margin = margin;
    l.count = count;
    l.columns = kPaletteColumns;
    l.rows = count / kPaletteColumns + (count % kPaletteColumns ? 1 : 0);
    l.hasAuto = hasAuto;
    l.hasMore = hasMore;
    const int textW = textWidth + 2 * margin;
    const int textH = textHeight + 4 * margin + 2;
    l.window = {x, y, x + l.columns * box + 2 * margin, y + l.rows * box + 2 * margin};
    if (hasAuto) {
        if (l.window.Width() < textW)
            l.window.right = l.window.left + textW;
        l.autoBox = {margin, margin, l.window.Width() - margin, textH + 2 * margin};
        l.window.bottom += textH + 3 * margin;
    }
    if (hasMore) {
        if (l.window.Width() < textW)
            l.window.right = l.window.left + textW;
        const int h = l.window.Height();
        l.moreBox = {margin, h, l.window.Width() - margin, h + margin + textH};
        l.window.bottom += textH + 3 * margin;
    }
    return l;
}

Rect Layout::Cell(int index) const
{
    const int row = index / columns;
    const int column = index % columns;
    Rect r;
    r.left = column * box + margin;
    r.top = row * box + margin + (hasAuto ? autoBox.Height() + margin : 0);
    r.right = r.left + box;
    r.bottom = r.top + box;
    return r;
}

int Layout::HitTest(int x, int y) const
{
    if (hasMore && moreBox.Contains(x, y))
        return kMoreBox;
    if (hasAuto && autoBox.Contains(x, y))
        return kAutoBox;
    const Rect first = Cell(0);
    if (x < first.left || y < first.top)
        return kNoItem;
    const int row = (y - first.top) / box;
    const int column = (x - first.left) / box;
    if (row < rows && column < columns && row * columns + column < count)
        return row * columns + column;
    return kNoItem;
}

Rect OpenAboveWhenLow(const Rect& window, int workBottom, int buttonHeight)
{
    Rect r = window;
    if (r.bottom > workBottom) {
        const int up = r.Height() + buttonHeight;
        r.top -= up;
        r.bottom -= up;
    }
    return r;
}

} // namespace palette
} // namespace lex
