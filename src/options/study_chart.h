// The study page's picture of progress, without a window: what the record says about
// the last 30 days (marks known and not known per day) and the next 30 (words falling
// due per day), with the page's counts, and where each bar, date label and the legend
// go in a chart of a given size at a given DPI.
//
// The chart has 60 columns, oldest first: the 30 days up to and including today, then
// the 30 days after it. A past column stacks the day's "not known" marks on its
// "known" ones; a future column is the words due that day. Words already due (today or
// earlier) are counted as due today, not drawn; mastered words never fall due.
#pragma once

#include "dictionary/study_record.h"

#include <string>
#include <vector>

namespace lex {

struct StudyProgress {
    static constexpr int kDays = 30;

    StudyDay today = 0;
    int known[kDays] = {};  // marks "known" on today - (kDays - 1) + i
    int missed[kDays] = {}; // marks "not known" on the same days
    int due[kDays] = {};    // words falling due on today + 1 + i
    int words = 0;
    int mastered = 0;
    int dueToday = 0;

    int Reviews() const;
    int KnownReviews() const;
    // The share of the window's marks that were "known", rounded to a whole percent;
    // -1 when there were none.
    int KnownPercent() const;
};

StudyProgress MeasureStudyProgress(const std::vector<StudyCard>& cards, StudyDay today);

// "M/D", as the chart labels a day.
std::string ChartDate(StudyDay day);

// The counts beside the chart (code page 936): words, mastered, due today, then the
// known share over 30 days next to the desired retention.
std::string StudyProgressText(const StudyProgress& progress, int retentionPercent);

// The top of the bar scale: the smallest of 5, 10, 20, 50, 100, 200, ... not below the
// largest day's count.
int ChartScaleTop(int largest);

struct StudyChartMetrics {
    int width = 0;  // the control's client area, in pixels
    int height = 0;
    int dpi = 96;
    int textHeight = 12;      // of the chart's font
    int dateWidth = 30;       // the widest label, "12/31"
    int legendWidths[3] = {}; // the texts "认识了", "不认识", "到期"
    int scaleWidth = 0;       // the scale top's number
};

enum class ChartBarKind { Known, Missed, Due };

struct ChartRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct ChartBar {
    ChartRect rect;
    ChartBarKind kind = ChartBarKind::Known;
    int column = 0;
};

struct ChartLabel {
    int left = 0; // the text's left edge; it is centred under its column
    StudyDay day = 0;
    bool today = false;
};

struct ChartLegendItem {
    ChartRect swatch;
    int textLeft = 0;
    ChartBarKind kind = ChartBarKind::Known;
};

struct StudyChartLayout {
    static constexpr int kColumns = 2 * StudyProgress::kDays;
    static constexpr int kTodayColumn = StudyProgress::kDays - 1;

    ChartRect plot;       // bars stand on plot.bottom, the axis
    int columnWidth = 0;  // each column's pitch; a bar is a gap narrower
    int barWidth = 0;
    int scaleTop = 0;     // the count a bar as tall as the plot would show
    ChartRect today;      // today's column, the full height of the plot
    int labelTop = 0;     // the date labels' top
    int legendTop = 0;
    int scaleLeft = 0;    // where the scale top's number is written, at the plot's top
    std::vector<ChartBar> bars;
    std::vector<ChartLabel> labels;
    ChartLegendItem legend[3];

    // The left edge of a column.
    int ColumnLeft(int column) const { return plot.left + column * columnWidth; }
};

StudyChartLayout LayoutStudyChart(const StudyProgress& progress, const StudyChartMetrics& metrics);

} // namespace lex
