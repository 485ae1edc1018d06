// The main bar's arithmetic, kept apart from the window so it can be tested natively:
// the toolbar resource format, keeping the bar on screen, the background gradient and
// the tooltip part of a command string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A toolbar resource (type 241): 16-bit little-endian version, image width, image
// height, item count, then one command id per item (0 is a separator).
struct ToolbarResource {
    uint16_t version = 0;
    uint16_t imageWidth = 0;
    uint16_t imageHeight = 0;
    std::vector<uint16_t> ids;
};
// False for data too short for its own item count.
bool ParseToolbarResource(const void* data, size_t size, ToolbarResource& out);

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

// The colour (0x00BBGGRR) of gradient line i (1..n) from colour b at the near edge to
// colour a at the far one: each channel moves from b by trunc(i * |a - b| / n).
uint32_t GradientLineColour(uint32_t a, uint32_t b, int n, int i);

// The tooltip of a command string "menu text\ntooltip": the part after the first
// newline up to the next one; empty if there is none.
std::string TooltipPart(const std::string& commandString);
