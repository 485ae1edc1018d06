// The main bar at the DPI of its monitor: the host font, the window and tray icons and
// the toolbar are made for the bar's DPI, and made again when the bar is moved to a
// monitor of another DPI (WM_DPICHANGED). Every size is written at 96 DPI and scaled.
#include "base/text.h"
#include "framework/app.h"
#include "mainbar/lexorin_dlg.h"
#include "resources/resource.h"

#include <cwchar>

lex::DrawnStrip CLexorinDlg::ToolbarArt()
{
    return lex::DrawnStrip{IDR_MAINTOOLBAR, IDB_TOOLBAR_24, IDB_TOOLBAR_32};
}

void CLexorinDlg::LoadDpiResources()
{
    const int dpi = Dpi().Dpi();
    // Every banner font is derived from this one; its height is 12 pixels at 96 DPI.
    LOGFONTW lf = {};
    lf.lfHeight = Dpi().Scale(12);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(lf.lfFaceName, lex::Widen("隶书").c_str());
    lex::CFont hostFont;
    hostFont.CreateFontIndirect(lf);

    HINSTANCE instance = lex::AfxGetResourceHandle();
    HICON big = lex::LoadIconForDpi(instance, IDR_MAINFRAME, SM_CXICON, SM_CYICON, dpi);
    HICON small = lex::LoadIconForDpi(instance, IDR_MAINFRAME, SM_CXSMICON, SM_CYSMICON, dpi);
    // The notification area shows small icons at the DPI of the bar's monitor.
    HICON trayShown = lex::LoadIconForDpi(instance, IDI_TRAY_SHOWN, SM_CXSMICON, SM_CYSMICON, dpi);
    HICON trayHidden = lex::LoadIconForDpi(instance, IDI_TRAY_HIDDEN, SM_CXSMICON, SM_CYSMICON, dpi);

    // The new ones are handed out before the old ones go.
    const HICON old[] = {m_hIcon, m_hSmallIcon, m_trayShown, m_trayHidden};
    m_hIcon = big;
    m_hSmallIcon = small;
    m_trayShown = trayShown;
    m_trayHidden = trayHidden;
    if (m_hWnd) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
        if (m_toolbar.m_banner.IsWindow())
            m_toolbar.m_banner.SetFont(hostFont.GetSafeHandle(), TRUE);
    }
    if (m_trayIconId) {
        m_tray.hIcon = TrayIconFor(m_trayIconId);
        Shell_NotifyIconW(NIM_MODIFY, &m_tray);
    }
    m_hostFont = std::move(hostFont);
    for (HICON icon : old)
        if (icon)
            DestroyIcon(icon);
}

void CLexorinDlg::ReleaseDpiResources()
{
    for (HICON* icon : {&m_hIcon, &m_hSmallIcon, &m_trayShown, &m_trayHidden}) {
        if (*icon)
            DestroyIcon(*icon);
        *icon = nullptr;
    }
}

HICON CLexorinDlg::TrayIconFor(UINT iconId) const
{
    return iconId == IDI_TRAY_HIDDEN ? m_trayHidden : m_trayShown;
}

void CLexorinDlg::CreateToolBar(int slotWidth)
{
    RECT empty = {0, 0, 0, 0};
    m_toolbar.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE | CCS_TOP, empty,
                     m_hWnd, IDC_MAIN_TOOLBAR);
    m_toolbar.LoadToolBar(IDR_MAINTOOLBAR, ToolbarArt(), Dpi().Dpi());
    m_toolbar.m_banner.SetDpi(Dpi().Dpi());
    PlaceBanner(slotWidth);
    LayoutSpacers();
    m_toolbar.m_banner.SetFont(m_hostFont.GetSafeHandle(), TRUE);
    m_toolbar.AutoSize();
}

void CLexorinDlg::OnDpiChangedMessage(WPARAM wParam, LPARAM lParam)
{
    const int dpi = lex::DpiFromDpiChanged(wParam);
    const RECT& suggested = lex::SuggestedDpiRect(lParam);
    if (dpi <= 0)
        return;
    const int oldDpi = Dpi().Dpi();
    // The slot keeps its share of the bar: the user may have stretched it.
    int slotWidth = Dpi().Scale(kBannerSlotWidth);
    if (m_toolbar.IsWindow()) {
        RECT slot = {0, 0, 0, 0};
        if (m_toolbar.GetItemRect(m_toolbar.CommandToIndex(ID_BANNER_SLOT), &slot))
            slotWidth = MulDiv(slot.right - slot.left, dpi, oldDpi);
    }
    const bool hadToolbar = m_toolbar.IsWindow() != FALSE;
    if (hadToolbar) {
        // The banner goes with the toolbar (its object keeps its items for the new
        // window), before the host font it uses is replaced.
        m_feed.StopTimer();
        m_toolbar.DestroyWindow();
    }
    SetDpi(dpi);
    LoadDpiResources();

    // The rectangle the system suggests keeps the bar's place on the new monitor; the
    // layout is made once, below, for the new toolbar.
    m_dpiChanging = true;
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_dpiChanging = false;
    if (!hadToolbar)
        return;
    CreateToolBar(slotWidth);
    RECT client;
    GetClientRect(&client);
    OnSize(client.right - client.left, client.bottom - client.top);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
