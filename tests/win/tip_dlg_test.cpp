// The tip of the day dialog as a real window: what it saves and when, the check box
// after "下一条", what the next button repaints, and how a long tip is laid out.
#include "base/fileio.h"
#include "base/text.h"
#include "dialogs/tip_dlg.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class TipDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = wintest::MakeTempFolder("tipdlg");
        ini = folder + "Lexorin.ini";
        tips = folder + "Tips.tip";
    }
    void TearDown() override { wintest::RemoveFolder(folder); }

    void WriteTips(const std::string& bytes) { ASSERT_TRUE(lex::ReplaceFileContents(tips, bytes)); }
    std::string IniText()
    {
        std::string text;
        lex::ReadWholeFile(ini, text);
        return text;
    }
    static void Open(CTipDlg& dlg)
    {
        ASSERT_TRUE(dlg.Create(IDD_TIP));
        dlg.ShowWindow(SW_SHOWNORMAL);
        UpdateWindow(dlg.m_hWnd);
        wintest::PumpMessages(200);
    }
    static void PressNext(CTipDlg& dlg)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TIP_NEXT, BN_CLICKED), (LPARAM)dlg.GetDlgItem(IDC_TIP_NEXT));
    }
    static RECT Child(const CTipDlg& dlg, int id)
    {
        RECT r;
        GetWindowRect(dlg.GetDlgItem(id), &r);
        MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static int Checked(const CTipDlg& dlg)
    {
        return static_cast<int>(SendMessageW(dlg.GetDlgItem(IDC_TIP_STARTUP), BM_GETCHECK, 0, 0));
    }

    std::string folder, ini, tips;
};

// The dialog's client area as it is on screen.
class Shot {
public:
    explicit Shot(HWND hWnd) : m_image(wintest::Capture(hWnd)) {}
    COLORREF At(int x, int y) const { return m_image.At(x, y); }
    // Pixels in r (clipped to the client area) that are dark, as text is.
    int DarkIn(RECT r) const
    {
        int n = 0;
        for (int y = std::max(0L, r.top); y < std::min<long>(m_image.h, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<long>(m_image.w, r.right); ++x) {
                COLORREF c = At(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
                    ++n;
            }
        return n;
    }
    bool SameIn(const Shot& other, RECT r) const
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) != other.At(x, y))
                    return false;
        return true;
    }

private:
    wintest::Image m_image;
};

TEST_F(TipDlgTest, StartUpIsSavedOnlyByOkAndNextPutsTheBoxBack)
{
    WriteTips("; tips\r\nFirst tip\r\nSecond tip\r\nThird tip\r\n");
    {
        CTipDlg dlg(nullptr, ini, tips);
        EXPECT_EQ(dlg.TipText(), "First tip\n");
        Open(dlg);
        EXPECT_EQ(Checked(dlg), 0);
        EXPECT_TRUE(IsWindowEnabled(dlg.GetDlgItem(IDC_TIP_NEXT)));
        SendMessageW(dlg.GetDlgItem(IDC_TIP_STARTUP), BM_CLICK, 0, 0);
        EXPECT_EQ(Checked(dlg), 1);
        // The next button shows the flag as it was loaded again.
        PressNext(dlg);
        EXPECT_EQ(dlg.TipText(), "Second tip\n");
        EXPECT_EQ(Checked(dlg), 0);
        SendMessageW(dlg.GetDlgItem(IDC_TIP_STARTUP), BM_CLICK, 0, 0);
        dlg.SendMessage(WM_COMMAND, IDCANCEL);
        dlg.DestroyWindow();
    }
    EXPECT_EQ(IniText().find("StartUp"), std::string::npos) << "cancel leaves StartUp alone";
    EXPECT_EQ(lex::CSettings(ini).TipFilePos(), static_cast<int>(std::string("; tips\r\nFirst tip\r\nSecond tip\r\n").size()))
        << "closing saves where the next showing starts";
    {
        CTipDlg dlg(nullptr, ini, tips);
        EXPECT_EQ(dlg.TipText(), "Third tip\n");
        Open(dlg);
        SendMessageW(dlg.GetDlgItem(IDC_TIP_STARTUP), BM_CLICK, 0, 0);
        dlg.SendMessage(WM_COMMAND, IDOK);
        dlg.DestroyWindow();
    }
    EXPECT_EQ(lex::CSettings(ini).TipStartUp(), 1) << "OK saves the box";
    {
        CTipDlg dlg(nullptr, ini, tips);
        EXPECT_TRUE(dlg.StartUpFlag());
        EXPECT_EQ(dlg.TipText(), "First tip\n") << "after the last tip the file starts over";
    }

    // Without a tips file: no window, IDOK, the next button would be off, nothing saved.
    DeleteFileW(lex::Widen(tips).c_str());
    std::string before = IniText();
    {
        CTipDlg dlg(nullptr, ini, tips);
        EXPECT_FALSE(dlg.HasTipsFile());
        EXPECT_EQ(dlg.TipText(), "文件丢失");
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        Open(dlg);
        EXPECT_FALSE(IsWindowEnabled(dlg.GetDlgItem(IDC_TIP_NEXT)));
        dlg.SendMessage(WM_COMMAND, IDCANCEL);
        dlg.DestroyWindow();
    }
    EXPECT_EQ(IniText(), before);
}

TEST_F(TipDlgTest, NextRepaintsOnlyTheHeadingAndTheTip)
{
    WriteTips("短的提示。\r\n第二条提示比第一条长得多，会占满好几行文字，用来确认下一条按钮确实重画了提示区域。\r\n");
    CTipDlg dlg(nullptr, ini, tips);
    Open(dlg);
    RECT panel = Child(dlg, IDC_TIP_PANEL), tip = Child(dlg, IDC_TIP_TEXT), pic = Child(dlg, IDC_TIP_PICTURE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), window = GetSysColor(COLOR_WINDOW);
    // The painted measures at the DPI the test runs at: the rule's distance below the
    // picture, the sidebar's gap before the tip, the heading's height.
    const int rule = wintest::AtTestDpi(6, 9, 12), gap = wintest::AtTestDpi(10, 15, 20);
    const int headingHeight = wintest::AtTestDpi(18, 27, 36);

    Shot first(dlg.m_hWnd);
    // Sidebar, the bulb on it with its white surround turned sidebar-coloured, the rule.
    EXPECT_EQ(first.At(panel.left + 2, panel.bottom - 3), shadow);
    EXPECT_EQ(first.At(pic.left, pic.top), shadow) << "the bulb's white corner is flood-filled";
    const int glass = wintest::AtTestDpi(12, 12, 24); // the bulb is drawn twice as large for 192 DPI
    const COLORREF bulb = first.At(pic.left + glass, pic.top + glass);
    EXPECT_TRUE(GetRValue(bulb) == 0xff && GetGValue(bulb) >= 0xe0 && GetBValue(bulb) <= 0xb0) << "the bulb's yellow glass";
    EXPECT_EQ(first.At(tip.left + 20, pic.bottom + rule), shadow) << "the rule";
    EXPECT_EQ(first.At(tip.left + 20, pic.bottom + rule + wintest::AtTestDpi(1, 2, 2)), window);
    EXPECT_EQ(first.At(tip.left - gap + 1, tip.top), window) << "the sidebar ends 10 pixels (at 96 DPI) left of the tip";
    EXPECT_EQ(first.At(tip.left - gap - 1, tip.top), shadow);
    RECT heading = {tip.left, pic.top, tip.right, pic.top + headingHeight};
    EXPECT_GT(first.DarkIn(heading), 30) << "你知道吗？";
    // The heading's characters are as high as its font at this DPI (the ink of a bold
    // character may reach a little into the cell's leading).
    int inkBottom = pic.top;
    for (int y = pic.top; y < tip.top; ++y)
        if (first.DarkIn(RECT{tip.left, y, tip.right, y + 1}) > 0)
            inkBottom = y + 1;
    EXPECT_GT(inkBottom - pic.top, headingHeight * 3 / 4);
    EXPECT_LE(inkBottom - pic.top, headingHeight * 5 / 4);
    EXPECT_GT(first.DarkIn(tip), 20);

    // Mark the parts a partial paint must not touch, and the tip rectangle it must.
    HDC dc = GetDC(dlg.m_hWnd);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    RECT marks[] = {{panel.left, panel.top, tip.left - gap, panel.bottom},                // sidebar and bulb
                    {panel.left, pic.bottom + rule, panel.right, pic.bottom + rule + 1}, // rule
                    {tip.left, tip.top, tip.right, tip.bottom}};
    for (const RECT& r : marks)
        FillRect(dc, &r, magenta);
    DeleteObject(magenta);
    ReleaseDC(dlg.m_hWnd, dc);
    Shot marked(dlg.m_hWnd);

    PressNext(dlg);
    Shot next(dlg.m_hWnd);
    EXPECT_TRUE(next.SameIn(marked, marks[0])) << "sidebar and picture were repainted";
    EXPECT_TRUE(next.SameIn(marked, marks[1])) << "the rule was repainted";
    EXPECT_NE(next.At(tip.left + 1, tip.bottom - 2), RGB(255, 0, 255)) << "the tip rectangle was not repainted";
    EXPECT_GT(next.DarkIn(tip), 2 * first.DarkIn(tip)) << "the longer tip shows";
    EXPECT_GT(next.DarkIn(heading), 30);
    dlg.DestroyWindow();
}

TEST_F(TipDlgTest, LongTipIsWrappedAndCutAtItsRectangle)
{
    std::string tip;
    for (int i = 0; i < 60; ++i) // 840 bytes: one read, far more than the rectangle holds
        tip += "很长的提示文字";
    WriteTips(tip + "\r\n");
    CTipDlg dlg(nullptr, ini, tips);
    Open(dlg);
    RECT panel = Child(dlg, IDC_TIP_PANEL), r = Child(dlg, IDC_TIP_TEXT);
    Shot shot(dlg.m_hWnd);

    int lines = 0;
    bool inText = false;
    for (int y = r.top; y < r.bottom; ++y) {
        RECT row = {r.left, y, r.right, y + 1};
        bool dark = shot.DarkIn(row) > 0;
        if (dark && !inText)
            ++lines;
        inText = dark;
    }
    EXPECT_GE(lines, 4) << "the tip is wrapped into lines";
    RECT lastLine = {r.left, r.bottom - 12, r.right, r.bottom};
    EXPECT_GT(shot.DarkIn(lastLine), 0) << "lines fill the rectangle to its bottom";
    RECT below = {r.left - 5, r.bottom, panel.right, panel.bottom};
    RECT right = {r.right, r.top, panel.right, r.bottom};
    EXPECT_EQ(shot.DarkIn(below), 0) << "nothing is drawn below the tip rectangle";
    EXPECT_EQ(shot.DarkIn(right), 0) << "nor right of it";
    dlg.DestroyWindow();
}

TEST_F(TipDlgTest, EveryShippedTipFitsTheTipRectangle)
{
    std::string shipped = wintest::FromUnixPath(LEX_DIST_DIR) + "\\Tips.tip";
    CTipDlg dlg(nullptr, ini, shipped);
    ASSERT_TRUE(dlg.HasTipsFile());
    Open(dlg);
    RECT box = Child(dlg, IDC_TIP_TEXT);
    const int width = box.right - box.left, height = box.bottom - box.top;

    LOGFONTW lf = {};
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FF_SWISS;
    wcscpy(lf.lfFaceName, lex::Widen("宋体").c_str());
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = GetDC(dlg.m_hWnd);
    HGDIOBJ old = SelectObject(dc, font);

    lex::CSettings scratch(folder + "scratch.ini");
    lex::CTipsFile shippedTips;
    ASSERT_EQ(shippedTips.Open(shipped, scratch), lex::CTipsFile::OpenResult::kReady);
    int count = 0;
    int64_t last = -1;
    std::string tip;
    while (shippedTips.ReadNextTip(tip).found && shippedTips.Position() > last) {
        last = shippedTips.Position();
        ++count;
        std::wstring text = lex::Widen(tip);
        RECT need = {0, 0, width, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_WORDBREAK | DT_CALCRECT);
        EXPECT_LE(need.bottom, height) << "tip " << count << " is cut: " << tip;
        EXPECT_LE(need.right, width) << "tip " << count;
    }
    EXPECT_GE(count, 34);
    SelectObject(dc, old);
    ReleaseDC(dlg.m_hWnd, dc);
    DeleteObject(font);
    dlg.DestroyWindow();
}

} // namespace
