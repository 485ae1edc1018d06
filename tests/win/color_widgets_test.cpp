// The colour widgets on real windows: the colour combo box attached to a dialog
// template and created in code, its owner drawing, the colour button and its palette
// popup with mouse and keyboard.
#include "widgets/color_button.h"
#include "widgets/color_combo.h"
#include "widgets/color_popup.h"
#include "widgets/color_palette.h"
#include "framework/dialog.h"
#include "base/text.h"
#include "support/test_ids.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lex;

namespace {

class ColorsDialog : public CDialog {
public:
    ColorsDialog() : CDialog(IDD_TEST_COLORS) {}
    CColorComboBox combo;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_COMBO, combo); }
};

uint32_t TableColorOf(const std::string& name)
{
    for (const NamedColor& c : kComboColors)
        if (name == c.name)
            return c.color;
    return 0xFFFFFFFFu;
}

int IndexOfName(CComboBox& box, const char* name)
{
    for (int i = 0; i < box.GetCount(); ++i)
        if (box.GetLBText(i) == name)
            return i;
    return -1;
}

// Draws one entry of the box through its parent, as the list does, into a bitmap.
struct DrawnItem {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    RECT rect = {0, 0, 120, 18};
    DrawnItem(HWND parent, HWND box, int id, int index, UINT state)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        DRAWITEMSTRUCT di = {};
        di.CtlType = ODT_COMBOBOX;
        di.CtlID = static_cast<UINT>(id);
        di.itemID = static_cast<UINT>(index);
        di.itemAction = ODA_DRAWENTIRE;
        di.itemState = state;
        di.hwndItem = box;
        di.hDC = dc;
        di.rcItem = rect;
        di.itemData = static_cast<ULONG_PTR>(SendMessageW(box, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
        SendMessageW(parent, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&di));
    }
    ~DrawnItem()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

// A combo box whose list takes only a few strings, as a list short of memory does.
WNDPROC g_comboProc = nullptr;
int g_roomLeft = 0;
LRESULT CALLBACK ShortOfSpaceProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == CB_ADDSTRING) {
        if (g_roomLeft == 0)
            return CB_ERRSPACE;
        --g_roomLeft;
    }
    return CallWindowProcW(g_comboProc, hWnd, msg, wParam, lParam);
}

} // namespace

TEST(ColorComboBox, AttachedToTemplateListsSortedColoursAndSelects)
{
    ColorsDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_COLORS));
    CColorComboBox& box = dlg.combo;
    ASSERT_EQ(box.GetCount(), kComboColorCount);

    // Sorted by name as the list compares them; each entry carries its own colour.
    const LCID lcid = GetUserDefaultLCID();
    for (int i = 0; i < box.GetCount(); ++i) {
        EXPECT_EQ(static_cast<uint32_t>(box.GetItemData(i)), TableColorOf(box.GetLBText(i))) << i;
        if (i > 0) {
            std::wstring a = Widen(box.GetLBText(i - 1)), b = Widen(box.GetLBText(i));
            EXPECT_LE(CompareStringW(lcid, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1), CSTR_EQUAL) << i;
        }
    }
    // The first entry is selected; a colour that is not offered leaves it selected.
    EXPECT_EQ(box.GetCurSel(), 0);
    const uint32_t first = static_cast<uint32_t>(box.GetItemData(0));
    EXPECT_EQ(box.GetSelectedColor(), first);
    box.SelectColor(0x123456);
    EXPECT_EQ(box.GetCurSel(), 0);
    box.SelectColor(0xFF0000);
    EXPECT_EQ(box.GetLBText(box.GetCurSel()), "蓝色");
    EXPECT_EQ(box.GetSelectedColor(), 0xFF0000u);

    // The item height was set on attaching, to what the box itself measures.
    EXPECT_EQ(static_cast<int>(box.SendMessage(CB_GETITEMHEIGHT, 0)), box.ItemHeight());
    EXPECT_GE(static_cast<int>(box.SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1))), box.ItemHeight());

    // On screen the selection field shows the blue swatch.
    dlg.ShowWindow(SW_SHOWNORMAL);
    UpdateWindow(dlg.m_hWnd);
    wintest::PumpMessages(100);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(box.m_hWnd, &info));
    const int quarter = (info.rcItem.right - info.rcItem.left) / 4;
    const int midY = (info.rcItem.top + info.rcItem.bottom) / 2;
    EXPECT_EQ(wintest::ClientPixel(box.m_hWnd, info.rcItem.left + (2 + quarter) / 2, midY), RGB(0, 0, 255));

    box.SetCurSel(-1);
    EXPECT_EQ(box.GetSelectedColor(), 0u);
    dlg.DestroyWindow();
}

TEST(ColorComboBox, DrawsNormalSelectedAndDisabledEntries)
{
    ColorsDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_COLORS));
    const int red = IndexOfName(dlg.combo, "红色");
    ASSERT_GE(red, 0);
    const int swatchX = 10, swatchY = 9; // inside (2, 2, 120 / 4, 16)
    {
        DrawnItem item(dlg.m_hWnd, dlg.combo.m_hWnd, IDC_TEST_COMBO, red, 0);
        EXPECT_EQ(item.At(swatchX, swatchY), RGB(255, 0, 0));
        EXPECT_EQ(item.At(2, swatchY), RGB(0, 0, 0)); // the swatch's frame
        EXPECT_EQ(item.At(0, 0), GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(item.At(118, 1), GetSysColor(COLOR_WINDOW));
    }
    {
        DrawnItem item(dlg.m_hWnd, dlg.combo.m_hWnd, IDC_TEST_COMBO, red, ODS_SELECTED);
        EXPECT_EQ(item.At(swatchX, swatchY), RGB(255, 0, 0));
        EXPECT_EQ(item.At(118, 1), GetSysColor(COLOR_HIGHLIGHT));
    }
    {
        // Disabled: swatch and name both in the inactive caption text colour.
        DrawnItem item(dlg.m_hWnd, dlg.combo.m_hWnd, IDC_TEST_COMBO, red, ODS_DISABLED);
        const COLORREF grey = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
        EXPECT_EQ(item.At(swatchX, swatchY), grey);
        bool textInGrey = false;
        for (int x = 32; x < 118 && !textInGrey; ++x)
            for (int y = 2; y < 16 && !textInGrey; ++y)
                textInGrey = item.At(x, y) == grey;
        EXPECT_TRUE(textInGrey);
    }
    dlg.DestroyWindow();
}

TEST(ColorComboBox, CreatedInCodeAndShortOfSpace)
{
    ColorsDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_COLORS));

    // Unsorted: table order, the first colour selected.
    CColorComboBox created;
    RECT rc = {10, 60, 110, 200};
    ASSERT_TRUE(created.Create(CBS_DROPDOWNLIST | WS_CHILD | WS_VISIBLE | WS_VSCROLL, rc, dlg.m_hWnd, 7001));
    ASSERT_EQ(created.GetCount(), kComboColorCount);
    for (int i = 0; i < kComboColorCount; ++i)
        EXPECT_EQ(created.GetLBText(i), kComboColors[i].name);
    EXPECT_EQ(created.GetCurSel(), 0);
    EXPECT_EQ(created.GetSelectedColor(), 0u);
    EXPECT_EQ(created.ItemHeight(), static_cast<int>(created.SendMessage(CB_GETITEMHEIGHT, 0)));

    // A list that runs out of space after five names keeps those five, and the box
    // never tries again.
    HWND plain = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS |
                                     WS_CHILD, 10, 80, 100, 100, dlg.m_hWnd, reinterpret_cast<HMENU>(7002),
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(plain);
    g_roomLeft = 5;
    g_comboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ShortOfSpaceProc)));
    CColorComboBox attached;
    ASSERT_TRUE(attached.SubclassWindow(plain));
    EXPECT_EQ(attached.GetCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(static_cast<uint32_t>(attached.GetItemData(i)), kComboColors[i].color);
    g_roomLeft = 100;
    attached.FillColorList();
    EXPECT_EQ(attached.GetCount(), 5);
    attached.DestroyWindow();
    dlg.DestroyWindow();
}

namespace {

struct Report {
    UINT msg;
    COLORREF color;
    LPARAM id;
};

// The colour button on a dialog that records what the button tells it.
class ButtonDialog : public CDialog {
public:
    ButtonDialog() : CDialog(IDD_TEST_COLORS) {}
    CColorButton button;
    std::vector<Report> reports;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= UWM_COLOR_SELCHANGE && msg <= UWM_COLOR_SELENDCANCEL) {
            reports.push_back({msg, static_cast<COLORREF>(wParam), lParam});
            return TRUE;
        }
        return CDialog::WindowProc(msg, wParam, lParam);
    }
    std::vector<UINT> Messages() const
    {
        std::vector<UINT> out;
        for (const Report& r : reports)
            out.push_back(r.msg);
        return out;
    }
    CColorPalettePopup* Click()
    {
        reports.clear();
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_COLORBTN, BN_CLICKED), (LPARAM)button.m_hWnd);
        return dynamic_cast<CColorPalettePopup*>(CWnd::FromHandle(FindWindowW(CColorPalettePopup::kClassName, nullptr)));
    }
    // A pixel inside the swatch, as the button shows it on screen.
    COLORREF Swatch()
    {
        UpdateWindow(button.m_hWnd);
        RECT rc;
        button.GetClientRect(&rc);
        return wintest::ClientPixel(button.m_hWnd, rc.right / 3, rc.bottom / 2);
    }

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_COLORBTN, button); }
};

class ColorButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        ASSERT_TRUE(dlg.Create(IDD_TEST_COLORS));
        dlg.ShowWindow(SW_SHOWNORMAL);
        SetWindowPos(dlg.m_hWnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        wintest::PumpMessages(50);
    }
    void TearDown() override { dlg.DestroyWindow(); }
    static void Key(CColorPalettePopup* popup, UINT vk) { popup->SendMessage(WM_KEYDOWN, vk, 1); }
    static void Hover(CColorPalettePopup* popup, int item)
    {
        const palette::Layout& l = popup->GetLayout();
        palette::Rect r = item == palette::kMoreBox ? l.moreBox : item == palette::kAutoBox ? l.autoBox : l.Cell(item);
        popup->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    static bool PopupGone() { return FindWindowW(CColorPalettePopup::kClassName, nullptr) == nullptr; }
    ButtonDialog dlg;
};

} // namespace

TEST_F(ColorButtonTest, PopupOpensUnderTheButtonAndStaysOnItsMonitor)
{
    CColorButton& b = dlg.button;
    EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    b.SetColor(RGB(0, 0, 255));
    EXPECT_EQ(dlg.Swatch(), RGB(0, 0, 255));

    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(b.IsPopupOpen());
    ASSERT_EQ(dlg.reports.size(), 1u);
    EXPECT_EQ(dlg.reports[0].msg, UWM_COLOR_DROPDOWN);
    EXPECT_EQ(dlg.reports[0].color, RGB(0, 0, 255));
    EXPECT_EQ(dlg.reports[0].id, IDC_TEST_COLORBTN);
    RECT br, pr;
    b.GetWindowRect(&br);
    popup->GetWindowRect(&pr);
    EXPECT_EQ(pr.left, br.left);
    EXPECT_EQ(pr.top, br.bottom);
    EXPECT_EQ(pr.right - pr.left, popup->GetLayout().window.Width());
    EXPECT_EQ(popup->GetMarkedItem(), 13); // blue in the palette
    EXPECT_EQ(GetCapture(), popup->m_hWnd);
    // The default captions give both text boxes; every cell has its tooltip.
    EXPECT_TRUE(popup->GetLayout().hasAuto && popup->GetLayout().hasMore);
    HWND tip = popup->GetToolTip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), kPaletteColorCount);
    wchar_t text[64] = {};
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = popup->m_hWnd;
    ti.uId = 14; // cell 13
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(Narrow(text), "蓝色");
    Key(popup, VK_ESCAPE);
    EXPECT_TRUE(PopupGone());

    // Near the right and bottom edges of the work area: shifted left, opened above.
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(b.m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT dr;
    dlg.GetWindowRect(&dr);
    SetWindowPos(dlg.m_hWnd, nullptr, mi.rcWork.right - (br.right - dr.left) - 2,
                 mi.rcWork.bottom - (br.bottom - dr.top) - 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    b.GetWindowRect(&br);
    popup->GetWindowRect(&pr);
    EXPECT_EQ(pr.right, mi.rcWork.right);
    EXPECT_LT(pr.left, br.left);
    EXPECT_EQ(pr.bottom, br.top);
    Key(popup, VK_ESCAPE);
}

TEST_F(ColorButtonTest, LiveTrackingFollowsTheHotCellAndEscapeRestores)
{
    CColorButton& b = dlg.button;
    b.SetLiveTracking(true);
    b.SetColor(RGB(0, 0, 255));
    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);

    Hover(popup, 16); // red
    EXPECT_EQ(popup->GetHotItem(), 16);
    EXPECT_EQ(b.GetColor(), RGB(255, 0, 0));
    EXPECT_EQ(dlg.Swatch(), RGB(255, 0, 0));
    ASSERT_EQ(dlg.reports.back().msg, UWM_COLOR_SELCHANGE);
    EXPECT_EQ(dlg.reports.back().color, RGB(255, 0, 0));
    // The keyboard moves on from the hot cell.
    Key(popup, VK_DOWN);
    EXPECT_EQ(popup->GetHotItem(), 24);
    EXPECT_EQ(b.GetColor(), kPaletteColors[24].color);
    // The more-colours box reports the colour the popup opened with.
    Hover(popup, palette::kMoreBox);
    EXPECT_EQ(popup->GetHotItem(), palette::kMoreBox);
    EXPECT_EQ(dlg.reports.back().color, RGB(0, 0, 255));
    EXPECT_EQ(b.GetColor(), RGB(0, 0, 255));

    dlg.reports.clear();
    Hover(popup, 3);
    dlg.reports.clear();
    Key(popup, VK_ESCAPE);
    EXPECT_TRUE(PopupGone());
    EXPECT_FALSE(b.IsPopupOpen());
    EXPECT_EQ(b.GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(dlg.Swatch(), RGB(0, 0, 255));
    EXPECT_EQ(dlg.Messages(), (std::vector<UINT>{UWM_COLOR_CLOSEUP, UWM_COLOR_SELENDCANCEL}));
    EXPECT_EQ(dlg.reports.back().color, RGB(0, 0, 255));
}

TEST_F(ColorButtonTest, MouseReleaseInsideChoosesAndOutsideCancels)
{
    CColorButton& b = dlg.button;
    b.SetColor(RGB(0, 0, 255));
    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    const palette::Rect cell = popup->GetLayout().Cell(26); // yellow
    RECT pr;
    popup->GetWindowRect(&pr);
    SetCursorPos(pr.left + (cell.left + cell.right) / 2, pr.top + (cell.top + cell.bottom) / 2);
    Hover(popup, 26);
    EXPECT_EQ(b.GetColor(), RGB(0, 0, 255)); // no live tracking
    popup->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    EXPECT_TRUE(PopupGone());
    EXPECT_EQ(b.GetColor(), RGB(255, 255, 0));
    EXPECT_EQ(dlg.Swatch(), RGB(255, 255, 0));
    EXPECT_EQ(dlg.Messages(), (std::vector<UINT>{UWM_COLOR_DROPDOWN, UWM_COLOR_SELCHANGE, UWM_COLOR_CLOSEUP,
                                                 UWM_COLOR_SELENDOK, UWM_COLOR_SELCHANGE}));

    popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    popup->GetWindowRect(&pr);
    Hover(popup, 5);
    SetCursorPos(pr.right + 40, pr.bottom + 40);
    popup->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pr.right - pr.left + 40, pr.bottom - pr.top + 40));
    EXPECT_TRUE(PopupGone());
    EXPECT_EQ(b.GetColor(), RGB(255, 255, 0));
    EXPECT_EQ(dlg.reports.back().msg, UWM_COLOR_SELENDCANCEL);
}

TEST_F(ColorButtonTest, AutomaticBoxStoresAutomaticAndPaintsTheAutomaticColour)
{
    CColorButton& b = dlg.button;
    b.SetAutoColor(RGB(0, 128, 0));
    b.SetAutoText("自动");
    b.SetMoreText("其他颜色...");
    b.SetColor(RGB(255, 0, 0));
    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    Key(popup, VK_UP); // nothing hot: Up goes to the automatic box
    EXPECT_EQ(popup->GetHotItem(), palette::kAutoBox);
    EXPECT_EQ(popup->GetCurrentColor(), CLR_AUTOMATIC);
    Key(popup, VK_RETURN);
    EXPECT_TRUE(PopupGone());
    EXPECT_EQ(b.GetColor(), CLR_AUTOMATIC);
    EXPECT_EQ(dlg.Swatch(), RGB(0, 128, 0));
    EXPECT_EQ(dlg.reports.back().msg, UWM_COLOR_SELCHANGE);
    EXPECT_EQ(dlg.reports.back().color, CLR_AUTOMATIC);

    // Opening again marks the automatic box.
    popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetMarkedItem(), palette::kAutoBox);
    Key(popup, VK_ESCAPE);

    // Without texts: the bare grid, and a disabled button shows no swatch.
    b.SetAutoText("");
    b.SetMoreText("");
    popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    const int m = GetSystemMetrics(SM_CXEDGE), box = palette::BoxSize(m);
    EXPECT_EQ(popup->GetLayout().window.Width(), 8 * box + 2 * m);
    EXPECT_EQ(popup->GetLayout().window.Height(), 5 * box + 2 * m);
    EXPECT_EQ(popup->GetMarkedItem(), palette::kNoItem);
    Key(popup, VK_ESCAPE);
    EnableWindow(b.m_hWnd, FALSE);
    EXPECT_EQ(dlg.Swatch(), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ColorButtonTest, EnterAtOnceWithAColourOutsideThePaletteKeepsIt)
{
    CColorButton& b = dlg.button;
    b.SetColor(0x123456);
    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetMarkedItem(), palette::kMoreBox);
    Key(popup, VK_RETURN);
    EXPECT_TRUE(PopupGone());
    EXPECT_EQ(b.GetColor(), 0x123456u);
    EXPECT_EQ(dlg.Messages(), (std::vector<UINT>{UWM_COLOR_DROPDOWN, UWM_COLOR_CLOSEUP, UWM_COLOR_SELENDOK}));
    EXPECT_EQ(dlg.reports.back().color, 0x123456u);
}

namespace {

// Acts inside the system colour dialog's own modal loop: the application loses
// activation once, then the dialog is confirmed with the colour it opened with.
HWND g_popupWithDialog = nullptr;
bool g_dialogSeen = false;
BOOL CALLBACK FindColourDialog(HWND hWnd, LPARAM lParam)
{
    wchar_t name[16] = {};
    GetClassNameW(hWnd, name, 16);
    if (wcscmp(name, L"#32770") == 0 && GetWindow(hWnd, GW_OWNER) == g_popupWithDialog && IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}
void CALLBACK InsideColourDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindColourDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    KillTimer(nullptr, id);
    g_dialogSeen = true;
    SendMessageW(g_popupWithDialog, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(IsWindow(g_popupWithDialog)) << "the popup outlives a cancel while the dialog is open";
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
}

} // namespace

TEST_F(ColorButtonTest, MoreColoursRunsTheColourDialogWithTheInitialColour)
{
    CColorButton& b = dlg.button;
    b.SetColor(0x123456);
    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    Hover(popup, palette::kMoreBox);
    g_popupWithDialog = popup->m_hWnd;
    g_dialogSeen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, InsideColourDialog);
    Key(popup, VK_RETURN); // returns when the dialog is done
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_dialogSeen);
    EXPECT_TRUE(PopupGone());
    EXPECT_EQ(b.GetColor(), 0x123456u) << "the dialog opened with the initial colour";
    EXPECT_EQ(dlg.Messages(), (std::vector<UINT>{UWM_COLOR_DROPDOWN, UWM_COLOR_SELCHANGE, UWM_COLOR_CLOSEUP,
                                                 UWM_COLOR_SELENDCANCEL, UWM_COLOR_CLOSEUP, UWM_COLOR_SELENDOK}));
    EXPECT_EQ(dlg.reports.back().color, 0x123456u);
}

TEST_F(ColorButtonTest, PaletteCellsGrowWithTheDpi)
{
    // The bare grid: 8 by 5 cells of 18 pixels and an edge of 2 at 96 DPI.
    CColorButton& b = dlg.button;
    b.SetAutoText("");
    b.SetMoreText("");
    CColorPalettePopup* popup = dlg.Click();
    ASSERT_NE(popup, nullptr);
    const palette::Layout& l = popup->GetLayout();
    EXPECT_EQ(l.box, wintest::AtTestDpi(18, 27, 36));
    EXPECT_EQ(l.margin, wintest::AtTestDpi(2, 3, 4));
    RECT pr;
    popup->GetWindowRect(&pr);
    EXPECT_EQ(pr.right - pr.left, wintest::AtTestDpi(148, 222, 296));
    EXPECT_EQ(pr.bottom - pr.top, wintest::AtTestDpi(94, 141, 188));
    const palette::Rect last = l.Cell(39);
    EXPECT_EQ(last.right, wintest::AtTestDpi(146, 219, 292));
    EXPECT_EQ(last.bottom, wintest::AtTestDpi(92, 138, 184));

    // On screen the swatches fill the grown cells: black first, white last, and the
    // mouse finds the cell under it.
    UpdateWindow(popup->m_hWnd);
    const palette::Rect first = l.Cell(0);
    const int inset = wintest::AtTestDpi(4, 5, 6);
    EXPECT_EQ(wintest::ClientPixel(popup->m_hWnd, first.left + inset, first.top + inset), RGB(0, 0, 0));
    EXPECT_EQ(wintest::ClientPixel(popup->m_hWnd, last.right - inset - 1, last.bottom - inset - 1),
              RGB(255, 255, 255));
    Hover(popup, 13);
    EXPECT_EQ(popup->GetHotItem(), 13);
    Key(popup, VK_ESCAPE);
    EXPECT_TRUE(PopupGone());
}
