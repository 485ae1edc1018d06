#include "mainbar/bar_layout.h"

std::string TooltipPart(const std::string& commandString)
{
    size_t first = commandString.find('\n');
    if (first == std::string::npos)
        return std::string();
    size_t next = commandString.find('\n', first + 1);
    return commandString.substr(first + 1, next == std::string::npos ? std::string::npos : next - first - 1);
}
