// The study page's chart drawn for a record with a known history: the bars of the
// marked and due days stand in their columns with the heights of their counts, and
// today's date is marked, at the DPI the program was started for.
#include "dictionary/study_record.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "options/study_chart_ctrl.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Three words on 2026-04-30: apple known three days ago and today, due in five days;
// pear not known three days ago (overdue); plum known three days ago, due in 61 days.
const char kRecord[] = "apple\t2026-05-05\t0\t5.0000\t5.0000\t2026-04-30\t2026-04-27+,3+\r\n"
                       "pear\t2026-04-28\t1\t1.0000\t7.0000\t2026-04-27\t2026-04-27-\r\n"
                       "plum\t2026-06-30\t0\t30.0000\t4.0000\t2026-04-27\t2026-04-27+\r\n";

struct PixelRun {
    int left, right; // [left, right)
};

std::vector<PixelRun> RunsOf(const wintest::Image& img, int y, COLORREF colour)
{
    std::vector<PixelRun> runs;
    for (int x = 0; x < img.w; ++x) {
        if (img.At(x, y) != colour)
            continue;
        if (!runs.empty() && runs.back().right == x)
            ++runs.back().right;
        else
            runs.push_back({x, x + 1});
    }
    return runs;
}

int HeightAt(const wintest::Image& img, int x, int bottom, COLORREF colour)
{
    int y = bottom;
    while (y >= 0 && img.At(x, y) == colour)
        --y;
    return bottom - y;
}

// The control's client area as WM_PRINTCLIENT draws it.
wintest::Image Print(HWND hWnd)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    wintest::Image img;
    img.w = rc.right;
    img.h = rc.bottom;
    const BITMAPINFO bi = lex::TopDownDibInfo(img.w, img.h);
    lex::CClientDC screen(hWnd);
    lex::CMemoryDC dc;
    dc.CreateCompatibleDC(screen.GetSafeHdc());
    void* bits = nullptr;
    lex::CBitmap dib;
    dib.Attach(CreateDIBSection(screen.GetSafeHdc(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        lex::CSelectObject keep(dc.GetSafeHdc(), dib.GetSafeHandle());
        SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), PRF_CLIENT);
        GdiFlush();
    }
    const auto* p = static_cast<const unsigned char*>(bits);
    img.px.resize(static_cast<size_t>(img.w * img.h));
    for (size_t i = 0; i < img.px.size(); ++i)
        img.px[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
    return img;
}

} // namespace

TEST(StudyChartCtrl, BarsOfAKnownHistoryStandInTheirDaysColumns)
{
    const int dpi = wintest::TestDpi();
    const std::string folder = wintest::MakeTempFolder("studychart");
    const std::string path = folder + "words.study";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(kRecord, 1, sizeof kRecord - 1, f);
    std::fclose(f);
    lex::CStudyRecord record;
    ASSERT_TRUE(record.Load(path));
    ASSERT_EQ(record.Cards().size(), 3u);

    lex::CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "chart", WS_POPUP | WS_VISIBLE, 0, 0, lex::ScaleToDpi(330, dpi),
                                lex::ScaleToDpi(100, dpi), nullptr, 0));
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, lex::ScaleToDpi(312, dpi),
                                 lex::ScaleToDpi(84, dpi), parent.m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    CStudyChart chart;
    ASSERT_TRUE(chart.SubclassWindow(child));
    chart.SetDpi(dpi);
    chart.SetProgress(lex::MeasureStudyProgress(record.Cards(), lex::DayFromDate(2026, 4, 30)));
    const wintest::Image img = Print(child);

    // The axis: the lowest long line of the shadow colour; the plot is 60 days wide.
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    int axis = -1;
    for (int y = img.h - 1; y >= 0 && axis < 0; --y) {
        const std::vector<PixelRun> runs = RunsOf(img, y, shadow);
        if (!runs.empty() && runs[0].right - runs[0].left > img.w / 2)
            axis = y;
    }
    ASSERT_GT(axis, img.h / 2);
    // The axis is thicker at a higher DPI: bars stand on its top row.
    while (axis > 0 && img.At(img.w / 2, axis - 1) == shadow)
        --axis;
    const PixelRun plot = RunsOf(img, axis, shadow)[0];
    const int pitch = (plot.right - plot.left) / 60;
    EXPECT_EQ(pitch, wintest::AtTestDpi(5, 7, 10)) << "the columns follow the DPI";
    EXPECT_EQ(plot.right - plot.left, 60 * pitch);

    // Known marks three days ago (column 26 of 60) and today (column 29).
    const int base = axis - 1;
    const std::vector<PixelRun> known = RunsOf(img, base, CStudyChart::kKnownColour);
    ASSERT_EQ(known.size(), 2u);
    EXPECT_EQ((known[0].left - plot.left) / pitch, 26);
    EXPECT_EQ((known[1].left - plot.left) / pitch, 29);
    EXPECT_LT(known[0].right - known[0].left, pitch) << "a gap between bars";
    // Apple due in five days: column 34; pear is overdue and plum beyond the chart.
    const std::vector<PixelRun> due = RunsOf(img, base, CStudyChart::kDueColour);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ((due[0].left - plot.left) / pitch, 34);

    // Two known and one not known three days ago, stacked; one known today; one due.
    const int one = HeightAt(img, known[1].left, base, CStudyChart::kKnownColour);
    EXPECT_GT(one, lex::ScaleToDpi(5, dpi));
    EXPECT_NEAR(HeightAt(img, known[0].left, base, CStudyChart::kKnownColour), 2 * one, 1);
    const int twoTop = base - HeightAt(img, known[0].left, base, CStudyChart::kKnownColour);
    EXPECT_NEAR(HeightAt(img, known[0].left, twoTop, CStudyChart::kMissedColour), one, 1);
    EXPECT_NEAR(HeightAt(img, due[0].left, base, CStudyChart::kDueColour), one, 1);
    EXPECT_TRUE(RunsOf(img, base, CStudyChart::kMissedColour).empty()) << "the miss stands on the known marks";

    // Today's column is marked in the plot and its date under the axis.
    const int todayLeft = plot.left + 29 * pitch;
    EXPECT_EQ(img.At(todayLeft + pitch - 1, base), CStudyChart::kTodayColour) << "between today's bar and tomorrow's column";
    int todayText = 0;
    for (int y = axis + 1; y < img.h; ++y)
        for (int x = todayLeft - 4 * pitch; x < todayLeft + 5 * pitch; ++x)
            todayText += img.At(x, y) == CStudyChart::kTodayTextColour;
    EXPECT_GT(todayText, 0) << "today's date is written in its own colour";

    chart.UnsubclassWindow();
    parent.DestroyWindow();
    wintest::RemoveFolder(folder);
}
