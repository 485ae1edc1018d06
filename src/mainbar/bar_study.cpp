// The main bar's study commands: the context menu of the bar (mark the entry under the
// pointer known or not known, copy it, speak it while words are spoken, then the tray
// menu's items), the marks, speaking, copying
// an entry to the clipboard, the hotkeys' actions, and the study options: the strip held
// still while the pointer rests on it, meanings masked until the pointer rests on their
// entry (recall mode) and the feed held while the bar is hidden.
#include "mainbar/lexorin_dlg.h"
#include "base/text.h"
#include "base/utf8.h"
#include "framework/app.h"
#include "mainbar/bar_menu.h"
#include "resources/resource.h"

#include <windowsx.h>

#include <climits>

namespace {

// WM_CONTEXTMENU from the keyboard carries no point.
bool FromKeyboard(LPARAM screenPoint)
{
    return GET_X_LPARAM(screenPoint) == -1 && GET_Y_LPARAM(screenPoint) == -1;
}

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

    // The menu's own items, above the tray menu's.
    BarMenuRequest request{pt,
                           Dpi().Dpi(),
                           {{ID_STUDY_KNOWN, "认识了（不再出现）", haveEntry},
                            {ID_STUDY_UNKNOWN, "不认识（多复习）", haveEntry},
                            {ID_STUDY_COPY, "复制", haveEntry}},
                           false};
    // Grey when the system cannot speak; asking makes the voice on first use.
    if (m_speech.Mode() != lex::CSettings::kVoiceOff)
        request.above.push_back({ID_STUDY_SPEAK, "朗读", haveEntry && m_speech.CanSpeak()});
    const UINT chosen = TrackBarMenu(*this, request);
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
    case ID_STUDY_SPEAK:
        m_speech.Speak(entry.word);
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

void CLexorinDlg::MarkNewestEntry(bool known)
{
    if (const DictEntry* newest = m_feed.NewestEntry())
        MarkEntry(DictEntry(*newest), known);
}

void CLexorinDlg::SpeakNewestEntry()
{
    if (const DictEntry* newest = m_feed.NewestEntry())
        m_speech.Speak(newest->word);
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
    const lex::CSettings settings = AppSettings().ReadOnce();
    m_feed.SetReviewEvery(settings.StudyReviewEvery());
    m_feed.StudyRecord().SetRetentionPercent(settings.StudyRetention());
    m_feed.StudyRecordChanged();
    ApplyStudyOptions();
}

void CLexorinDlg::ApplyStudyOptions()
{
    const lex::CSettings settings = AppSettings().ReadOnce();
    m_hoverPause = settings.StudyHoverPause();
    m_pauseWhileHidden = settings.StudyPauseWhileHidden();
    CBannerCtrl& banner = m_toolbar.m_banner;
    banner.SetHoldOnHover(m_hoverPause);
    m_feed.SetHold(CWordFeed::kHoldPointer, m_hoverPause && banner.IsPointerResting());
    const bool recall = settings.StudyRecallMode();
    if (m_feed.IsRecallMode() && !recall)
        banner.RevealItems(0, INT_MAX); // the meanings masked so far show again
    m_feed.SetRecallMode(recall);
    OnVisibilityChanged();
    m_hotkeys.Register(m_hWnd, settings);
}

void CLexorinDlg::BannerPointerChanged(bool inside, int item)
{
    m_feed.SetHold(CWordFeed::kHoldPointer, inside && m_hoverPause);
    if (!m_feed.IsRecallMode())
        return;
    int first = 0, count = 0;
    if (!inside || !m_feed.EntryItems(item, &first, &count))
        first = count = 0;
    m_toolbar.m_banner.RevealItems(first, count);
}

void CLexorinDlg::OnHotKey(int id)
{
    switch (id) {
    case CBarHotkeys::kShowHide:
        ShowBar(!IsWindowVisible());
        break;
    case CBarHotkeys::kPausePlay:
        m_feed.PausePlay();
        break;
    case CBarHotkeys::kKnown:
    case CBarHotkeys::kUnknown:
        MarkNewestEntry(id == CBarHotkeys::kKnown);
        break;
    case CBarHotkeys::kSpeak:
        SpeakNewestEntry();
        break;
    default:
        break;
    }
}
