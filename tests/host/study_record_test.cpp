// The study record file beside a dictionary: the schedule its marks follow, its journal,
// its review log and the records the Leitner version wrote.
#include "dictionary/study_record.h"
#include "base/fileio.h"

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

// Marks follow the scheduler, go to the journal at once and reach the record file when
// it is folded; the review log and the state read back as written; the mastered rule.
TEST(StudyRecord, MarksAreScheduledJournalledAndFoldedWithTheirReviewLog)
{
    const std::string path = TempPath("marks");
    const std::string journal = lex::CStudyRecord::JournalPath(path);
    std::remove(path.c_str());
    std::remove(journal.c_str());
    lex::CStudyRecord record;
    ASSERT_TRUE(record.Load(path)) << "a missing file is an empty record";
    EXPECT_TRUE(record.Cards().empty());

    // A first known mark: the initial Good state, due after round(S) days at 90%.
    const lex::StudyCard* card = record.Mark("mouse", true, Day("2026-03-01"));
    ASSERT_NE(card, nullptr);
    EXPECT_NEAR(card->stability, 2.3065, 1e-4);
    EXPECT_NEAR(card->difficulty, 2.11810397, 1e-4);
    EXPECT_EQ(lex::FormatStudyDay(card->due), "2026-03-03");
    EXPECT_FALSE(card->IsDue(Day("2026-03-02")));
    EXPECT_TRUE(card->IsDue(Day("2026-03-03")));
    EXPECT_FALSE(lex::FileExists(path)) << "a mark writes only the journal";
    EXPECT_NE(ReadBytes(journal).find("mouse\t2026-03-03\t0\t2.3065\t2.1181\t2026-03-01\t2026-03-01+\r\n"),
              std::string::npos)
        << ReadBytes(journal);

    // The first Again of the reference sequence, then its same-day Good and the
    // Goods 1, 3, 8 and 21 days apart.
    const char* days[] = {"2026-04-01", "2026-04-01", "2026-04-02", "2026-04-05", "2026-04-13", "2026-05-04"};
    for (int i = 0; i < 6; ++i)
        card = record.Mark("苹果", i > 0, Day(days[i]));
    ASSERT_NE(card, nullptr);
    EXPECT_NEAR(card->stability, 53.62691, 1e-4);
    EXPECT_NEAR(card->difficulty, 6.3574867, 1e-4);
    EXPECT_EQ(card->Interval(), 54);
    EXPECT_EQ(card->lapses, 1);
    record.SetRetentionPercent(50);
    EXPECT_EQ(record.RetentionPercent(), 80) << "kept within 80..97%";

    // A fresh reader sees the journal over the record, without writing anything.
    {
        lex::CStudyRecord reader;
        ASSERT_TRUE(reader.Load(path));
        ASSERT_EQ(reader.Cards().size(), 2u);
        const lex::StudyCard* apple = reader.Find("苹果");
        ASSERT_NE(apple, nullptr) << "words are code page 936 in memory";
        ASSERT_EQ(apple->reviews.size(), 6u);
        EXPECT_EQ(lex::FormatStudyDay(apple->reviews[0].day), "2026-04-01");
        EXPECT_FALSE(apple->reviews[0].known);
        EXPECT_EQ(lex::FormatStudyDay(apple->reviews[5].day), "2026-05-04");
        EXPECT_TRUE(apple->reviews[5].known);
        EXPECT_NEAR(apple->stability, 53.6269, 1e-4);
        EXPECT_FALSE(lex::FileExists(path));
    }

    ASSERT_TRUE(record.Fold());
    EXPECT_FALSE(lex::FileExists(journal)) << "folded marks leave no journal";
    const std::string written = ReadBytes(path);
    EXPECT_EQ(written[0], '#') << "a new file starts with its header comment";
    EXPECT_NE(written.find("\n\xE8\x8B\xB9\xE6\x9E\x9C\t2026-06-27\t1\t53.6269\t6.3575\t2026-05-04\t"
                           "2026-04-01-,0+,1+,3+,8+,21+\r\n"),
              std::string::npos)
        << "UTF-8, the log as the first day and gaps\n"
        << written;

    // A mark whose next interval is over a year: mastered, read past for good.
    const std::string wellKnown = "owl\t2027-01-10\t0\t400.0000\t3.0000\t2026-01-01\t2026-01-01+\r\n"
                                  "ant\t2026-12-31\t0\t364.0000\t3.0000\t2026-01-01\t2026-01-01+\r\n";
    std::ofstream(path, std::ios::binary) << wellKnown;
    lex::CStudyRecord known;
    ASSERT_TRUE(known.Load(path));
    ASSERT_EQ(known.Cards().size(), 2u);
    EXPECT_TRUE(known.Find("owl")->Mastered());
    EXPECT_FALSE(known.Find("owl")->IsDue(Day("2030-01-01")));
    EXPECT_FALSE(known.Find("ant")->Mastered());
    const lex::StudyCounts counts = known.Count(Day("2027-01-01"));
    EXPECT_EQ(counts.marked, 2);
    EXPECT_EQ(counts.mastered, 1);
    EXPECT_EQ(counts.dueToday, 1);
    EXPECT_EQ(known.ExportTsv(), "word\tdue\tinterval\tlapses\treviews\r\nant\t2026-12-31\t364\t0\t1\r\n")
        << "without the mastered word";
    EXPECT_EQ(known.Mark("two\twords", true, Day("2026-03-06")), nullptr);
    EXPECT_EQ(lex::CStudyRecord::PathForDictionary("D:\\Dictionary\\a.KM"), "D:\\Dictionary\\a.study");

    // The time seam and the calendar.
    setenv("LEXORIN_TODAY", "2028-02-29", 1);
    EXPECT_EQ(lex::FormatStudyDay(lex::StudyToday()), "2028-02-29");
    setenv("LEXORIN_TODAY", "2026-02-29", 1);
    EXPECT_NE(lex::FormatStudyDay(lex::StudyToday()), "2026-02-29") << "no such day: the clock's date";
    unsetenv("LEXORIN_TODAY");
    std::remove(path.c_str());
}

// A Leitner record: every word is read with the due day it holds and nothing is written
// on opening; the first fold after a mark writes every word in the current form, and the
// lines the program did not write stay byte for byte where they were.
TEST(StudyRecord, ALeitnerRecordKeepsEveryWordAndItsDueDay)
{
    const std::string path = TempPath("leitner");
    const std::string journal = lex::CStudyRecord::JournalPath(path);
    std::remove(journal.c_str());
    const std::string original = "# Lexorin study record (UTF-8): word<TAB>box<TAB>due<TAB>lapses; "
                                 "box 1-5 or mastered, due YYYY-MM-DD\r\n"
                                 "# my notes\n"
                                 "apple\t3\t2026-05-01\t2\r\n"
                                 "damaged line without tabs\r\n"
                                 "pear\t9\t2026-05-01\t0\r\n"       // no such box
                                 "plum\t2\t2026-13-01\t0\r\n"       // no such month
                                 "\xE6\xA2\xA8\t1\t2026-05-02\t1\n" // 梨
                                 "kiwi\tmastered\t2026-04-20\t0\r\n"
                                 "lime\t5\t2026-05-10\t0\r\n"
                                 "apple\t1\t2026-01-01\t0\n"        // a second line for apple
                                 "\xFF\xFE binary\t\t\t";           // last, no line end
    std::ofstream(path, std::ios::binary) << original;

    lex::CStudyRecord record;
    ASSERT_TRUE(record.Load(path));
    ASSERT_EQ(record.Cards().size(), 4u);
    const lex::StudyCard* apple = record.Find("apple");
    ASSERT_NE(apple, nullptr);
    EXPECT_EQ(lex::FormatStudyDay(apple->due), "2026-05-01");
    EXPECT_EQ(apple->lapses, 2);
    EXPECT_EQ(apple->Interval(), 3) << "box 3 waited three days";
    const lex::StudyCard* pear = record.Find("梨");
    ASSERT_NE(pear, nullptr);
    EXPECT_TRUE(pear->IsDue(Day("2026-05-02")));
    EXPECT_TRUE(record.Find("kiwi")->Mastered());
    EXPECT_EQ(lex::FormatStudyDay(record.Find("lime")->due), "2026-05-10");
    EXPECT_EQ(record.Find("pear"), nullptr);
    EXPECT_EQ(record.Find("plum"), nullptr);
    ASSERT_TRUE(record.Fold());
    EXPECT_EQ(ReadBytes(path), original) << "opening writes nothing";

    // Known on its due day: a box-3 word at 90% recall moves on from stability 3.
    const lex::StudyCard* marked = record.Mark("apple", true, Day("2026-05-01"));
    ASSERT_NE(marked, nullptr);
    EXPECT_GT(marked->stability, 3.0);
    EXPECT_EQ(ReadBytes(path), original) << "the mark is in the journal";
    ASSERT_TRUE(record.Fold());
    const std::string written = ReadBytes(path);
    const size_t header = written.find("\r\n");
    ASSERT_NE(header, std::string::npos);
    EXPECT_EQ(written.find("box 1-5"), std::string::npos) << "the header describes the current form";
    EXPECT_EQ(written.substr(header + 2, 11), "# my notes\n");
    EXPECT_NE(written.find("\napple\t" + lex::FormatStudyDay(marked->due) + "\t2\t"), std::string::npos);
    for (const char* kept : {"\r\ndamaged line without tabs\r\npear\t9\t2026-05-01\t0\r\nplum\t2\t2026-13-01\t0\r\n",
                             "\n\xE6\xA2\xA8\t2026-05-02\t1\t0.2120\t6.4133\t2026-05-02\t\r\nkiwi\t",
                             "\r\nlime\t2026-05-10\t0\t14.0000\t2.1181\t2026-04-26\t\r\n",
                             "\r\napple\t1\t2026-01-01\t0\n\xFF\xFE binary\t\t\t"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept << "\n" << written;

    lex::CStudyRecord again;
    ASSERT_TRUE(again.Load(path));
    ASSERT_EQ(again.Cards().size(), 4u) << "every word is still there";
    EXPECT_TRUE(again.Find("kiwi")->Mastered());
    EXPECT_EQ(again.Find("apple")->reviews.size(), 1u);

    ASSERT_TRUE(again.Clear());
    const std::string cleared = ReadBytes(path);
    EXPECT_EQ(cleared.find("apple\t2026"), std::string::npos);
    EXPECT_EQ(cleared.find("kiwi"), std::string::npos);
    EXPECT_NE(cleared.find("damaged line without tabs\r\n"), std::string::npos);
    std::remove(path.c_str());
}
