// The word feed's stepping rules against a recording banner and timer.
#include "mainbar/word_feed.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct FakeHost : IWordFeedHost {
    std::vector<CBannerItem> items;
    int clears = 0;
    int lineStarts = 0;
    int timerPeriod = 0; // 0 = stopped
    int speed = -1;
    bool autoSize = false;
    uint32_t background = 0;
    int endCode = 1;
    int adds = 0;

    void FeedAddItem(const CBannerItem& item) override
    {
        items.push_back(item);
        ++adds;
    }
    void FeedClearBanner() override
    {
        items.clear();
        ++clears;
    }
    void FeedMoveLineToStart() override { ++lineStarts; }
    void FeedSetAutoSize(bool on) override { autoSize = on; }
    void FeedSetSpeed(int s) override { speed = s; }
    void FeedSetBackgroundColor(uint32_t c) override { background = c; }
    void FeedStartTimer(int ms) override { timerPeriod = ms; }
    void FeedStopTimer() override { timerPeriod = 0; }
    uint64_t FeedNowMs() const override { return now; }
    uint64_t now = 0;
    void FeedEndProgram(int code) override { endCode = code; }
    void FeedShowError(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> errors;
    void FeedEntryShown(const DictEntry& entry) override { told.push_back(entry.word); }
    std::vector<std::string> told;

    // The word of the last entry on the banner (its text without the two blanks).
    std::string LastWord() const
    {
        std::string w = items.at(items.size() - 3).text;
        return w.substr(0, w.size() - 2);
    }
};

class WordFeedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ::testing::TempDir() + "lexfeed_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + "/";
        std::string cmd = "mkdir -p '" + folder + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + folder + "'";
        std::system(cmd.c_str());
    }
    // Writes folder + "Dictionary\" + name + ".KM" (one file name on this system).
    void WriteDict(const std::string& name, const std::string& content)
    {
        std::ofstream(folder + "Dictionary\\" + name + ".KM", std::ios::binary) << content;
    }
    static std::string Lines(int from, int to)
    {
        std::string s;
        for (int i = from; i <= to; ++i)
            s += "w" + std::to_string(i) + "/p" + std::to_string(i) + "/m" + std::to_string(i) + "\r\n";
        return s;
    }
    bool Open(const std::string& name = "缺省字典") { return feed.OpenDictionary(folder, name); }
    void SingleMode()
    {
        BannerSettings s;
        s.scroll = false;
        feed.ApplyBannerSettings(s);
    }

    static int counter;
    std::string folder;
    FakeHost host;
    int dictOpen = 0;
    CWordFeed feed{host, dictOpen, 1000};
};
int WordFeedTest::counter = 0;

} // namespace

TEST_F(WordFeedTest, SavedPositionFiveShowsTheSixthLine)
{
    WriteDict("缺省字典", "\r\n" + Lines(1, 10));
    feed.SetPosition(5);
    ASSERT_TRUE(Open());
    EXPECT_EQ(dictOpen, 1);
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w6");
    EXPECT_EQ(feed.GetPosition(), 6);
}

TEST_F(WordFeedTest, EntryBecomesMarkerAndThreeStyledItems)
{
    WriteDict("缺省字典", "apple/\x39pl/n. 苹果\r\n");
    ASSERT_TRUE(Open());
    BannerSettings s;
    s.word = {0x0000ff00, false, true, false};
    s.phonetic = {0x00ff0000, true, false, false};
    s.meaning = {0x00ffffff, false, false, true};
    feed.ApplyBannerSettings(s);
    feed.SetPosition(0);
    feed.ShowNextEntry();
    ASSERT_EQ(host.items.size(), 4u);
    EXPECT_EQ(host.items[0].text, "☉ ");
    EXPECT_EQ(host.items[0].style, 0x01FFFFFFu);
    EXPECT_EQ(host.items[0].fontKind, 1);
    EXPECT_EQ(host.items[1].text, "apple  ");
    EXPECT_EQ(host.items[1].style, 0x0100ff00u);
    EXPECT_EQ(host.items[2].text, "\x39pl  ");
    EXPECT_EQ(host.items[2].style, 0x02ff0000u);
    EXPECT_EQ(host.items[2].fontKind, 2);
    EXPECT_EQ(host.items[3].text, "n. 苹果  ");
    EXPECT_EQ(host.items[3].style, 0x04ffffffu);
    EXPECT_EQ(host.items[3].backColor, CurrentButtonFaceColor());

    EXPECT_EQ(host.lineStarts, 0) << "a scrolling line goes on where it is";
    SingleMode();
    feed.ShowNextEntry();
    ASSERT_EQ(host.items.size(), 4u) << "single-entry mode shows one entry at a time";
    EXPECT_EQ(host.lineStarts, 1) << "each single entry starts at the strip's left edge";
    EXPECT_EQ(host.items[0].text, "· ");
    EXPECT_EQ(host.items[0].style, 0x0100FF00u);

    // Recall mode masks the meaning alone (the rows are red and fully styled again, as
    // SingleMode's settings have them); the entry's four items reveal together.
    feed.SetRecallMode(true);
    feed.ShowNextEntry();
    ASSERT_EQ(host.items.size(), 4u);
    EXPECT_EQ(host.items[3].style, 0x0F0000FFu);
    EXPECT_EQ(host.items[1].style, 0x070000FFu);
    EXPECT_EQ(host.items[2].style, 0x070000FFu);
    int first = -1, count = -1;
    ASSERT_TRUE(feed.EntryItems(2, &first, &count));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(count, 4);
    EXPECT_FALSE(feed.EntryItems(4, &first, &count)) << "no entry beyond the banner's";
    EXPECT_FALSE(feed.EntryItems(-1, &first, &count));
}

TEST_F(WordFeedTest, PreviousRestartAndWrapAround)
{
    WriteDict("缺省字典", Lines(1, 8));
    feed.SetPosition(6);
    ASSERT_TRUE(Open());
    SingleMode();
    feed.ShowNextEntry();
    ASSERT_EQ(feed.GetPosition(), 7);
    feed.Previous();
    EXPECT_TRUE(host.items.empty()) << "previous empties the banner until the next tick";
    EXPECT_EQ(host.timerPeriod, 1000);
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w6");
    EXPECT_EQ(feed.GetPosition(), 6);

    feed.SetPosition(1);
    ASSERT_TRUE(Open());
    feed.Previous();
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w1");

    feed.Restart();
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w1");
    EXPECT_EQ(feed.GetPosition(), 1);

    feed.SetPosition(8);
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w1") << "the end of the dictionary starts it over";
    EXPECT_EQ(feed.GetPosition(), 1);
}

TEST_F(WordFeedTest, PositionBeyondTheEndShowsTheFirstLine)
{
    WriteDict("缺省字典", Lines(1, 3));
    feed.SetPosition(500);
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w1");
    EXPECT_EQ(feed.GetPosition(), 1);
}

TEST_F(WordFeedTest, ContinuousModeClearsOnEveryThirtyFirstStep)
{
    WriteDict("缺省字典", Lines(1, 100));
    ASSERT_TRUE(Open());
    feed.ApplyBannerSettings(BannerSettings());
    for (int i = 0; i < 30; ++i)
        feed.ShowNextEntry();
    EXPECT_EQ(host.items.size(), 120u);
    EXPECT_EQ(host.clears, 0);
    feed.ShowNextEntry();
    EXPECT_EQ(host.items.size(), 4u);
    EXPECT_EQ(host.clears, 1);
    for (int i = 0; i < 30; ++i)
        feed.ShowNextEntry();
    EXPECT_EQ(host.clears, 1);
    feed.ShowNextEntry();
    EXPECT_EQ(host.clears, 2);
    EXPECT_EQ(host.items.size(), 4u);
}

TEST_F(WordFeedTest, SwitchingScrollOffShowsOneEntryWithGreenMarker)
{
    WriteDict("缺省字典", Lines(1, 10));
    ASSERT_TRUE(Open());
    feed.ApplyBannerSettings(BannerSettings());
    EXPECT_EQ(host.speed, 800);
    feed.ShowNextEntry();
    feed.ShowNextEntry();
    SingleMode();
    EXPECT_EQ(host.speed, 0);
    feed.ShowNextEntry();
    ASSERT_EQ(host.items.size(), 4u);
    EXPECT_EQ(host.items[0].style & BANNER_COLOR_MASK, 0x00FF00u);
}

TEST_F(WordFeedTest, PauseStaysPausedUntilPlay)
{
    WriteDict("缺省字典", Lines(1, 10));
    ASSERT_TRUE(Open());
    feed.StartEntryTimer();
    feed.PausePlay();
    EXPECT_EQ(host.timerPeriod, 0);
    feed.ShowNextEntry(); // "next" still works while paused
    EXPECT_EQ(host.items.size(), 4u);
    feed.Previous();
    EXPECT_EQ(host.timerPeriod, 0) << "previous must not resume a paused feed";
    feed.ApplyBannerSettings(BannerSettings());
    EXPECT_EQ(host.timerPeriod, 0) << "applying settings must not resume a paused feed";
    feed.PausePlay();
    EXPECT_EQ(host.timerPeriod, 1000);
    feed.ApplyBannerSettings(BannerSettings());
    EXPECT_EQ(host.timerPeriod, 2000);
}

TEST_F(WordFeedTest, HoldingKeepsTheFeedStillWithoutPausingIt)
{
    WriteDict("缺省字典", Lines(1, 10));
    ASSERT_TRUE(Open());
    feed.ApplyBannerSettings(BannerSettings());
    ASSERT_EQ(host.timerPeriod, 2000);
    // The pointer rests on the strip, then the bar is hidden as well.
    feed.SetHold(CWordFeed::kHoldPointer, true);
    EXPECT_EQ(host.timerPeriod, 0);
    feed.SetHold(CWordFeed::kHoldHidden, true);
    feed.SetHold(CWordFeed::kHoldPointer, false);
    EXPECT_EQ(host.timerPeriod, 0) << "still hidden";
    feed.StartEntryTimer(); // a resize restarts the timer: not while held
    EXPECT_EQ(host.timerPeriod, 0);
    EXPECT_FALSE(feed.IsPaused()) << "the pause button's state is the user's";
    feed.SetHold(CWordFeed::kHoldHidden, false);
    EXPECT_EQ(host.timerPeriod, 1000) << "let go, with the period it had last";

    // Paused while held: letting go keeps it paused; play while held waits for the release.
    feed.SetHold(CWordFeed::kHoldPointer, true);
    feed.PausePlay();
    feed.SetHold(CWordFeed::kHoldPointer, false);
    EXPECT_EQ(host.timerPeriod, 0);
    EXPECT_TRUE(feed.IsPaused());
    feed.SetHold(CWordFeed::kHoldPointer, true);
    feed.PausePlay();
    EXPECT_EQ(host.timerPeriod, 0);
    feed.SetHold(CWordFeed::kHoldPointer, false);
    EXPECT_EQ(host.timerPeriod, 1000);
}

TEST_F(WordFeedTest, EntryPeriodBelowOneSecondIsRaised)
{
    WriteDict("缺省字典", Lines(1, 3));
    ASSERT_TRUE(Open());
    BannerSettings s;
    s.entrySeconds = 0;
    feed.ApplyBannerSettings(s);
    EXPECT_EQ(host.timerPeriod, 1000);
    s.entrySeconds = 3;
    feed.ApplyBannerSettings(s);
    EXPECT_EQ(host.timerPeriod, 3000);
}

TEST_F(WordFeedTest, EmptyDictionaryShowsMarkersAndBlanks)
{
    WriteDict("缺省字典", "\r\n\r\n");
    feed.SetPosition(7);
    ASSERT_TRUE(Open());
    EXPECT_EQ(feed.GetPosition(), 0);
    feed.ShowNextEntry();
    ASSERT_EQ(host.items.size(), 4u);
    EXPECT_EQ(host.items[1].text, "  ");
    EXPECT_EQ(host.items[3].text, "  ");
    EXPECT_EQ(feed.GetPosition(), 1);
}

TEST_F(WordFeedTest, MissingDictionaryFallsBackToDefaultThenEndsProgram)
{
    WriteDict("缺省字典", Lines(1, 3));
    EXPECT_TRUE(Open("没有这个"));
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w2");
    EXPECT_TRUE(host.errors.empty());
    std::remove((folder + "Dictionary\\缺省字典.KM").c_str());
    EXPECT_FALSE(Open("没有这个"));
    EXPECT_EQ(dictOpen, 0);
    EXPECT_EQ(host.endCode, -1);
    // One box, before the end, naming both files tried and what to do.
    ASSERT_EQ(host.errors.size(), 1u);
    const std::string& text = host.errors[0];
    EXPECT_NE(text.find(folder + "Dictionary\\没有这个.KM"), std::string::npos) << text;
    EXPECT_NE(text.find(folder + "Dictionary\\缺省字典.KM"), std::string::npos) << text;
    EXPECT_NE(text.find("重新启动"), std::string::npos) << "says how to mend it";
    // With the default dictionary chosen, its path is named once.
    EXPECT_FALSE(Open());
    ASSERT_EQ(host.errors.size(), 2u);
    const std::string path = folder + "Dictionary\\缺省字典.KM";
    EXPECT_EQ(host.errors[1].find(path), host.errors[1].rfind(path));
}

TEST_F(WordFeedTest, ChangingDictionaryKeepsThePosition)
{
    WriteDict("缺省字典", Lines(1, 10));
    WriteDict("second", "s1/x/y\r\ns2/x/y\r\ns3/x/y\r\ns4/x/y\r\n");
    feed.SetPosition(2);
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    ASSERT_TRUE(Open("second"));
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "s4");
}

TEST_F(WordFeedTest, ReopeningFarIntoALargeDictionaryMatchesReadingFromTheStart)
{
    WriteDict("缺省字典", Lines(1, 30000));
    feed.SetPosition(20000);
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w20001");
    // Every resize reopens at the position; checkpoints must give the same place.
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Open());
        feed.ShowNextEntry();
    }
    EXPECT_EQ(host.LastWord(), "w20006");
    feed.Previous();
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w20005");
    // The file changes: stale checkpoints must not be trusted.
    WriteDict("缺省字典", "\r\n" + Lines(1, 30000) + Lines(1, 5));
    feed.SetPosition(20000);
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w20001");
}

TEST_F(WordFeedTest, WarningBoxInsideAStepDoesNotStackSteps)
{
    // The warning sink plays the part of a message box whose own message loop lets
    // the feed timer fire again.
    struct ReentrantWarning : ILineReaderWarning {
        CWordFeed* feed = nullptr;
        int warnings = 0;
        void Warn(const std::string&, const std::string&) override
        {
            ++warnings;
            feed->ShowNextEntry();
            feed->Previous();
        }
    } warning;
    warning.feed = &feed;
    feed.SetWarningSink(&warning);
    WriteDict("缺省字典", std::string(5000, 'x') + "\r\n" + Lines(1, 3));
    feed.SetPosition(0);
    ASSERT_TRUE(Open());
    SingleMode();
    feed.ShowNextEntry();
    EXPECT_EQ(warning.warnings, 1) << "once per opening: the check read when opening warns, the step does not";
    EXPECT_EQ(host.items.size(), 4u);
    EXPECT_EQ(feed.GetPosition(), 1);
}

TEST_F(WordFeedTest, DictionaryFullOfOverlongLinesWarnsOnceAndStaysUsable)
{
    struct CountingWarning : ILineReaderWarning {
        int warnings = 0;
        void Warn(const std::string&, const std::string&) override { ++warnings; }
    } warning;
    feed.SetWarningSink(&warning);
    std::string lines;
    for (int i = 1; i <= 1000; ++i)
        lines += "w" + std::to_string(i) + std::string(3000, 'x') + "\r\n";
    WriteDict("缺省字典", lines);
    WriteDict("second", std::string(10000, 'y') + "\r\n" + Lines(1, 3));
    feed.SetPosition(0);
    ASSERT_TRUE(Open());
    SingleMode();
    for (int step = 0; step < 40; ++step)
        feed.ShowNextEntry();
    EXPECT_EQ(warning.warnings, 1);
    // The later long lines come cut and counted: every line is two pieces, so step 40
    // shows the second piece of "w20" + 3000 x.
    EXPECT_EQ(host.LastWord(), std::string(3000 + 3 - 2047, 'x'));
    EXPECT_EQ(feed.GetPosition(), 40);
    // Reopening the same dictionary (every resize does) is no new opening...
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    EXPECT_EQ(warning.warnings, 1);
    // ...another dictionary is, and warns once about its own first long line.
    feed.SetPosition(0);
    ASSERT_TRUE(Open("second"));
    for (int step = 0; step < 8; ++step)
        feed.ShowNextEntry();
    EXPECT_EQ(warning.warnings, 2);
}

TEST(ReadBannerSettings, DefaultsWithoutAFileAreAllRedAndAllStyled)
{
    lex::CSettings settings(::testing::TempDir() + "no_such_dir/Lexorin.ini");
    BannerSettings b = ReadBannerSettings(settings);
    EXPECT_TRUE(b.autoSize);
    EXPECT_TRUE(b.scroll);
    EXPECT_EQ(b.backColour, 0xffu);
    EXPECT_EQ(b.entrySeconds, 2);
    EXPECT_EQ(b.word.colour, 0xffu);
    EXPECT_TRUE(b.meaning.italic && b.meaning.bold && b.meaning.underline);
}

// A bar nobody saw for a while shows, the moment it is seen again, what a bar that was
// seen all along shows: same position, same entries on the strip.
TEST_F(WordFeedTest, UnseenFeedCatchesUpToTheStepWithoutItsTimer)
{
    WriteDict("缺省字典", Lines(1, 100));
    for (bool continuous : {true, false}) {
        SCOPED_TRACE(continuous ? "continuous" : "single entry");
        // The reference: the same feed, never hidden, stepped by its timer.
        FakeHost seenHost;
        int seenOpen = 0;
        CWordFeed seen(seenHost, seenOpen, 1000);
        BannerSettings settings;
        settings.scroll = continuous;
        settings.entrySeconds = 2;
        host.now = seenHost.now = 0;
        feed.SetPosition(1);
        seen.SetPosition(1);
        ASSERT_TRUE(Open());
        ASSERT_TRUE(seen.OpenDictionary(folder, "缺省字典"));
        feed.ApplyBannerSettings(settings);
        seen.ApplyBannerSettings(settings);
        auto tickUntil = [](FakeHost& h, CWordFeed& f, uint64_t until) {
            // The timer's ticks fall every 2 s from the moment it was set, at 0.
            for (uint64_t next = (h.now / 2000 + 1) * 2000; h.timerPeriod > 0 && next <= until; next += 2000) {
                h.now = next;
                f.OnTimerTick();
            }
            h.now = until;
        };
        tickUntil(host, feed, 5000);
        feed.SetSeen(false);
        EXPECT_EQ(host.timerPeriod, 0) << "no timer while unseen";
        const int addsBefore = host.adds;
        // 150 s unseen: 75 steps, past the end of the dictionary and over two clears.
        host.now = 155500;
        feed.SetSeen(true);
        tickUntil(seenHost, seen, 155500);
        EXPECT_EQ(feed.GetPosition(), seen.GetPosition());
        ASSERT_EQ(host.items.size(), seenHost.items.size());
        for (size_t i = 0; i < host.items.size(); ++i)
            EXPECT_EQ(host.items[i].text, seenHost.items[i].text) << i;
        EXPECT_LE(host.adds - addsBefore, 4 * (CWordFeed::kEntriesBeforeClear + 1))
            << "only the entries the strip still holds are added";
        // The next step on the old schedule: 0.5 s later, then every 2 s again.
        EXPECT_EQ(host.timerPeriod, 500);
        host.now += 500;
        feed.OnTimerTick();
        EXPECT_EQ(host.timerPeriod, 2000);
        tickUntil(seenHost, seen, host.now);
        EXPECT_EQ(feed.GetPosition(), seen.GetPosition());

        // Settings applied while unseen start no timer; ending while unseen catches up.
        feed.SetSeen(false);
        feed.ApplyBannerSettings(settings);
        EXPECT_EQ(host.timerPeriod, 0);
        const int before = feed.GetPosition();
        host.now += 7000;
        EXPECT_EQ(feed.CatchUpAfterHidden(), 3);
        EXPECT_EQ(feed.GetPosition(), before + 3);
        EXPECT_EQ(feed.CatchUpAfterHidden(), 0) << "steps are made up once";
        feed.SetSeen(true);
    }
}

// A laptop that sleeps through the night with the bar unseen (display off, then
// asleep): when it is seen again in the morning the reading place has moved on by the
// time the machine was awake, not by the night.
TEST_F(WordFeedTest, ANightAsleepMovesAnUnseenFeedOnlyByTheTimeAwake)
{
    WriteDict("缺省字典", Lines(1, 1000));
    constexpr uint64_t kNight = 8ull * 3600 * 1000;
    BannerSettings settings;
    settings.entrySeconds = 1;
    // The same feed unseen for the same time awake, never suspended.
    FakeHost awakeHost;
    int awakeOpen = 0;
    CWordFeed awake(awakeHost, awakeOpen, 1000);
    awake.SetPosition(0);
    ASSERT_TRUE(awake.OpenDictionary(folder, "缺省字典"));
    awake.ApplyBannerSettings(settings);
    awakeHost.now = 500;
    awake.SetSeen(false);
    awakeHost.now = 16500;
    awake.SetSeen(true);
    ASSERT_GE(awake.GetPosition(), 15);

    // The clock that counts sleep (the performance counter may) and one that leaves it
    // out (the unbiased interrupt time) give the same morning.
    for (const bool clockCountsSleep : {true, false}) {
        SCOPED_TRACE(clockCountsSleep ? "the clock runs on in sleep" : "the clock stops in sleep");
        FakeHost h;
        int open = 0;
        CWordFeed f(h, open, 1000);
        f.SetPosition(0);
        ASSERT_TRUE(f.OpenDictionary(folder, "缺省字典"));
        f.ApplyBannerSettings(settings);
        h.now = 500;
        f.SetSeen(false);
        h.now = 10500;
        f.SetSuspended(true);
        h.now += clockCountsSleep ? kNight : 20;
        f.SetSuspended(false);
        f.SetSuspended(false); // the second resume notice of the same wake-up
        h.now += 6000;
        f.SetSeen(true);
        EXPECT_EQ(f.GetPosition(), awake.GetPosition());
        EXPECT_EQ(h.LastWord(), awakeHost.LastWord());
        EXPECT_EQ(h.timerPeriod, awakeHost.timerPeriod) << "the next step on the awake schedule";
    }

    // Ending while suspended (the session ends from sleep): the steps due before the
    // suspension are taken, none of the night.
    feed.SetPosition(0);
    ASSERT_TRUE(Open());
    feed.ApplyBannerSettings(settings);
    host.now = 500;
    feed.SetSeen(false);
    host.now = 3500;
    feed.SetSuspended(true);
    host.now += kNight;
    EXPECT_EQ(feed.CatchUpAfterHidden(), 3);
    EXPECT_EQ(feed.GetPosition(), 3);
}

// A learner's marks: a known word is read past until it is due, due words come back
// between new entries at the review rate, and the banner's entries can be found from
// their items.
TEST_F(WordFeedTest, MarkedWordsWaitUntilDueAndComeBackBetweenNewEntries)
{
    WriteDict("缺省字典", Lines(1, 12));
    setenv("LEXORIN_TODAY", "2026-01-10", 1);
    SingleMode();
    feed.SetPosition(1);
    ASSERT_TRUE(Open());
    feed.ShowNextEntry();
    ASSERT_EQ(host.LastWord(), "w2");
    ASSERT_NE(feed.NewestEntry(), nullptr);
    EXPECT_EQ(feed.NewestEntry()->meaning, "m2");
    EXPECT_EQ(feed.EntryAtItem(3), feed.NewestEntry());
    EXPECT_EQ(feed.EntryAtItem(4), nullptr);
    ASSERT_TRUE(feed.MarkEntry(*feed.NewestEntry(), true));
    ASSERT_TRUE(feed.MarkEntry(DictEntry{"w4", "p4", "m4"}, true));

    std::string record;
    std::ifstream in(folder + "Dictionary\\缺省字典.study-journal", std::ios::binary);
    record.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    EXPECT_NE(record.find("w2\t2026-01-12\t0\t2.3065\t2.1181\t2026-01-10\t2026-01-10+\r\n"), std::string::npos)
        << record;

    // Not due today: w4 is read past, and the position counts it as read.
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w3");
    feed.ShowNextEntry();
    EXPECT_EQ(host.LastWord(), "w5");
    EXPECT_EQ(feed.GetPosition(), 5);

    // The same after a restart of the program, from a fresh feed on the same file.
    {
        FakeHost other;
        int open = 0;
        CWordFeed again(other, open, 1000);
        again.SetPosition(0);
        ASSERT_TRUE(again.OpenDictionary(folder, "缺省字典"));
        std::vector<std::string> words;
        for (int i = 0; i < 12; ++i) {
            again.ShowNextEntry();
            words.push_back(other.LastWord());
        }
        EXPECT_EQ(std::count(words.begin(), words.end(), "w2"), 0);
        EXPECT_EQ(std::count(words.begin(), words.end(), "w4"), 0);
        EXPECT_EQ(words[0], "w1");
        EXPECT_EQ(words[1], "w3");
        EXPECT_EQ(words[10], "w1") << "the dictionary starts over past its end";
    }

    // Two days later both are due: they come back as reviews, one every two entries.
    setenv("LEXORIN_TODAY", "2026-01-12", 1);
    feed.SetReviewEvery(2);
    std::vector<std::string> shown, markers;
    for (int i = 0; i < 8; ++i) {
        feed.ShowNextEntry();
        shown.push_back(host.LastWord());
        markers.push_back(host.items[0].text);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"w2", "w6", "w7", "w4", "w8", "w9", "w2", "w10"}));
    EXPECT_EQ(markers[0], "※ ") << "a review carries its own marker";
    EXPECT_EQ(markers[1], "· ");
    EXPECT_EQ(host.items[3].text, "m10  ");
    EXPECT_EQ(feed.GetPosition(), 10) << "reviews read no line";

    // Not known: a lapse leaves less than a day's stability, so the word is due tomorrow.
    ASSERT_TRUE(feed.MarkEntry(DictEntry{"w2", "p2", "m2"}, false));
    const lex::StudyCard* card = feed.StudyRecord().Find("w2");
    ASSERT_NE(card, nullptr);
    EXPECT_LT(card->stability, 1.0);
    EXPECT_EQ(card->lapses, 1);
    EXPECT_EQ(lex::FormatStudyDay(card->due), "2026-01-13");
    unsetenv("LEXORIN_TODAY");
}

// Several words due at once come back least likely to be recalled first, whatever
// their due days or their order in the record.
TEST_F(WordFeedTest, DueWordsComeBackLeastLikelyRecalledFirst)
{
    WriteDict("缺省字典", Lines(1, 12));
    // On 2026-01-20: w3 is 50 days past its last mark with 30 days' stability (15 days
    // overdue), w5 10 days with 2 (8 days overdue), w7 6 days with 5 (1 day overdue).
    std::ofstream(folder + "Dictionary\\缺省字典.study", std::ios::binary)
        << "w7\t2026-01-19\t0\t5.0000\t5.0000\t2026-01-14\t2026-01-14+\r\n"
           "w3\t2026-01-05\t0\t30.0000\t5.0000\t2025-12-01\t2025-12-01+\r\n"
           "w5\t2026-01-12\t1\t2.0000\t7.0000\t2026-01-10\t2026-01-10-\r\n";
    setenv("LEXORIN_TODAY", "2026-01-20", 1);
    SingleMode();
    feed.SetPosition(8);
    ASSERT_TRUE(Open());
    feed.SetReviewEvery(1);
    std::vector<std::string> reviews, others;
    for (int i = 0; i < 6; ++i) {
        feed.ShowNextEntry();
        (host.items[0].text == "※ " ? reviews : others).push_back(host.LastWord());
    }
    EXPECT_EQ(reviews, (std::vector<std::string>{"w5", "w3", "w7"}));
    EXPECT_EQ(others, (std::vector<std::string>{"w9", "w10", "w11"}));
    unsetenv("LEXORIN_TODAY");
}

// Every word known and waiting: the steps show nothing rather than reading round the
// dictionary for ever, and on their due day the words are back.
TEST_F(WordFeedTest, ADictionaryOfWaitingWordsShowsNothingUntilTheyAreDue)
{
    WriteDict("缺省字典", Lines(1, 3));
    setenv("LEXORIN_TODAY", "2026-07-01", 1);
    feed.SetPosition(0);
    ASSERT_TRUE(Open());
    for (const char* word : {"w1", "w2", "w3"})
        ASSERT_TRUE(feed.MarkEntry(DictEntry{word, "", ""}, true));
    feed.ShowNextEntry();
    feed.ShowNextEntry();
    EXPECT_TRUE(host.items.empty());
    EXPECT_EQ(feed.NewestEntry(), nullptr);
    const int position = feed.GetPosition();
    feed.ShowNextEntry();
    EXPECT_EQ(feed.GetPosition(), position) << "no more reading while nothing can be shown";

    setenv("LEXORIN_TODAY", "2026-07-03", 1); // due two days after a first known mark
    feed.ShowNextEntry();
    ASSERT_EQ(host.items.size(), 4u);
    EXPECT_EQ(host.items[0].text, "☉ ") << "read from the dictionary again, not only brought back";
    EXPECT_NE(feed.GetPosition(), position);
    unsetenv("LEXORIN_TODAY");
}

// What the bar may speak by itself: each entry shown while somebody sees the running
// strip, reviews included, in order; nothing while paused or held, and none of the
// entries made up after the bar was unseen.
TEST_F(WordFeedTest, EntriesAreToldOnlyWhileTheRunningFeedIsSeen)
{
    WriteDict("缺省字典", Lines(1, 20));
    feed.SetPosition(0);
    ASSERT_TRUE(Open());
    feed.StartEntryTimer();
    feed.OnTimerTick();
    feed.OnTimerTick();
    EXPECT_EQ(host.told, (std::vector<std::string>{"w1", "w2"}));

    feed.PausePlay();
    feed.ShowNextEntry();
    feed.PausePlay();
    feed.SetHold(CWordFeed::kHoldPointer, true);
    feed.ShowNextEntry();
    feed.SetHold(CWordFeed::kHoldPointer, false);
    EXPECT_EQ(host.told.size(), 2u) << "paused or held, entries are not told";
    EXPECT_EQ(host.LastWord(), "w4") << "but they are shown";

    feed.SetSeen(false);
    host.now += 10000;
    feed.SetSeen(true);
    EXPECT_GT(feed.GetPosition(), 10) << "the unseen steps were made up";
    EXPECT_EQ(host.told.size(), 2u) << "catch-up entries are not told";

    // Missed one day, due the next.
    setenv("LEXORIN_TODAY", "2026-07-01", 1);
    ASSERT_TRUE(feed.MarkEntry(DictEntry{"w1", "p1", "m1"}, false));
    setenv("LEXORIN_TODAY", "2026-07-02", 1);
    feed.SetReviewEvery(1);
    feed.OnTimerTick();
    feed.OnTimerTick();
    unsetenv("LEXORIN_TODAY");
    ASSERT_EQ(host.told.size(), 4u);
    EXPECT_EQ(host.told[2], "w1") << "a review coming back is told";
    EXPECT_EQ(host.told[3], host.LastWord());
    EXPECT_NE(host.told[3], "w1");
}
