#include "framework/dialog.h"
#include "framework/app.h"
#include "base/text.h"

#include <cstdlib>

namespace lex {

namespace {

// Our WindowProc sits above the dialog manager's own procedure, so this one only
// has to say "not handled".
INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

BOOL CDialog::CreateFromTemplate(HWND owner)
{
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(5)); // RT_DIALOG
    if (!found)
        return FALSE;
    HGLOBAL loaded = LoadResource(instance, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return FALSE;
    CreationTarget target;
    target.className = kDialogClass;
    target.parent = owner;
    target.checkParent = true;
    CreationLink link(this, target);
    HWND hWnd = CreateDialogIndirectParamW(instance, static_cast<const DLGTEMPLATE*>(data), owner,
                                           QuietDialogProc, 0);
    if (!hWnd)
        m_hWnd = nullptr;
    return hWnd != nullptr;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    m_parent = parent;
    m_modal = FALSE;
    return CreateFromTemplate(parent ? parent->m_hWnd : nullptr);
}

CModalOwner::CModalOwner(HWND owner) : m_owner(owner ? GetAncestor(owner, GA_ROOT) : nullptr)
{
    if (m_owner && IsWindowEnabled(m_owner)) {
        EnableWindow(m_owner, FALSE);
        m_disabled = TRUE;
    }
}

void CModalOwner::Release(HWND modal)
{
    if (modal)
        SetWindowPos(modal, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (m_disabled) {
        EnableWindow(m_owner, TRUE);
        SetActiveWindow(m_owner);
        m_disabled = FALSE;
    }
}

INT_PTR CDialog::DoModal()
{
    CModalOwner owner(m_parent ? m_parent->m_hWnd : nullptr);
    m_modal = TRUE;
    m_endModal = FALSE;
    m_result = -1;
    if (CreateFromTemplate(owner.Get()) && m_hWnd && !m_endModal)
        RunModalLoop();
    owner.Release(m_hWnd);
    if (m_hWnd)
        DestroyWindow();
    m_modal = FALSE;
    return m_result;
}

void CDialog::RunModalLoop()
{
    if (!lex::RunModalLoop(this, [this] { return !m_endModal && m_hWnd; }))
        m_result = -1;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    if (m_modal) {
        m_endModal = TRUE;
        if (m_hWnd)
            PostMessage(WM_NULL); // wake the loop if it is waiting
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return IsDialogMessageW(m_hWnd, msg);
    return FALSE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        m_dpi.SetFromWindow(m_hWnd);
        m_templateDpi = m_dpi.Dpi();
        TakeOverDialogDpiScaling(m_hWnd);
        return OnInitDialog();
    case WM_DPICHANGED:
        OnDpiChangedMessage(wParam, lParam);
        return 0;
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}

void CDialog::OnDpiChangedMessage(WPARAM wParam, LPARAM lParam)
{
    OnDpiChanged(FollowDpiChange(m_hWnd, m_dpi, m_dpiRelayout, wParam, lParam));
}

RECT CDialog::MapDialogUnits(const RECT& units) const
{
    RECT r = units;
    ::MapDialogRect(m_hWnd, &r);
    const int dpi = m_dpi.Dpi();
    return RECT{::MulDiv(r.left, dpi, m_templateDpi), ::MulDiv(r.top, dpi, m_templateDpi),
                ::MulDiv(r.right, dpi, m_templateDpi), ::MulDiv(r.bottom, dpi, m_templateDpi)};
}

void CDialog::FollowParentDpi(int newDpi)
{
    const int oldDpi = m_dpi.Dpi();
    m_dpi.SetDpi(newDpi);
    if (oldDpi != m_dpi.Dpi())
        OnDpiChanged(oldDpi);
}

namespace {

void TellChildDialogs(HWND parent, int newDpi)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(child)))
            dialog->FollowParentDpi(newDpi);
        TellChildDialogs(child, newDpi);
    }
}

} // namespace

int FollowDpiChange(HWND window, CDpi& dpi, CDpiRelayout& relayout, WPARAM wParam, LPARAM lParam)
{
    const int oldDpi = dpi.Dpi();
    // Set first: the window's own WM_SIZE handling during the relayout sees the new DPI.
    dpi.SetDpi(DpiFromDpiChanged(wParam));
    relayout.Apply(window, oldDpi, dpi.Dpi(), SuggestedDpiRect(lParam));
    TellChildDialogs(window, dpi.Dpi());
    return oldDpi;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // OK and Cancel are presses: a button's click, or the menu or accelerator form
    // (no control) that IsDialogMessage sends for Enter and Esc. Any other notification
    // of a control that happens to carry one of those ids is not.
    const bool press = lParam == 0 || HIWORD(wParam) == BN_CLICKED;
    if (!press)
        return FALSE;
    switch (CommandId(wParam, lParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    HWND item = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(SendMessageW(item, BM_GETCHECK, 0, 0));
    else
        SendMessageW(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value)
{
    HWND item = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate)
        value = WindowText(item);
    else
        SetWindowTextW(item, Widen(value).c_str());
}

} // namespace lex
