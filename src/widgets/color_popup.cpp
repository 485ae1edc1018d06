#include "widgets/color_popup.h"
#include "widgets/color_button.h"
#include "base/text.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace lex {

const wchar_t CColorPalettePopup::kClassName[] = L"LexorinColorPalette";

namespace {

RECT ToRECT(const palette::Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

// Custom colours of the system colour dialog, kept for the whole run.
COLORREF g_customColors[16] = {};

} // namespace

CColorPalettePopup* CColorPalettePopup::Open(POINT at, COLORREF color, HWND button, const std::string& autoText,
                                             const std::string& moreText)
{
    auto* popup = new CColorPalettePopup;
    if (!popup->Create(at, color, button, autoText, moreText)) {
        delete popup;
        return nullptr;
    }
    return popup;
}

BOOL CColorPalettePopup::Create(POINT at, COLORREF color, HWND button, const std::string& autoText,
                                const std::string& moreText)
{
    m_button = button;
    m_initial = m_current = color;
    m_autoText = autoText;
    m_moreText = moreText;

    // Cells, edges and text follow the DPI of the button's monitor; the message font is
    // the system's, made for the system DPI.
    m_dpi.SetFromWindow(button);
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
        ncm.lfMessageFont.lfHeight = MulDiv(ncm.lfMessageFont.lfHeight, m_dpi.Dpi(), SystemDpi());
        m_font.CreateFontIndirect(ncm.lfMessageFont);
    }

    std::vector<char> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * kPaletteColorCount);
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = kPaletteColorCount;
    for (int i = 0; i < kPaletteColorCount; ++i) {
        const uint32_t c = kPaletteColors[i].color;
        lp->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    m_palette.Attach(CreatePalette(lp));

    RegisterWindowClass(kClassName, CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(0, kClassName, std::string(), WS_POPUP | WS_VISIBLE, at.x, at.y, 100, 100, button, 0))
        return FALSE;
    m_ownsSelf = true;
    LayOut(at);
    CreateToolTips();
    m_marked = palette::MarkedItem(m_initial, !m_autoText.empty(), !m_moreText.empty());
    SetCapture(m_hWnd);
    return TRUE;
}

void CColorPalettePopup::LayOut(POINT at)
{
    // The edge is 2 pixels at every system DPI; here it grows with the cells.
    const int margin = m_dpi.Scale(GetSystemMetrics(SM_CXEDGE));
    int textW = 0, textH = 0;
    if (!m_autoText.empty() || !m_moreText.empty()) {
        CClientDC dc(m_hWnd);
        CSelectObject font(dc.GetSafeHdc(), m_font.GetSafeHandle());
        for (const std::string* text : {&m_autoText, &m_moreText}) {
            if (text->empty())
                continue;
            const std::wstring w = Widen(*text);
            SIZE size = {};
            GetTextExtentPoint32W(dc.GetSafeHdc(), w.c_str(), static_cast<int>(w.size()), &size);
            if (size.cx > textW)
                textW = size.cx;
            if (size.cy > textH)
                textH = size.cy;
        }
    }
    m_layout = palette::LayoutPopup(at.x, at.y, palette::BoxSize(margin, m_dpi.Scale(18)), margin, kPaletteColorCount,
                                    !m_autoText.empty(), !m_moreText.empty(), textW, textH);

    // Keep within the work area of the monitor that holds the button.
    RECT button = {at.x, at.y, at.x, at.y};
    if (m_button)
        ::GetWindowRect(m_button, &button);
    RECT area;
    if (WorkAreaNear(button, &area)) {
        const palette::Rect w = palette::OpenAboveWhenLow(m_layout.window, area.bottom, button.bottom - button.top);
        const POINT kept = KeepWithin(w.left, w.top, w.Width(), w.Height(), area);
        m_layout.window = palette::Rect{kept.x, kept.y, kept.x + w.Width(), kept.y + w.Height()};
    }
    const palette::Rect& w = m_layout.window;
    SetWindowPos(m_hWnd, nullptr, w.left, w.top, w.Width(), w.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void CColorPalettePopup::CreateToolTips()
{
    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!m_toolTip)
        return;
    for (int i = 0; i < kPaletteColorCount; ++i) {
        std::wstring name = Widen(kPaletteColors[i].name);
        TTTOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE; // understood by every comctl32 version
        ti.hwnd = m_hWnd;
        ti.uId = static_cast<UINT_PTR>(i) + 1;
        ti.rect = ToRECT(m_layout.Cell(i));
        ti.lpszText = &name[0];
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

BOOL CColorPalettePopup::PreTranslateMessage(MSG* msg)
{
    if (m_toolTip)
        ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    if (m_hWnd && !m_closing && !m_childDialogOpen && GetCapture() != m_hWnd)
        SetCapture(m_hWnd);
    return CWnd::PreTranslateMessage(msg);
}

bool CColorPalettePopup::ItemExists(int item) const
{
    if (item >= 0)
        return item < kPaletteColorCount;
    if (item == palette::kAutoBox)
        return m_layout.hasAuto;
    if (item == palette::kMoreBox)
        return m_layout.hasMore;
    return false;
}

void CColorPalettePopup::ChangeHot(int item)
{
    if (item >= kPaletteColorCount)
        item = palette::kMoreBox;
    CClientDC dc(m_hWnd);
    const int old = m_hot;
    if (ItemExists(old)) {
        m_hot = palette::kNoItem;
        DrawItem(dc.GetSafeHdc(), old);
    }
    m_hot = item;
    DrawItem(dc.GetSafeHdc(), item);

    COLORREF report;
    if (item == palette::kMoreBox) {
        report = m_initial;
    } else if (item == palette::kAutoBox) {
        m_current = CLR_AUTOMATIC;
        report = m_current;
    } else if (item >= 0) {
        m_current = kPaletteColors[item].color;
        report = m_current;
    } else {
        return;
    }
    ::SendMessageW(m_button, UWM_COLOR_SELCHANGE, report, 0);
}

void CColorPalettePopup::EndPick(bool ok)
{
    if (m_closing)
        return;
    ReleaseCapture();
    if (ok && m_hot == palette::kMoreBox) {
        m_childDialogOpen = true;
        CHOOSECOLORW cc = {};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = m_hWnd;
        cc.rgbResult = m_initial == CLR_AUTOMATIC ? 0 : m_initial;
        cc.lpCustColors = g_customColors;
        cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
        if (ChooseColorW(&cc))
            m_current = cc.rgbResult;
        else
            ok = false;
        m_childDialogOpen = false;
    }
    if (!ok)
        m_current = m_initial;
    const bool destroy = !m_childDialogOpen;
    if (destroy)
        m_closing = true;
    ::SendMessageW(m_button, ok ? UWM_COLOR_SELENDOK : UWM_COLOR_SELENDCANCEL, m_current, 0);
    // The button's handling may have destroyed the popup with its dialog already.
    if (destroy)
        DestroyWindow();
}

void CColorPalettePopup::OnKeyDown(UINT vk)
{
    palette::Key key;
    switch (vk) {
    case VK_DOWN:
        key = palette::Key::Down;
        break;
    case VK_UP:
        key = palette::Key::Up;
        break;
    case VK_RIGHT:
        key = palette::Key::Right;
        break;
    case VK_LEFT:
        key = palette::Key::Left;
        break;
    case VK_ESCAPE:
        key = palette::Key::Escape;
        break;
    case VK_RETURN:
    case VK_SPACE:
        key = palette::Key::Enter;
        break;
    default:
        Default();
        return;
    }
    const palette::KeyResult r =
        palette::OnKey(key, m_hot, kPaletteColorCount, m_layout.hasAuto, m_layout.hasMore);
    switch (r.action) {
    case palette::KeyAction::Move:
        ChangeHot(r.target);
        break;
    case palette::KeyAction::Cancel:
        m_current = m_initial;
        EndPick(false);
        break;
    case palette::KeyAction::Ok:
        EndPick(true);
        break;
    default:
        break;
    }
}

void CColorPalettePopup::DrawItem(HDC dc, int item)
{
    if (item >= 0 && item < kPaletteColorCount)
        DrawCell(dc, item);
    else if (ItemExists(item))
        DrawTextBox(dc, item);
}

void CColorPalettePopup::DrawCell(HDC dc, int item)
{
    RECT r = ToRECT(m_layout.Cell(item));
    HPALETTE oldPalette = nullptr;
    if (m_palette && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
        oldPalette = SelectPalette(dc, m_palette.GetSafeHandle(), TRUE);
        RealizePalette(dc);
    }
    const bool hot = item == m_hot;
    const bool marked = item == m_marked;
    ::FillRect(dc, &r, GetSysColorBrush(marked && !hot ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
    if (hot)
        ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else if (marked)
        ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    const int inset = m_layout.margin + 1;
    ::InflateRect(&r, -inset, -inset);
    const uint32_t c = kPaletteColors[item].color;
    CBrush brush;
    brush.CreateSolidBrush(PALETTERGB(GetRValue(c), GetGValue(c), GetBValue(c)));
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    {
        CSelectObject useBrush(dc, brush.GetSafeHandle());
        CSelectObject usePen(dc, pen.GetSafeHandle());
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
    if (oldPalette)
        SelectPalette(dc, oldPalette, FALSE);
}

void CColorPalettePopup::DrawTextBox(HDC dc, int item)
{
    const bool isAuto = item == palette::kAutoBox;
    const bool hot = item == m_hot;
    const bool marked = item == m_marked;
    const int m = m_layout.margin;
    RECT r = ToRECT(isAuto ? m_layout.autoBox : m_layout.moreBox);
    if (!isAuto) {
        // An etched line separates the box from the cells above it.
        const int length = (r.right - r.left) - 4 * m;
        CPen shadow, light;
        shadow.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        light.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        {
            CSelectObject use(dc, shadow.GetSafeHandle());
            MoveToEx(dc, r.left + 2 * m, r.top, nullptr);
            LineTo(dc, r.left + 2 * m + length, r.top);
        }
        {
            CSelectObject use(dc, light.GetSafeHandle());
            MoveToEx(dc, r.left + 2 * m, r.top + 1, nullptr);
            LineTo(dc, r.left + 2 * m + length, r.top + 1);
        }
        r.top += 2 * m;
    }
    ::FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    ::InflateRect(&r, -1, -1);
    ::FillRect(dc, &r, GetSysColorBrush(marked && !hot ? COLOR_3DLIGHT : COLOR_BTNFACE));
    if (isAuto) {
        RECT frame = r;
        ::InflateRect(&frame, -2 * m, -2 * m);
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        CSelectObject usePen(dc, pen.GetSafeHandle());
        CSelectObject useBrush(dc, GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    }
    if (hot)
        ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else if (marked)
        ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    const std::wstring text = Widen(isAuto ? m_autoText : m_moreText);
    CSelectObject font(dc, m_font.GetSafeHandle());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void CColorPalettePopup::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const HDC h = dc.GetSafeHdc();
    if (m_layout.hasAuto)
        DrawTextBox(h, palette::kAutoBox);
    for (int i = 0; i < kPaletteColorCount; ++i)
        DrawCell(h, i);
    if (m_layout.hasMore)
        DrawTextBox(h, palette::kMoreBox);
    RECT client;
    GetClientRect(&client);
    ::DrawEdge(h, &client, EDGE_RAISED, BF_RECT);
}

LRESULT CColorPalettePopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MOUSEMOVE: {
        const int target = m_layout.HitTest(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        if (target != palette::kNoItem && target != m_hot)
            ChangeHot(target);
        return 0;
    }
    case WM_LBUTTONUP: {
        Default();
        POINT pt;
        GetCursorPos(&pt);
        RECT rc;
        GetWindowRect(&rc);
        EndPick(PtInRect(&rc, pt) != FALSE);
        return 0;
    }
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam) {
            // While the colour dialog runs this reports a cancel but leaves the popup;
            // the pick that opened the dialog ends it.
            if (m_childDialogOpen) {
                ::SendMessageW(m_button, UWM_COLOR_SELENDCANCEL, m_initial, 0);
                return Default();
            }
            LRESULT r = Default();
            m_current = m_initial;
            EndPick(false);
            return r;
        }
        break;
    case WM_KILLFOCUS:
        ReleaseCapture();
        break;
    case WM_QUERYNEWPALETTE:
        Invalidate();
        break;
    case WM_PALETTECHANGED: {
        LRESULT r = Default();
        if (reinterpret_cast<HWND>(wParam) != m_hWnd)
            Invalidate();
        return r;
    }
    case WM_DESTROY:
        if (m_toolTip) {
            ::DestroyWindow(m_toolTip);
            m_toolTip = nullptr;
        }
        m_font.DeleteObject();
        m_palette.DeleteObject();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

} // namespace lex
