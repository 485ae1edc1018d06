#include "base/toolbar_resource.h"

bool ParseToolbarResource(const void* data, size_t size, ToolbarResource& out)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    auto word = [bytes](size_t i) { return static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
    if (!data || size < 8)
        return false;
    uint16_t count = word(3);
    if (size < 8 + 2 * static_cast<size_t>(count))
        return false;
    out.version = word(0);
    out.imageWidth = word(1);
    out.imageHeight = word(2);
    out.ids.clear();
    for (size_t i = 0; i < count; ++i)
        out.ids.push_back(word(4 + i));
    return true;
}
