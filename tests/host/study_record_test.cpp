// The study record file beside a dictionary and the Leitner steps it keeps.
#include "dictionary/study_record.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string TempPath(const char* tag)
{
    return ::testing::TempDir() + "lexstudy_" + std::to_string(getpid()) + "_" + tag + ".study";
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

lex::StudyDay Day(const char* text)
{
    lex::StudyDay day = 0;
    EXPECT_TRUE(lex::ParseStudyDay(text, &day)) << text;
    return day;
}

} // namespace

// Known five times: boxes 2 to 5 with waits of 1, 3, 7 and 14 days, then mastered;
// not known: box 1, due the same day, one lapse more.
TEST(StudyRecord, KnownClimbsTheBoxesAndNotKnownStartsOver)
{
    const std::string path = TempPath("steps");
    std::remove(path.c_str());
    lex::CStudyRecord record;
    ASSERT_TRUE(record.Load(path)) << "a missing file is an empty record";
    EXPECT_TRUE(record.Cards().empty());

    const char* days[] = {"2026-02-27", "2026-02-28", "2026-03-03", "2026-03-10", "2026-03-24"};
    const char* due[] = {"2026-02-28", "2026-03-03", "2026-03-10", "2026-03-24"};
    for (int i = 0; i < 4; ++i) {
        const lex::StudyCard* card = record.Mark("mouse", true, Day(days[i]));
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->box, i + 2);
        EXPECT_EQ(lex::FormatStudyDay(card->due), due[i]);
        EXPECT_FALSE(card->IsDue(Day(days[i])));
        EXPECT_TRUE(card->IsDue(Day(due[i])));
    }
    const lex::StudyCard* card = record.Mark("mouse", true, Day(days[4]));
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->Mastered());
    EXPECT_FALSE(card->IsDue(Day("2030-01-01"))) << "a mastered word never comes back";

    card = record.Mark("苹果", false, Day("2026-03-05"));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->box, 1);
    EXPECT_EQ(card->lapses, 1);
    EXPECT_TRUE(card->IsDue(Day("2026-03-05")));
    record.Mark("苹果", true, Day("2026-03-05"));
    card = record.Mark("苹果", false, Day("2026-03-06"));
    EXPECT_EQ(card->box, 1);
    EXPECT_EQ(card->lapses, 2);

    lex::StudyCounts counts = record.Count(Day("2026-03-06"));
    EXPECT_EQ(counts.marked, 2);
    EXPECT_EQ(counts.mastered, 1);
    EXPECT_EQ(counts.dueToday, 1);
    EXPECT_EQ(counts.lapses, 2);
    EXPECT_EQ(record.ExportTsv(), "word\tbox\tdue\tlapses\r\n\xE8\x8B\xB9\xE6\x9E\x9C\t1\t2026-03-06\t2\r\n")
        << "UTF-8, without the mastered word";
    EXPECT_EQ(record.Mark("two\twords", true, Day("2026-03-06")), nullptr);

    // The time seam and the calendar.
    setenv("LEXORIN_TODAY", "2028-02-29", 1);
    EXPECT_EQ(lex::FormatStudyDay(lex::StudyToday()), "2028-02-29");
    setenv("LEXORIN_TODAY", "2026-02-29", 1);
    EXPECT_NE(lex::FormatStudyDay(lex::StudyToday()), "2026-02-29") << "no such day: the clock's date";
    unsetenv("LEXORIN_TODAY");
    std::remove(path.c_str());
}

// Lines the program did not write stay byte for byte where they were; a damaged line
// is not read as a word; the file is UTF-8 and reads back the same.
TEST(StudyRecord, ForeignAndDamagedLinesAreKeptByteForByte)
{
    const std::string path = TempPath("foreign");
    const std::string original = "# my notes\n"
                                 "apple\t3\t2026-05-01\t2\r\n"
                                 "damaged line without tabs\r\n"
                                 "pear\t9\t2026-05-01\t0\r\n"       // no such box
                                 "plum\t2\t2026-13-01\t0\r\n"       // no such month
                                 "\xE6\xA2\xA8\t2\t2026-05-02\t1\n" // 梨
                                 "apple\t1\t2026-01-01\t0\n"        // a second line for apple
                                 "\xFF\xFE binary\t\t\t";           // last, no line end
    std::ofstream(path, std::ios::binary) << original;

    lex::CStudyRecord record;
    ASSERT_TRUE(record.Load(path));
    ASSERT_EQ(record.Cards().size(), 2u);
    const lex::StudyCard* apple = record.Find("apple");
    ASSERT_NE(apple, nullptr);
    EXPECT_EQ(apple->box, 3);
    EXPECT_EQ(apple->lapses, 2);
    EXPECT_EQ(lex::FormatStudyDay(apple->due), "2026-05-01");
    ASSERT_NE(record.Find("梨"), nullptr) << "words are code page 936 in memory";
    EXPECT_EQ(record.Find("pear"), nullptr);
    EXPECT_EQ(record.Find("plum"), nullptr);

    ASSERT_NE(record.Mark("apple", true, Day("2026-05-01")), nullptr);
    ASSERT_NE(record.Mark("fig", false, Day("2026-05-01")), nullptr);
    const std::string written = ReadBytes(path);
    EXPECT_EQ(written, "# my notes\n"
                      "apple\t4\t2026-05-08\t2\r\n"
                      "damaged line without tabs\r\n"
                      "pear\t9\t2026-05-01\t0\r\n"
                      "plum\t2\t2026-13-01\t0\r\n"
                      "\xE6\xA2\xA8\t2\t2026-05-02\t1\r\n"
                      "apple\t1\t2026-01-01\t0\n"
                      "\xFF\xFE binary\t\t\t\r\n"
                      "fig\t1\t2026-05-01\t1\r\n");

    lex::CStudyRecord again;
    ASSERT_TRUE(again.Load(path));
    ASSERT_EQ(again.Cards().size(), 3u);
    EXPECT_EQ(again.Find("fig")->lapses, 1);

    ASSERT_TRUE(again.Clear());
    const std::string cleared = ReadBytes(path);
    EXPECT_EQ(cleared.find("apple\t4"), std::string::npos);
    EXPECT_EQ(cleared.find("fig"), std::string::npos);
    EXPECT_NE(cleared.find("damaged line without tabs\r\n"), std::string::npos);
    EXPECT_EQ(cleared.compare(0, 11, "# my notes\n"), 0);

    // A new file starts with its header comment.
    const std::string fresh = TempPath("fresh");
    std::remove(fresh.c_str());
    lex::CStudyRecord created;
    ASSERT_TRUE(created.Load(fresh));
    ASSERT_NE(created.Mark("cat", true, Day("2026-01-01")), nullptr);
    const std::string made = ReadBytes(fresh);
    EXPECT_EQ(made[0], '#');
    EXPECT_NE(made.find("\ncat\t2\t2026-01-02\t0\r\n"), std::string::npos) << made;
    EXPECT_EQ(lex::CStudyRecord::PathForDictionary("D:\\Dictionary\\a.KM"), "D:\\Dictionary\\a.study");
    std::remove(path.c_str());
    std::remove(fresh.c_str());
}
