#include "framework/propsheet.h"
#include "framework/app.h"
#include "base/text.h"

#include <algorithm>
#include <cstring>

namespace lex {

namespace {

// The sheet whose PropertySheetW call is running on this thread, for its callback.
thread_local CPropertySheet* t_creatingSheet = nullptr;

// Every message of a linked page reaches its object first; this procedure only links
// a page whose creation the hook missed.
INT_PTR CALLBACK PageDialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG && !CWnd::FromHandle(hWnd)) {
        auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
        auto* page = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
        if (page && !page->m_hWnd) {
            DisarmCreationLink(page);
            page->SubclassWindow(hWnd);
            // Again, now through the object.
            return static_cast<INT_PTR>(SendMessageW(hWnd, WM_INITDIALOG, wParam, lParam));
        }
    }
    return FALSE;
}

UINT CALLBACK PageCallback(HWND, UINT msg, PROPSHEETPAGEW* psp)
{
    if (msg == PSPCB_CREATE && psp) {
        auto* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
        CreationTarget target;
        target.className = kDialogClass;
        if (page->GetSheet() && page->GetSheet()->m_hWnd) {
            target.parent = page->GetSheet()->m_hWnd;
            target.checkParent = true;
        }
        ArmCreationLink(page, target);
    }
    return 1;
}

// Takes the context-help button off the sheet's template: the program has no help.
void ClearContextHelp(void* dialogTemplate)
{
    auto* words = static_cast<WORD*>(dialogTemplate);
    if (words[1] == 0xFFFF) { // DLGTEMPLATEEX: version, signature, helpID, exStyle, style
        auto* exStyle = reinterpret_cast<DWORD*>(words + 4);
        auto* style = reinterpret_cast<DWORD*>(words + 6);
        *exStyle &= ~static_cast<DWORD>(WS_EX_CONTEXTHELP);
        *style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
    } else {
        auto* t = static_cast<DLGTEMPLATE*>(dialogTemplate);
        t->dwExtendedStyle &= ~static_cast<DWORD>(WS_EX_CONTEXTHELP);
        t->style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
    }
}

} // namespace

// CPropertyPage ---------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId), m_psp()
{
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_USECALLBACK;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pfnDlgProc = PageDialogProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = PageCallback;
}

BOOL CPropertyPage::OnSetActive()
{
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::HandleSheetNotify(const NMHDR* hdr, LRESULT* result)
{
    switch (hdr->code) {
    case PSN_SETACTIVE:
        if (OnSetActive()) {
            m_shown = TRUE;
            *result = 0;
        } else {
            *result = -1;
        }
        return TRUE;
    case PSN_KILLACTIVE:
        *result = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_APPLY:
        // A page that was never shown this time has nothing of the user's to save.
        *result = (!m_shown || OnApply()) ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        *result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CPropertyPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (hdr && hdr->hwndFrom == GetParent() && HandleSheetNotify(hdr, &result)) {
            // The system reads the answer from DWLP_MSGRESULT; SendMessage's result is
            // the same value, since our procedure answers before the dialog manager.
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
            return result;
        }
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

BOOL CPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertyPage::PreTranslateMessage(MSG*)
{
    return FALSE;
}

// CPropertySheet --------------------------------------------------------------------

CPropertySheet::CPropertySheet(const std::string& caption, CWnd* parent, UINT selectPage)
    : m_psh(), m_parent(parent), m_caption(Widen(caption))
{
    m_psh.dwSize = sizeof m_psh;
    m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    if (!page || GetPageIndex(page) >= 0)
        return;
    page->m_sheet = this;
    m_pages.push_back(page);
    if (m_hWnd) {
        HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page->m_psp);
        if (!handle || !SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) {
            if (handle)
                DestroyPropertySheetPage(handle);
            m_pages.pop_back();
            page->m_sheet = nullptr;
        }
    }
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<size_t>(index)];
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == page)
            return static_cast<int>(i);
    return -1;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return static_cast<int>(m_psh.nStartPage);
    HWND tab = GetTabControl();
    return tab ? static_cast<int>(::SendMessageW(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

BOOL CPropertySheet::SetActivePage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(index);
        return TRUE;
    }
    return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(index), 0));
}

HWND CPropertySheet::GetTabControl() const
{
    return m_hWnd ? reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL)) : nullptr;
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT msg, LPARAM lParam)
{
    CPropertySheet* sheet = t_creatingSheet;
    if (msg == PSCB_PRECREATE && lParam) {
        if (sheet && !(sheet->m_psh.dwFlags & PSH_HASHELP))
            ClearContextHelp(reinterpret_cast<void*>(lParam));
    } else if (msg == PSCB_INITIALIZED && sheet && !sheet->m_hWnd && hWnd) {
        // The hook missed the sheet window: link it now.
        sheet->SubclassWindow(hWnd);
    }
    return 0;
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_hWnd || m_pages.empty())
        return -1;
    HWND ownerWnd = m_parent ? m_parent->m_hWnd : nullptr;
    if (!ownerWnd) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd != nullptr)
            ownerWnd = app->m_pMainWnd->m_hWnd;
    }
    CModalOwner modalOwner(ownerWnd);
    const HWND owner = modalOwner.Get();

    std::vector<PROPSHEETPAGEW> pages;
    for (CPropertyPage* page : m_pages) {
        page->m_shown = FALSE;
        page->m_psp.dwFlags |= PSP_USECALLBACK;
        page->m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
        pages.push_back(page->m_psp);
    }
    PROPSHEETHEADERW psh = m_psh;
    psh.dwSize = sizeof psh;
    psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    psh.hwndParent = owner;
    psh.hInstance = AfxGetResourceHandle();
    psh.pszCaption = m_caption.c_str();
    psh.nPages = static_cast<UINT>(pages.size());
    if (psh.nStartPage >= psh.nPages)
        psh.nStartPage = 0;
    psh.ppsp = pages.data();
    psh.pfnCallback = SheetCallback;

    m_result = IDCANCEL;
    HWND created = nullptr;
    {
        CreationTarget target;
        target.className = kDialogClass;
        target.parent = owner;
        target.checkParent = true;
        CreationLink link(this, target);
        CPropertySheet* outer = t_creatingSheet;
        t_creatingSheet = this;
        created = reinterpret_cast<HWND>(PropertySheetW(&psh));
        t_creatingSheet = outer;
    }
    if (created && created != reinterpret_cast<HWND>(-1) && !m_hWnd)
        SubclassWindow(created);
    if (m_hWnd) {
        if (!RunModalLoop(this, [this] { return m_hWnd && SendMessage(PSM_GETCURRENTPAGEHWND) != 0; })) {
            m_result = -1;
        } else if (m_hWnd) {
            // What a modal sheet would have returned: positive when OK saved the pages.
            // PSM_PRESSBUTTON closes without a WM_COMMAND, so ask the sheet.
            LRESULT sheetResult = SendMessage(PSM_GETRESULT);
            if (sheetResult > 0)
                m_result = IDOK;
        }
    } else {
        m_result = -1;
    }
    modalOwner.Release(m_hWnd);
    if (m_hWnd)
        DestroyWindow();
    for (CPropertyPage* page : m_pages)
        DisarmCreationLink(page);
    return m_result;
}

BOOL CPropertySheet::OnInitDialog()
{
    BOOL result = static_cast<BOOL>(Default());
    FitPageArea();
    return result;
}

namespace {

// The size a dialog template gives in dialog units (both template forms).
SIZE TemplateSize(UINT templateId)
{
    SIZE size = {0, 0};
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5)); // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes || SizeofResource(instance, found) < 26)
        return size;
    const bool extended = bytes[2] == 0xFF && bytes[3] == 0xFF;
    short cx = 0, cy = 0;
    std::memcpy(&cx, bytes + (extended ? 22 : 14), sizeof cx);
    std::memcpy(&cy, bytes + (extended ? 24 : 16), sizeof cy);
    size.cx = cx;
    size.cy = cy;
    return size;
}

} // namespace

void CPropertySheet::FitPageArea()
{
    // The system sizes the page area from the pages' dialog units in the sheet's own
    // font. A page whose template has a font of its own needs its units in that font,
    // which at a high DPI may be more pixels than the area has (the two fonts do not
    // grow alike): the area then grows to the largest page, and the buttons move with
    // its right and bottom edges.
    HWND tab = GetTabControl();
    HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    if (!tab || !page)
        return;
    SIZE need = {0, 0};
    for (CPropertyPage* p : m_pages) {
        const SIZE units = TemplateSize(p->m_templateId);
        RECT r = {0, 0, units.cx, units.cy};
        MapDialogRect(page, &r); // the pages share the font of the one that exists
        need.cx = std::max(need.cx, r.right);
        need.cy = std::max(need.cy, r.bottom);
    }
    RECT area;
    ::GetWindowRect(tab, &area);
    ::SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const int dx = std::max(0L, need.cx - (area.right - area.left));
    const int dy = std::max(0L, need.cy - (area.bottom - area.top));
    if (!dx && !dy)
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        if (child == tab || child == page)
            r.right += dx, r.bottom += dy; // the area and the page in it grow
        else
            ::OffsetRect(&r, dx, dy); // the buttons keep to the lower right
        ::MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
    RECT sheet;
    GetWindowRect(&sheet);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, sheet.right - sheet.left + dx, sheet.bottom - sheet.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CPropertySheet::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        m_dpi.SetFromWindow(m_hWnd);
        TakeOverDialogDpiScaling(m_hWnd);
        return OnInitDialog();
    case WM_DPICHANGED:
        OnDpiChanged(FollowDpiChange(m_hWnd, m_dpi, m_dpiRelayout, wParam, lParam));
        return 0;
    case WM_COMMAND: {
        LRESULT result = CWnd::WindowProc(msg, wParam, lParam);
        // OK closes a modeless sheet only when every page accepted it.
        UINT id = CommandId(wParam, lParam);
        if ((id == IDOK || id == IDCANCEL) && m_hWnd && !SendMessage(PSM_GETCURRENTPAGEHWND))
            m_result = id;
        return result;
    }
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return static_cast<BOOL>(SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)));
    return FALSE;
}

} // namespace lex
