#include "fontbuild.h"

#include "dictionary/phonetic_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

using namespace fontbuild;

namespace {

const char kSourceFont[] = "/usr/share/fonts/truetype/charis/CharisSIL-Regular.ttf";
const char kDebianCopyright[] = "/usr/share/doc/fonts-sil-charis/copyright";

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ReadBytes(const std::string& path)
{
    std::string s = ReadText(path);
    return Bytes(s.begin(), s.end());
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Everything a test needs to look into one font file.
struct OpenFont {
    Sfnt sfnt;
    GlyphTable glyphs;
    std::map<uint32_t, uint16_t> cmap;
    std::vector<std::string> names; // glyph names
    std::vector<NameRecord> nameRecords;

    bool Load(const Bytes& file, std::string& error)
    {
        return ParseSfnt(file, sfnt, error) && glyphs.Load(sfnt, error) &&
               ReadUnicodeCmap(*sfnt.Find(Tag("cmap")), cmap, error) &&
               ReadGlyphNames(*sfnt.Find(Tag("post")), glyphs.Count(), names, error) &&
               ReadNames(*sfnt.Find(Tag("name")), nameRecords, error);
    }
    uint16_t U16(const char (&tag)[5], size_t off) const
    {
        uint16_t v = 0;
        EXPECT_TRUE(Get16(*sfnt.Find(Tag(tag)), off, v));
        return v;
    }
    uint16_t Advance(uint16_t glyph) const
    {
        uint16_t n = U16("hhea", 34);
        uint16_t adv = 0;
        Get16(*sfnt.Find(Tag("hmtx")), size_t(std::min<uint16_t>(glyph, uint16_t(n - 1))) * 4, adv);
        return adv;
    }
};

// A glyph described by names, so that glyphs of two fonts with different numbering can
// be compared: simple outlines by their bytes, composites by their components' names
// (recursively) and the rest of their bytes.
std::string Describe(const OpenFont& f, uint16_t glyph, int depth = 0)
{
    Bytes g = f.glyphs.Glyph(glyph);
    std::vector<uint16_t> components;
    EXPECT_TRUE(CompositeComponents(g, components));
    std::string d = f.names.at(glyph) + "/" + std::to_string(f.Advance(glyph)) + "{";
    if (components.empty()) {
        // Outline bytes, without the zero padding a glyph may carry at its end.
        while (!g.empty() && g.back() == 0)
            g.pop_back();
        d += std::to_string(Checksum(g.data(), g.size())) + ":" + std::to_string(g.size());
    } else {
        EXPECT_LT(depth, 8);
        for (uint16_t c : components)
            d += Describe(f, c, depth + 1) + ",";
    }
    return d + "}";
}

class FontBuild : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_source = ReadBytes(kSourceFont);
        PhoneticFontOptions options;
        options.symbols = PhoneticTableSymbols();
        s_ok = BuildPhoneticFont(s_source, options, s_built, s_error);
    }
    void SetUp() override
    {
        ASSERT_FALSE(s_source.empty()) << kSourceFont << " is missing (Debian package fonts-sil-charis)";
        ASSERT_TRUE(s_ok) << s_error;
        std::string error;
        ASSERT_TRUE(src.Load(s_source, error)) << error;
        ASSERT_TRUE(out.Load(s_built, error)) << error;
    }
    static Bytes s_source, s_built;
    static bool s_ok;
    static std::string s_error;
    OpenFont src, out;
};

Bytes FontBuild::s_source, FontBuild::s_built;
bool FontBuild::s_ok = false;
std::string FontBuild::s_error;

} // namespace

// If a code reached a different glyph, dictionaries would show wrong pronunciations.
TEST_F(FontBuild, EveryCodeShowsTheSourceGlyphOfItsSymbol)
{
    EXPECT_EQ(out.cmap.size(), 95u);
    EXPECT_EQ(out.cmap.begin()->first, 0x20u);
    EXPECT_EQ(out.cmap.rbegin()->first, 0x7Eu);
    for (unsigned code = 0x20; code <= 0x7E; ++code) {
        char32_t symbol = lex::FontSymbolForCode(static_cast<unsigned char>(code));
        ASSERT_TRUE(src.cmap.count(symbol)) << code;
        ASSERT_TRUE(out.cmap.count(code)) << code;
        EXPECT_EQ(Describe(out, out.cmap[code]), Describe(src, src.cmap[symbol]))
            << "code 0x" << std::hex << code << " U+" << uint32_t(symbol);
    }
    // Spot checks by glyph name: 'g' is IPA's single-storey g, '@' the schwa.
    EXPECT_EQ(out.names[out.cmap['g']], "uni0261");
    EXPECT_EQ(out.names[out.cmap['@']], "uni0259");
    EXPECT_EQ(out.names[out.cmap['T']], "theta");
    EXPECT_EQ(out.names[0], ".notdef");
}

// Composite glyphs must point at their components under the new numbering. The
// phonetic table reaches only a few composites, so fill all 95 codes with composites of
// the source font and compare every one of them.
TEST_F(FontBuild, CompositeGlyphsKeepTheirComponents)
{
    PhoneticFontOptions options;
    for (const auto& [cp, glyph] : src.cmap) {
        std::vector<uint16_t> components;
        CompositeComponents(src.glyphs.Glyph(glyph), components);
        if (!components.empty() && cp < 0x10000)
            options.symbols.push_back(cp);
        if (options.symbols.size() == 95)
            break;
    }
    ASSERT_EQ(options.symbols.size(), 95u);
    Bytes built;
    std::string error;
    ASSERT_TRUE(BuildPhoneticFont(s_source, options, built, error)) << error;
    OpenFont f;
    ASSERT_TRUE(f.Load(built, error)) << error;
    for (unsigned i = 0; i < 95; ++i)
        EXPECT_EQ(Describe(f, f.cmap[0x20 + i]), Describe(src, src.cmap[options.symbols[i]])) << i;
    EXPECT_TRUE(VerifySfntChecksums(built, error)) << error;
}

// Windows refuses or misreads fonts whose checksums or tables are off.
TEST_F(FontBuild, ChecksumsAndHeaderFieldsAreConsistent)
{
    std::string error;
    EXPECT_TRUE(VerifySfntChecksums(s_built, error)) << error;
    Bytes damaged = s_built;
    damaged[damaged.size() / 2] ^= 0x40;
    EXPECT_FALSE(VerifySfntChecksums(damaged, error));

    uint16_t numGlyphs = out.glyphs.Count();
    EXPECT_LT(numGlyphs, 120u); // the subset, not the whole source font
    EXPECT_EQ(out.U16("hhea", 34), numGlyphs);
    EXPECT_EQ(out.sfnt.Find(Tag("hmtx"))->size(), size_t(numGlyphs) * 4);
    EXPECT_EQ(out.U16("head", 50), 1u);
    EXPECT_EQ(out.U16("OS/2", 64), 0x20u);
    EXPECT_EQ(out.U16("OS/2", 66), 0x7Eu);
    // The head bounding box encloses every outline.
    auto s16 = [](uint16_t v) { return static_cast<int16_t>(v); };
    int16_t xMin = s16(out.U16("head", 36)), yMin = s16(out.U16("head", 38));
    int16_t xMax = s16(out.U16("head", 40)), yMax = s16(out.U16("head", 42));
    for (uint16_t g = 0; g < numGlyphs; ++g) {
        Bytes glyph = out.glyphs.Glyph(g);
        if (glyph.size() < 10)
            continue;
        uint16_t gxMin, gyMin, gxMax, gyMax;
        ASSERT_TRUE(Get16(glyph, 2, gxMin) && Get16(glyph, 4, gyMin) && Get16(glyph, 6, gxMax) &&
                    Get16(glyph, 8, gyMax));
        EXPECT_GE(s16(gxMin), xMin);
        EXPECT_GE(s16(gyMin), yMin);
        EXPECT_LE(s16(gxMax), xMax);
        EXPECT_LE(s16(gyMax), yMax);
    }
    // Tables that number glyphs the old way must not survive the renumbering.
    for (const char* t : {"GSUB", "GPOS", "GDEF", "kern", "hdmx", "LTSH", "VDMX", "Silf", "DSIG"}) {
        char tag[5] = {t[0], t[1], t[2], t[3], 0};
        EXPECT_EQ(out.sfnt.Find(Tag(tag)), nullptr) << t;
    }
    EXPECT_NE(out.sfnt.Find(Tag("fpgm")), nullptr) << "hinting is kept";
}

// The licence forbids the Reserved Font Names for a modified version, and asks that the
// copyright notice travel with it.
TEST_F(FontBuild, NamesAreDFPhoneticAndKeepTheNotice)
{
    std::vector<std::string> reserved =
        ReservedFontNames(WindowsName(src.nameRecords, 0) + "\n" + WindowsName(src.nameRecords, 13));
    ASSERT_EQ(reserved, (std::vector<std::string>{"Charis", "SIL"}));
    for (const NameRecord& r : out.nameRecords) {
        EXPECT_EQ(r.platform, 3u);
        std::string text = Lower(FromUtf16Be(r.raw));
        if (r.nameId == 1 || r.nameId == 3 || r.nameId == 4 || r.nameId == 6 || r.nameId == 16 ||
            r.nameId == 17) {
            EXPECT_EQ(text.find("charis"), std::string::npos) << r.nameId;
            EXPECT_EQ(text.find("sil"), std::string::npos) << r.nameId;
        }
    }
    EXPECT_EQ(WindowsName(out.nameRecords, 1), "DFPhonetic");
    EXPECT_EQ(WindowsName(out.nameRecords, 2), "Regular");
    EXPECT_EQ(WindowsName(out.nameRecords, 4), "DFPhonetic");
    EXPECT_EQ(WindowsName(out.nameRecords, 6), "DFPhonetic");
    std::string copyright = WindowsName(out.nameRecords, 0);
    EXPECT_EQ(copyright.rfind(WindowsName(src.nameRecords, 0), 0), 0u) << copyright;
    EXPECT_NE(copyright.find("remapped"), std::string::npos);
    EXPECT_NE(copyright.find("renamed DFPhonetic"), std::string::npos);
    EXPECT_EQ(WindowsName(out.nameRecords, 13), WindowsName(src.nameRecords, 13));
    EXPECT_EQ(WindowsName(out.nameRecords, 14), WindowsName(src.nameRecords, 14));
    EXPECT_TRUE(WindowsName(out.nameRecords, 7).empty()) << "the original's trademark does not apply";

    PhoneticFontOptions options;
    options.symbols = PhoneticTableSymbols();
    options.family = "Charis Phonetic";
    Bytes built;
    std::string error;
    EXPECT_FALSE(BuildPhoneticFont(s_source, options, built, error));
    EXPECT_NE(error.find("Reserved Font Name \"Charis\""), std::string::npos) << error;
}

TEST_F(FontBuild, MissingGlyphsAndBrokenFontsAreRefused)
{
    PhoneticFontOptions options;
    options.symbols = PhoneticTableSymbols();
    options.symbols['B' - 0x20] = 0xE000; // a private-use code point the source lacks
    Bytes built;
    std::string error;
    EXPECT_FALSE(BuildPhoneticFont(s_source, options, built, error));
    EXPECT_NE(error.find("U+E000 (code 0x42)"), std::string::npos) << error;
    EXPECT_TRUE(built.empty());

    options.symbols = PhoneticTableSymbols();
    options.symbols.pop_back();
    EXPECT_FALSE(BuildPhoneticFont(s_source, options, built, error));

    // Truncated files and other formats fail with a reason, never a crash.
    options.symbols = PhoneticTableSymbols();
    for (size_t size : {size_t(0), size_t(11), size_t(200), s_source.size() / 2}) {
        Bytes cut(s_source.begin(), s_source.begin() + size);
        error.clear();
        EXPECT_FALSE(BuildPhoneticFont(cut, options, built, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
    Bytes otf = s_source;
    otf[0] = 'O', otf[1] = 'T', otf[2] = 'T', otf[3] = 'O';
    EXPECT_FALSE(BuildPhoneticFont(otf, options, built, error));
    EXPECT_NE(error.find("CFF"), std::string::npos);
}

TEST(FontBuildNames, ReservedFontNamesAreReadFromTheNotice)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(ReservedFontNames("Copyright 2022 X, with Reserved Font Names \"Charis\" and \"SIL\"."),
              (V{"Charis", "SIL"}));
    EXPECT_EQ(ReservedFontNames("(c) 2010 Y, with Reserved Font Name \xE2\x80\x9CGentium\xE2\x80\x9D."),
              V{"Gentium"});
    // The licence's own definition of the term, and its later uses, name nothing.
    EXPECT_EQ(ReservedFontNames("\"Reserved Font Name\" refers to any names specified as such. "
                                "may use the Reserved Font Name(s) unless \"x\" permits"),
              V{});
    EXPECT_EQ(ReservedFontNames("No reserved names at all."), V{});
}

// The licence file that ships beside the font must carry the copyright notices and the
// full licence, and must open readably in Notepad.
TEST(FontBuildLicence, LicenceFileFromTheDebianCopyright)
{
    std::string copyright = ReadText(kDebianCopyright);
    ASSERT_FALSE(copyright.empty()) << kDebianCopyright;
    std::string text, error;
    ASSERT_TRUE(MakeLicenceText(copyright, "Charis SIL, Version 6.101 (CharisSIL-Regular.ttf)", "DFPhonetic",
                                "DFHGWPRN.TTF", text, error))
        << error;
    // Paragraphs are wrapped; look for phrases in the text with line breaks as blanks.
    auto flat = [](std::string t) {
        for (size_t i; (i = t.find("\r\n")) != std::string::npos;)
            t.replace(i, 2, " ");
        return t;
    };
    EXPECT_EQ(text.rfind("DFPhonetic - the phonetic font of Lexorin (DFHGWPRN.TTF)\r\n", 0), 0u);
    EXPECT_NE(flat(text).find("Modified Version of Charis SIL, Version 6.101 (CharisSIL-Regular.ttf)"),
              std::string::npos);
    EXPECT_NE(flat(text).find("Reserved Font Names \"Charis\" and \"SIL\" of the original"), std::string::npos)
        << text.substr(0, 800);
    EXPECT_NE(text.find("(c) Copyright 1989-1992, Bitstream Inc."), std::string::npos);
    EXPECT_NE(text.find("SIL OPEN FONT LICENSE Version 1.1 - 26 February 2007"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\nDISCLAIMER\r\n"), std::string::npos) << "'.' lines become blank lines";
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_EQ(text[i - 1], '\r') << "bare line feed at " << i;

    // A copyright file whose licence text stands in the Files paragraph itself.
    const std::string inline_ =
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n\n"
        "Files: *\nCopyright: 2020 Someone, with Reserved Font Name \"Foo\".\n"
        "License: OFL-1.1\n This Font Software is licensed under the SIL Open Font License, Version 1.1.\n .\n"
        " PREAMBLE\n";
    ASSERT_TRUE(MakeLicenceText(inline_, "Foo 1.0", "Bar", "BAR.TTF", text, error)) << error;
    EXPECT_NE(flat(text).find("Reserved Font Name \"Foo\" of"), std::string::npos) << text;
    EXPECT_NE(text.find("Version 1.1.\r\n\r\nPREAMBLE"), std::string::npos) << text;

    EXPECT_FALSE(MakeLicenceText("Files: *\nCopyright: x\nLicense: GPL-2\n", "x", "y", "z", text, error));
    EXPECT_FALSE(error.empty());
}
