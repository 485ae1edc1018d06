// Importing a word list: Anki's text export, filling from the dictionaries the program
// has, and what the preview reports. Narrow literals are code page 936, u8 ones UTF-8.
#include "dictionary/word_list_import.h"

#include <gtest/gtest.h>

using namespace wordlist;

namespace {

CWordListImport RunImport(const std::string& bytes, const CFillIndex* index, int linesPerStep = 1000)
{
    CWordListImport import(bytes, ToKmOptions(), index);
    double last = 0;
    int steps = 0;
    while (!import.Step(linesPerStep)) {
        EXPECT_GE(import.Progress(), last);
        last = import.Progress();
        EXPECT_LT(++steps, 100000);
    }
    EXPECT_EQ(import.Progress(), 1.0);
    return import;
}

} // namespace

TEST(WordListAnki, HeaderDecidesSeparatorHtmlAndWhichColumnsAreFields)
{
    const std::string anki = u8"#separator:tab\n"
                             u8"#html:true\n"
                             u8"#tags column:3\n"
                             u8"apple\t<b>苹果</b>&nbsp;&amp;&#x68A8;<br>fruit [sound:apple.mp3]\tvocab\n"
                             u8"\"a\tb\"\t&lt;not a tag&gt; &quot;x&quot;\tt2\n"
                             u8"book\t<div>书</div><div>本子</div>\n";
    Report report;
    const auto entries = ParseWordList(anki, "deck.txt", ToKmOptions(), report);
    EXPECT_EQ(report.Errors(), 0) << report.Messages()[0];
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].word, U"apple");
    EXPECT_EQ(entries[0].meaning, U"苹果 &梨 fruit");
    EXPECT_TRUE(entries[0].phonetic.empty());
    EXPECT_EQ(entries[1].word, U"a b"); // quoted, the separator kept as a blank
    EXPECT_EQ(entries[1].meaning, U"<not a tag> \"x\"");
    EXPECT_EQ(entries[2].meaning, U"书 本子");
    EXPECT_EQ(entries[2].line, 6);

    // Without "#html:true" the fields are text: the tags stay. A named separator.
    const std::string plain = u8"#separator:Semicolon\nwork;<i>工作</i>;x;y\nplay;玩\n";
    Report r2;
    const auto e2 = ParseWordList(plain, "deck.txt", ToKmOptions(), r2);
    ASSERT_EQ(e2.size(), 1u); // four fields are too many
    EXPECT_EQ(e2[0].meaning, U"玩");
    int line = 0;
    std::string reason;
    ASSERT_TRUE(r2.FirstError(&line, &reason));
    EXPECT_EQ(line, 2);
    EXPECT_NE(reason.find("4 columns"), std::string::npos) << reason;

    // A list that merely starts with a comment is not taken for an export.
    Report r3;
    const auto e3 = ParseWordList(u8"# my words\nred\t红\n", "w.txt", ToKmOptions(), r3);
    ASSERT_EQ(e3.size(), 1u);
    EXPECT_EQ(e3[0].meaning, U"红");
}

TEST(WordListImport, MissingFieldsAreFilledFromKnownDictionariesAndCounted)
{
    CFillIndex index;
    index.AddKm("Apple/Apl/n. 苹果\r\nbook//n. 书\r\n");
    index.AddKm("apple/ignored/ignored\r\nbook/bUk/\r\n"); // the first of each field wins
    // A GBK word-only list with one entry that brings its own phonetic and meaning.
    const std::string list = "apple\r\nBOOK\r\nzebra\r\ncat\t[kɑt]\t猫\r\n\r\nbad\tx\ty\tz\r\n";
    for (int step : {1, 1000}) {
        CWordListImport import = RunImport(list, &index, step);
        const ImportSummary& s = import.Summary();
        EXPECT_EQ(s.encoding, Encoding::Cp936);
        EXPECT_EQ(s.entries, 4);
        EXPECT_EQ(s.phoneticFilled, 2); // apple, BOOK
        EXPECT_EQ(s.phoneticEmpty, 1);  // zebra
        EXPECT_EQ(s.meaningFilled, 2);
        EXPECT_EQ(s.meaningEmpty, 1);
        EXPECT_EQ(s.skipped, 1);
        EXPECT_EQ(s.firstSkippedLine, 6);
        EXPECT_EQ(s.firstSkippedFault, Fault::Control); // plain lines: the tabs are in the word
        EXPECT_EQ(import.Km(), "apple/Apl/n. 苹果\r\nBOOK/bUk/n. 书\r\nzebra//\r\ncat/kAt/猫\r\n")
            << "step " << step;
        ASSERT_EQ(s.preview.size(), 4u);
        EXPECT_EQ(s.preview[1].word, "BOOK");
        EXPECT_EQ(s.preview[1].meaning, "n. 书");
    }
    // Without an index nothing is filled.
    const ImportSummary bare = RunImport("apple\n", nullptr).Summary();
    EXPECT_EQ(bare.phoneticFilled + bare.meaningFilled, 0);
    EXPECT_EQ(bare.phoneticEmpty, 1);

    // Lines the .KM cannot hold are skipped too, the first one's kind kept for the
    // preview's own words.
    const ImportSummary slash = RunImport(u8"red\t红\nand/or\t和/或\nx\tก\n", nullptr).Summary();
    EXPECT_EQ(slash.entries, 1);
    EXPECT_EQ(slash.skipped, 2);
    EXPECT_EQ(slash.firstSkippedLine, 2);
    EXPECT_EQ(slash.firstSkippedFault, Fault::Slash);
    EXPECT_STRNE(SkippedLineReason(Fault::Slash), SkippedLineReason(Fault::Other));
}

TEST(WordListImport, PlainLinesMayHoldTheWordAlone)
{
    const CWordListImport import = RunImport(u8"apple\nlook after\nred [red] 红\n", nullptr);
    EXPECT_EQ(import.Summary().format, Format::Lines);
    EXPECT_EQ(import.Summary().entries, 3);
    EXPECT_EQ(import.Km().substr(0, 23), "apple//\r\nlook after//\r\n");
}

TEST(WordListImport, FilesAndNamesThatCannotBeImportedAreToldApart)
{
    EXPECT_EQ(CheckImportBytes(""), FileProblem::Empty);
    EXPECT_EQ(CheckImportBytes(" \r\n\t\r\n"), FileProblem::Empty);
    EXPECT_EQ(CheckImportBytes(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), FileProblem::Binary);
    EXPECT_EQ(CheckImportBytes(std::string("\xFF\xFE" "a\0\n\0", 6)), FileProblem::None); // UTF-16 has NULs
    EXPECT_EQ(CheckImportBytes("apple\t苹果\r\n"), FileProblem::None);
    // A text file without one usable line converts to nothing.
    EXPECT_EQ(RunImport("# only a comment\n\tx\n", nullptr).Summary().entries, 0);

    EXPECT_EQ(DictionaryNameProblem("我的单词 2"), "");
    EXPECT_EQ(DictionaryNameProblem("表"), ""); // its trail byte is '\\'
    for (const char* bad : {"", "  ", "a/b", "a\\b", "what?", "CON", "com3", "nul.txt", "list.", " x"})
        EXPECT_NE(DictionaryNameProblem(bad), "") << bad;
    EXPECT_EQ(DefaultDictionaryName("C:\\词表\\第一课.单词.txt"), "第一课.单词");
    EXPECT_EQ(DefaultDictionaryName("/tmp/words"), "words");
}
