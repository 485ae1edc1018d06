#include "menuskin/menu_rules.h"

#include <algorithm>
#include <cstdlib>

namespace {

int Red(uint32_t c)
{
    return static_cast<int>(c & 0xFF);
}
int Green(uint32_t c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
int Blue(uint32_t c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
uint32_t Rgb(int r, int g, int b)
{
    auto clamp = [](int v) { return static_cast<uint32_t>(std::min(255, std::max(0, v))); };
    return clamp(r) | (clamp(g) << 8) | (clamp(b) << 16);
}

} // namespace

int MenuMulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const long long p = std::llabs(product), d = std::llabs(static_cast<long long>(denominator));
    const long long q = (p + d / 2) / d;
    return static_cast<int>(negative ? -q : q);
}

uint32_t MenuDarken(int k, uint32_t c)
{
    auto f = [k](int v) { return MenuMulDiv(v, 255 - k, 255); };
    return Rgb(f(Red(c)), f(Green(c)), f(Blue(c)));
}

uint32_t MenuLighten(int k, uint32_t c)
{
    auto f = [k](int v) { return v + MenuMulDiv(255 - v, k, 255); };
    return Rgb(f(Red(c)), f(Green(c)), f(Blue(c)));
}

uint32_t MenuMix86(uint32_t a, uint32_t b)
{
    auto f = [](int x, int y) { return MenuMulDiv(x, 86, 100) + MenuMulDiv(y, 14, 100); };
    return Rgb(f(Red(a), Red(b)), f(Green(a), Green(b)), f(Blue(a), Blue(b)));
}

uint32_t MenuMix70(uint32_t a, uint32_t b)
{
    auto f = [](int x, int y) { return MenuMulDiv(x, 70, 100) + MenuMulDiv(y, 30, 100); };
    return Rgb(f(Red(a), Red(b)), f(Green(a), Green(b)), f(Blue(a), Blue(b)));
}

uint32_t MenuGrey(uint32_t c)
{
    const int v = MenuMulDiv(Red(c) + Green(c) + Blue(c), 1, 3);
    return Rgb(v, v, v);
}

uint32_t MenuShade(uint32_t c)
{
    return Rgb(MenuMulDiv(Red(c), 7, 10), MenuMulDiv(Green(c), 7, 10), MenuMulDiv(Blue(c) + 55, 7, 10));
}

int MenuOsCode(uint32_t version)
{
    const int major = static_cast<int>(version & 0xFF);
    const int minor = static_cast<int>((version >> 8) & 0xFF);
    if (version & 0x80000000u) {
        if (major < 4)
            return 0;
        if (major == 4 && minor == 10)
            return 3;
        if (major == 4 && minor == 90)
            return 4;
        return 2;
    }
    if (major == 4)
        return 5;
    if (major == 5 && minor == 0)
        return 6;
    if (major == 5 && minor == 1)
        return kMenuOsWindowsXp;
    return 1;
}

MenuItemSize MeasureFlatSeparator(int dpi)
{
    return MenuItemSize{0, MenuScale(3, dpi)};
}

MenuItemSize MeasureFlatItem(int textWidth, int textHeight, bool hasTab, bool menuBar, int iconWidth,
                             int iconHeight, int cyMenu, int dpi)
{
    MenuItemSize size;
    size.width = menuBar ? textWidth - MenuScale(6, dpi) : textWidth + 2 * iconWidth + MenuScale(2, dpi);
    if (hasTab)
        size.width += MenuScale(15, dpi);
    size.height = cyMenu > iconHeight + MenuScale(8, dpi) ? cyMenu : iconHeight + MenuScale(7, dpi);
    size.height = std::max(size.height, textHeight);
    return size;
}

int ShadowDarkening(int k, int pos, int length)
{
    if (k < 1 || k > 4 || pos < 4 || pos >= length)
        return 0;
    const int step = 6 * k;
    if (pos < 8)
        return step * (pos - 3);
    if (pos >= length - 4)
        return step * (length - pos);
    return 30 * k;
}

int ShadowDarkeningAt(int depth, int pos, int length, int dpi)
{
    const int deep = MenuScale(4, dpi);
    if (depth < 1 || depth > deep || pos < 0 || pos >= length)
        return 0;
    // Back to the 96-DPI shadow: its line, and where the pixel lies from either end.
    const int k = (depth * 4 + deep - 1) / deep;
    const int from = pos * 96 / dpi;
    const int toEnd = ((length - pos) * 96 + dpi - 1) / dpi;
    return ShadowDarkening(k, from, from + toEnd);
}

int IconTripleIndex(const std::vector<uint16_t>& toolbarIds, uint16_t id)
{
    if (id == 0)
        return -1;
    int position = 0;
    for (uint16_t each : toolbarIds) {
        if (each == 0)
            continue;
        if (each == id)
            return 3 * position;
        ++position;
    }
    return -1;
}
