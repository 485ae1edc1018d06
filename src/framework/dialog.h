// CDialog: a dialog from a template resource, run modally under our own message loop.
//
// The loop disables the owner, offers every message to PreTranslateMessage from the
// target window up to the dialog (so tooltips can relay mouse input), then to
// IsDialogMessage (Tab, Esc = IDCANCEL, Enter = IDOK), and ends when EndDialog is
// called. A WM_QUIT arriving meanwhile ends the loop with -1; it is remembered by the
// application object and posted again for the loops around this one (RunModalLoop).
#pragma once

#include "framework/dpi.h"
#include "framework/dpi_follow.h"
#include "framework/wnd.h"

#include <string>

namespace lex {

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    virtual INT_PTR DoModal();
    // Creates the dialog modeless.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(INT_PTR result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // The DPI the dialog is laid out for: its monitor's when it was made, then the one
    // each WM_DPICHANGED brings.
    const CDpi& Dpi() const { return m_dpi; }
    // The top-level window this dialog sits in (a sheet, for a page) has followed a
    // DPI change, this dialog's controls with it.
    void FollowParentDpi(int newDpi);
    // Dialog units in pixels at the dialog's DPI (MapDialogRect knows only the DPI the
    // dialog was made at).
    RECT MapDialogUnits(const RECT& units) const;

protected:
    virtual BOOL OnInitDialog();
    // After the dialog followed a DPI change (its rectangle, its controls and their
    // fonts are done): rebuild what the class made for the old DPI.
    virtual void OnDpiChanged(int oldDpi) { (void)oldDpi; }
    // WM_DPICHANGED itself. The dialog follows by default (FollowDpiChange, then
    // OnDpiChanged); a window that lays itself out for the new DPI takes the message
    // here instead and records the DPI it moved to with SetDpi.
    virtual void OnDpiChangedMessage(WPARAM wParam, LPARAM lParam);
    void SetDpi(int dpi) { m_dpi.SetDpi(dpi); }
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}

    UINT m_templateId;
    CWnd* m_parent;

private:
    BOOL CreateFromTemplate(HWND owner);
    void RunModalLoop();

    // Until the dialog window exists (WM_INITDIALOG), the system DPI its template is
    // laid out at: messages that come during creation (WM_GETMINMAXINFO) use it.
    CDpi m_dpi{SystemDpi()};
    int m_templateDpi = kBaseDpi; // the DPI the template was laid out at
    CDpiRelayout m_dpiRelayout;
    BOOL m_modal = FALSE;
    BOOL m_endModal = FALSE;
    INT_PTR m_result = -1;
};

// The owner of a modal window while it runs: the top-level window of owner, disabled
// from construction until Release, which hides the modal window first (so activation
// goes straight back to the owner) and then enables and activates the owner. An owner
// that was disabled already is left as it is.
class CModalOwner {
public:
    explicit CModalOwner(HWND owner);
    ~CModalOwner() { Release(nullptr); }
    CModalOwner(const CModalOwner&) = delete;
    CModalOwner& operator=(const CModalOwner&) = delete;
    HWND Get() const { return m_owner; }
    void Release(HWND modal);

private:
    HWND m_owner;
    BOOL m_disabled = FALSE;
};

// Dialog data exchange: binds controls and moves values between controls and members.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// WM_DPICHANGED of a top-level dialog or sheet: the window takes the suggested
// rectangle, its children and fonts follow (relayout), every dialog object inside it
// hears of the new DPI (FollowParentDpi), and dpi is set to it. Returns the old DPI.
int FollowDpiChange(HWND window, CDpi& dpi, CDpiRelayout& relayout, WPARAM wParam, LPARAM lParam);

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);

} // namespace lex
