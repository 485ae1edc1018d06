#include "dictionary/phonetic_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <vector>

using lex::CodesToIpa;
using lex::IpaToCodes;
using lex::kPhoneticTable;
using lex::kPhoneticTableSize;

namespace {

std::string Utf8(const std::u32string& s)
{
    std::string out;
    for (char32_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Codes(const std::u32string& ipa)
{
    std::string codes;
    size_t bad = 0;
    if (!IpaToCodes(ipa, codes, &bad))
        return "bad@" + std::to_string(bad);
    return codes;
}

} // namespace

// A code used twice would show two different symbols depending on who wrote the
// dictionary; a symbol used twice would make converted dictionaries ambiguous.
TEST(PhoneticTable, CodesAndSymbolsAreUniqueAndPrintable)
{
    std::set<unsigned char> codes;
    std::set<char32_t> symbols;
    for (size_t i = 0; i < kPhoneticTableSize; ++i) {
        unsigned char c = static_cast<unsigned char>(kPhoneticTable[i].code);
        EXPECT_GE(c, 0x20);
        EXPECT_LE(c, 0x7E);
        EXPECT_TRUE(codes.insert(c).second) << "code used twice: " << c;
        EXPECT_TRUE(symbols.insert(kPhoneticTable[i].symbol).second)
            << "symbol used twice: U+" << std::hex << kPhoneticTable[i].symbol;
    }
    EXPECT_EQ(codes.count('/'), 0u) << "'/' separates the dictionary fields";
    EXPECT_EQ(codes.count('&'), 0u) << "DrawText would take '&' as a mnemonic prefix";

    // Over the whole font range, no two codes draw the same thing either.
    std::set<char32_t> drawn;
    for (unsigned c = 0x20; c <= 0x7E; ++c)
        EXPECT_TRUE(drawn.insert(lex::FontSymbolForCode(static_cast<unsigned char>(c))).second) << c;
    EXPECT_EQ(lex::FontSymbolForCode(0x1F), 0u);
    EXPECT_EQ(lex::FontSymbolForCode(0x7F), 0u);
    EXPECT_EQ(lex::FontSymbolForCode(0xA1), 0u);
}

TEST(PhoneticTable, EverySymbolRoundTrips)
{
    std::u32string all;
    std::string allCodes;
    for (size_t i = 0; i < kPhoneticTableSize; ++i) {
        const lex::PhoneticCode& p = kPhoneticTable[i];
        std::string codes;
        ASSERT_TRUE(IpaToCodes(std::u32string(1, p.symbol), codes, nullptr)) << p.code;
        EXPECT_EQ(codes, std::string(1, p.code));
        EXPECT_EQ(CodesToIpa(codes), std::u32string(1, p.symbol));
        all += p.symbol;
        allCodes += p.code;
    }
    std::string codes;
    ASSERT_TRUE(IpaToCodes(all, codes, nullptr));
    EXPECT_EQ(codes, allCodes);
    EXPECT_EQ(CodesToIpa(codes), all);
    std::string viaUtf8;
    ASSERT_TRUE(lex::IpaUtf8ToCodes(Utf8(all), viaUtf8, nullptr));
    EXPECT_EQ(viaUtf8, allCodes);
    EXPECT_EQ(lex::CodesToIpaUtf8(allCodes), Utf8(all));
}

TEST(PhoneticTable, CommonWordsAndStandIns)
{
    // Codes() gives the codes, or "bad@N" for an unmappable character at index N.
    const std::u32string apple = U"ˈæpl", water = U"ˈwɔːtə(r)", think = U"θɪŋk",
                         understand = U"ˌʌndəˈstænd";
    EXPECT_EQ(Codes(apple), "'{pl");
    EXPECT_EQ(Codes(water), "'wO:t@(r)");
    EXPECT_EQ(Codes(think), "TINk");
    EXPECT_EQ(Codes(understand), "%Vnd@'st{nd");

    // Latin g and IPA ɡ are both the code 'g', which shows ɡ.
    const std::u32string goIpa = U"ɡəʊ";
    const std::u32string goLatin = U"gəʊ";
    EXPECT_EQ(Codes(goIpa), "g@U");
    EXPECT_EQ(Codes(goLatin), "g@U");
    EXPECT_TRUE(CodesToIpa("g@U") == goIpa);

    // Typed stand-ins: ASCII colon and apostrophe, Greek and mathematical look-alikes.
    const std::u32string bed = U"'bεd:";
    const std::u32string shortAFa = U"∫ɔ:t ә fα";
    EXPECT_EQ(Codes(bed), "'bEd:");
    EXPECT_EQ(Codes(shortAFa), "SO:t @ fA");
}

TEST(PhoneticTable, NoInputProducesSeparatorOrMnemonicPrefix)
{
    for (char32_t c = 0; c < 0x30000; ++c) {
        std::string codes;
        if (IpaToCodes(std::u32string(1, c), codes, nullptr)) {
            ASSERT_EQ(codes.size(), 1u);
            EXPECT_NE(codes[0], '/') << std::hex << c;
            EXPECT_NE(codes[0], '&') << std::hex << c;
        }
    }
}

TEST(PhoneticTable, UnmappableInputIsReportedWithItsIndex)
{
    // The separator itself, '&', an unused capital, a Chinese character and a
    // precomposed nasal vowel have no code.
    const std::u32string withSeparator = U"ˈæp/l";
    const std::u32string withCapital = U"θɪŋkB";
    const std::u32string withChinese = U"ə苹";
    const std::u32string withPrecomposed = U"\u02C8kw\u00E6s\u0252\u0303\u00E3";
    EXPECT_EQ(Codes(withSeparator), "bad@3");
    EXPECT_EQ(Codes(U"&"), "bad@0");
    EXPECT_EQ(Codes(withCapital), "bad@4");
    EXPECT_EQ(Codes(withChinese), "bad@1");
    EXPECT_EQ(Codes(withPrecomposed), "bad@7");
    // What was converted before the bad character is kept.
    std::string codes;
    size_t bad = 99;
    EXPECT_FALSE(IpaToCodes(withSeparator, codes, &bad));
    EXPECT_EQ(codes, "'{p");

    // UTF-8: the index counts characters, and broken sequences are unmappable too.
    EXPECT_FALSE(lex::IpaUtf8ToCodes("\xCB\x88\xC3\xA6p/l", codes, &bad));
    EXPECT_EQ(bad, 3u);
    EXPECT_FALSE(lex::IpaUtf8ToCodes("ab\xC3", codes, &bad)); // truncated
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(lex::IpaUtf8ToCodes("a\xC0\xAF", codes, &bad)); // overlong '/'
    EXPECT_EQ(bad, 1u);
    EXPECT_FALSE(lex::IpaUtf8ToCodes("\xED\xA0\x80", codes, &bad)); // surrogate
    EXPECT_EQ(bad, 0u);
    EXPECT_FALSE(lex::IpaUtf8ToCodes("a\x80", codes, &bad)); // stray continuation
    EXPECT_EQ(bad, 1u);

    // Bytes the font does not map come back as replacement characters.
    EXPECT_TRUE(CodesToIpa(std::string("a\x0A\xB0", 3)) == U"a\uFFFD\uFFFD");
}

// The documented table is what dictionary authors read: it must list exactly the
// table's codes and symbols, and each row's example must convert to the codes shown.
TEST(PhoneticTable, DocumentationMatchesTheTable)
{
    std::ifstream in(std::string(LEX_SOURCE_DIR) + "/docs/phonetic-font.md", std::ios::binary);
    ASSERT_TRUE(in.good());
    auto trim = [](std::string s) {
        size_t b = s.find_first_not_of(' ');
        size_t e = s.find_last_not_of(' ');
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    auto unquote = [](const std::string& s) {
        return s.size() >= 2 && s.front() == '`' && s.back() == '`' ? s.substr(1, s.size() - 2) : s;
    };
    std::set<char> seen;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("| 0x", 0) != 0)
            continue;
        std::vector<std::string> cells;
        std::stringstream row(line.substr(1));
        std::string cell;
        while (std::getline(row, cell, '|'))
            cells.push_back(trim(cell));
        ASSERT_GE(cells.size(), 6u) << line;
        char code = static_cast<char>(std::stoi(cells[0].substr(2), nullptr, 16));
        std::string typed = cells[1] == "space" ? " " : unquote(cells[1]);
        EXPECT_EQ(typed, std::string(1, code)) << line;
        std::string ipa = cells[2] == "space" ? " " : cells[2];
        const std::string dottedCircle = "\xE2\x97\x8C";
        if (ipa.rfind(dottedCircle, 0) == 0)
            ipa.erase(0, dottedCircle.size());
        EXPECT_EQ(ipa, lex::CodesToIpaUtf8(std::string(1, code))) << line;
        EXPECT_TRUE(seen.insert(code).second) << "listed twice: " << line;
        bool inTable = false;
        for (size_t i = 0; i < kPhoneticTableSize; ++i)
            inTable = inTable || kPhoneticTable[i].code == code;
        EXPECT_TRUE(inTable) << line;

        // Example "word /ipa/" or "word [ipa]" and its codes.
        const std::string& ex = cells[4];
        std::string exIpa;
        size_t s1 = ex.find('/');
        if (s1 != std::string::npos)
            exIpa = ex.substr(s1 + 1, ex.rfind('/') - s1 - 1);
        else if (ex.find('[') != std::string::npos)
            exIpa = ex.substr(ex.find('['), ex.rfind(']') - ex.find('[') + 1);
        std::string exCodes = unquote(cells[5]);
        ASSERT_FALSE(exIpa.empty()) << line;
        std::string converted;
        EXPECT_TRUE(lex::IpaUtf8ToCodes(exIpa, converted, nullptr)) << line;
        EXPECT_EQ(converted, exCodes) << line;
        EXPECT_NE(exCodes.find(code), std::string::npos) << "example does not use its code: " << line;
    }
    EXPECT_EQ(seen.size(), kPhoneticTableSize);
}
