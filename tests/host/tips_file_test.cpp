// The tips of the day file: which lines are tips, where the next showing resumes, and
// that files without tips or with odd saved positions never hold the dialog up.
#include "dialogs/tips_file.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

using lex::CSettings;
using lex::CTipsFile;

class TipsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string base = ::testing::TempDir() + "lex_tips_" + info->name() + "_" + std::to_string(getpid());
        tips = base + ".tip";
        ini = base + ".ini";
    }
    void TearDown() override
    {
        std::remove(tips.c_str());
        std::remove(ini.c_str());
    }
    void Write(const std::string& bytes)
    {
        std::ofstream(tips, std::ios::binary) << bytes;
    }
    // One showing of the dialog: open at the saved place, take n tips, save the place.
    std::vector<std::string> Show(int n)
    {
        CSettings settings(ini);
        CTipsFile file;
        EXPECT_EQ(file.Open(tips, settings), CTipsFile::OpenResult::kReady);
        std::vector<std::string> seen;
        for (int i = 0; i < n; ++i) {
            std::string tip;
            EXPECT_TRUE(file.ReadNextTip(tip).found);
            seen.push_back(tip);
        }
        file.SavePosition(settings);
        return seen;
    }
    std::string tips, ini;
};

TEST_F(TipsFileTest, SkipsCommentsEmptyAndIndentedLinesAndWrapsRound)
{
    Write("; a comment\r\n\r\n  two blanks first\r\n\tand a tab\r\nTip A\r\nTip B\r\n;end\r\n");
    CSettings settings(ini);
    CTipsFile file;
    ASSERT_EQ(file.Open(tips, settings), CTipsFile::OpenResult::kReady);
    std::string tip;
    for (const char* expected : {"Tip A\n", "Tip B\n", "Tip A\n", "Tip B\n"}) {
        EXPECT_TRUE(file.ReadNextTip(tip).found);
        EXPECT_EQ(tip, expected);
    }
    // A tip in code page 936 comes through byte for byte.
    Write("你知道吗？\n");
    ASSERT_EQ(file.Open(tips, settings), CTipsFile::OpenResult::kReady);
    EXPECT_TRUE(file.ReadNextTip(tip).found);
    EXPECT_EQ(tip, "你知道吗？\n");

    std::remove(tips.c_str());
    EXPECT_EQ(file.Open(tips, settings), CTipsFile::OpenResult::kMissing);
    EXPECT_FALSE(file.ReadNextTip(tip).found);
}

TEST_F(TipsFileTest, LongLineComesInPiecesOf999AndResumesBetweenThem)
{
    std::string longLine = std::string(999, 'x') + std::string(999, 'y') + std::string(502, 'z');
    Write(longLine + "\r\nShort\r\n");
    auto first = Show(1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], std::string(999, 'x'));
    // The next showing continues with the second piece, not with the next line.
    auto rest = Show(3);
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(rest[0], std::string(999, 'y'));
    EXPECT_EQ(rest[1], std::string(502, 'z') + "\n");
    EXPECT_EQ(rest[2], "Short\n");
    EXPECT_EQ(CSettings(ini).TipFilePos(), static_cast<int>(longLine.size() + 2 + 7));
}

TEST_F(TipsFileTest, FileWithoutTipsEndsTheSearchWithAnEmptyTip)
{
    for (const char* content : {"; only\r\n;comments\r\n\r\n   and blanks\n\t\n", "", "\n\n\n"}) {
        Write(content);
        CSettings settings(ini);
        settings.SetTipFilePos(3);
        CTipsFile file;
        ASSERT_EQ(file.Open(tips, settings), CTipsFile::OpenResult::kReady);
        std::string tip = "stale";
        lex::TipSearch search = file.ReadNextTip(tip);
        EXPECT_FALSE(search.found) << content;
        EXPECT_FALSE(search.rewindFailed);
        EXPECT_EQ(tip, "");
        // Asking again ends just as surely.
        EXPECT_FALSE(file.ReadNextTip(tip).found);
    }
}

TEST_F(TipsFileTest, SavedPositionsFindTheNextTipWhateverTheLineEnds)
{
    const char* ends[] = {"\r\n", "\n", nullptr};
    for (const char* eol : ends) {
        std::string text;
        if (eol)
            text = std::string(";c") + eol + "First tip" + eol + eol + "Second tip" + eol + "Third tip" + eol;
        else
            text = ";c\nFirst tip\r\n\nSecond tip\nThird tip\r\n"; // mixed
        Write(text);
        std::remove(ini.c_str());
        SCOPED_TRACE(eol ? (eol[0] == '\r' ? "CR LF" : "LF") : "mixed");

        EXPECT_EQ(Show(1), std::vector<std::string>{"First tip\n"});
        EXPECT_EQ(CSettings(ini).TipFilePos(), static_cast<int>(text.find('\n', text.find("First tip")) + 1));
        EXPECT_EQ(Show(1), std::vector<std::string>{"Second tip\n"});
        EXPECT_EQ(Show(2), (std::vector<std::string>{"Third tip\n", "First tip\n"}));

        // A damaged "FilePos": negative or past the end starts over at the first tip,
        // one inside a line moves on to the next tip instead of showing a torn one.
        CSettings(ini).SetTipFilePos(-40);
        EXPECT_EQ(Show(1), std::vector<std::string>{"First tip\n"});
        CSettings(ini).SetTipFilePos(static_cast<int>(text.size()) + 500);
        EXPECT_EQ(Show(1), std::vector<std::string>{"First tip\n"});
        CSettings(ini).SetTipFilePos(static_cast<int>(text.find("Second tip")) + 3);
        EXPECT_EQ(Show(1), std::vector<std::string>{"Third tip\n"});
        CSettings(ini).SetTipFilePos(static_cast<int>(text.find("Second tip")) - 1); // at the line end before it
        EXPECT_EQ(Show(1), std::vector<std::string>{"Second tip\n"});
    }
}

TEST_F(TipsFileTest, ChangedLastWriteTimeRestartsAtTheFirstTip)
{
    Write("One\r\nTwo\r\nThree\r\n");
    struct utimbuf times {};
    times.actime = times.modtime = 1000000000; // Sun Sep  9 01:46:40 2001 UTC
    ASSERT_EQ(utime(tips.c_str(), &times), 0);

    EXPECT_EQ(Show(1), std::vector<std::string>{"One\n"});
    std::string stamp = CSettings(ini).TipTimeStamp();
    EXPECT_EQ(stamp, CTipsFile::StampText(1000000000));
    EXPECT_TRUE(std::regex_match(stamp, std::regex("(Sat|Sun) Sep [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d 2001"))) << stamp;
    EXPECT_EQ(Show(1), std::vector<std::string>{"Two\n"});

    // Edited in place: the file keeps its creation time, but its last write moved.
    times.modtime = 1000003600;
    ASSERT_EQ(utime(tips.c_str(), &times), 0);
    EXPECT_EQ(Show(1), std::vector<std::string>{"One\n"});
    EXPECT_EQ(CSettings(ini).TipTimeStamp(), CTipsFile::StampText(1000003600));
    EXPECT_NE(CSettings(ini).TipTimeStamp(), stamp);
    EXPECT_EQ(Show(1), std::vector<std::string>{"Two\n"});
}

} // namespace
