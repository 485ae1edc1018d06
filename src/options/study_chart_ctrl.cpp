#include "options/study_chart_ctrl.h"
#include "base/text.h"

#include <algorithm>
#include <string>

namespace {

COLORREF BarColour(lex::ChartBarKind kind)
{
    switch (kind) {
    case lex::ChartBarKind::Known:
        return CStudyChart::kKnownColour;
    case lex::ChartBarKind::Missed:
        return CStudyChart::kMissedColour;
    case lex::ChartBarKind::Due:
        break;
    }
    return CStudyChart::kDueColour;
}

RECT ToRect(const lex::ChartRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void Fill(HDC dc, const RECT& r, COLORREF colour)
{
    lex::CBrush brush;
    brush.CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush.GetSafeHandle());
}

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

} // namespace

void CStudyChart::PreSubclassWindow() { m_dpi.SetFromWindow(m_hWnd); }

void CStudyChart::SetDpi(int dpi)
{
    m_dpi.SetDpi(dpi);
    if (IsWindow())
        Invalidate(FALSE);
}

void CStudyChart::SetProgress(const lex::StudyProgress& progress)
{
    m_progress = progress;
    if (IsWindow())
        Invalidate(FALSE);
}

void CStudyChart::Draw(HDC target)
{
    RECT client;
    GetClientRect(&client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    // Drawn off screen and copied once, so a repaint does not flicker.
    lex::CMemoryDC dc;
    dc.CreateCompatibleDC(target);
    lex::CBitmap frame;
    frame.CreateCompatibleBitmap(target, client.right, client.bottom);
    lex::CSelectObject keepFrame(dc.GetSafeHdc(), frame.GetSafeHandle());
    HWND parent = ::GetParent(m_hWnd);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(parent ? parent : m_hWnd, WM_GETFONT, 0, 0));
    lex::CSelectObject keepFont(dc.GetSafeHdc(), font);
    HDC hdc = dc.GetSafeHdc();

    const std::wstring legend[3] = {lex::Widen("认识了"), lex::Widen("不认识"), lex::Widen("到期")};
    lex::StudyChartMetrics metrics;
    metrics.width = client.right;
    metrics.height = client.bottom;
    metrics.dpi = m_dpi.Dpi();
    TEXTMETRICW tm = {};
    dc.GetTextMetrics(&tm);
    metrics.textHeight = tm.tmHeight;
    metrics.dateWidth = TextWidth(hdc, L"12/31");
    for (int i = 0; i < 3; ++i)
        metrics.legendWidths[i] = TextWidth(hdc, legend[i]);
    // The scale's top depends only on the counts, so it is known before the layout.
    int largest = 0;
    for (int i = 0; i < lex::StudyProgress::kDays; ++i)
        largest = std::max({largest, m_progress.known[i] + m_progress.missed[i], m_progress.due[i]});
    const std::wstring scale = std::to_wstring(lex::ChartScaleTop(largest));
    metrics.scaleWidth = TextWidth(hdc, scale);
    const lex::StudyChartLayout layout = lex::LayoutStudyChart(m_progress, metrics);

    Fill(hdc, client, ::GetSysColor(COLOR_BTNFACE));
    const RECT plot = ToRect(layout.plot);
    Fill(hdc, plot, ::GetSysColor(COLOR_WINDOW));
    Fill(hdc, ToRect(layout.today), kTodayColour);
    Fill(hdc, RECT{plot.left, plot.top, plot.right, plot.top + 1}, kGridColour);
    const int half = plot.bottom - (plot.bottom - plot.top) / 2;
    Fill(hdc, RECT{plot.left, half, plot.right, half + 1}, kGridColour);
    for (const lex::ChartBar& bar : layout.bars)
        Fill(hdc, ToRect(bar.rect), BarColour(bar.kind));
    const int axisWidth = std::max(1, m_dpi.Scale(1));
    Fill(hdc, RECT{plot.left, plot.bottom, plot.right, plot.bottom + axisWidth}, ::GetSysColor(COLOR_BTNSHADOW));

    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    for (const lex::ChartLegendItem& item : layout.legend) {
        Fill(hdc, ToRect(item.swatch), BarColour(item.kind));
        const std::wstring& text = legend[static_cast<int>(item.kind)];
        ::TextOutW(hdc, item.textLeft, layout.legendTop, text.c_str(), static_cast<int>(text.size()));
    }
    ::TextOutW(hdc, layout.scaleLeft, layout.legendTop, scale.c_str(), static_cast<int>(scale.size()));
    for (const lex::ChartLabel& label : layout.labels) {
        const std::wstring text = lex::Widen(lex::ChartDate(label.day));
        RECT r{label.left, layout.labelTop, label.left + metrics.dateWidth, client.bottom};
        dc.SetTextColor(label.today ? kTodayTextColour : ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::BitBlt(target, 0, 0, client.right, client.bottom, hdc, 0, 0, SRCCOPY);
}

LRESULT CStudyChart::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        lex::CPaintDC dc(m_hWnd);
        Draw(dc.GetSafeHdc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    default:
        break;
    }
    return lex::CStatic::WindowProc(msg, wParam, lParam);
}
