// The bitmap preview's arithmetic and texts, kept apart from the dialog so they can be
// tested natively: where the scaled picture goes inside the preview area, the four
// label texts, and a look at a bitmap file's header before anything is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lex {

struct PreviewRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The rectangle a w x h bitmap is stretched into inside the item rectangle: a
// landscape picture keeps the item's width and is centred vertically, a portrait or
// square one keeps the item's height and is centred horizontally. The item itself
// when either side of the bitmap is not positive.
PreviewRect ScalePreview(int bitmapWidth, int bitmapHeight, const PreviewRect& item);

// Label texts, code page 936.
std::string PreviewWidthText(int width);
std::string PreviewHeightText(int height);
// By colour depth; empty for depths without a count of their own (32 bits included).
std::string PreviewColoursText(int bitsPerPixel);
// The size in whole kilobytes, rounded down.
std::string PreviewFileSizeText(int64_t bytes);

// What the header of a bitmap file says, and whether it is safe to decode.
enum class BmpVerdict {
    Ok,
    NotBitmap,  // no "BM", an unknown header, depth or compression, nonsense fields
    TooLarge,   // more pixels than kMaxDecodePixels, or a side beyond kMaxDecodeSide
    Truncated,  // the file ends before the pixels its header promises
};

struct BmpHeaderInfo {
    int width = 0;
    int height = 0;  // positive whether the rows run bottom-up or top-down
    int bitsPerPixel = 0;
};

// The bytes of the file header and the largest info header (BITMAPV5HEADER).
constexpr size_t kBmpHeaderBytes = 14 + 124;
// A decoded picture of at most 16 Mpixels: 64 MB at 32 bits per pixel. Larger files
// are not loaded at all, so walking past one never stalls or exhausts memory.
constexpr int64_t kMaxDecodePixels = int64_t(1) << 24;
constexpr int kMaxDecodeSide = 32767;

// Checks the first bytes of a file (up to kBmpHeaderBytes of them) against the file's
// whole size. Fills info when the header could be read, whatever the verdict.
BmpVerdict CheckBitmapHeader(const uint8_t* data, size_t size, uint64_t fileSize, BmpHeaderInfo* info);

} // namespace lex
