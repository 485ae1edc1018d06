#include "mainbar/bar_layout.h"

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

std::string TooltipPart(const std::string& commandString)
{
    size_t first = commandString.find('\n');
    if (first == std::string::npos)
        return std::string();
    size_t next = commandString.find('\n', first + 1);
    return commandString.substr(first + 1, next == std::string::npos ? std::string::npos : next - first - 1);
}
