// The toolbar resource format (resource type 241), read by the main bar's toolbar and
// by the menu skin, which takes its icons from the same resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// 16-bit little-endian version, image width, image height, item count, then one
// command id per item (0 is a separator).
struct ToolbarResource {
    uint16_t version = 0;
    uint16_t imageWidth = 0;
    uint16_t imageHeight = 0;
    std::vector<uint16_t> ids;
};
// False for data too short for its own item count.
bool ParseToolbarResource(const void* data, size_t size, ToolbarResource& out);
