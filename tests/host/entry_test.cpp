// The split decides which text lands in the word, phonetic and meaning rows; a slip
// shows a meaning in the phonetic font or drops part of an entry.
#include "dictionary/entry.h"

#include <gtest/gtest.h>

namespace {
void ExpectFields(const std::string& line, const std::string& word, const std::string& phonetic,
                  const std::string& meaning)
{
    const DictEntry e = SplitDictEntry(line);
    EXPECT_EQ(e.word, word) << line;
    EXPECT_EQ(e.phonetic, phonetic) << line;
    EXPECT_EQ(e.meaning, meaning) << line;
}
} // namespace

TEST(DictEntry, FieldsAtSeparators)
{
    ExpectFields("abandon/E5bAndEn/v. 放弃", "abandon", "E5bAndEn", "v. 放弃");
    ExpectFields("word only", "word only", "", "");
    ExpectFields("word/ph", "word", "ph", "");
    ExpectFields("", "", "", "");
    // Empty fields stay in place rather than shifting the next one forward.
    ExpectFields("word//meaning", "word", "", "meaning");
    ExpectFields("/ph/meaning", "", "ph", "meaning");
    ExpectFields("word/ph/", "word", "ph", "");
    // Text after a third separator is dropped; blanks are kept as they are.
    ExpectFields(" w / p / m /extra/more", " w ", " p ", " m ");
}

TEST(DictEntry, DoubleByteTextIsKeptWhole)
{
    // Double-byte characters of code page 936 pass through untouched, also one whose
    // trail byte is 0x5C.
    ExpectFields("表/\x81\x5C/开", "表", "\x81\x5C", "开");
}
