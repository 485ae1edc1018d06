#include "widgets/color_combo.h"
#include "widgets/color_palette.h"
#include "framework/dpi.h"
#include "framework/gdi.h"

namespace lex {

BOOL CColorComboBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    m_creating = TRUE;
    BOOL ok = CComboBox::Create(style | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, rect, parent, id);
    m_creating = FALSE;
    return ok;
}

uint32_t CColorComboBox::GetSelectedColor() const
{
    int sel = GetCurSel();
    if (sel == CB_ERR)
        return 0;
    return static_cast<uint32_t>(GetItemData(sel));
}

void CColorComboBox::SelectColor(uint32_t color)
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (static_cast<uint32_t>(GetItemData(i)) == color)
            SetCurSel(i);
}

void CColorComboBox::FillColorList()
{
    if (m_filled)
        return;
    for (const NamedColor& entry : kComboColors) {
        int index = AddString(entry.name);
        if (index == CB_ERRSPACE || index == CB_ERR)
            break;
        SetItemData(index, entry.color);
    }
    m_filled = TRUE;
}

int CColorComboBox::ItemHeight() const
{
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.GetSafeHdc(), GetFont());
    TEXTMETRICW tm = {};
    dc.GetTextMetrics(&tm);
    return tm.tmHeight + CDpi(DpiOfWindow(m_hWnd)).Scale(4);
}

void CColorComboBox::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    if (m_creating)
        return; // WM_CREATE fills the list
    // A box from a dialog template asked its parent for the item height before it was
    // linked to this object, so nobody answered; set it now.
    const int height = ItemHeight();
    SetItemHeight(-1, static_cast<UINT>(height));
    SetItemHeight(0, static_cast<UINT>(height));
    FillColorList();
    SetCurSel(0);
}

LRESULT CColorComboBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        if (Default() == -1)
            return -1;
        FillColorList();
        SetCurSel(0);
        return 0;
    }
    return CComboBox::WindowProc(msg, wParam, lParam);
}

BOOL CColorComboBox::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeight());
        *result = TRUE;
        return TRUE;
    default:
        return CComboBox::OnChildNotify(msg, wParam, lParam, result);
    }
}

void CColorComboBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    CDC dc(item.hDC);
    const RECT& rc = item.rcItem;
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);

    COLORREF text;
    COLORREF back;
    if (item.itemState & ODS_SELECTED) {
        text = RGB(255 - GetRValue(windowText), 255 - GetGValue(windowText), 255 - GetBValue(windowText));
        back = highlight;
    } else {
        text = windowText;
        back = window;
    }
    {
        CBrush brush;
        brush.CreateSolidBrush(back);
        dc.FillRect(rc, brush.GetSafeHandle());
    }
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(item.hDC, &rc);

    const int quarter = (rc.right - rc.left) / 4;
    const int inset = CDpi(DpiOfWindow(m_hWnd)).Scale(2);
    RECT swatch = {rc.left + inset, rc.top + inset, rc.left + quarter, rc.bottom - inset};
    if (static_cast<int>(item.itemID) == -1)
        return;

    COLORREF swatchColor;
    if (item.itemState & ODS_DISABLED) {
        swatchColor = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
        text = swatchColor;
    } else {
        swatchColor = static_cast<COLORREF>(item.itemData);
    }
    const std::wstring name = Widen(GetLBText(static_cast<int>(item.itemID)));
    dc.SetTextColor(text);
    int oldMode = dc.SetBkMode(TRANSPARENT);
    ::TextOutW(item.hDC, rc.left + quarter + inset, rc.top + inset, name.c_str(), static_cast<int>(name.size()));
    dc.SetBkMode(oldMode);

    CBrush fill;
    fill.CreateSolidBrush(swatchColor);
    dc.FillRect(swatch, fill.GetSafeHandle());
    ::FrameRect(item.hDC, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

} // namespace lex
