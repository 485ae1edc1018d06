// The exam word books come from ECDICT's csv. A fault here shows up as a book in the
// wrong order (rare words first), unreadable phonetics, meanings that overflow the
// strip or carry specialist jargon, mojibake, or words quietly lost.
// u8"" literals are UTF-8, U"" literals Unicode.
#include "dictconv/cmudict.h"
#include "dictconv/ecdict.h"
#include "dictconv/platform.h"
#include "dictionary/text_codec.h"
#include "dictionary/word_list.h"
#include "dictionary/phonetic_table.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kmtool;

namespace {

std::string Utf8(const std::u32string& s)
{
    return EncodeUtf8(s);
}

size_t Cp936Bytes(const std::u32string& s)
{
    std::string bytes;
    EXPECT_TRUE(EncodeCp936(s, bytes, nullptr)) << Utf8(s);
    return bytes.size();
}

std::vector<std::vector<std::string>> TsvRows(const std::string& tsv)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(tsv);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::istringstream f(line);
        for (std::string field; std::getline(f, field, '\t');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

} // namespace

TEST(ExamBook, TaggedRowsInFrequencyOrderWithTheirPhoneticsAndMeanings)
{
    // Columns as ECDICT has them; the translation's lines are separated by a literal \n.
    const std::string csv =
        u8"word,phonetic,definition,translation,pos,collins,oxford,tag,bnc,frq,exchange,detail,audio\n"
        u8"delta,'deltә,,n. 三角洲,,,,cet4,0,0,,,\n"
        u8"beta,'bi:tә,,\"n. 第二个字母\\n[计] 测试版, 贝塔\",,,,cet4 gre,10,50,,,\n"
        u8"zeta,'zi:tә,,n. 希腊字母,,,,gre,5,5,,,\n"
        u8"eta,'i:tә,,,,,,cet4,3,3,,,\n"
        u8"ceta,,,a. 鲸的,,,,cet4,0,0,,,\n"
        u8"gamma,'^æmә,,\"n. 伽马, 微克\",,,,ky cet4,0,10,,,\n"
        u8"alpha,'ælfә,,n. 开端,,,,cet4x cet4,20,0,,,\n"
        u8"and/or,,,conj. 和/或,,,,cet4,1,1,,,\n"
        u8"bigram,'bai^ræm,,n. 二元组,,,,cet46,1,1,,,\n";
    Report r;
    CmuDict cmu;
    ASSERT_TRUE(cmu.Load("GAMMA  G AE1 M AH0\n", "cmu", r));
    ExamBookOptions options;
    options.tag = "cet4";
    options.cmu = &cmu;
    ExamBookStats stats;
    const std::string tsv = MakeExamBook(csv, "ecdict.csv", options, r, &stats);
    EXPECT_EQ(r.Errors(), 0);

    // Ranked by frq (gamma 10, beta 50), then by bnc alone (alpha), then the rest
    // alphabetically; zeta lacks the tag, eta a translation, "cet46" is not "cet4";
    // "and/or" cannot be a .KM word.
    const auto rows = TsvRows(tsv);
    std::vector<std::string> words;
    for (const auto& row : rows)
        words.push_back(row.at(0));
    EXPECT_EQ(words, (std::vector<std::string>{"gamma", "beta", "alpha", "ceta", "delta"}));
    EXPECT_EQ(stats.tagged, 6);
    EXPECT_EQ(stats.written, 5);
    EXPECT_EQ(stats.wordRejected, 1);
    std::string tag;
    int tagged = 0;
    int written = 0;
    ASSERT_TRUE(ReadExamBookHeading(tsv, &tag, &tagged, &written));
    EXPECT_EQ(tag, "cet4");
    EXPECT_EQ(tagged, 6);
    EXPECT_EQ(written, 5);

    // CMUdict's IPA where it has the word, ECDICT's otherwise, none without either.
    ASSERT_EQ(rows.size(), 5u);
    // (IPA through variables: the assertion's own text must stay in code page 936.)
    const std::string gammaIpa = u8"ˈɡæmə";
    const std::string betaIpa = u8"ˈbiːtə";
    EXPECT_EQ(rows[0][1], gammaIpa);
    EXPECT_EQ(rows[1][1], betaIpa);
    EXPECT_EQ(rows[3][1], "");
    EXPECT_EQ(stats.phoneticCmu, 1);
    EXPECT_EQ(stats.phoneticNone, 1);
    // The specialist line goes; "a." is written as the other lists write it.
    EXPECT_EQ(rows[0][2], u8"n. 伽马；微克");
    EXPECT_EQ(rows[1][2], u8"n. 第二个字母");
    EXPECT_EQ(rows[3][2], u8"adj. 鲸的");

    // The book is a word list the build converts without a single rejected line.
    Report convert;
    ToKmOptions km;
    km.format = Format::Tsv;
    Stats kmStats;
    EncodeKm(ParseWordList(tsv, "book.tsv", km, convert), "book.tsv", km, convert, &kmStats);
    EXPECT_EQ(convert.Errors(), 0);
    EXPECT_EQ(kmStats.entries, 5);

    Report bad;
    EXPECT_EQ(MakeExamBook("word,phonetic,translation\n", "x.csv", options, bad, nullptr), "");
    EXPECT_EQ(bad.Errors(), 1); // no tag column
}

TEST(ExamBook, EcdictTranscriptionsBecomeIpaTheFontShows)
{
    const std::pair<std::u32string, std::u32string> cases[] = {
        {U"ә'bændәn", U"əˈbændən"},               // Cyrillic schwa, ASCII stress
        {U"'єәrәplein", U"ˈɛərəplein"},           // Cyrillic є
        {U",skrɑ:vən'hɑ:ɡə", U"ˌskrɑːvənˈhɑːɡə"}, // leading comma: secondary stress
        {U".æbni'geiʃәn", U"ˌæbniˈɡeiʃən"},       // leading full stop too; g is IPA's ɡ
        {U"'bænd,li:dә(r)", U"ˈbændˌliːdə(r)"},   // comma inside: secondary stress
        {U"'kɔ^neit", U"ˈkɔɡneit"},               // ^ for ɡ
        {U"di's\\\\\\\\:niŋ", U"diˈsɜːniŋ"},      // a run of backslashes for ɜ
        {U"ɔ:tәjbaiә'^ræfik", U"ɔːtəʊbaiəˈɡræfik"}, // j for ʊ after ə
        {U"'petjjlәns; -tʃә-", U"ˈpetjʊləns"},     // j before a consonant; first variant only
        {U"bɔnɔ'mi:; (?@) bɔnә'mi:", U"bɔnɔˈmiː"},
        {U"'kʌvәn, 'kәu-", U"ˈkʌvən"},
        {U"'bai,pedəl,bai'pe-", U"ˈbaiˌpedəl"},    // a partial variant after a comma
        {U"jɔ:'self", U"jɔːˈself"},               // a real j stays
        {U"/ˈæpl/", U"ˈæpl"},
        {U"  ", U""},
    };
    for (const auto& c : cases) {
        const std::u32string ipa = NormaliseEcdictPhonetic(c.first);
        EXPECT_EQ(Utf8(ipa), Utf8(c.second)) << Utf8(c.first);
        std::string codes;
        EXPECT_TRUE(lex::IpaToCodes(ipa, codes, nullptr)) << Utf8(ipa);
    }
}

TEST(ExamBook, MeaningsFitTheStripKeepEveryPartOfSpeechAndOnlyCodePage936)
{
    MeaningDrops drops;
    // First senses of every part of speech, then second senses, while 40 bytes last.
    const std::u32string abandon =
        CondenseMeaning(U"vt. 放弃, 抛弃, 遗弃, 使屈从, 沉溺, 放纵\\nn. 放任, 无拘束, 狂热", 40, &drops);
    EXPECT_EQ(Utf8(abandon), u8"vt. 放弃；抛弃；遗弃 n. 放任；无拘束");
    EXPECT_LE(Cp936Bytes(abandon), 40u);
    EXPECT_EQ(Utf8(CondenseMeaning(U"vt. 放弃, 抛弃\\nn. 放任", 12, nullptr)), u8"vt. 放弃");

    // Subject labels: lines that open with one go, a label before a later sense goes,
    // a word with nothing but specialist lines keeps them without the labels; "\r\n"
    // splits lines too.
    EXPECT_EQ(Utf8(CondenseMeaning(U"n. 子宫, [医] 腹膜\\r\\n[计] 与\\nart. [计] 累加器", 40, nullptr)),
              u8"n. 子宫；腹膜");
    EXPECT_EQ(Utf8(CondenseMeaning(U"n. [医] 子宫\\n[计] 与", 40, nullptr)), u8"n. 子宫 与");
    // Commas inside brackets belong to the sense; '/' becomes the full-width one.
    EXPECT_EQ(Utf8(CondenseMeaning(U"vt. 使(马,鹰等)戴头罩, 覆盖\\nconj. 和/或", 40, nullptr)),
              u8"vt. 使(马,鹰等)戴头罩；覆盖 conj. 和／或");

    // Outside code page 936 (U+0E44 Thai, U+E7B3 private use): the sense goes when
    // its group has another, otherwise only the character.
    drops = MeaningDrops();
    EXPECT_EQ(Utf8(CondenseMeaning(U"n. 猫, 喵\x0E44\\nvi. 叫\xE7B3", 40, &drops)), u8"n. 猫 vi. 叫");
    EXPECT_EQ(drops.senses, 1);
    EXPECT_EQ(drops.characters, 1);

    // A first sense wider than the budget is cut to it.
    const std::u32string longSense = CondenseMeaning(U"n. 一种生长在热带雨林深处的有毒而且色彩极为鲜艳的小型青蛙, 蛙", 40, nullptr);
    EXPECT_LE(Cp936Bytes(longSense), 40u);
    EXPECT_EQ(Utf8(longSense).rfind(u8"n. 一种生长在", 0), 0u);
    EXPECT_EQ(longSense.back(), U'…');
    EXPECT_EQ(CondenseMeaning(U"\x0E44", 40, nullptr), U"");
}

// The shipped books as the build converts them.
TEST(ExamBook, ShippedBooksHoldEveryTaggedRowAsAValidKmLine)
{
    for (const char* tag : {"zk", "gk", "cet4", "cet6", "ky", "ielts", "toefl", "gre"}) {
        SCOPED_TRACE(tag);
        const std::string path = std::string(LEX_SOURCE_DIR) + "/data/dictionaries/ecdict-" + tag + ".tsv";
        std::string tsv;
        ASSERT_TRUE(ReadFileBytes(path, tsv));
        std::string headingTag;
        int tagged = 0;
        int written = 0;
        ASSERT_TRUE(ReadExamBookHeading(tsv, &headingTag, &tagged, &written));
        EXPECT_EQ(headingTag, tag);
        // Every tagged row with a translation made it into the book.
        EXPECT_EQ(written, tagged);
        EXPECT_GT(tagged, 1000);

        Report r;
        ToKmOptions km;
        km.format = Format::Tsv;
        Stats stats;
        const std::string dict = EncodeKm(ParseWordList(tsv, path, km, r), path, km, r, &stats);
        EXPECT_EQ(r.Errors(), 0) << (r.Messages().empty() ? "" : r.Messages()[0]);
        EXPECT_EQ(stats.entries, tagged);
        EXPECT_EQ(static_cast<int>(TsvRows(tsv).size()), tagged);
        EXPECT_EQ(stats.overLong, 0);

        Report back;
        const std::vector<TextEntry> entries = DecodeKm(dict, "book.KM", back, nullptr);
        EXPECT_EQ(back.Errors() + back.Warnings(), 0);
        ASSERT_EQ(static_cast<int>(entries.size()), tagged);
        int noMeaning = 0;
        int wide = 0;
        for (const TextEntry& e : entries) {
            noMeaning += e.word.empty() || e.meaning.empty();
            wide += Cp936Bytes(e.meaning) > kExamMeaningBudget;
        }
        EXPECT_EQ(noMeaning, 0);
        EXPECT_EQ(wide, 0);
    }
}
