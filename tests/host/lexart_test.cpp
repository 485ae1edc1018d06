// The art converter: parsing, the BMP/ICO/CUR/WAV files it writes, and the shipped art.
#include "art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace lexart;

namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

ArtFile Parse(const std::string& text) {
    ArtFile art;
    std::string error;
    EXPECT_TRUE(ParseArt(text, art, error)) << error;
    return art;
}

ArtFile LoadShipped(const std::string& name) {
    std::ifstream in(std::string(LEX_SOURCE_DIR) + "/src/resources/art/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return Parse(text.str());
}

bool IsBlank(const ArtFile& art, const Image& image) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (!(art.PixelAt(image, x, y) == art.PixelAt(image, 0, 0))) return false;
    return true;
}

}  // namespace

TEST(LexArtParse, RejectsMistakesWithTheirLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"kind bmp\nkey . c0c0c0\nimage 2 1\n.x\n", "line 4: undefined key 'x' in column 2"},
        {"kind bmp\nkey . c0c0c0\nimage 2 2\n..\n...\n", "line 5: row is 3 pixels wide"},
        {"kind ico\nkey . none\nimage 2 2\n..\n", "lacks 1 rows"},
        {"kind bmp\nkey . none\n", "line 2: a bmp has no transparency"},
        {"kind bmp\nkey . 12345\n", "colour must be"},
        {"kind bmp\nkey . 000000\nkey . ffffff\n", "defined twice"},
        {"kind cur\nkey . none\nimage 4 4\n", "needs 'hotspot x y'"},
        {"kind cur\nkey . none\nimage 4 4 hotspot 4 0\n", "inside the image"},
        {"kind ico\ndepth 1\nkey r ff0000\n", "only 000000, ffffff and none"},
        {"kind bmp\nkey . 000000\nimage 1 1\n.\nimage 1 2\n.\n.\n", "share one height"},
        {"kind ico\nkey . none\nimage 1 1\n.\nimage 1 1\n.\n", "same size"},
        {"image 1 1\n", "line 1: the file must start with 'kind'"},
        {"kind wav\nnote H4 0 100 1\n", "neither a note name nor Hz"},
        {"kind wav\nrate 22050\nnote 12000 0 100 1\n", "above half the sample rate"},
        {"kind ico\nkey . none\nfigure 4 4 at 8\nrect x 0 0 1 1\nend\n", "line 4: undefined key 'x'"},
        {"kind ico\nkey r ff0000\nfigure 4 4 at 8\nrect r 0 0 1\nend\n", "wrong number"},
        {"kind ico\nkey r ff0000\nfigure 4 4 at 8\nrect r 0 0 1 1\n", "lacks its 'end'"},
        {"kind ico\nkey r ff0000\nfigure 4 4\nend\n", "line 3: figure needs"},
        {"kind ico\nkey r ff0000\nfigure 4 4 at 8\narc r 1 2 2 1 90 10\nend\n", "rising angles"},
        {"kind ico\nkey r ff0000\nimage 1 1\nr\nfigure 4 4 at 1\nend\n", "same size"},
        {"kind bmp\nkey . c0c0c0\nimage 1 1\n.\nfigure 1 1 at 2 3\nend\nfigure 1 1 at 3\nend\n",
         "3 pixel strip has 2 images"},
        {"kind cur\nkey . none\nfigure 4 4 at 8\nend\n", "no figures"},
    };
    for (const auto& c : cases) {
        ArtFile art;
        std::string error;
        EXPECT_FALSE(ParseArt(c.text, art, error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " -> " << error;
    }
}

TEST(LexArtParse, KeysCommentsAndColours) {
    ArtFile art = Parse(
        "; heading\n"
        "kind ico   ; trailing comment\n"
        "key . none\n"
        "key # 1B2433\n"
        "key s 3b7dd880\n"
        "\n"
        "image 3 2\n"
        "  .#s  \n"
        "s#.\n");
    ASSERT_EQ(art.images.size(), 1u);
    const Image& image = art.images[0];
    EXPECT_EQ(art.PixelAt(image, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(art.PixelAt(image, 1, 0), (Rgba{0x1b, 0x24, 0x33, 255}));
    EXPECT_EQ(art.PixelAt(image, 2, 0), (Rgba{0x3b, 0x7d, 0xd8, 0x80}));
    EXPECT_EQ(art.PixelAt(image, 0, 1), (Rgba{0x3b, 0x7d, 0xd8, 0x80}));
    EXPECT_DOUBLE_EQ(NoteFrequency("A4"), 440.0);
    EXPECT_NEAR(NoteFrequency("C6"), 1046.50, 0.01);
    EXPECT_NEAR(NoteFrequency("C#6"), 1108.73, 0.01);
    EXPECT_NEAR(NoteFrequency("Bb5"), 932.33, 0.01);
    EXPECT_EQ(NoteFrequency("A"), 0.0);
    EXPECT_EQ(NoteFrequency("A4x"), 0.0);
}

TEST(LexArtBmp, TrueColourHeaderRowsBottomUpAndPadded) {
    ArtFile art = Parse("kind bmp\nkey r ff0000\nkey g 00ff00\nkey b 0000ff\nimage 3 2\nrgb\nbbr\n");
    std::vector<uint8_t> f = WriteBmp(art);
    const uint32_t rowBytes = 12;  // 3 pixels x 3 bytes, padded to 4
    ASSERT_EQ(f.size(), 54 + 2 * rowBytes);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 2), f.size());
    EXPECT_EQ(U32(f, 10), 54u);      // pixels start after both headers
    EXPECT_EQ(U32(f, 14), 40u);      // BITMAPINFOHEADER
    EXPECT_EQ(U32(f, 18), 3u);       // width
    EXPECT_EQ(U32(f, 22), 2u);       // positive height: bottom-up
    EXPECT_EQ(U16(f, 26), 1u);
    EXPECT_EQ(U16(f, 28), 24u);
    EXPECT_EQ(U32(f, 30), 0u);       // BI_RGB
    EXPECT_EQ(U32(f, 34), 2 * rowBytes);
    // First stored row is the picture's bottom row "bbr", as blue-green-red bytes.
    const std::vector<uint8_t> bottom = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0};
    const std::vector<uint8_t> top = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.begin() + 54 + rowBytes), bottom);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54 + rowBytes, f.end()), top);
}

TEST(LexArtBmp, IndexedStripKeepsPaletteOrderAndLaysImagesSideBySide) {
    ArtFile art = Parse("kind bmp\ndepth 8\nkey . c0c0c0\nkey x 2060d0\n"
                        "image 3 2\nx..\n.x.\nimage 2 2\nxx\n..\n");
    std::vector<uint8_t> f = WriteBmp(art);
    EXPECT_EQ(U32(f, 18), 5u);           // both images' widths
    EXPECT_EQ(U16(f, 28), 8u);
    EXPECT_EQ(U32(f, 46), 2u);           // colours used: the two keys
    EXPECT_EQ(U32(f, 10), 54u + 2 * 4);  // palette between header and pixels
    const std::vector<uint8_t> palette = {0xc0, 0xc0, 0xc0, 0, 0xd0, 0x60, 0x20, 0};
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.begin() + 62), palette);
    // Rows of 5 indices padded to 8; bottom row ".x." + ".." first, then "x.." + "xx".
    const std::vector<uint8_t> pixels = {0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 62, f.end()), pixels);
}

TEST(LexArtIcon, DirectoryAlphaAndMask) {
    ArtFile art = Parse("kind ico\nkey . none\nkey r ff000080\nkey k 102030\n"
                        "image 2 2\n.k\nrk\nimage 3 1\nk.r\n");
    std::vector<uint8_t> f = WriteIconFile(art);
    EXPECT_EQ(U16(f, 0), 0u);
    EXPECT_EQ(U16(f, 2), 1u);  // icon
    ASSERT_EQ(U16(f, 4), 2u);
    // First entry: 2 x 2, true colour, 1 plane, 32 bits.
    EXPECT_EQ(f[6], 2);
    EXPECT_EQ(f[7], 2);
    EXPECT_EQ(f[8], 0);
    EXPECT_EQ(U16(f, 10), 1u);
    EXPECT_EQ(U16(f, 12), 32u);
    uint32_t size = U32(f, 14), at = U32(f, 18);
    EXPECT_EQ(at, 6u + 2 * 16);
    EXPECT_EQ(size, 40u + 2 * 2 * 4 + 2 * 4);  // header, colour pixels, mask rows of 4 bytes
    EXPECT_EQ(U32(f, 22 + 12), at + size);     // second image follows the first
    EXPECT_EQ(U32(f, 22 + 12) + U32(f, 22 + 8), f.size());

    EXPECT_EQ(U32(f, at + 8), 4u);  // double height: colour pixels then mask
    EXPECT_EQ(U16(f, at + 14), 32u);
    const size_t px = at + 40;
    // Bottom row "rk": half-transparent red keeps its alpha; then the top row ".k",
    // whose transparent pixel is written as zeros.
    const std::vector<uint8_t> colours = {0, 0, 255, 0x80, 0x30, 0x20, 0x10, 255,
                                          0, 0, 0, 0,       0x30, 0x20, 0x10, 255};
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + px, f.begin() + px + 16), colours);
    // AND mask, bottom-up: only the top-left pixel is transparent (bit 7 of the top row).
    EXPECT_EQ(f[px + 16], 0x00);
    EXPECT_EQ(f[px + 20], 0x80);
    EXPECT_EQ(f[px + 21] | f[px + 22] | f[px + 23], 0);
}

TEST(LexArtIcon, CursorHotSpotAndMonochrome) {
    ArtFile art = Parse("kind cur\ndepth 1\nkey . none\nkey # 000000\nkey w ffffff\n"
                        "image 3 2 hotspot 2 1\n#w.\n.w#\n");
    std::vector<uint8_t> f = WriteIconFile(art);
    EXPECT_EQ(U16(f, 2), 2u);  // cursor
    EXPECT_EQ(f[8], 2);        // two palette colours
    EXPECT_EQ(U16(f, 10), 2u); // hot spot x
    EXPECT_EQ(U16(f, 12), 1u); // hot spot y
    const size_t at = U32(f, 18);
    EXPECT_EQ(U16(f, at + 14), 1u);
    EXPECT_EQ(U32(f, at + 40), 0x000000u);
    EXPECT_EQ(U32(f, at + 44), 0xFFFFFFu);
    const size_t colour = at + 48, mask = colour + 2 * 4;
    EXPECT_EQ(f[colour], 0x40);      // bottom row ".w#": white at x 1
    EXPECT_EQ(f[colour + 4], 0x40);  // top row "#w.": white at x 1
    EXPECT_EQ(f[mask], 0x80);        // bottom row transparent at x 0
    EXPECT_EQ(f[mask + 4], 0x20);    // top row transparent at x 2
    EXPECT_EQ(f.size(), mask + 8);
}

TEST(LexArtWav, HeaderAndNormalisedNotes) {
    ArtFile art = Parse("kind wav\nrate 8000\npeak 0.25\nattack 0\nrelease 10\nnote A4 0 100 1\n");
    std::vector<int16_t> samples = SynthesiseSamples(art.sound);
    ASSERT_EQ(samples.size(), 800u);
    int loudest = 0;
    for (int16_t s : samples) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    EXPECT_EQ(loudest, std::lround(0.25 * 32767));
    EXPECT_EQ(samples.front(), 0);                  // sine from zero, no attack
    EXPECT_LT(std::abs(samples.back()), 32767 / 100); // released to silence

    std::vector<uint8_t> f = WriteWav(samples, 8000);
    ASSERT_EQ(f.size(), 44u + 1600);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(U32(f, 4), f.size() - 8);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32(f, 16), 16u);
    EXPECT_EQ(U16(f, 20), 1u);     // PCM
    EXPECT_EQ(U16(f, 22), 1u);     // mono
    EXPECT_EQ(U32(f, 24), 8000u);
    EXPECT_EQ(U32(f, 28), 16000u); // bytes per second
    EXPECT_EQ(U16(f, 32), 2u);
    EXPECT_EQ(U16(f, 34), 16u);
    EXPECT_EQ(std::string(f.begin() + 36, f.begin() + 40), "data");
    EXPECT_EQ(U32(f, 40), 1600u);
    EXPECT_EQ(static_cast<int16_t>(U16(f, 44 + 2 * 10)), samples[10]);
}

// The shipped pictures: what the program and the toolbar expect of them.
TEST(LexArtShipped, ToolbarStrip) {
    ArtFile art = LoadShipped("toolbar.art");
    ASSERT_EQ(art.kind, Kind::Bmp);
    // The toolbar maps palette colours to system colours, so the strip must have a
    // palette whose button-face grey is the background, and no picture colour that
    // the mapping would change.
    EXPECT_EQ(art.depth, 8);
    ASSERT_EQ(art.images.size(), 11u);
    const Rgba face{0xc0, 0xc0, 0xc0, 255};
    EXPECT_EQ(art.PixelAt(art.images[0], 0, 0), face);  // the menu skin masks by this pixel
    int faces = 0;
    for (const PaletteKey& k : art.palette) {
        faces += k.colour == face;
        EXPECT_FALSE(k.colour == (Rgba{0, 0, 0, 255}) || k.colour == (Rgba{0x80, 0x80, 0x80, 255}) ||
                     k.colour == (Rgba{255, 255, 255, 255}))
            << "key " << k.key;
    }
    EXPECT_EQ(faces, 1);
    EXPECT_LE(art.palette.size(), 256u);
    // The strip as drawn for 96 DPI, then for 144 and 192 DPI: same buttons, same ground.
    const int sizes[3][2] = {{16, 15}, {24, 23}, {32, 30}};
    ASSERT_EQ(art.strips.size(), 2u);
    for (int s = 0; s < 3; ++s) {
        const std::vector<Image>& images = s == 0 ? art.images : art.strips[s - 1].images;
        ASSERT_EQ(images.size(), 11u);
        for (size_t i = 0; i < images.size(); ++i) {
            EXPECT_EQ(images[i].width, sizes[s][0]);
            EXPECT_EQ(images[i].height, sizes[s][1]);
            EXPECT_EQ(art.PixelAt(images[i], 0, 0), face);
            // Buttons 1, 2 and 9 become gaps and the banner's slot; the rest show pictures.
            EXPECT_EQ(IsBlank(art, images[i]), i == 0 || i == 1 || i == 8) << "image " << i + 1;
        }
    }
    std::vector<uint8_t> bytes;
    Kind kind;
    std::string error;
    std::ifstream in(std::string(LEX_SOURCE_DIR) + "/src/resources/art/toolbar.art", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ASSERT_TRUE(ConvertArt(text.str(), bytes, kind, error, 24)) << error;
    EXPECT_EQ(U32(bytes, 18), 11u * 24);
    EXPECT_EQ(U32(bytes, 22), 23u);
    EXPECT_EQ(U16(bytes, 28), 8u);
}

TEST(LexArtShipped, IconsTellShownFromHidden) {
    ArtFile shown = LoadShipped("lexorin.art"), hidden = LoadShipped("tray_hidden.art");
    ASSERT_EQ(shown.images.size(), 5u);
    ASSERT_EQ(hidden.images.size(), 5u);
    int colourful = 0;
    for (size_t i = 0; i < 5; ++i) {
        const Image &a = shown.images[i], &b = hidden.images[i];
        ASSERT_EQ(b.width, a.width);
        ASSERT_EQ(b.height, a.height);
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) {
                Rgba p = shown.PixelAt(a, x, y), q = hidden.PixelAt(b, x, y);
                EXPECT_EQ(p.a, q.a) << "same outline at " << x << "," << y;
                if (q.a) {
                    EXPECT_LE(std::max({q.r, q.g, q.b}) - std::min({q.r, q.g, q.b}), 40) << "grey";
                }
                if (p.a && std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 100) ++colourful;
            }
    }
    EXPECT_GT(colourful, 100);
}

// Every icon has a picture of its own for each size the system asks for between
// 96 and 288 DPI (small and large icons, and the sizes in between).
TEST(LexArtShipped, IconsComeInEverySize) {
    for (const char* name : {"lexorin.art", "tray_hidden.art", "banner_look.art", "dict_capture.art",
                             "dict_select.art", "font_styles.art", "interface_page.art", "voice_page.art",
                             "tree_group.art", "tree_page.art"}) {
        ArtFile art = LoadShipped(name);
        ASSERT_EQ(art.kind, Kind::Ico) << name;
        std::vector<int> widths;
        for (const Image& image : art.images) {
            EXPECT_EQ(image.width, image.height) << name;
            widths.push_back(image.width);
            // A picture, not an empty frame: a fair share of its pixels are painted,
            // and it leaves some of its square transparent.
            int opaque = 0, clear = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x) {
                    opaque += art.PixelAt(image, x, y).a == 255;
                    clear += art.PixelAt(image, x, y).a == 0;
                }
            EXPECT_GT(opaque * 10, image.width * image.height) << name << " at " << image.width;
            EXPECT_GT(clear, 0) << name << " at " << image.width;
        }
        std::sort(widths.begin(), widths.end());
        EXPECT_EQ(widths, (std::vector<int>{16, 20, 24, 32, 48})) << name;
        std::vector<uint8_t> ico = WriteIconFile(art);
        EXPECT_EQ(U16(ico, 4), 5u) << name;
    }
    // The settings sheet's images: eight per strip at 16, 24 and 32 pixels, on teal.
    ArtFile options = LoadShipped("option_images.art");
    ASSERT_EQ(options.strips.size(), 2u);
    const Rgba teal{0, 0x80, 0x80, 255};
    for (const Strip& strip : options.strips) {
        EXPECT_EQ(strip.height, strip.width);
        ASSERT_EQ(strip.images.size(), 8u);
        for (const Image& image : strip.images) {
            EXPECT_EQ(options.PixelAt(image, 0, 0), teal);
            EXPECT_FALSE(IsBlank(options, image));
        }
    }
    EXPECT_EQ(options.strips[0].width, 24);
    EXPECT_EQ(options.strips[1].width, 32);
    EXPECT_LE(options.palette.size(), 256u);
}

// The about box's logo and the tip's bulb, also drawn at twice their size: the
// see-through colour all round, and the bulb's white surround one closed region,
// since the tip dialog floods it from the corner.
TEST(LexArtShipped, LogoAndBulbAtTwiceTheSize) {
    ArtFile logo = LoadShipped("about_logo.art");
    ASSERT_EQ(logo.strips.size(), 1u);
    ASSERT_EQ(logo.strips[0].images.size(), 1u);
    const Image& large = logo.strips[0].images[0];
    EXPECT_EQ(large.width, 312);
    EXPECT_EQ(large.height, 128);
    const Rgba green{0, 255, 0, 255};
    int seen = 0;
    for (int x = 0; x < large.width; ++x) seen += logo.PixelAt(large, x, 0) == green;
    EXPECT_EQ(seen, large.width);
    int painted = 0;
    for (int y = 0; y < large.height; ++y)
        for (int x = 0; x < large.width; ++x) painted += !(logo.PixelAt(large, x, y) == green);
    EXPECT_GT(painted, large.width * large.height / 4);

    ArtFile bulb = LoadShipped("tip_bulb.art");
    ASSERT_EQ(bulb.strips.size(), 1u);
    const Rgba white{255, 255, 255, 255};
    for (const Image* image : {&bulb.images[0], &bulb.strips[0].images[0]}) {
        const int w = image->width, h = image->height;
        std::vector<char> reached(static_cast<size_t>(w) * h, 0);
        std::vector<std::pair<int, int>> todo = {{0, 0}};
        int flooded = 0, whites = 0;
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            if (x < 0 || y < 0 || x >= w || y >= h || reached[y * w + x] || !(bulb.PixelAt(*image, x, y) == white))
                continue;
            reached[y * w + x] = 1;
            ++flooded;
            todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) whites += bulb.PixelAt(*image, x, y) == white;
        EXPECT_EQ(flooded, whites) << "white inside the bulb at " << w;
        EXPECT_LT(whites, w * h * 3 / 4) << w;
        EXPECT_GT(whites, w * h / 4) << w;
    }
    EXPECT_EQ(bulb.strips[0].width, 52);
    EXPECT_EQ(bulb.strips[0].height, 64);
}

TEST(LexArtShipped, BackgroundTilesWithoutSeams) {
    ArtFile art = LoadShipped("background.art");
    ASSERT_EQ(art.images.size(), 1u);
    const Image& tile = art.images[0];
    EXPECT_GE(tile.height, 30);  // the bar's tallest client area needs no second row of tiles
    // Across the seam (last column to first) colours change no more than between
    // any two neighbouring columns inside the tile.
    auto step = [&](int x1, int x2, int y) {
        Rgba a = art.PixelAt(tile, x1, y), b = art.PixelAt(tile, x2, y);
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    };
    for (int y = 0; y < tile.height; ++y) {
        int inside = 0;
        for (int x = 1; x < tile.width; ++x) inside = std::max(inside, step(x - 1, x, y));
        EXPECT_LE(step(tile.width - 1, 0, y), inside) << "row " << y;
    }
}

TEST(LexArtShipped, ChimeIsShortAndUnclipped) {
    ArtFile art = LoadShipped("chime.art");
    ASSERT_EQ(art.kind, Kind::Wav);
    EXPECT_EQ(art.sound.rate, 22050);
    EXPECT_EQ(art.sound.notes.size(), 2u);
    std::vector<int16_t> s = SynthesiseSamples(art.sound);
    double seconds = static_cast<double>(s.size()) / art.sound.rate;
    EXPECT_GE(seconds, 0.25);
    EXPECT_LE(seconds, 0.4);
    int loudest = 0;
    for (int16_t v : s) loudest = std::max(loudest, std::abs(static_cast<int>(v)));
    EXPECT_LT(loudest, 32767 * 9 / 10);
    EXPECT_GT(loudest, 32767 / 4);
    EXPECT_LT(std::abs(s.front()), 200);
    EXPECT_LT(std::abs(s.back()), 200);
}

TEST(LexArtShipped, HandCursorPointsWithItsHotSpot) {
    ArtFile art = LoadShipped("hand.art");
    ASSERT_EQ(art.kind, Kind::Cur);
    ASSERT_EQ(art.images.size(), 1u);
    const Image& hand = art.images[0];
    EXPECT_EQ(art.depth, 1);
    EXPECT_EQ(hand.width, 32);
    EXPECT_EQ(hand.height, 32);
    EXPECT_EQ(hand.hotX, 5);
    EXPECT_EQ(hand.hotY, 0);
    EXPECT_EQ(art.PixelAt(hand, hand.hotX, hand.hotY).a, 255);  // the fingertip itself
}

TEST(LexArtPaint, RampsBlendsAndMistakes) {
    ArtFile art = Parse("kind bmp\ncanvas 4 5\nfill vertical 0:000000 1:ff0000\n"
                        "fill horizontal 0:0000ff00 1:0000ff80\n");
    ASSERT_EQ(art.canvas.size(), 20u);
    auto at = [&](int x, int y) { return art.canvas[static_cast<size_t>(y) * 4 + x]; };
    EXPECT_EQ(at(0, 0).r, 0);
    EXPECT_EQ(at(0, 4).r, 255);
    EXPECT_EQ(at(0, 2).r, 128);
    EXPECT_EQ(at(0, 2).b, 0) << "alpha 0 at the left leaves the ramp alone";
    EXPECT_EQ(at(3, 4).r, 127) << "half-opaque blue at the right halves the red";
    EXPECT_EQ(at(3, 4).b, 128);
    std::vector<uint8_t> bmp = WriteBmp(art);
    ASSERT_EQ(bmp.size(), 54u + 12 * 5);  // 4 pixels of 3 bytes make 12, no padding
    EXPECT_EQ(U32(bmp, 18), 4u);
    EXPECT_EQ(U32(bmp, 22), 5u);
    EXPECT_EQ(bmp[54 + 2], 255) << "bottom row first";

    ArtFile waves = Parse("kind bmp\ncanvas 40 20\nfill vertical 0:000000 1:000000\nwaves 2 0.25 0.5 3 ffffff\n");
    int lit = 0;
    for (const Rgba& c : waves.canvas) lit += c.r > 0;
    EXPECT_GT(lit, 40 * 2);  // a ribbon across every column, a few pixels high
    EXPECT_LT(lit, 40 * 8);

    std::string error;
    ArtFile bad;
    EXPECT_FALSE(ParseArt("kind bmp\ncanvas 4 4\nfill vertical 0.5:ffffff 0.2:000000\n", bad, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_FALSE(ParseArt("kind bmp\nkey a ffffff\ncanvas 4 4\n", bad, error));
    EXPECT_FALSE(ParseArt("kind bmp\ncanvas 5000 4\n", bad, error));
    EXPECT_FALSE(ParseArt("kind ico\ncanvas 4 4\n", bad, error));
    EXPECT_FALSE(ParseArt("kind bmp\ncanvas 4 4\ngrain 3\n", bad, error));
}

TEST(LexArtShipped, BackgroundPicturesTileSidewaysAndStayLight) {
    for (const char* name : {"Sky", "Silver", "Celadon"}) {
        std::ifstream in(std::string(LEX_SOURCE_DIR) + "/data/backgrounds/" + name + ".art", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        ArtFile art = Parse(text.str());
        ASSERT_FALSE(art.canvas.empty()) << name;
        const int w = art.canvasWidth, h = art.canvasHeight;
        EXPECT_GE(h, 30) << name << ": one row of tiles covers the bar";
        auto px = [&](int x, int y) { return art.canvas[static_cast<size_t>(y) * w + x]; };
        auto step = [&](int x1, int x2, int y) {
            Rgba a = px(x1, y), b = px(x2, y);
            return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        };
        double light = 0;
        int distinct = 0;
        for (int y = 0; y < h; ++y) {
            int inside = 0;
            for (int x = 1; x < w; ++x) inside = std::max(inside, step(x - 1, x, y));
            EXPECT_LE(step(w - 1, 0, y), inside) << name << " row " << y;
            for (int x = 0; x < w; ++x) light += (px(x, y).r + px(x, y).g + px(x, y).b) / 3.0 / (w * h);
            distinct += !(px(0, y) == px(0, y > 0 ? y - 1 : 0));
        }
        // Light enough for the dark toolbar pictures to stand out, and a real gradient.
        EXPECT_GT(light, 190) << name;
        EXPECT_GT(distinct, h / 2) << name;
    }
}

// Figures: one description drawn afresh at each size, edges on the pixel grid.
TEST(LexArtFigure, DrawsEachSizeOnItsOwnPixels) {
    ArtFile icon = Parse(
        "kind ico\nkey . none\nkey r ff0000\nkey k 000000\nkey w ffffff\n"
        "image 8 8\n........\n........\n........\n........\n........\n........\n........\n........\n"
        "figure 8 8 at 16 32\n"
        "rect r 2 2 6 6 edge 1px k\n"   // a box, its edge one pixel at every size
        "line w 2 0 7 8 7\n"             // a bar along the bottom, two units thick
        "from 32 ellipse w 4 4 1 1\n"    // a dot only at 32
        "end\n");
    ASSERT_EQ(icon.images.size(), 3u);
    const Image& small = icon.images[1];
    const Image& large = icon.images[2];
    ASSERT_EQ(small.width, 16);
    ASSERT_EQ(large.width, 32);
    const Rgba none{0, 0, 0, 0}, red{255, 0, 0, 255}, black{0, 0, 0, 255}, white{255, 255, 255, 255};
    const struct {
        const Image& image;
        int x, y;
        Rgba colour;
    } expected[] = {
        // At 16 the box covers pixels 4 to 11, with a black ring one pixel wide;
        // nothing is half covered along its straight sides. No dot at 16.
        {small, 3, 8, none}, {small, 4, 8, black}, {small, 5, 8, red}, {small, 10, 8, red},
        {small, 11, 8, black}, {small, 12, 8, none}, {small, 8, 8, red},
        // The bar is 4 pixels thick at 16 (rows 12 to 15), 8 at 32 (rows 24 to 31).
        {small, 0, 11, none}, {small, 0, 12, white}, {small, 15, 15, white},
        {large, 31, 23, none}, {large, 31, 24, white},
        // At 32: box 8 to 23, still a one-pixel edge; the dot in its middle.
        {large, 8, 16, black}, {large, 9, 16, red}, {large, 23, 16, black}, {large, 24, 16, none},
        {large, 15, 15, white}, {large, 16, 16, white},
    };
    for (const auto& e : expected)
        EXPECT_EQ(icon.PixelAt(e.image, e.x, e.y), e.colour) << e.image.width << ": " << e.x << "," << e.y;
    // The dot's rim is mixed: between red and white, fully opaque.
    int mixed = 0;
    for (int y = 12; y < 20; ++y)
        for (int x = 12; x < 20; ++x) {
            Rgba c = icon.PixelAt(large, x, y);
            if (c.r == 255 && c.g > 0 && c.g < 255) ++mixed;
            EXPECT_EQ(c.a, 255);
        }
    EXPECT_GE(mixed, 4);

    // An icon's round edge fades out over the transparent ground.
    ArtFile disc = Parse("kind ico\nkey . none\nkey r ff0000\nfigure 4 4 at 20\nellipse r 2 2 2 2\nend\n");
    ASSERT_EQ(disc.images.size(), 1u);
    const uint8_t corner = disc.PixelAt(disc.images[0], 2, 2).a;  // where the rim crosses
    EXPECT_GT(corner, 0);
    EXPECT_LT(corner, 255);
    EXPECT_EQ(disc.PixelAt(disc.images[0], 0, 0), none);
    EXPECT_EQ(disc.PixelAt(disc.images[0], 10, 10), red);

    // A bmp: the figures make strips of their own; every pixel is the ground or
    // wholly drawn, and mixed colours never land on the ground or a system grey.
    const char* strip =
        "kind bmp\ndepth 8\nkey . c0c0c0\nkey b 2060d0\nkey w fcfcfc\n"
        "image 4 4\n....\n.bb.\n.bb.\n....\n"
        "image 4 4\n....\n....\n....\n....\n"
        "figure 4 4 at 6x6 8\nellipse b 2 2 1.5 1.5 edge 1px w\nend\n"
        "figure 4 4 at 6x6 8\npoly w 0 0 4 0 0 4\nend\n";
    ArtFile bmp = Parse(strip);
    ASSERT_EQ(bmp.images.size(), 2u);
    ASSERT_EQ(bmp.strips.size(), 2u);
    EXPECT_EQ(bmp.strips[0].width, 6);
    EXPECT_EQ(bmp.strips[1].width, 8);
    for (const Strip& s : bmp.strips) {
        ASSERT_EQ(s.images.size(), 2u);
        EXPECT_FALSE(IsBlank(bmp, s.images[0]));
        EXPECT_EQ(bmp.PixelAt(s.images[1], 0, 0), (Rgba{0xfc, 0xfc, 0xfc, 255}));
        EXPECT_EQ(bmp.PixelAt(s.images[1], s.width - 1, s.height - 1), (Rgba{0xc0, 0xc0, 0xc0, 255}));
    }
    for (size_t i = 3; i < bmp.palette.size(); ++i) {
        const Rgba& c = bmp.palette[i].colour;
        EXPECT_EQ(c.a, 255);
        EXPECT_FALSE(c.r == c.g && c.g == c.b && (c.r == 0 || c.r == 0x80 || c.r == 0xc0 || c.r == 0xff));
    }
    std::vector<uint8_t> bytes;
    Kind kind;
    std::string error;
    ASSERT_TRUE(ConvertArt(strip, bytes, kind, error, 8)) << error;
    EXPECT_EQ(U32(bytes, 18), 16u);  // two images of 8
    EXPECT_EQ(U32(bytes, 22), 8u);
    ASSERT_TRUE(ConvertArt(strip, bytes, kind, error));
    EXPECT_EQ(U32(bytes, 18), 8u);   // the pixel maps
    EXPECT_FALSE(ConvertArt(strip, bytes, kind, error, 12));
    EXPECT_NE(error.find("no strip"), std::string::npos) << error;
}
