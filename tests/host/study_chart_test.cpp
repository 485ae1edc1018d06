// The study page's progress: the per-day counts taken from a record's review logs and
// due days, the counts text, and where the chart puts its bars and date labels.
#include "options/study_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace lex;

namespace {

const StudyDay kToday = DayFromDate(2026, 4, 30);

StudyCard Card(const char* word, int lastAgo, int dueIn, std::vector<std::pair<int, bool>> marks)
{
    StudyCard card;
    card.word = word;
    card.last = kToday - lastAgo;
    card.due = kToday + dueIn;
    card.stability = 3;
    card.difficulty = 5;
    for (const auto& [ago, known] : marks)
        card.reviews.push_back({kToday - ago, known});
    return card;
}

// Six words with marks inside and outside the 30 days and due days on either side.
std::vector<StudyCard> History()
{
    return {
        Card("alpha", 0, 5, {{40, true}, {29, true}, {3, false}, {0, true}}),
        Card("beta", 3, 0, {{3, true}, {3, true}}),            // due today
        Card("gamma", 1, 399, {{1, true}}),                    // mastered
        Card("delta", 2, 30, {{2, false}}),                    // due on the last day shown
        Card("epsilon", 0, 31, {{100, true}, {-1, true}}),     // due after the chart; a mark dated tomorrow
        Card("zeta", 10, -4, {{10, false}}),                   // overdue
    };
}

} // namespace

TEST(StudyChart, CountsEachDaysMarksAndDueWordsFromTheRecord)
{
    const StudyProgress p = MeasureStudyProgress(History(), kToday);
    // Index i of the past is today - 29 + i; of the future, today + 1 + i.
    const std::vector<std::pair<int, int>> known = {{0, 1}, {26, 2}, {28, 1}, {29, 1}};
    const std::vector<std::pair<int, int>> missed = {{19, 1}, {26, 1}, {27, 1}};
    int expectKnown[30] = {}, expectMissed[30] = {}, expectDue[30] = {};
    for (const auto& [i, n] : known)
        expectKnown[i] = n;
    for (const auto& [i, n] : missed)
        expectMissed[i] = n;
    expectDue[4] = 1;  // alpha, in 5 days
    expectDue[29] = 1; // delta, in 30 days
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(p.known[i], expectKnown[i]) << i;
        EXPECT_EQ(p.missed[i], expectMissed[i]) << i;
        EXPECT_EQ(p.due[i], expectDue[i]) << i;
    }
    EXPECT_EQ(p.words, 6);
    EXPECT_EQ(p.mastered, 1);
    EXPECT_EQ(p.dueToday, 2);
    EXPECT_EQ(p.Reviews(), 8);
    EXPECT_EQ(p.KnownPercent(), 63) << "5 of 8, rounded";
    EXPECT_EQ(StudyProgressText(p, 90), "已标记 6 个词，已掌握 1 个，今天到期 2 个\r\n近 30 天认识率 63% · 目标 90%");

    const StudyProgress none = MeasureStudyProgress({}, kToday);
    EXPECT_EQ(none.KnownPercent(), -1);
    EXPECT_EQ(StudyProgressText(none, 85), "已标记 0 个词，已掌握 0 个，今天到期 0 个\r\n近 30 天认识率 — · 目标 85%");
    EXPECT_EQ(ChartDate(kToday), "4/30");
    EXPECT_EQ(ChartDate(kToday + 2), "5/2");
    EXPECT_EQ(ChartDate(DayFromDate(2026, 12, 31)), "12/31");
}

TEST(StudyChart, ScaleTopIsTheNextRoundStepAtOrAboveTheBusiestDay)
{
    const std::vector<std::pair<int, int>> cases = {{0, 5},   {5, 5},    {6, 10},   {11, 20},
                                                    {21, 50}, {51, 100}, {101, 200}, {4321, 5000}};
    for (const auto& [largest, top] : cases)
        EXPECT_EQ(ChartScaleTop(largest), top) << largest;
}

namespace {

StudyChartMetrics Metrics(int scale, int width)
{
    StudyChartMetrics m;
    m.width = width * scale;
    m.height = 84 * scale;
    m.dpi = 96 * scale;
    m.textHeight = 12 * scale;
    m.dateWidth = 30 * scale;
    m.legendWidths[0] = m.legendWidths[1] = 36 * scale;
    m.legendWidths[2] = 24 * scale;
    m.scaleWidth = 6 * scale;
    return m;
}

const ChartBar* BarAt(const StudyChartLayout& layout, int column, ChartBarKind kind)
{
    for (const ChartBar& bar : layout.bars)
        if (bar.column == column && bar.kind == kind)
            return &bar;
    return nullptr;
}

} // namespace

TEST(StudyChart, BarsStandInTheirDaysColumnsScaledToTheBusiestDayAtEveryDpi)
{
    const StudyProgress p = MeasureStudyProgress(History(), kToday);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const StudyChartLayout layout = LayoutStudyChart(p, Metrics(scale, 312));
        const ChartRect& plot = layout.plot;
        EXPECT_GE(plot.left, 0);
        EXPECT_LE(plot.right, 312 * scale);
        EXPECT_EQ(layout.scaleTop, 5) << "the busiest day has 3 marks";
        // One bar per day and kind with a count: 4 known, 3 missed, 2 due.
        EXPECT_EQ(layout.bars.size(), 9u);
        const int height = plot.bottom - plot.top;
        for (const ChartBar& bar : layout.bars) {
            EXPECT_GE(bar.rect.left, layout.ColumnLeft(bar.column));
            EXPECT_LE(bar.rect.right, layout.ColumnLeft(bar.column + 1) - 1) << "a gap between neighbours";
            EXPECT_GE(bar.rect.top, plot.top);
            EXPECT_EQ(bar.kind == ChartBarKind::Due, bar.column >= 30);
        }
        // Today - 3: two known and one missed, stacked; one mark is a fifth of the plot.
        const ChartBar* known = BarAt(layout, 26, ChartBarKind::Known);
        const ChartBar* missed = BarAt(layout, 26, ChartBarKind::Missed);
        ASSERT_TRUE(known && missed);
        EXPECT_EQ(known->rect.bottom, plot.bottom);
        EXPECT_NEAR(known->rect.bottom - known->rect.top, 2 * height / 5.0, 1);
        EXPECT_EQ(missed->rect.bottom, known->rect.top);
        EXPECT_NEAR(missed->rect.bottom - missed->rect.top, height / 5.0, 1);
        // Alpha due in 5 days, delta in 30: columns 34 and 59, one word each.
        for (int column : {34, 59}) {
            const ChartBar* due = BarAt(layout, column, ChartBarKind::Due);
            ASSERT_NE(due, nullptr) << column;
            EXPECT_NEAR(due->rect.bottom - due->rect.top, height / 5.0, 1);
        }
        EXPECT_EQ(BarAt(layout, 30, ChartBarKind::Due), nullptr) << "tomorrow has nothing due";
        EXPECT_EQ(layout.today.left, layout.ColumnLeft(29));
        EXPECT_EQ(layout.today.right, layout.ColumnLeft(30));

        // A date each week counted from today, in order, none over another.
        ASSERT_EQ(layout.labels.size(), 9u);
        for (size_t i = 0; i < layout.labels.size(); ++i) {
            const ChartLabel& label = layout.labels[i];
            EXPECT_EQ(label.day, kToday - 28 + 7 * static_cast<int>(i));
            EXPECT_EQ(label.today, label.day == kToday);
            const int column = label.day - kToday + 29;
            const int centre = label.left + 15 * scale;
            EXPECT_GE(centre, layout.ColumnLeft(column) - 1);
            EXPECT_LE(centre, layout.ColumnLeft(column + 1));
            if (i > 0) {
                EXPECT_GE(label.left, layout.labels[i - 1].left + 30 * scale);
            }
        }
        EXPECT_GE(layout.labelTop, plot.bottom);
        EXPECT_LE(layout.labelTop + 12 * scale, 84 * scale);
        EXPECT_LT(layout.legend[0].swatch.right, layout.legend[1].swatch.left);
        EXPECT_LE(layout.legend[2].textLeft + 24 * scale, layout.scaleLeft) << "the legend leaves room for the scale";
    }

    // Too narrow for a label a week: one every two weeks, today's kept.
    const StudyChartLayout narrow = LayoutStudyChart(p, Metrics(1, 200));
    ASSERT_FALSE(narrow.labels.empty());
    for (size_t i = 1; i < narrow.labels.size(); ++i) {
        EXPECT_EQ(narrow.labels[i].day - narrow.labels[i - 1].day, 14);
        EXPECT_GE(narrow.labels[i].left, narrow.labels[i - 1].left + 30);
    }
    EXPECT_TRUE(std::any_of(narrow.labels.begin(), narrow.labels.end(), [](const ChartLabel& l) { return l.today; }));

    // A single miss on a busy day still shows on top of the known marks.
    StudyProgress busy;
    busy.today = kToday;
    busy.known[10] = 400;
    busy.missed[10] = 1;
    const StudyChartLayout crowded = LayoutStudyChart(busy, Metrics(1, 312));
    EXPECT_EQ(crowded.scaleTop, 500);
    const ChartBar* miss = BarAt(crowded, 10, ChartBarKind::Missed);
    ASSERT_NE(miss, nullptr);
    EXPECT_GE(miss->rect.bottom - miss->rect.top, 1);
    EXPECT_GE(miss->rect.top, crowded.plot.top);
}
