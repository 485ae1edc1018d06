// CPropertySheet and CPropertyPage over the system's property sheet (PropertySheetW).
//
// The sheet runs modeless under our own modal loop (RunModalLoop), like CDialog: the
// owner is disabled, every message goes through PreTranslateMessage up the parent
// chain, and the sheet's PreTranslateMessage passes keys to PSM_ISDIALOGMESSAGE. The
// loop ends when PSM_GETCURRENTPAGEHWND returns NULL, which the system does once OK
// or Cancel has closed a modeless sheet.
//
// The sheet window the system creates and each page are linked to their objects
// while they are created (the creation hook, armed before PropertySheetW for the
// sheet and in the page's PSPCB_CREATE callback for a page), so the sheet's
// OnInitDialog and a page's OnInitDialog and data exchange run as in a dialog.
//
// Page notifications arrive as virtual calls: PSN_SETACTIVE -> OnSetActive,
// PSN_KILLACTIVE -> OnKillActive, PSN_APPLY -> OnApply (which runs OnOK), PSN_RESET ->
// OnReset. Results go back through DWLP_MSGRESULT. A page's OnApply runs only if the
// page was shown during this opening of the sheet.
#pragma once

#include "framework/dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace lex {

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId);

    // The page's description handed to the system; dwFlags and hIcon may be set
    // before the sheet runs (CTreePropSheet::SetPageIcon does).
    PROPSHEETPAGEW m_psp;

    CPropertySheet* GetSheet() const { return m_sheet; }

    // TRUE lets the page be shown.
    virtual BOOL OnSetActive();
    // TRUE lets the page be left; the default pulls the bound values (UpdateData).
    virtual BOOL OnKillActive();
    // OK or Apply: the default runs OnOK and reports success (TRUE).
    virtual BOOL OnApply();
    // Cancel: the default runs OnCancel.
    virtual void OnReset();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Dialog keys are the sheet's business (PSM_ISDIALOGMESSAGE), not the page's.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Unlike a dialog's, a page's OK and Cancel do not close anything: the sheet does.
    void OnOK() override {}
    void OnCancel() override {}

private:
    friend class CPropertySheet;
    BOOL HandleSheetNotify(const NMHDR* hdr, LRESULT* result);

    CPropertySheet* m_sheet = nullptr;
    // TRUE once the page has been made active during the current opening of the sheet.
    BOOL m_shown = FALSE;
};

class CPropertySheet : public CWnd {
public:
    CPropertySheet(const std::string& caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    // The sheet's description; PSH_* flags set here before DoModal are kept (the
    // sheet adds PSH_PROPSHEETPAGE, PSH_MODELESS and PSH_USECALLBACK itself).
    PROPSHEETHEADERW m_psh;

    // The page object must outlive the sheet's run. After creation the page is added
    // to the running sheet (PSM_ADDPAGE).
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    // The current page; before the sheet exists, the page it will start with.
    int GetActiveIndex() const;
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
    // The system's tab control (hidden by CTreePropSheet).
    HWND GetTabControl() const;

    // Runs the sheet under the modal loop. IDOK or IDCANCEL; -1 when it could not be
    // created or a WM_QUIT ended it.
    virtual INT_PTR DoModal();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // The DPI the sheet is laid out for (as a dialog's, CDialog::Dpi).
    const CDpi& Dpi() const { return m_dpi; }

protected:
    // The sheet's WM_INITDIALOG; the default is the system's own initialisation.
    virtual BOOL OnInitDialog();
    // After the sheet and its pages followed a DPI change (CDialog::OnDpiChanged).
    virtual void OnDpiChanged(int oldDpi) { (void)oldDpi; }

    CWnd* m_parent;

private:
    void FitPageArea();
    static int CALLBACK SheetCallback(HWND hWnd, UINT msg, LPARAM lParam);

    std::vector<CPropertyPage*> m_pages;
    std::wstring m_caption;
    CDpi m_dpi;
    CDpiRelayout m_dpiRelayout;
    INT_PTR m_result = -1;
};

} // namespace lex
