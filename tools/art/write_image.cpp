// Writing BMP, ICO and CUR files. All multi-byte fields are little-endian; pixel rows
// are stored bottom row first, each padded to a multiple of four bytes.
#include "art.h"

namespace lexart {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Padded(uint32_t rowBytes) { return (rowBytes + 3) & ~3u; }

// BITMAPINFOHEADER (40 bytes).
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize,
                   uint32_t coloursUsed) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // BI_RGB, uncompressed
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi, as pixels per metre
    Put32(out, 2835);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

// 1-bit rows (AND mask or monochrome colour bits), bottom-up, bit 7 first.
template <typename Bit>
void PutBitRows(std::vector<uint8_t>& out, const Image& image, Bit bit) {
    uint32_t rowBytes = ((image.width + 31) / 32) * 4;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.width; ++x)
            if (bit(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

// One icon or cursor image as stored in the file: the header gives twice the height
// because the colour pixels are followed by the AND mask.
std::vector<uint8_t> IconImage(const ArtFile& art, const Image& image) {
    std::vector<uint8_t> out;
    auto transparent = [&](int x, int y) { return art.PixelAt(image, x, y).a == 0; };
    uint32_t maskSize = ((image.width + 31) / 32) * 4 * image.height;
    if (art.depth == 1) {
        PutInfoHeader(out, image.width, image.height * 2, 1, maskSize * 2, 0);
        Put32(out, 0x00000000);  // colour 0 black
        Put32(out, 0x00FFFFFF);  // colour 1 white
        PutBitRows(out, image, [&](int x, int y) {
            Rgba c = art.PixelAt(image, x, y);
            return c.a != 0 && c.r == 255;
        });
    } else {
        uint32_t colourSize = static_cast<uint32_t>(image.width) * 4 * image.height;
        PutInfoHeader(out, image.width, image.height * 2, 32, colourSize + maskSize, 0);
        for (int y = image.height - 1; y >= 0; --y)
            for (int x = 0; x < image.width; ++x) {
                Rgba c = art.PixelAt(image, x, y);
                if (c.a == 0) c = Rgba{};  // black under the mask: drawn without alpha it leaves the screen as is
                out.push_back(c.b);
                out.push_back(c.g);
                out.push_back(c.r);
                out.push_back(c.a);
            }
    }
    PutBitRows(out, image, transparent);
    return out;
}

// A painted picture: 24 bits, rows bottom-up.
std::vector<uint8_t> WriteCanvasBmp(const ArtFile& art) {
    const int width = art.canvasWidth, height = art.canvasHeight;
    const uint32_t rowBytes = Padded(static_cast<uint32_t>(width) * 3);
    const uint32_t offset = 14 + 40, imageSize = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, width, height, 24, imageSize, 0);
    for (int y = height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < width; ++x) {
            const Rgba& c = art.canvas[static_cast<size_t>(y) * width + x];
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        out.resize(rowStart + rowBytes, 0);
    }
    return out;
}

}  // namespace

std::vector<uint8_t> WriteBmp(const ArtFile& art) {
    if (!art.canvas.empty()) return WriteCanvasBmp(art);
    int width = 0;
    int height = art.images.front().height;
    for (const Image& image : art.images) width += image.width;
    const bool indexed = art.depth == 8;
    uint32_t rowBytes = Padded(static_cast<uint32_t>(width) * (indexed ? 1 : 3));
    uint32_t paletteBytes = indexed ? static_cast<uint32_t>(art.palette.size()) * 4 : 0;
    uint32_t offset = 14 + 40 + paletteBytes;
    uint32_t imageSize = rowBytes * static_cast<uint32_t>(height);

    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);  // reserved
    Put32(out, offset);
    PutInfoHeader(out, width, height, indexed ? 8 : 24, imageSize,
                  indexed ? static_cast<uint32_t>(art.palette.size()) : 0);
    if (indexed)
        for (const PaletteKey& k : art.palette) {
            out.push_back(k.colour.b);
            out.push_back(k.colour.g);
            out.push_back(k.colour.r);
            out.push_back(0);
        }
    for (int y = height - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (const Image& image : art.images)
            for (int x = 0; x < image.width; ++x) {
                if (indexed) {
                    out.push_back(static_cast<uint8_t>(image.pixels[static_cast<size_t>(y) * image.width + x]));
                } else {
                    Rgba c = art.PixelAt(image, x, y);
                    out.push_back(c.b);
                    out.push_back(c.g);
                    out.push_back(c.r);
                }
            }
        out.resize(rowStart + rowBytes, 0);
    }
    return out;
}

std::vector<uint8_t> WriteIconFile(const ArtFile& art) {
    const bool cursor = art.kind == Kind::Cur;
    std::vector<std::vector<uint8_t>> images;
    for (const Image& image : art.images) images.push_back(IconImage(art, image));

    std::vector<uint8_t> out;
    Put16(out, 0);              // reserved
    Put16(out, cursor ? 2 : 1); // resource type
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& image = art.images[i];
        out.push_back(static_cast<uint8_t>(image.width & 0xFF));  // 256 is written as 0
        out.push_back(static_cast<uint8_t>(image.height & 0xFF));
        out.push_back(art.depth == 1 ? 2 : 0);  // palette size, 0 for true colour
        out.push_back(0);
        // Icons give planes and bits per pixel here; cursors reuse both for the hot spot.
        Put16(out, cursor ? static_cast<uint32_t>(image.hotX) : 1);
        Put16(out, cursor ? static_cast<uint32_t>(image.hotY) : static_cast<uint32_t>(art.depth));
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::vector<uint8_t>& bytes : images) out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

}  // namespace lexart
