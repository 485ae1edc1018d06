#include "widgets/bmp_preview.h"

#include <cstdio>

namespace lex {

PreviewRect ScalePreview(int w, int h, const PreviewRect& item)
{
    PreviewRect r = item;
    if (w <= 0 || h <= 0)
        return r;
    if (w > h) {
        int bottom = static_cast<int>(static_cast<double>(h) / w * (item.right - item.left) + item.top);
        int shift = (item.bottom - bottom) / 2;
        r.top = item.top + shift;
        r.bottom = bottom + shift;
    } else {
        int right = static_cast<int>(static_cast<double>(w) / h * (item.bottom - item.top) + item.left);
        int shift = (item.right - right) / 2;
        r.left = item.left + shift;
        r.right = right + shift;
    }
    return r;
}

std::string PreviewWidthText(int width)
{
    char text[64];
    std::snprintf(text, sizeof text, "宽度: %d 像素", width);
    return text;
}

std::string PreviewHeightText(int height)
{
    char text[64];
    std::snprintf(text, sizeof text, "高度: %d 像素", height);
    return text;
}

std::string PreviewColoursText(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return "颜色数: 2 (单色)";
    case 4:
        return "颜色数: 16";
    case 8:
        return "颜色数: 256";
    case 16:
        return "颜色数: 65,536";
    case 24:
        return "颜色数: 16 millions";
    default:
        return std::string();
    }
}

std::string PreviewFileSizeText(int64_t bytes)
{
    char text[64];
    std::snprintf(text, sizeof text, "文件大小: %lld Kb", static_cast<long long>(bytes < 0 ? 0 : bytes / 1024));
    return text;
}

namespace {

uint32_t U16(const uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

uint32_t U32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Compression codes of BITMAPINFOHEADER.
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

} // namespace

BmpVerdict CheckBitmapHeader(const uint8_t* data, size_t size, uint64_t fileSize, BmpHeaderInfo* info)
{
    if (size < 18 || data[0] != 'B' || data[1] != 'M')
        return BmpVerdict::NotBitmap;
    const uint64_t offBits = U32(data + 10);
    const uint32_t headerSize = U32(data + 14);
    int64_t width, height;
    uint32_t planes, bpp, compression = kRgb, paletteEntries = 0, imageSize = 0;
    if (headerSize == 12) { // BITMAPCOREHEADER: unsigned 16-bit sides, bottom-up
        if (size < 14 + 12)
            return BmpVerdict::NotBitmap;
        width = U16(data + 18);
        height = U16(data + 20);
        planes = U16(data + 22);
        bpp = U16(data + 24);
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
            return BmpVerdict::NotBitmap;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (size < 14 + 40)
            return BmpVerdict::NotBitmap;
        width = static_cast<int32_t>(U32(data + 18));
        height = static_cast<int32_t>(U32(data + 22));
        planes = U16(data + 26);
        bpp = U16(data + 28);
        compression = U32(data + 30);
        imageSize = U32(data + 34);
        paletteEntries = U32(data + 46);
    } else {
        return BmpVerdict::NotBitmap;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (info) {
        info->width = width > kMaxDecodeSide ? kMaxDecodeSide : static_cast<int>(width);
        info->height = height > kMaxDecodeSide ? kMaxDecodeSide : static_cast<int>(height);
        info->bitsPerPixel = static_cast<int>(bpp);
    }
    if (planes != 1 || width <= 0 || height <= 0)
        return BmpVerdict::NotBitmap;
    switch (compression) {
    case kRgb:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            return BmpVerdict::NotBitmap;
        break;
    case kRle8:
    case kRle4:
        if (topDown || bpp != (compression == kRle8 ? 8u : 4u))
            return BmpVerdict::NotBitmap;
        break;
    case kBitfields:
        if (bpp != 16 && bpp != 32)
            return BmpVerdict::NotBitmap;
        break;
    default: // JPEG and PNG inside a bitmap are for printers; nothing else exists
        return BmpVerdict::NotBitmap;
    }
    if (bpp <= 8 && paletteEntries > (1u << bpp))
        return BmpVerdict::NotBitmap;
    if (width > kMaxDecodeSide || height > kMaxDecodeSide || width * height > kMaxDecodePixels)
        return BmpVerdict::TooLarge;
    if (offBits < 14 + headerSize || offBits >= fileSize)
        return BmpVerdict::Truncated;
    uint64_t pixelBytes;
    if (compression == kRle8 || compression == kRle4)
        pixelBytes = imageSize ? imageSize : 2; // at least an end-of-bitmap code
    else
        pixelBytes = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4 * static_cast<uint64_t>(height);
    if (fileSize - offBits < pixelBytes)
        return BmpVerdict::Truncated;
    return BmpVerdict::Ok;
}

} // namespace lex
