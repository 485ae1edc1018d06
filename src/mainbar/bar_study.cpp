// The main bar's study marks: the context menu of the bar (mark the entry under the
// pointer known or not known, copy it, then the tray menu's items), the mark commands
// themselves and copying an entry to the clipboard.
#include "mainbar/lexorin_dlg.h"
#include "base/text.h"
#include "base/utf8.h"
#include "framework/app.h"
#include "menuskin/new_menu.h"
#include "resources/resource.h"

#include <windowsx.h>

namespace {

// WM_CONTEXTMENU from the keyboard carries no point.
bool FromKeyboard(LPARAM screenPoint)
{
    return GET_X_LPARAM(screenPoint) == -1 && GET_Y_LPARAM(screenPoint) == -1;
}

// The menu's own items, above the tray menu's.
struct StudyMenuItem {
    UINT id;
    const char* text;
};
constexpr StudyMenuItem kStudyMenuItems[] = {
    {ID_STUDY_KNOWN, "认识了（不再出现）"},
    {ID_STUDY_UNKNOWN, "不认识（多复习）"},
    {ID_STUDY_COPY, "复制"},
};

} // namespace

const DictEntry* CLexorinDlg::EntryAtScreenPoint(LPARAM screenPoint) const
{
    const DictEntry* newest = m_feed.NewestEntry();
    // From the keyboard (no point), in single-entry mode, or off the moving text: the
    // newest entry.
    if (FromKeyboard(screenPoint) || !m_feed.IsContinuous() || !m_toolbar.m_banner.IsWindow())
        return newest;
    POINT pt = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    RECT banner;
    ::GetWindowRect(m_toolbar.m_banner.m_hWnd, &banner);
    if (!PtInRect(&banner, pt))
        return newest;
    ::ScreenToClient(m_toolbar.m_banner.m_hWnd, &pt);
    const DictEntry* under = m_feed.EntryAtItem(m_toolbar.m_banner.HitTest(pt.x));
    return under ? under : newest;
}

void CLexorinDlg::OnBarContextMenu(LPARAM screenPoint)
{
    // A copy: the feed may clear the banner while the menu is open.
    const DictEntry* target = EntryAtScreenPoint(screenPoint);
    const bool haveEntry = target != nullptr;
    const DictEntry entry = haveEntry ? *target : DictEntry();

    POINT pt;
    if (FromKeyboard(screenPoint)) {
        RECT r;
        GetWindowRect(&r);
        pt = {r.left, r.bottom};
    } else {
        pt = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    }

    HMENU loaded = LoadMenuW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (!loaded)
        return;
    HMENU trayItems = GetSubMenu(loaded, 0);
    UINT pos = 0;
    for (const StudyMenuItem& item : kStudyMenuItems)
        InsertMenuW(trayItems, pos++, MF_BYPOSITION | MF_STRING | (haveEntry ? 0 : MF_GRAYED), item.id,
                    lex::Widen(item.text).c_str());
    InsertMenuW(trayItems, pos, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);

    // The tray menu's skin and icons.
    CNewMenu menu;
    if (!menu.LoadMenu(loaded)) {
        DestroyMenu(loaded);
        return;
    }
    menu.LoadToolBarIcons(IDR_MAINTOOLBAR);
    UINT chosen = 0;
    if (CNewMenu* popup = menu.GetSubMenu(0)) {
        SetForegroundWindow(m_hWnd);
        chosen = static_cast<UINT>(
            popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, this));
        PostMessage(WM_NULL);
    }
    menu.DestroyMenu();

    switch (chosen) {
    case 0:
        break;
    case ID_STUDY_KNOWN:
    case ID_STUDY_UNKNOWN:
        MarkEntry(entry, chosen == ID_STUDY_KNOWN);
        break;
    case ID_STUDY_COPY:
        CopyEntry(entry);
        break;
    default:
        // The tray menu's own commands go their usual way.
        PostMessage(WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
        break;
    }
}

void CLexorinDlg::MarkEntry(const DictEntry& entry, bool known)
{
    if (entry.word.empty())
        return;
    if (!m_feed.MarkEntry(entry, known))
        lex::MessageBoxCp936(m_hWnd, "无法写入学习记录：\r\n" + m_feed.StudyRecord().Path(),
                             m_context.m_strProductName, MB_OK | MB_ICONWARNING);
}

void CLexorinDlg::OnStudyCommand(UINT id)
{
    // Not from the menu (a hotkey, another program): the newest entry.
    if (const DictEntry* newest = m_feed.NewestEntry())
        MarkEntry(DictEntry(*newest), id == ID_STUDY_KNOWN);
}

void CLexorinDlg::CopyEntry(const DictEntry& entry)
{
    const std::string utf16 = lex::Utf8ToUtf16Le(EntryAsUtf8Text(entry));
    std::wstring text(utf16.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                       (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
    lex::SetClipboardUnicodeText(m_hWnd, text);
}

void CLexorinDlg::ApplyStudySettings()
{
    m_feed.SetReviewEvery(AppSettings().StudyReviewEvery());
    m_feed.StudyRecordChanged();
    ApplyStudyOptions();
}
