// The main bar's arithmetic, kept apart from the window so it can be tested natively:
// keeping the bar on screen and the tooltip part of a command string.
#pragma once

#include "base/toolbar_resource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BarRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where the window rectangle w moves to stay inside the area d (the work area of a
// monitor, which need not start at (0, 0)): the left and top edges are pulled in
// first, then the right and bottom ones.
void KeepOnScreenPosition(const BarRect& desktop, const BarRect& window, int& newLeft, int& newTop);

// The tooltip of a command string "menu text\ntooltip": the part after the first
// newline up to the next one; empty if there is none.
std::string TooltipPart(const std::string& commandString);
