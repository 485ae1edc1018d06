#include "options/study_chart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lex {

int StudyProgress::Reviews() const
{
    int sum = 0;
    for (int i = 0; i < kDays; ++i)
        sum += known[i] + missed[i];
    return sum;
}

int StudyProgress::KnownReviews() const
{
    int sum = 0;
    for (int count : known)
        sum += count;
    return sum;
}

int StudyProgress::KnownPercent() const
{
    const int reviews = Reviews();
    if (reviews == 0)
        return -1;
    return static_cast<int>((KnownReviews() * 200LL + reviews) / (2LL * reviews));
}

StudyProgress MeasureStudyProgress(const std::vector<StudyCard>& cards, StudyDay today)
{
    StudyProgress progress;
    progress.today = today;
    constexpr int kDays = StudyProgress::kDays;
    for (const StudyCard& card : cards) {
        ++progress.words;
        // The log runs oldest first: only its tail can fall in the window.
        for (auto review = card.reviews.rbegin(); review != card.reviews.rend(); ++review) {
            const int ago = today - review->day;
            if (ago >= kDays)
                break;
            if (ago < 0)
                continue; // a mark dated after today (the clock was moved back)
            int* const counts = review->known ? progress.known : progress.missed;
            ++counts[kDays - 1 - ago];
        }
        if (card.Mastered()) {
            ++progress.mastered;
        } else if (card.due <= today) {
            ++progress.dueToday;
        } else if (card.due - today <= kDays) {
            ++progress.due[card.due - today - 1];
        }
    }
    return progress;
}

std::string ChartDate(StudyDay day)
{
    // FormatStudyDay gives YYYY-MM-DD.
    const std::string date = FormatStudyDay(day);
    const int month = std::atoi(date.c_str() + 5);
    const int dayOfMonth = std::atoi(date.c_str() + 8);
    return std::to_string(month) + "/" + std::to_string(dayOfMonth);
}

std::string StudyProgressText(const StudyProgress& progress, int retentionPercent)
{
    char text[256];
    const int known = progress.KnownPercent();
    const std::string share = known < 0 ? std::string("—") : std::to_string(known) + "%";
    std::snprintf(text, sizeof text, "已标记 %d 个词，已掌握 %d 个，今天到期 %d 个\r\n近 30 天认识率 %s · 目标 %d%%",
                  progress.words, progress.mastered, progress.dueToday, share.c_str(), retentionPercent);
    return text;
}

int ChartScaleTop(int largest)
{
    int top = 5;
    for (long long decade = 10; top < largest; decade *= 10) {
        for (int step : {1, 2, 5}) {
            top = static_cast<int>(std::min<long long>(decade * step, 1LL << 30));
            if (top >= largest)
                break;
        }
    }
    return top;
}

namespace {

int Scaled(int value96, int dpi) { return (value96 * dpi + 48) / 96; }

} // namespace

StudyChartLayout LayoutStudyChart(const StudyProgress& progress, const StudyChartMetrics& metrics)
{
    StudyChartLayout layout;
    constexpr int kDays = StudyProgress::kDays;
    constexpr int kColumns = StudyChartLayout::kColumns;
    const int dpi = metrics.dpi > 0 ? metrics.dpi : 96;
    const int pad = Scaled(1, dpi);

    layout.columnWidth = std::max(1, (metrics.width - 2 * pad) / kColumns);
    const int gap = layout.columnWidth >= 4 ? layout.columnWidth / 4 : (layout.columnWidth >= 2 ? 1 : 0);
    layout.barWidth = layout.columnWidth - gap;
    layout.plot.left = std::max(0, (metrics.width - layout.columnWidth * kColumns) / 2);
    layout.plot.right = layout.plot.left + layout.columnWidth * kColumns;
    layout.legendTop = 0;
    layout.plot.top = metrics.textHeight + Scaled(4, dpi);
    layout.plot.bottom = std::max(layout.plot.top + 1, metrics.height - metrics.textHeight - Scaled(3, dpi));
    layout.labelTop = layout.plot.bottom + Scaled(2, dpi);
    layout.scaleLeft = layout.plot.right - metrics.scaleWidth;

    layout.today = {layout.ColumnLeft(StudyChartLayout::kTodayColumn), layout.plot.top,
                    layout.ColumnLeft(StudyChartLayout::kTodayColumn + 1), layout.plot.bottom};

    // The legend: a swatch and its text for each kind of bar, left to right.
    const int swatch = Scaled(8, dpi);
    int x = layout.plot.left;
    for (int i = 0; i < 3; ++i) {
        ChartLegendItem& item = layout.legend[i];
        item.kind = static_cast<ChartBarKind>(i);
        const int top = layout.legendTop + (metrics.textHeight - swatch) / 2;
        item.swatch = {x, top, x + swatch, top + swatch};
        item.textLeft = x + swatch + Scaled(3, dpi);
        x = item.textLeft + metrics.legendWidths[i] + Scaled(10, dpi);
    }

    int largest = 0;
    for (int i = 0; i < kDays; ++i)
        largest = std::max({largest, progress.known[i] + progress.missed[i], progress.due[i]});
    layout.scaleTop = ChartScaleTop(largest);

    const int plotHeight = layout.plot.bottom - layout.plot.top;
    const auto heightOf = [&](int count) {
        if (count <= 0)
            return 0;
        const long long h = (static_cast<long long>(count) * plotHeight + layout.scaleTop / 2) / layout.scaleTop;
        return static_cast<int>(std::max<long long>(1, std::min<long long>(h, plotHeight)));
    };
    const auto addBar = [&](int column, ChartBarKind kind, int top, int bottom) {
        if (bottom <= top)
            return;
        const int left = layout.ColumnLeft(column) + (layout.columnWidth - layout.barWidth) / 2;
        layout.bars.push_back({{left, top, left + layout.barWidth, bottom}, kind, column});
    };
    const int axis = layout.plot.bottom;
    for (int i = 0; i < kDays; ++i) {
        const int known = heightOf(progress.known[i]);
        int total = heightOf(progress.known[i] + progress.missed[i]);
        if (progress.missed[i] > 0 && total <= known)
            total = std::min(plotHeight, known + 1);
        addBar(i, ChartBarKind::Known, axis - known, axis);
        addBar(i, ChartBarKind::Missed, axis - total, axis - known);
        addBar(kDays + i, ChartBarKind::Due, axis - heightOf(progress.due[i]), axis);
    }

    // A date every week, counted from today; every other week when a week's columns
    // are narrower than a label.
    const int step = 7 * layout.columnWidth >= metrics.dateWidth + Scaled(4, dpi) ? 7 : 14;
    for (int column = StudyChartLayout::kTodayColumn % step; column < kColumns; column += step) {
        const int centre = layout.ColumnLeft(column) + layout.columnWidth / 2;
        const int left = std::clamp(centre - metrics.dateWidth / 2, 0, std::max(0, metrics.width - metrics.dateWidth));
        layout.labels.push_back({left, progress.today + column - StudyChartLayout::kTodayColumn,
                                 column == StudyChartLayout::kTodayColumn});
    }
    return layout;
}

} // namespace lex
