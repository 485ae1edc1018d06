#include "options/option_dict_page.h"
#include "base/text.h"
#include "dictionary/dictionary_summary.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <algorithm>

namespace {

std::string TrimBlanks(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

} // namespace

COptionBaseDictPage::COptionBaseDictPage(const COptionContext& context)
    : lex::CPropertyPage(IDD_OPTION_DICT), m_context(context)
{
    m_hOwnIcon = static_cast<HICON>(
        LoadImageW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TRAY_HIDDEN), IMAGE_ICON, 0, 0, 0));
    if (m_hOwnIcon) {
        m_psp.dwFlags |= PSP_USEHICON;
        m_psp.hIcon = m_hOwnIcon;
    }
}

COptionBaseDictPage::~COptionBaseDictPage()
{
    if (m_hOwnIcon)
        DestroyIcon(m_hOwnIcon);
}

BOOL COptionBaseDictPage::OnInitDialog()
{
    lex::CPropertyPage::OnInitDialog();

    // Left 100, top 50, bottom 350 (with the dropped list) at 96 DPI, and as wide as the
    // frame around it allows, since each row carries its dictionary's counts.
    const RECT at = Dpi().Scale(RECT{100, 50, 322, 350});
    m_wndDictList.CreateEx(0, WC_COMBOBOXEXW, std::string(), WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN,
                           at.left, at.top, at.right - at.left, at.bottom - at.top, m_hWnd, kDictListId);
    // The page's font rather than the system font, so Chinese names read well.
    m_wndDictList.SetFont(GetFont(), FALSE);
    // A name can only be chosen from the list, not typed.
    if (HWND edit = reinterpret_cast<HWND>(m_wndDictList.SendMessage(CBEM_GETEDITCONTROL))) {
        ::SetWindowLongW(edit, GWL_STYLE, ::GetWindowLongW(edit, GWL_STYLE) | WS_DISABLED);
    }
    if (!m_ImageList)
        LoadListImages();
    FillDictionaryList();

    // The stored name preselects its row, letter case aside.
    const std::wstring stored = lex::Widen(lex::CSettings(m_context.settingsPath).DictNameForPreselection());
    LRESULT found = CB_ERR;
    const LRESULT rows = m_wndDictList.SendMessage(CB_GETCOUNT);
    for (LRESULT row = 0; row < rows && found == CB_ERR; ++row) {
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, lex::Widen(RowName(row)).c_str(), -1, stored.c_str(),
                           -1) == CSTR_EQUAL)
            found = row;
    }
    m_wndDictList.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(found == CB_ERR ? -1 : found));

    // Above the list, beside the picture, inside the selection frame.
    const RECT line = Dpi().Scale(RECT{64, 28, 322, 46});
    m_wndSummary.CreateEx(0, L"STATIC", std::string(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
                          line.left,
                          line.top, line.right - line.left, line.bottom - line.top, m_hWnd, static_cast<UINT>(-1));
    m_wndSummary.SetFont(GetFont(), FALSE);
    ShowSummary(ChosenName());
    return TRUE;
}

std::string COptionBaseDictPage::RowName(LRESULT row) const
{
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_LPARAM;
    item.iItem = row;
    if (row < 0 || !m_wndDictList.SendMessage(CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return std::string();
    const auto index = static_cast<size_t>(item.lParam);
    return index < m_names.size() ? m_names[index] : std::string();
}

std::string COptionBaseDictPage::ChosenName() const
{
    return RowName(m_wndDictList.SendMessage(CB_GETCURSEL));
}

void COptionBaseDictPage::ShowSummary(const std::string& name)
{
    // Counting is a block scan, remembered while the file stays as it is: the largest
    // book costs a few milliseconds the first time and nothing after.
    if (m_wndSummary.IsWindow())
        m_wndSummary.SetWindowText(
            name.empty() ? std::string() : lex::SummariseDictionary(m_context.programFolder, name, lex::StudyToday()));
}

BOOL COptionBaseDictPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lex::CommandId(wParam, lParam) == IDC_DICT_IMPORT && HIWORD(wParam) == BN_CLICKED) {
        OnImport();
        return TRUE;
    }
    if (lex::CommandId(wParam, lParam) == kDictListId && HIWORD(wParam) == CBN_SELCHANGE) {
        ShowSummary(ChosenName());
        return TRUE;
    }
    return lex::CPropertyPage::OnCommand(wParam, lParam);
}

void COptionBaseDictPage::LoadListImages()
{
    if (LoadOptionImages(m_ImageList, lex::PickDrawnSize(Dpi().Scale(16), {16, 24, 32})))
        m_wndDictList.SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_ImageList.GetSafeHandle()));
}

void COptionBaseDictPage::OnDpiChanged(int)
{
    // The list itself moved and grew with the page; its pictures are made again.
    if (m_wndDictList.IsWindow())
        LoadListImages();
}

void COptionBaseDictPage::FillDictionaryList()
{
    std::wstring pattern = lex::Widen(m_context.programFolder + "Dictionary\\*.KM");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    m_names.clear();
    const lex::StudyDay today = lex::StudyToday();
    lex::CClientDC dc(m_wndDictList.m_hWnd);
    lex::CSelectObject font(dc.GetSafeHdc(), m_wndDictList.GetFont());
    int widest = 0;
    do {
        std::wstring name = found.cFileName;
        // A folder named like a dictionary (an unpacked archive, say) is no dictionary;
        // the file system may hand it out before the files, so the listing goes on.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..")
            continue;
        size_t dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos)
            name.erase(dot);
        // A name that code page 936 cannot hold could never be opened again from the
        // settings file.
        std::string title;
        if (name.empty() || !lex::NarrowExact(name, &title))
            continue;
        // Counting is a block scan, remembered while the file stays as it is.
        std::wstring text = lex::Widen(
            lex::SummariseDictionary(m_context.programFolder, title, today, lex::SummaryForm::Brief));
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
        item.iItem = 0;
        item.pszText = &text[0];
        item.iImage = kOptionImageListedDictionary;
        item.iSelectedImage = kOptionImageChosenDictionary;
        item.lParam = static_cast<LPARAM>(m_names.size());
        m_names.push_back(title);
        m_wndDictList.SendMessage(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        // The dropped list is as wide as its longest row.
        SIZE extent = {};
        if (GetTextExtentPoint32W(dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &extent))
            widest = std::max(widest, static_cast<int>(extent.cx));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (widest > 0)
        m_wndDictList.SendMessage(CB_SETDROPPEDWIDTH,
                                  static_cast<WPARAM>(widest + Dpi().Scale(16 + 12) + ::GetSystemMetrics(SM_CXVSCROLL)));
}

void COptionBaseDictPage::OnImport()
{
    if (!m_context.importWordList)
        return;
    const std::string imported = m_context.importWordList(m_hWnd);
    if (imported.empty())
        return;
    // The import made it the dictionary in use; the list shows it chosen.
    m_wndDictList.SendMessage(CB_RESETCONTENT);
    FillDictionaryList();
    const LRESULT rows = m_wndDictList.SendMessage(CB_GETCOUNT);
    for (LRESULT row = 0; row < rows; ++row)
        if (RowName(row) == imported)
            m_wndDictList.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(row));
    ShowSummary(ChosenName());
}

void COptionBaseDictPage::OnOK()
{
    UpdateData(TRUE);
    const std::string chosen = TrimBlanks(ChosenName());
    lex::CSettings settings(m_context.settingsPath);
    std::string stored = TrimBlanks(settings.DictName());
    if (chosen != stored) {
        settings.SetDictName(chosen);
        RaiseOptionFlag(m_context.dictChanged);
    }
    lex::CPropertyPage::OnOK();
}
