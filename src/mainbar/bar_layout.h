// The main bar's text rules, kept apart from the window so they can be tested natively:
// the tooltip part of a command string.
#pragma once

#include "base/toolbar_resource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The tooltip of a command string "menu text\ntooltip": the part after the first
// newline up to the next one; empty if there is none.
std::string TooltipPart(const std::string& commandString);
