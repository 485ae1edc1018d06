// The dictionary page's count line. A fault shows as a wrong number of words beside a
// book, a count that does not follow an edited file, or a slow page.
// Narrow literals are code page 936 (the build's execution charset).
#include "base/fileio.h"
#include "dictionary/dictionary_summary.h"

#include <gtest/gtest.h>

using namespace lex;

TEST(DictionarySummary, CountsTheEntriesTheReaderDeliversAndFollowsTheFile)
{
    const std::string path = ::testing::TempDir() + "summary_count.KM";
    // Every terminator the reader knows, blank lines between, a line across the 64 KiB
    // block the counter reads in, and a last line without terminator. (The long line is one entry
    // here; the reader would hand it out in pieces, warning about it.)
    std::string text = "a/b/c\r\n\r\nd\n\ne\rf\n\r";
    text += std::string(70000, 'x') + "\r\n";
    text += "last";
    ASSERT_TRUE(ReplaceFileContents(path, text));
    // a/b/c, d, e, f, the long one, last.
    EXPECT_EQ(CountDictionaryEntries(path), 6);
    EXPECT_EQ(CachedDictionaryEntries(path), 6);
    ASSERT_TRUE(ReplaceFileContents(path, "one\r\ntwo\r\n"));
    EXPECT_EQ(CachedDictionaryEntries(path), 2) << "a changed file is counted again";
    ASSERT_TRUE(ReplaceFileContents(path, ""));
    EXPECT_EQ(CachedDictionaryEntries(path), 0);
    EXPECT_EQ(CountDictionaryEntries(path + ".missing"), -1);

    EXPECT_EQ(DictionarySummary("四级词汇", 3849, nullptr), "四级词汇 · 3,849 词");
    StudyCounts study;
    study.marked = 1234;
    study.mastered = 120;
    EXPECT_EQ(DictionarySummary("GRE词汇", 1000000, &study), "GRE词汇 · 1,000,000 词 · 已掌握 120 · 已标记 1,234");
    EXPECT_EQ(DictionarySummary("GRE词汇", 1000000, &study, SummaryForm::Brief), "GRE词汇 · 1,000,000 词 · 已掌握 120");
    EXPECT_EQ(DictionarySummary("坏", -1, nullptr), "坏");
}
