// CStudyChart: a static control that draws the study page's picture of progress (the
// last 30 days' marks and the next 30 days' due words, study_chart.h) in the parent's
// font, at the DPI it is given. Painting and WM_PRINTCLIENT draw the same frame.
#pragma once

#include "framework/controls.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "options/study_chart.h"

class CStudyChart : public lex::CStatic {
public:
    static constexpr COLORREF kKnownColour = RGB(46, 139, 87);
    static constexpr COLORREF kMissedColour = RGB(214, 69, 65);
    static constexpr COLORREF kDueColour = RGB(52, 101, 164);
    static constexpr COLORREF kTodayColour = RGB(255, 236, 179);
    static constexpr COLORREF kTodayTextColour = RGB(170, 90, 0);
    static constexpr COLORREF kGridColour = RGB(218, 218, 218);

    void SetProgress(const lex::StudyProgress& progress);
    void SetDpi(int dpi);
    const lex::StudyProgress& Progress() const { return m_progress; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void PreSubclassWindow() override;

private:
    void Draw(HDC dc);

    lex::CDpi m_dpi;
    lex::StudyProgress m_progress;
};
