#include "options/option_study_page.h"
#include "base/fileio.h"
#include "base/text.h"
#include "dictionary/study_record.h"
#include "framework/app.h"
#include "framework/file_dialog.h"
#include "options/study_chart.h"
#include "resources/resource.h"

#include <commctrl.h>

COptionStudyPage::COptionStudyPage(const COptionContext& context)
    : lex::CPropertyPage(IDD_OPTION_STUDY), m_context(context)
{
    using S = lex::CSettings;
    m_flags = {
        {IDC_STUDY_HOVER_PAUSE, &S::StudyHoverPause, &S::SetStudyHoverPause, false},
        {IDC_STUDY_RECALL, &S::StudyRecallMode, &S::SetStudyRecallMode, false},
        {IDC_STUDY_PAUSE_HIDDEN, &S::StudyPauseWhileHidden, &S::SetStudyPauseWhileHidden, false},
    };
    m_hotkeys = {
        {IDC_STUDY_HOTKEY_SHOW, &S::StudyHotkeyShowHide, &S::SetStudyHotkeyShowHide, 0},
        {IDC_STUDY_HOTKEY_PAUSE, &S::StudyHotkeyPausePlay, &S::SetStudyHotkeyPausePlay, 0},
        {IDC_STUDY_HOTKEY_KNOWN, &S::StudyHotkeyKnown, &S::SetStudyHotkeyKnown, 0},
        {IDC_STUDY_HOTKEY_UNKNOWN, &S::StudyHotkeyUnknown, &S::SetStudyHotkeyUnknown, 0},
        {IDC_STUDY_HOTKEY_SPEAK, &S::StudyHotkeySpeak, &S::SetStudyHotkeySpeak, 0},
    };
}

void COptionStudyPage::DoDataExchange(lex::CDataExchange* dx) { lex::DDX_Control(dx, IDC_STUDY_CHART, m_chart); }

BOOL COptionStudyPage::OnInitDialog()
{
    lex::CPropertyPage::OnInitDialog();
    const lex::CSettings settings = lex::CSettings(m_context.settingsPath).ReadOnce();
    m_startReviewEvery = settings.StudyReviewEvery();
    SendDlgItemMessageW(m_hWnd, IDC_STUDY_REVIEW_SPIN, UDM_SETRANGE32, kMinReviewEvery, kMaxReviewEvery);
    SendDlgItemMessageW(m_hWnd, IDC_STUDY_REVIEW_SPIN, UDM_SETPOS32, 0, m_startReviewEvery);
    SetDlgItemInt(m_hWnd, IDC_STUDY_REVIEW_EVERY, static_cast<UINT>(m_startReviewEvery), FALSE);
    m_startRetention = settings.StudyRetention();
    SendDlgItemMessageW(m_hWnd, IDC_STUDY_RETENTION_SPIN, UDM_SETRANGE32, kMinRetention, kMaxRetention);
    SendDlgItemMessageW(m_hWnd, IDC_STUDY_RETENTION_SPIN, UDM_SETPOS32, 0, RetentionShown(m_startRetention));
    SetDlgItemInt(m_hWnd, IDC_STUDY_RETENTION, static_cast<UINT>(RetentionShown(m_startRetention)), FALSE);
    m_chart.SetDpi(Dpi().Dpi());
    for (FlagOption& flag : m_flags) {
        flag.start = (settings.*flag.get)();
        CheckDlgButton(m_hWnd, flag.id, flag.start ? BST_CHECKED : BST_UNCHECKED);
    }
    for (HotkeyOption& hotkey : m_hotkeys) {
        hotkey.start = (settings.*hotkey.get)();
        SendDlgItemMessageW(m_hWnd, hotkey.id, HKM_SETHOTKEY, hotkey.start, 0);
    }
    ShowCounts();
    return TRUE;
}

int COptionStudyPage::ReviewEveryShown() const
{
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(m_hWnd, IDC_STUDY_REVIEW_EVERY, &ok, FALSE);
    if (!ok)
        return m_startReviewEvery;
    if (value < static_cast<UINT>(kMinReviewEvery))
        return kMinReviewEvery;
    return value > static_cast<UINT>(kMaxReviewEvery) ? kMaxReviewEvery : static_cast<int>(value);
}

int COptionStudyPage::RetentionShown(int fallback) const
{
    BOOL ok = FALSE;
    const UINT value = m_hWnd ? GetDlgItemInt(m_hWnd, IDC_STUDY_RETENTION, &ok, FALSE) : 0;
    const int percent = ok ? static_cast<int>(value > 1000 ? 1000 : value) : fallback;
    return percent < kMinRetention ? kMinRetention : (percent > kMaxRetention ? kMaxRetention : percent);
}

void COptionStudyPage::ShowCounts()
{
    const lex::CStudyRecord* record = m_context.studyRecord;
    static const std::vector<lex::StudyCard> kNoCards;
    m_chart.SetProgress(lex::MeasureStudyProgress(record ? record->Cards() : kNoCards, lex::StudyToday()));
    ShowProgressText();
    const lex::StudyProgress& progress = m_chart.Progress();
    ::EnableWindow(GetDlgItem(IDC_STUDY_EXPORT), progress.words > progress.mastered);
    ::EnableWindow(GetDlgItem(IDC_STUDY_CLEAR), record && progress.words > 0);
}

void COptionStudyPage::ShowProgressText()
{
    const std::string text = lex::StudyProgressText(m_chart.Progress(), RetentionShown(m_startRetention));
    SetDlgItemTextW(m_hWnd, IDC_STUDY_COUNTS, lex::Widen(text).c_str());
}

BOOL COptionStudyPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_STUDY_RETENTION && m_chart.IsWindow()) {
        ShowProgressText(); // the target beside the known share follows the box
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (lex::CommandId(wParam, lParam)) {
        case IDC_STUDY_EXPORT:
            OnExport();
            return TRUE;
        case IDC_STUDY_CLEAR:
            OnClear();
            return TRUE;
        default:
            break;
        }
    }
    return lex::CPropertyPage::OnCommand(wParam, lParam);
}

INT_PTR COptionStudyPage::ChooseExportPath(std::string* path)
{
    lex::CFileDialog dialog(FALSE, "tsv", "生词.tsv", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                            "制表符分隔的文本 (*.tsv)|*.tsv|所有文件 (*.*)|*.*||", this);
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK)
        *path = dialog.GetPathName();
    return result;
}

void COptionStudyPage::OnExport()
{
    if (!m_context.studyRecord)
        return;
    std::string path;
    if (ChooseExportPath(&path) != IDOK || path.empty())
        return;
    if (!lex::ReplaceFileContents(path, m_context.studyRecord->ExportTsv()))
        lex::MessageBoxCp936(m_hWnd, "无法写入文件：\r\n" + path, "导出生词", MB_OK | MB_ICONWARNING);
}

bool COptionStudyPage::ConfirmClear()
{
    return lex::MessageBoxCp936(m_hWnd,
                                "清除当前词典的全部学习记录？\r\n已标记的词会重新按顺序出现，此操作无法撤销。",
                                "清除学习记录", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void COptionStudyPage::OnClear()
{
    if (!m_context.studyRecord || !ConfirmClear())
        return;
    if (!m_context.studyRecord->Clear())
        lex::MessageBoxCp936(m_hWnd, "无法写入学习记录：\r\n" + m_context.studyRecord->Path(), "清除学习记录",
                             MB_OK | MB_ICONWARNING);
    RaiseOptionFlag(m_context.studyChanged);
    ShowCounts();
}

void COptionStudyPage::OnOK()
{
    lex::CSettings settings(m_context.settingsPath);
    // The changed keys go to the file as one replacement.
    lex::CSettingsGroup group(settings);
    const int reviewEvery = ReviewEveryShown();
    if (reviewEvery != m_startReviewEvery) {
        settings.SetStudyReviewEvery(reviewEvery);
        RaiseOptionFlag(m_context.studyChanged);
    }
    const int retention = RetentionShown(m_startRetention);
    if (retention != m_startRetention) {
        settings.SetStudyRetention(retention);
        RaiseOptionFlag(m_context.studyChanged);
    }
    for (const FlagOption& flag : m_flags) {
        const bool on = IsDlgButtonChecked(m_hWnd, flag.id) == BST_CHECKED;
        if (on != flag.start) {
            (settings.*flag.set)(on);
            RaiseOptionFlag(m_context.studyChanged);
        }
    }
    for (const HotkeyOption& hotkey : m_hotkeys) {
        const auto value = static_cast<uint16_t>(SendDlgItemMessageW(m_hWnd, hotkey.id, HKM_GETHOTKEY, 0, 0));
        if (value != hotkey.start) {
            (settings.*hotkey.set)(value);
            RaiseOptionFlag(m_context.studyChanged);
        }
    }
    group.Commit();
    lex::CPropertyPage::OnOK();
}
