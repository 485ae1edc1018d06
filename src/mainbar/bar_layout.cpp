#include "mainbar/bar_layout.h"

#include <cstdlib>

void KeepOnScreenPosition(const BarRect& d, const BarRect& w, int& newLeft, int& newTop)
{
    newLeft = w.left;
    newTop = w.top;
    if (w.left < d.left)
        newLeft = d.left;
    if (w.right > d.right)
        newLeft = newLeft + (d.right - w.right);
    if (w.top < d.top)
        newTop = d.top;
    if (w.bottom > d.bottom)
        newTop = newTop + (d.bottom - w.bottom);
}

uint32_t GradientLineColour(uint32_t a, uint32_t b, int n, int i)
{
    uint32_t colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int ak = static_cast<int>((a >> shift) & 0xFF);
        int bk = static_cast<int>((b >> shift) & 0xFF);
        float step = static_cast<float>(std::abs(ak - bk)) / static_cast<float>(n);
        int moved = static_cast<int>(static_cast<float>(i) * step);
        int v = ak;
        if (bk < ak)
            v = bk + moved;
        else if (bk > ak)
            v = bk - moved;
        colour |= static_cast<uint32_t>(v & 0xFF) << shift;
    }
    return colour;
}

std::string TooltipPart(const std::string& commandString)
{
    size_t first = commandString.find('\n');
    if (first == std::string::npos)
        return std::string();
    size_t next = commandString.find('\n', first + 1);
    return commandString.substr(first + 1, next == std::string::npos ? std::string::npos : next - first - 1);
}
