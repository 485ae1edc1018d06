// kmtool turns users' word lists into dictionaries. A fault here shows up as wrong
// or missing words on the bar, mojibake, or entries quietly lost on the way.
// Narrow literals in this file are code page 936 (the build's execution charset);
// u8"" literals are UTF-8, U"" literals Unicode.
#include "dictconv/cmudict.h"
#include "dictconv/kmtool.h"
#include "dictconv/platform.h"
#include "dictionary/text_codec.h"
#include "dictionary/word_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

using namespace kmtool;

namespace {

std::string ToKm(const std::string& bytes, Report& report, Format format = Format::Auto, Stats* stats = nullptr)
{
    ToKmOptions o;
    o.format = format;
    return EncodeKm(ParseWordList(bytes, "list", o, report), "list", o, report, stats);
}

std::string AllMessages(const Report& r)
{
    std::string s;
    for (const std::string& m : r.Messages())
        s += m + "\n";
    return s;
}

void ExpectIpa(const char* arpabet, const std::u32string& expected)
{
    std::u32string ipa;
    std::string error;
    EXPECT_TRUE(ArpabetToIpa(arpabet, ipa, &error)) << error;
    EXPECT_TRUE(ipa == expected) << arpabet << " gives " << EncodeUtf8(ipa) << ", expected " << EncodeUtf8(expected);
}

std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "kmtool_" + name;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    ASSERT_TRUE(WriteFileBytes(path, bytes));
}

int RunTool(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr)
{
    args.insert(args.begin(), "kmtool");
    std::ostringstream o, e;
    int code = Run(args, o, e);
    if (out)
        *out = o.str();
    if (err)
        *err = e.str();
    return code;
}

} // namespace

TEST(KmtoolEncoding, DetectsByteOrderMarksUtf8AndCodePage936)
{
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF" "abc"), Encoding::Utf8Bom);
    EXPECT_EQ(DetectEncoding(std::string("\xFF\xFE" "a\0", 4)), Encoding::Utf16Le);
    EXPECT_EQ(DetectEncoding(std::string("\xFE\xFF\0a", 4)), Encoding::Utf16Be);
    EXPECT_EQ(DetectEncoding(u8"apple\tn. 苹果"), Encoding::Utf8);
    EXPECT_EQ(DetectEncoding("plain ascii"), Encoding::Utf8);
    EXPECT_EQ(DetectEncoding("apple\tn. 苹果"), Encoding::Cp936); // GBK bytes are not valid UTF-8
    EXPECT_EQ(DetectEncoding(""), Encoding::Utf8);
}

TEST(KmtoolEncoding, StrayBadByteInUtf8TextKeepsItUtf8)
{
    // Read as code page 936, every Chinese character of the file would turn into
    // other, valid-looking characters; as UTF-8 only the bad byte is reported.
    const std::string text = std::string(u8"apple\tn. 苹果\nbanana\tn. 香蕉\ngrape\tn. 葡萄\n") + "bad\t\xFF\n";
    EXPECT_EQ(DetectEncoding(text), Encoding::Utf8);
    Report r;
    ToKm(text, r, Format::Tsv);
    ASSERT_EQ(r.Errors(), 1);
    EXPECT_EQ(r.Messages()[0].rfind("list:4: error: not valid UTF-8", 0), 0u) << AllMessages(r);
    // Real code page 936 text has far more invalid sequences than accidental UTF-8 ones.
    EXPECT_EQ(DetectEncoding("apple\tn. 苹果\nbanana\tn. 香蕉\ngrape\tn. 葡萄\n"), Encoding::Cp936);
}

TEST(KmtoolEncoding, ShortCodePage936TextThatIsAlsoValidUtf8)
{
    // "墨水" in code page 936 is C4 AB CB AE, valid UTF-8 for "īˮ": neither Chinese
    // nor IPA nor accented Latin, so the Chinese reading wins.
    EXPECT_EQ(DetectEncoding("ink\tn. 墨水\n"), Encoding::Cp936);
    const std::string ipaOnly = u8"ok\tˈoʊˈkeɪ\n";
    EXPECT_EQ(DetectEncoding(ipaOnly), Encoding::Utf8);
    EXPECT_EQ(DetectEncoding(u8"café\n"), Encoding::Utf8); // as code page 936 it would be "caf娩"
    Report r;
    ToKmOptions o;
    o.encodingGiven = true;
    o.encoding = Encoding::Utf8;
    // Forced to UTF-8, the same bytes are not taken as Chinese.
    const auto entries = ParseWordList("ink\tn. 墨水\n", "list", o, r);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].meaning, U"n. \u012B\u02EE");
    Encoding e;
    EXPECT_TRUE(ParseEncodingName("GBK", &e));
    EXPECT_EQ(e, Encoding::Cp936);
    EXPECT_TRUE(ParseEncodingName("utf-16be", &e));
    EXPECT_EQ(e, Encoding::Utf16Be);
    EXPECT_FALSE(ParseEncodingName("latin1", &e));
}

TEST(KmtoolEncoding, EveryEncodingDecodesToTheSameLines)
{
    const std::u32string expected = U"apple\tn. 苹果";
    // UTF-16 LE and BE of "苹果" are 82 5F / 9C 67 (U+82F9 U+679C).
    std::string le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (char32_t c : expected + U"\r\nz") {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    const std::string inputs[] = {u8"apple\tn. 苹果\r\nz", "\xEF\xBB\xBF" + std::string(u8"apple\tn. 苹果\nz"),
                                  "apple\tn. 苹果\rz", le, be};
    for (const std::string& in : inputs) {
        const auto lines = DecodeLines(in, DetectEncoding(in));
        ASSERT_EQ(lines.size(), 2u) << EncodingName(DetectEncoding(in));
        EXPECT_EQ(lines[0].text, expected) << EncodingName(DetectEncoding(in));
        EXPECT_EQ(lines[1].text, U"z");
        EXPECT_EQ(lines[1].number, 2);
    }
}

TEST(KmtoolEncoding, SurrogatePairsAndBrokenBytesAreKeptForTheReport)
{
    // U+1F600 as a UTF-16 LE surrogate pair, then an unpaired high surrogate.
    const std::string le("\xFF\xFE\x3D\xD8\x00\xDE\x3D\xD8", 8);
    const auto lines = DecodeLines(le, Encoding::Utf16Le);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].text.size(), 2u);
    EXPECT_EQ(lines[0].text[0], U'\U0001F600');
    EXPECT_TRUE(IsUndecodable(lines[0].text[1]));

    const std::u32string cp = DecodeCp936("a\xFF" "b");
    ASSERT_EQ(cp.size(), 3u);
    EXPECT_TRUE(IsUndecodable(cp[1]));
    EXPECT_EQ(cp[2], U'b');
}

TEST(KmtoolEncoding, CodePage936RoundTripAndRefusal)
{
    std::string out;
    size_t bad = 99;
    ASSERT_TRUE(EncodeCp936(U"n. 苹果；€", out, &bad));
    EXPECT_EQ(out, "n. 苹果；€");
    EXPECT_EQ(DecodeCp936(out), U"n. 苹果；€");
    EXPECT_FALSE(EncodeCp936(U"ab\u0E01c", out, &bad)); // Thai has no code in 936
    EXPECT_EQ(bad, 2u);
}

TEST(KmtoolParse, CsvQuotedFields)
{
    Report r;
    const std::string km = ToKm(u8"\"look after\", \"lʊk ˈæftər\" ,\"v. 照顾, 照料\"\n"
                                u8"say,seɪ,\"v. 说 \"\"你好\"\"\"\n"
                                u8"plain,,n. 无音标\n",
                                r, Format::Csv);
    EXPECT_EQ(r.Errors(), 0) << AllMessages(r);
    EXPECT_EQ(km, "look after/lUk '{ft@r/v. 照顾, 照料\r\n"
                  "say/seI/v. 说 \"你好\"\r\n"
                  "plain//n. 无音标\r\n");
}

TEST(KmtoolParse, CsvErrorsNameTheLine)
{
    Report r;
    const std::string km = ToKm("good,,n. 好\n\"open,,n. x\n\"a\"b,,n. y\n", r, Format::Csv);
    EXPECT_EQ(r.Errors(), 2);
    ASSERT_EQ(r.Messages().size(), 2u);
    EXPECT_EQ(r.Messages()[0].rfind("list:2: error: the quoted field", 0), 0u) << r.Messages()[0];
    EXPECT_EQ(r.Messages()[1].rfind("list:3: error: unexpected text after the closing quote", 0), 0u);
    EXPECT_EQ(km, "good//n. 好\r\n");
}

TEST(KmtoolParse, ThreeFormatsGiveTheSameDictionary)
{
    const std::string expected = "apple/'{pl/n. 苹果\r\nbook/bUk/n. 书；v. 预订\r\nword-only//\r\n";
    const std::string tsv = u8"# word list\napple\tˈæpl\tn. 苹果\n\nbook\t/bʊk/\tn. 书；v. 预订\t\t\nword-only\n";
    const std::string csv = u8"apple,ˈæpl,n. 苹果\nbook,[bʊk],n. 书；v. 预订\nword-only\n";
    const std::string lines = u8"apple [ˈæpl] n. 苹果\n  book  [ bʊk ]  n. 书；v. 预订\nword-only []\n";
    for (const auto& in : {std::make_pair(tsv, Format::Tsv), std::make_pair(csv, Format::Csv),
                           std::make_pair(lines, Format::Lines)}) {
        Report r;
        EXPECT_EQ(ToKm(in.first, r, in.second), expected) << FormatName(in.second);
        EXPECT_EQ(r.Errors(), 0) << AllMessages(r);
        Report guessed;
        EXPECT_EQ(ToKm(in.first, guessed), expected) << "guessed " << FormatName(in.second);
    }
}

TEST(KmtoolParse, TwoColumnsAreWordAndMeaningAndHeaderCanBeSkipped)
{
    Report r;
    ToKmOptions o;
    o.skipHeader = true;
    const auto entries = ParseWordList(u8"word\tmeaning\nbook\tn. 书\n", "list", o, r);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].word, U"book");
    EXPECT_EQ(entries[0].phonetic, U"");
    EXPECT_EQ(entries[0].meaning, U"n. 书");
    EXPECT_EQ(entries[0].line, 2);
}

TEST(KmtoolReject, EveryBadLineIsReportedWithItsNumberAndTheRestKept)
{
    Report r;
    Stats stats;
    const std::string km = ToKm(u8"ok\tˈoʊˈkeɪ\tadj. 好的\n"         // 1
                                u8"and/or\t\tconj. 和或\n"           // 2 '/' in the word
                                u8"a\tə\tart. 一；每/个\n"             // 3 '/' in the meaning
                                u8"ship\tʃɪp\tn. 船 \u0E01\n"        // 4 no code page 936 code
                                u8"rue\tʁu\tn. 街\n"                 // 5 not in the font
                                "bad\t\tn. \xFF\n"                   // 6 not UTF-8
                                u8"\tæ\tn. 无词\n"                   // 7 empty word
                                u8"a\tb\tc\td\n"                    // 8 too many columns
                                u8"fine\t\tadj. 好\n",
                                r, Format::Tsv, &stats);
    EXPECT_EQ(km, "ok/'oU'keI/adj. 好的\r\nfine//adj. 好\r\n");
    EXPECT_EQ(stats.entries, 2);
    const std::vector<std::string> messages = r.Messages();
    ASSERT_EQ(messages.size(), 7u) << AllMessages(r);
    EXPECT_EQ(r.Errors(), 7);
    for (int line = 2; line <= 8; ++line)
        EXPECT_EQ(messages[line - 2].rfind("list:" + std::to_string(line) + ": error: ", 0), 0u) << AllMessages(r);
}

TEST(KmtoolReject, BadBytesInCodePage936Text)
{
    Report r;
    const std::string km = ToKm("good\t\tn. 好\nbad\t\tn. \xFF\n", r, Format::Tsv);
    EXPECT_EQ(km, "good//n. 好\r\n");
    ASSERT_EQ(r.Errors(), 1);
    EXPECT_EQ(r.Messages()[0], "list:2: error: not valid code page 936: undecodable 0xFF at character 9");
}

TEST(KmtoolReject, MessagesSayWhatIsWrong)
{
    Report r;
    ToKm(u8"and/or\t\tconj. 和或\nship\tʃɪp\tn. 船\u0E01\nrue\tʁu\tn. 街\n", r, Format::Tsv);
    ASSERT_EQ(r.Messages().size(), 3u) << AllMessages(r);
    EXPECT_NE(r.Messages()[0].find("'/' in the word"), std::string::npos);
    EXPECT_NE(r.Messages()[1].find("U+0E01"), std::string::npos);
    EXPECT_NE(r.Messages()[1].find("code page 936"), std::string::npos);
    EXPECT_NE(r.Messages()[2].find("U+0281"), std::string::npos);
    EXPECT_NE(r.Messages()[2].find("DFPhonetic"), std::string::npos);
    // Messages are UTF-8 throughout, quoted input and advice alike.
    for (const std::string& m : r.Messages()) {
        const std::u32string text = DecodeUtf8(m);
        EXPECT_TRUE(std::none_of(text.begin(), text.end(), IsUndecodable)) << m;
    }
    const std::string advice = u8"'、'";
    EXPECT_NE(r.Messages()[0].find(advice), std::string::npos) << r.Messages()[0];
}

TEST(KmtoolReject, LineWithoutBracketsInLinesFormat)
{
    Report r;
    ToKm(u8"apple n. 苹果\napple [ˈæpl n. 苹果\n", r, Format::Lines);
    ASSERT_EQ(r.Errors(), 2);
    EXPECT_NE(r.Messages()[0].find("list:1: error: expected 'word [phonetic] meaning'"), std::string::npos);
    EXPECT_NE(r.Messages()[1].find("list:2: error: the '[' at character 7 has no closing ']'"), std::string::npos);
}

TEST(KmtoolStats, OverLongLinesAreWarnedAboutFromByte2047)
{
    // word "w" + '/' + '/' + meaning: 3 bytes of overhead.
    Report r;
    Stats s;
    const std::string list = "w\t\t" + std::string(2043, 'm') + "\nv\t\t" + std::string(2044, 'm') + "\nx\t\t\n";
    ToKm(list, r, Format::Tsv, &s);
    EXPECT_EQ(r.Errors(), 0);
    ASSERT_EQ(r.Warnings(), 1) << AllMessages(r);
    EXPECT_EQ(r.Messages()[0].rfind("list:2: warning: the entry is 2047 bytes", 0), 0u);
    EXPECT_EQ(s.entries, 3);
    EXPECT_EQ(s.emptyPhonetic, 3);
    EXPECT_EQ(s.emptyMeaning, 1);
    EXPECT_EQ(s.longestBytes, 2047u);
    EXPECT_EQ(s.longestLine, 2);
    EXPECT_EQ(s.overLong, 1);
}

TEST(KmtoolToText, DictionaryBackToUnicodeIpa)
{
    Report r;
    Stats s;
    const std::string km = "apple/'{pl/n. 苹果\r\n\r\nthink/TIN k/v. 想\nword\rx/y/z/extra\r\n";
    const auto entries = DecodeKm(km, "d.KM", r, &s);
    ASSERT_EQ(entries.size(), 4u);
    // (Expected texts with IPA live in variables: GoogleTest would turn the literals
    // themselves into code page 936 strings, which cannot hold IPA.)
    const std::string tsv = u8"apple\tˈæpl\tn. 苹果\nthink\tθɪŋ k\tv. 想\nword\t\t\nx\ty\tz\n";
    const std::string line = u8"apple [ˈæpl] n. 苹果\n";
    EXPECT_EQ(FormatEntries(entries, Format::Tsv), tsv);
    EXPECT_EQ(FormatEntries({entries[0]}, Format::Lines), line);
    EXPECT_EQ(entries[1].line, 3);
    EXPECT_EQ(s.entries, 4);
    EXPECT_EQ(s.emptyMeaning, 1);
    ASSERT_EQ(r.Warnings(), 1); // the text after the third '/'
    EXPECT_EQ(r.Messages()[0].rfind("d.KM:5: warning", 0), 0u) << AllMessages(r);

    Report bad;
    EXPECT_TRUE(DecodeKm("ok/a/b\nw/\x80\x81/m\n\xFF/x/y\n", "d.KM", bad, nullptr).size() == 1);
    EXPECT_EQ(bad.Errors(), 2) << AllMessages(bad);
}

TEST(KmtoolToText, IpaSurvivesTheRoundTrip)
{
    const std::string tsv = u8"vision\tˈvɪʒn\tn. 视力\nthink\tθɪŋk\tv. 想\njudge\tdʒʌdʒ\tn. 法官\n"
                            u8"bird\tbɜːrd\tn. 鸟\nbutter\tˈbʌtɚ\tn. 黄油\nunder\tˌʌndərˈ\tprep. 在…下\n";
    Report r;
    const std::string km = ToKm(tsv, r, Format::Tsv);
    ASSERT_EQ(r.Errors(), 0) << AllMessages(r);
    EXPECT_EQ(FormatEntries(DecodeKm(km, "d.KM", r, nullptr), Format::Tsv), tsv);
}

TEST(KmtoolCmuDict, ArpabetToGeneralAmericanIpa)
{
    ExpectIpa("AE1 P AH0 L", U"ˈæpl");                 // syllabic l after a consonant
    ExpectIpa("OW1 P AH0 N", U"ˈoʊpən");               // but no syllabic n after p
    ExpectIpa("B AH1 T AH0 N Z", U"ˈbʌtnz");           // inflected
    ExpectIpa("IH0 K S P L EY1 N", U"ɪkˈspleɪn");      // longest legal onset
    ExpectIpa("EH1 K S T R AH0", U"ˈekstrə");
    ExpectIpa("K ER0 EH1 K T", U"kəˈrekt");            // r starts the stressed syllable
    ExpectIpa("W AO1 T ER0", U"ˈwɔːtər");
    ExpectIpa("B ER1 D", U"bɜːrd");                     // one syllable: no stress mark
    ExpectIpa("HH IY1 R", U"hɪr");                      // tense vowel laxed before r
    ExpectIpa("AH2 N D ER0 S T AE1 N D", U"ˌʌndərˈstænd");
    ExpectIpa("K AA1 R P AH0 T", U"ˈkɑːrpət");
    ExpectIpa("HH AE1 P IY0", U"ˈhæpi");
    // Only the first primary stress is marked, and a secondary one only before it:
    // compounds keep their syllables whole.
    ExpectIpa("K L AE1 S M EY2 T", U"ˈklæsmeɪt");
    ExpectIpa("B EY1 S B AO1 L", U"ˈbeɪsbɔːl");
    ExpectIpa("TH ER1 T IY2", U"ˈθɜːrti");
    ExpectIpa("IH0 L EH2 K T R IH1 S AH0 T IY0", U"ɪlekˈtrɪsəti");
    std::u32string ipa;
    std::string error;
    EXPECT_FALSE(ArpabetToIpa("AE1 QQ", ipa, &error));
    EXPECT_NE(error.find("QQ"), std::string::npos);
    EXPECT_FALSE(ArpabetToIpa("B1", ipa, &error)); // a consonant with a stress digit
}

TEST(KmtoolCmuDict, FillsTheIpaColumnAndReportsUnknownWords)
{
    Report r;
    CmuDict dict;
    ASSERT_TRUE(dict.Load(";;; comment\nLIVE  L AY1 V\nLIVE(1)  L IH1 V\nLOOK  L UH1 K\nAFTER  AE1 F T ER0\n",
                          "cmu", r));
    std::map<std::string, int> choices;
    ASSERT_TRUE(ParseVariantChoices("# which\nlive\t1\n", "v", choices, r));
    const std::string out = FillIpaFromCmuDict(u8"# header\nlive\told\tv. 居住\nLook after\tv. 照顾\nxyzzy\tn. ?\n",
                                               "list.tsv", dict, choices, r);
    const std::string expected = u8"# header\nlive\tlɪv\tv. 居住\nLook after\tlʊk ˈæftər\tv. 照顾\n";
    EXPECT_EQ(out, expected);
    ASSERT_EQ(r.Errors(), 1);
    EXPECT_EQ(r.Messages()[0].rfind("list.tsv:4: error: \"xyzzy\" is not in the pronouncing dictionary", 0), 0u);

    Report r2;
    FillIpaFromCmuDict("live\tv. x\n", "l", dict, {{"LIVE", 5}}, r2);
    EXPECT_EQ(r2.Errors(), 1); // no such alternative
}

TEST(KmtoolText, TipsFileToCodePage936)
{
    Report r;
    EXPECT_EQ(TextToCp936(u8"; 注释\n\n第一条。\r\n第二条", "t", {}, r), "; 注释\r\n\r\n第一条。\r\n第二条\r\n");
    EXPECT_EQ(r.Errors(), 0);
    TextToCp936(u8"ok\nbad \u0E01\n", "t", {}, r);
    ASSERT_EQ(r.Errors(), 1);
    EXPECT_EQ(r.Messages()[0].rfind("t:2: error: U+0E01", 0), 0u);
}

TEST(KmtoolRun, WritesNothingWhenLinesAreRejectedUnlessAskedTo)
{
    const std::string in = TempPath("list.csv");
    const std::string out = TempPath("list.KM");
    std::remove(out.c_str());
    WriteFile(in, u8"apple,ˈæpl,n. 苹果\nbad/word,,x\n");
    std::string err, bytes;
    EXPECT_EQ(RunTool({in}, nullptr, &err), kExitRejected);
    EXPECT_NE(err.find(in + ":2: error"), std::string::npos) << err;
    EXPECT_FALSE(ReadFileBytes(out, bytes)); // default output name, not written

    EXPECT_EQ(RunTool({"--keep-going", in}), kExitRejected);
    ASSERT_TRUE(ReadFileBytes(out, bytes));
    EXPECT_EQ(bytes, "apple/'{pl/n. 苹果\r\n");

    WriteFile(in, u8"apple,ˈæpl,n. 苹果\n");
    std::string stats;
    EXPECT_EQ(RunTool({in, "-o", out, "--stats"}, &stats), kExitOk);
    EXPECT_NE(stats.find("entries: 1\n"), std::string::npos) << stats;

    std::string text;
    EXPECT_EQ(RunTool({"--to-text", out}, &text), kExitOk);
    const std::string expected = u8"apple\tˈæpl\tn. 苹果\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(RunTool({"--stats", out}, &stats), kExitOk);
    EXPECT_NE(stats.find("longest line: 18 bytes (line 1)"), std::string::npos) << stats;
    std::remove(in.c_str());
    std::remove(out.c_str());
}

TEST(KmtoolRun, CommandLineMistakesFailWithoutTouchingFiles)
{
    std::string err;
    EXPECT_EQ(RunTool({}, nullptr, &err), kExitFailure);
    EXPECT_EQ(RunTool({"--format", "xml", "a.tsv"}, nullptr, &err), kExitFailure);
    EXPECT_NE(err.find("unknown format"), std::string::npos);
    EXPECT_EQ(RunTool({TempPath("missing.tsv")}, nullptr, &err), kExitFailure);
    EXPECT_NE(err.find("cannot read"), std::string::npos);
    EXPECT_EQ(RunTool({"--text-to-936", "a.txt"}, nullptr, &err), kExitFailure);
    const std::string km = TempPath("d.KM");
    WriteFile(km, "a/b/c\r\n");
    EXPECT_EQ(RunTool({km}, nullptr, &err), kExitFailure); // already a dictionary
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(km, bytes));
    EXPECT_EQ(bytes, "a/b/c\r\n");
    std::remove(km.c_str());
}

TEST(KmtoolDocs, ExamplesOfTheGuideConvert)
{
    // docs/kmtool.md promises that its TSV and CSV examples convert as shown.
    std::string guide;
    ASSERT_TRUE(ReadFileBytes(std::string(LEX_SOURCE_DIR) + "/docs/kmtool.md", guide));
    const auto block = [&](const std::string& fence) {
        const size_t start = guide.find("```" + fence + "\n");
        const size_t end = guide.find("```\n", start + 4);
        return start == std::string::npos || end == std::string::npos
                   ? std::string()
                   : guide.substr(start + fence.size() + 4, end - start - fence.size() - 4);
    };
    Report r;
    Stats tsvStats;
    ToKm(block("tsv"), r, Format::Tsv, &tsvStats);
    EXPECT_EQ(tsvStats.entries, 4);
    EXPECT_EQ(tsvStats.emptyPhonetic, 1);

    ToKmOptions o;
    o.format = Format::Csv;
    o.skipHeader = true;
    const std::string km = EncodeKm(ParseWordList(block("csv"), "fruit.csv", o, r), "fruit.csv", o, r, nullptr);
    EXPECT_EQ(km, "apple/'{pl/n. 苹果\r\n"
                  "orange/'O:rIndZ/n. 橙子, 橘子 adj. 橙色的\r\n"
                  "kiwi fruit/'ki:wi fru:t/n. 猕猴桃（又叫 \"奇异果\"）\r\n");
    EXPECT_EQ(r.Errors(), 0) << AllMessages(r);
}

TEST(KmtoolRun, Utf16ListFromASpreadsheetBecomesTheSameDictionary)
{
    // Excel's "Unicode text": UTF-16 LE with a byte-order mark, tab-separated, CR LF.
    std::string utf16("\xFF\xFE", 2);
    for (char32_t c : std::u32string(U"word\tphonetic\tmeaning\r\nbook\tbʊk\tn. 书\r\n")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const std::string in = TempPath("sheet.txt");
    const std::string out = TempPath("sheet.KM");
    WriteFile(in, utf16);
    std::string err, bytes;
    EXPECT_EQ(RunTool({"--skip-header", in, "-o", out}, nullptr, &err), kExitOk) << err;
    EXPECT_NE(err.find("read as UTF-16 LE"), std::string::npos) << err;
    ASSERT_TRUE(ReadFileBytes(out, bytes));
    EXPECT_EQ(bytes, "book/bUk/n. 书\r\n");
    std::remove(in.c_str());
    std::remove(out.c_str());
}

TEST(KmtoolRun, FromCmuDictRewritesTheListOrLeavesItAlone)
{
    const std::string cmu = TempPath("cmudict");
    const std::string list = TempPath("words.tsv");
    WriteFile(cmu, ";;; test\nBOOK  B UH1 K\nAPPLE  AE1 P AH0 L\n");
    WriteFile(list, u8"# my list\napple\tn. 苹果\nbook\tbʊk\tn. 书\n");
    EXPECT_EQ(RunTool({"--from-cmudict", cmu, list, "-o", list}), kExitOk);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(list, bytes));
    const std::string filled = u8"# my list\napple\tˈæpl\tn. 苹果\nbook\tbʊk\tn. 书\n";
    EXPECT_EQ(bytes, filled);

    // A word cmudict lacks fails the run and the list stays as it was.
    WriteFile(list, u8"pear\tn. 梨\n");
    std::string err;
    EXPECT_EQ(RunTool({"--from-cmudict", cmu, list, "-o", list}, nullptr, &err), kExitRejected);
    EXPECT_NE(err.find(list + ":1: error: \"pear\""), std::string::npos) << err;
    ASSERT_TRUE(ReadFileBytes(list, bytes));
    EXPECT_EQ(bytes, u8"pear\tn. 梨\n");
    std::remove(cmu.c_str());
    std::remove(list.c_str());
}

TEST(KmtoolParse, FormatFollowsTheExtension)
{
    EXPECT_EQ(FormatFromFileName("a/b.TSV"), Format::Tsv);
    EXPECT_EQ(FormatFromFileName("list.csv"), Format::Csv);
    EXPECT_EQ(FormatFromFileName("C:\\dict\\缺省字典.KM"), Format::Km);
    EXPECT_EQ(FormatFromFileName("words.txt"), Format::Auto);
    EXPECT_EQ(FormatFromFileName("dir.v2/words"), Format::Auto); // the dot is in the folder
}
