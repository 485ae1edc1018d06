#include "framework/file_dialog.h"
#include "framework/app.h"
#include "base/text.h"

namespace lex {

namespace {

constexpr size_t kFileBufferChars = 1024;

// The window that owns a dialog opened from parent: its top-level window; without a
// parent, this thread's active window, else the main window's last active pop-up
// (the settings sheet, say, while another program has the focus).
HWND DialogOwner(CWnd* parent)
{
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (!owner)
        owner = ::GetActiveWindow();
    if (!owner) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            owner = ::GetLastActivePopup(app->m_pMainWnd->m_hWnd);
    }
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

} // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_ofn(), m_open(openFileDialog), m_parent(parent), m_file(kFileBufferChars, L'\0')
{
    if (defaultExt)
        m_defaultExt = Widen(defaultExt);
    if (fileName) {
        std::wstring name = Widen(fileName).substr(0, kFileBufferChars - 1);
        std::copy(name.begin(), name.end(), m_file.begin());
    }
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = HookProc;
    m_ofn.hInstance = AfxGetResourceHandle();
    SetFilter(filter);
}

void CFileDialog::SetFilter(const char* filter)
{
    m_filter.clear();
    if (filter && *filter) {
        // "a|b|c|d||" becomes "a\0b\0c\0d\0\0".
        std::wstring wide = Widen(filter);
        m_filter.assign(wide.begin(), wide.end());
        for (wchar_t& c : m_filter)
            if (c == L'|')
                c = L'\0';
        m_filter.push_back(L'\0');
        m_filter.push_back(L'\0');
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = DialogOwner(m_parent);
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    const BOOL ok = m_open ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    // The panel is destroyed with the dialog; the link went with its WM_NCDESTROY.
    m_hWnd = nullptr;
    return ok ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const
{
    return Narrow(std::wstring(m_file.data()));
}

std::string CFileDialog::GetSelectedFilePath() const
{
    std::vector<wchar_t> path(kFileBufferChars, L'\0');
    LRESULT n = ::SendMessageW(GetFileDialog(), CDM_GETFILEPATH, static_cast<WPARAM>(path.size()),
                               reinterpret_cast<LPARAM>(path.data()));
    if (n <= 0 || static_cast<size_t>(n) > path.size())
        return std::string();
    path.back() = L'\0';
    return Narrow(std::wstring(path.data()));
}

CFileDialog* CFileDialog::LinkPanel(HWND panel, LPARAM initLParam)
{
    const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(initLParam);
    auto* object = ofn ? reinterpret_cast<CFileDialog*>(ofn->lCustData) : nullptr;
    if (!object || object->m_hWnd || !object->SubclassWindow(panel))
        return nullptr;
    object->OnInitPanel();
    return object;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND panel, UINT msg, WPARAM, LPARAM lParam)
{
    // Every later message of the panel passes through the object's WindowProc first,
    // so the hook has nothing else to do.
    if (msg == WM_INITDIALOG)
        LinkPanel(panel, lParam);
    return 0;
}

LRESULT CFileDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == GetFileDialog()) {
            LRESULT result = 0;
            switch (hdr->code) {
            case CDN_INITDONE:
                OnInitDone();
                break;
            case CDN_SELCHANGE:
                OnFileNameChange();
                break;
            case CDN_FOLDERCHANGE:
                OnFolderChange();
                break;
            case CDN_TYPECHANGE:
                OnTypeChange();
                break;
            case CDN_FILEOK:
                result = OnFileNameOK() ? 0 : 1;
                break;
            default:
                return CWnd::WindowProc(msg, wParam, lParam);
            }
            // The dialog reads a notification's answer from the panel's message result.
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
            return result;
        }
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

} // namespace lex
