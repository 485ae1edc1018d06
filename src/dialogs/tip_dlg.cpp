#include "dialogs/tip_dlg.h"

#include "base/text.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "resources/resource.h"

#include <cwchar>

namespace {

// The shaded sidebar ends this far left of the tip text; the rule under the picture
// lies this far below it (measures at 96 DPI).
constexpr int kSidebarGap = 10;
constexpr int kRuleBelowPicture = 6;
// Character heights of the heading and the tip.
constexpr int kHeadingHeight = 18;
constexpr int kTipTextHeight = 12;

// "宋体" has no internal leading, so its cell and its characters are equally high; a
// character height keeps the size right with a substitute face that has leading.
lex::CFont MakeSongtiFont(int height, int weight)
{
    LOGFONTW lf = {};
    lf.lfHeight = -height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FF_SWISS;
    std::wcsncpy(lf.lfFaceName, lex::Widen("宋体").c_str(), LF_FACESIZE - 1);
    lex::CFont font;
    font.CreateFontIndirect(lf);
    return font;
}

} // namespace

CTipDlg::CTipDlg(lex::CWnd* parent, const std::string& settingsPath, const std::string& tipsPath,
                 const std::string& messageCaption)
    : lex::CDialog(IDD_TIP, parent), m_settings(settingsPath), m_messageCaption(messageCaption)
{
    m_startUp = m_settings.TipStartUp();
    switch (m_tips.Open(tipsPath, m_settings)) {
    case lex::CTipsFile::OpenResult::kMissing:
        m_strTip = lex::LoadStringCp936(IDS_TIP_FILE_MISSING);
        break;
    case lex::CTipsFile::OpenResult::kSeekFailed:
        ReportDamagedFile();
        m_strTip.clear();
        break;
    case lex::CTipsFile::OpenResult::kReady:
        ReadNextTip();
        break;
    }
}

CTipDlg::~CTipDlg()
{
    if (m_tips.IsOpen()) {
        m_tips.SavePosition(m_settings);
        m_tips.Close();
    }
}

std::string CTipDlg::TipsPathBesideExe()
{
    return lex::ExeFolder() + "Tips.tip";
}

void CTipDlg::ReportDamagedFile()
{
    lex::MessageBoxCp936(nullptr, lex::LoadStringCp936(IDS_TIP_FILE_DAMAGED), m_messageCaption, MB_OK);
}

void CTipDlg::ReadNextTip()
{
    lex::TipSearch search = m_tips.ReadNextTip(m_strTip);
    if (search.rewindFailed)
        ReportDamagedFile();
}

INT_PTR CTipDlg::DoModal()
{
    if (!m_tips.IsOpen()) {
        MessageBeep(0xFFFFFFFF);
        return IDOK;
    }
    return lex::CDialog::DoModal();
}

void CTipDlg::DoDataExchange(lex::CDataExchange* dx)
{
    lex::DDX_Control(dx, IDOK, m_btnOK);
    lex::DDX_Control(dx, IDC_TIP_NEXT, m_btnNext);
    lex::DDX_Check(dx, IDC_TIP_STARTUP, m_startUp);
}

BOOL CTipDlg::OnInitDialog()
{
    lex::CDialog::OnInitDialog();
    if (!m_tips.IsOpen())
        EnableWindow(m_btnNext.m_hWnd, FALSE);
    lex::KeepWindowWhole(m_hWnd);
    return TRUE;
}

void CTipDlg::OnOK()
{
    lex::CDialog::OnOK();
    m_settings.SetTipStartUp(m_startUp);
}

BOOL CTipDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lex::CommandId(wParam, lParam) == IDC_TIP_NEXT && HIWORD(wParam) == BN_CLICKED) {
        OnNextButton();
        return TRUE;
    }
    return lex::CDialog::OnCommand(wParam, lParam);
}

LRESULT CTipDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_TIP_TEXT)
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        break;
    default:
        break;
    }
    return lex::CDialog::WindowProc(msg, wParam, lParam);
}

void CTipDlg::OnNextButton()
{
    ReadNextTip();
    UpdateData(FALSE);
    lex::CClientDC dc(m_hWnd);
    PaintTipArea(dc.GetSafeHdc(), TRUE);
}

void CTipDlg::OnPaint()
{
    lex::CPaintDC dc(m_hWnd);
    PaintTipArea(dc.GetSafeHdc(), FALSE);
}

RECT CTipDlg::ChildRect(int id) const
{
    RECT r = {0, 0, 0, 0};
    HWND child = GetDlgItem(id);
    if (child) {
        ::GetWindowRect(child, &r);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void CTipDlg::PaintTipArea(HDC dc, BOOL partial)
{
    RECT panel = ChildRect(IDC_TIP_PANEL);
    RECT tipRect = ChildRect(IDC_TIP_TEXT);
    RECT picture = ChildRect(IDC_TIP_PICTURE);
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);

    if (!partial) {
        FillRect(dc, &panel, window);
        lex::CBrush shadow;
        shadow.CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
        RECT sidebar = panel;
        sidebar.right = tipRect.left - Dpi().Scale(kSidebarGap);
        FillRect(dc, &sidebar, shadow.GetSafeHandle());

        // The picture's white surround takes the sidebar's colour before it is copied.
        // The bulb drawn twice as large from 192 DPI on.
        lex::CBitmap bulb;
        const bool large = lex::PickDrawnSize(Dpi().Scale(16), {16, 32}) == 32;
        if ((large && bulb.LoadBitmap(IDB_TIP_BULB_2X)) || bulb.LoadBitmap(IDB_TIP_BULB)) {
            SIZE size = bulb.GetSize();
            lex::CMemoryDC mem;
            mem.CreateCompatibleDC(dc);
            lex::CSelectObject keepBitmap(mem.GetSafeHdc(), bulb.GetSafeHandle());
            lex::CSelectObject keepBrush(mem.GetSafeHdc(), shadow.GetSafeHandle());
            ExtFloodFill(mem.GetSafeHdc(), 0, 0, RGB(255, 255, 255), FLOODFILLSURFACE);
            BitBlt(dc, picture.left, picture.top, size.cx, size.cy, mem.GetSafeHdc(), 0, 0, SRCCOPY);
        }

        const int rule = picture.bottom + Dpi().Scale(kRuleBelowPicture);
        RECT line = {panel.left, rule, panel.right, rule + Dpi().Scale(1)};
        FillRect(dc, &line, shadow.GetSafeHandle());
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    }

    lex::CFont heading = MakeSongtiFont(Dpi().Scale(kHeadingHeight), FW_BOLD);
    lex::CFont text = MakeSongtiFont(Dpi().Scale(kTipTextHeight), FW_NORMAL);
    {
        lex::CSelectObject keepFont(dc, heading.GetSafeHandle());
        RECT r = {tipRect.left, picture.top, tipRect.right, tipRect.bottom};
        std::wstring title = lex::Widen(lex::LoadStringCp936(IDS_TIP_HEADING));
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &r, DT_SINGLELINE);
    }
    {
        lex::CSelectObject keepFont(dc, text.GetSafeHandle());
        FillRect(dc, &tipRect, window);
        RECT r = tipRect;
        std::wstring tip = lex::Widen(m_strTip);
        DrawTextW(dc, tip.c_str(), static_cast<int>(tip.size()), &r, DT_WORDBREAK);
    }
}
