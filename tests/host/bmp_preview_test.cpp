// The bitmap preview: where the picture goes, the label texts, and the header check
// that keeps huge or damaged files from being decoded.
#include "widgets/bmp_preview.h"

#include <gtest/gtest.h>

#include <vector>

using lex::BmpHeaderInfo;
using lex::BmpVerdict;
using lex::PreviewRect;

namespace {

bool SameRect(const PreviewRect& a, const PreviewRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// File header plus BITMAPINFOHEADER for a w x h picture of the given depth.
std::vector<uint8_t> InfoHeader(int32_t w, int32_t h, uint16_t bpp, uint32_t compression = 0, uint32_t offBits = 54)
{
    std::vector<uint8_t> b(54, 0);
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k)
            b[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, offBits, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(w), 4);
    put(22, static_cast<uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, bpp, 2);
    put(30, compression, 4);
    return b;
}

BmpVerdict Check(const std::vector<uint8_t>& header, uint64_t fileSize, BmpHeaderInfo* info = nullptr)
{
    return lex::CheckBitmapHeader(header.data(), header.size(), fileSize, info);
}

} // namespace

TEST(BmpPreview, KeepsTheAspectAndCentresThePicture)
{
    // A 200 x 100 picture in a 90 x 77 area: 90 wide, 45 high, 16 px below the top.
    EXPECT_TRUE(SameRect(lex::ScalePreview(200, 100, {0, 0, 90, 77}), {0, 16, 90, 61}));
    // The same where the area does not start at the origin.
    EXPECT_TRUE(SameRect(lex::ScalePreview(200, 100, {10, 20, 100, 97}), {10, 36, 100, 81}));
    // A square fills the height and is centred across: 77 wide, (90 - 77) / 2 = 6 in.
    EXPECT_TRUE(SameRect(lex::ScalePreview(64, 64, {0, 0, 90, 77}), {6, 0, 83, 77}));
    // Portrait: 1 x 2 in 90 x 77 is 38 wide (38.5 truncated), 26 in from the left.
    EXPECT_TRUE(SameRect(lex::ScalePreview(100, 200, {0, 0, 90, 77}), {26, 0, 64, 77}));
    // Nothing to scale: the area itself.
    EXPECT_TRUE(SameRect(lex::ScalePreview(0, 10, {0, 0, 90, 77}), {0, 0, 90, 77}));
}

TEST(BmpPreview, LabelTextsByDepthAndSizeInWholeKilobytes)
{
    EXPECT_EQ(lex::PreviewWidthText(200), "宽度: 200 像素");
    EXPECT_EQ(lex::PreviewHeightText(1080), "高度: 1080 像素");
    EXPECT_EQ(lex::PreviewColoursText(1), "颜色数: 2 (单色)");
    EXPECT_EQ(lex::PreviewColoursText(4), "颜色数: 16");
    EXPECT_EQ(lex::PreviewColoursText(8), "颜色数: 256");
    EXPECT_EQ(lex::PreviewColoursText(16), "颜色数: 65,536");
    EXPECT_EQ(lex::PreviewColoursText(24), "颜色数: 16 millions");
    EXPECT_EQ(lex::PreviewColoursText(32), "");
    EXPECT_EQ(lex::PreviewColoursText(2), "");
    EXPECT_EQ(lex::PreviewFileSizeText(1536), "文件大小: 1 Kb");
    EXPECT_EQ(lex::PreviewFileSizeText(1023), "文件大小: 0 Kb");
    EXPECT_EQ(lex::PreviewFileSizeText(6220854), "文件大小: 6075 Kb");
}

TEST(BmpHeaderCheck, AcceptsWholeBitmapsOfEveryKindWeDecode)
{
    BmpHeaderInfo info;
    // 200 x 100 at 24 bits: rows of 600 bytes, 60,000 bytes of pixels.
    EXPECT_EQ(Check(InfoHeader(200, 100, 24), 54 + 60000, &info), BmpVerdict::Ok);
    EXPECT_EQ(info.width, 200);
    EXPECT_EQ(info.height, 100);
    EXPECT_EQ(info.bitsPerPixel, 24);
    // Top-down rows; a 1-bit picture whose rows pad to 4 bytes (an 8-byte palette first).
    EXPECT_EQ(Check(InfoHeader(3, -5, 32), 54 + 60, &info), BmpVerdict::Ok);
    EXPECT_EQ(info.height, 5);
    EXPECT_EQ(Check(InfoHeader(9, 2, 1, 0, 62), 62 + 8), BmpVerdict::Ok);
    // Run-length and bit-field pictures.
    EXPECT_EQ(Check(InfoHeader(16, 16, 8, 1, 54 + 1024), 54 + 1024 + 100), BmpVerdict::Ok);
    EXPECT_EQ(Check(InfoHeader(16, 16, 16, 3, 66), 66 + 512), BmpVerdict::Ok);
    // An old OS/2 core header: 16-bit sides.
    std::vector<uint8_t> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 4, 0, 2, 0, 1, 0, 24, 0};
    EXPECT_EQ(Check(core, 26 + 24, &info), BmpVerdict::Ok);
    EXPECT_EQ(info.width, 4);
    EXPECT_EQ(info.bitsPerPixel, 24);
}

TEST(BmpHeaderCheck, RefusesHugeDamagedAndForeignFilesBeforeDecoding)
{
    // 60000 x 60000 claimed by a small file: refused for its size, not decoded.
    EXPECT_EQ(Check(InfoHeader(60000, 60000, 24), 5000), BmpVerdict::TooLarge);
    // Within each side's limit but too many pixels in all.
    EXPECT_EQ(Check(InfoHeader(8000, 8000, 8), 5000), BmpVerdict::TooLarge);
    EXPECT_EQ(Check(InfoHeader(4096, 4096, 24), 54 + 4096ull * 4096 * 3), BmpVerdict::Ok);
    // Cut short: one byte of pixels missing; pixel data said to start beyond the end.
    EXPECT_EQ(Check(InfoHeader(200, 100, 24), 54 + 59999), BmpVerdict::Truncated);
    EXPECT_EQ(Check(InfoHeader(2, 2, 24, 0, 9000), 70), BmpVerdict::Truncated);
    EXPECT_EQ(Check(InfoHeader(2, 2, 24, 0, 10), 70), BmpVerdict::Truncated);
    // Only the first bytes of a header.
    std::vector<uint8_t> shortHeader = InfoHeader(2, 2, 24);
    shortHeader.resize(30);
    EXPECT_EQ(Check(shortHeader, 30), BmpVerdict::NotBitmap);
    // Not a bitmap, or nonsense in its fields.
    std::vector<uint8_t> png = InfoHeader(2, 2, 24);
    png[0] = 0x89;
    EXPECT_EQ(Check(png, 70), BmpVerdict::NotBitmap);
    EXPECT_EQ(Check(InfoHeader(2, 2, 7), 70), BmpVerdict::NotBitmap);
    EXPECT_EQ(Check(InfoHeader(0, 2, 24), 70), BmpVerdict::NotBitmap);
    EXPECT_NE(Check(InfoHeader(2, INT32_MIN, 24), 70), BmpVerdict::Ok);
    EXPECT_EQ(Check(InfoHeader(2, 2, 24, 1), 70), BmpVerdict::NotBitmap) << "run-length coding at 24 bits";
    EXPECT_EQ(Check(InfoHeader(2, -2, 8, 1), 70), BmpVerdict::NotBitmap) << "run-length coding top-down";
    EXPECT_EQ(Check(InfoHeader(2, 2, 24, 4), 70), BmpVerdict::NotBitmap) << "JPEG inside";
    std::vector<uint8_t> badHeaderSize = InfoHeader(2, 2, 24);
    badHeaderSize[14] = 41;
    EXPECT_EQ(Check(badHeaderSize, 70), BmpVerdict::NotBitmap);
    std::vector<uint8_t> noPlanes = InfoHeader(2, 2, 24);
    noPlanes[26] = 0;
    EXPECT_EQ(Check(noPlanes, 70), BmpVerdict::NotBitmap);
}
