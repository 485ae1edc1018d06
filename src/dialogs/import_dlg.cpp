#include "dialogs/import_dlg.h"

#include "base/fileio.h"
#include "base/text.h"
#include "base/utf8.h"
#include "dictionary/phonetic_table.h"
#include "framework/app.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <chrono>

namespace {

using wordlist::Encoding;
using wordlist::Format;

// The choices of the two lists, "recognise it" first.
const struct { const char* text; Encoding enc; } kEncodings[] = {
    {"自动识别", Encoding::Utf8},  {"UTF-8", Encoding::Utf8},         {"UTF-16 LE", Encoding::Utf16Le},
    {"UTF-16 BE", Encoding::Utf16Be}, {"GBK（代码页 936）", Encoding::Cp936}};
const struct { const char* text; Format format; } kFormats[] = {
    {"自动识别", Format::Auto}, {"TSV（制表符分隔）", Format::Tsv}, {"CSV（逗号分隔）", Format::Csv},
    {"纯文本行", Format::Lines}, {"Anki 导出", Format::Anki}};

const char* EncodingText(Encoding e)
{
    for (size_t i = 1; i < sizeof kEncodings / sizeof kEncodings[0]; ++i)
        if (kEncodings[i].enc == e || (e == Encoding::Utf8Bom && kEncodings[i].enc == Encoding::Utf8))
            return kEncodings[i].text;
    return "?";
}

const char* FormatText(Format f)
{
    for (const auto& k : kFormats)
        if (k.format == f)
            return k.text;
    return "?";
}

std::wstring WideFromUtf8(const std::string& utf8)
{
    const std::string le = lex::Utf8ToUtf16Le(utf8);
    std::wstring out;
    for (size_t i = 0; i + 1 < le.size(); i += 2)
        out += static_cast<wchar_t>(static_cast<unsigned char>(le[i]) | (static_cast<unsigned char>(le[i + 1]) << 8));
    return out;
}

std::string Number(int n)
{
    return std::to_string(n);
}

} // namespace

CImportPreviewDlg::CImportPreviewDlg(const std::string& path, std::string bytes, const std::string& dictFolder,
                                     const wordlist::CFillIndex* index, const std::string& caption,
                                     lex::CWnd* parent)
    : lex::CDialog(IDD_IMPORT_PREVIEW, parent), m_path(path), m_bytes(std::move(bytes)), m_dictFolder(dictFolder),
      m_index(index), m_caption(caption)
{
}

BOOL CImportPreviewDlg::OnInitDialog()
{
    lex::CDialog::OnInitDialog();
    for (const auto& e : kEncodings)
        SendDlgItemMessageW(m_hWnd, IDC_IMPORT_ENCODING, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(lex::Widen(e.text).c_str()));
    for (const auto& f : kFormats)
        SendDlgItemMessageW(m_hWnd, IDC_IMPORT_FORMAT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(lex::Widen(f.text).c_str()));
    SendDlgItemMessageW(m_hWnd, IDC_IMPORT_ENCODING, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(m_hWnd, IDC_IMPORT_FORMAT, CB_SETCURSEL, 0, 0);

    HWND list = GetDlgItem(IDC_IMPORT_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const char* headings[] = {"单词", "音标", "释义"};
    const int widths[] = {110, 110, 300};
    for (int c = 0; c < 3; ++c) {
        std::wstring text = lex::Widen(headings[c]);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = &text[0];
        column.cx = Dpi().Scale(widths[c]);
        ListView_InsertColumn(list, c, &column);
    }
    ::SetWindowTextW(GetDlgItem(IDC_IMPORT_NAME), lex::Widen(wordlist::DefaultDictionaryName(m_path)).c_str());
    SendDlgItemMessageW(m_hWnd, IDC_IMPORT_PROGRESS, PBM_SETRANGE32, 0, 1000);
    StartConversion();
    return TRUE;
}

void CImportPreviewDlg::StartConversion()
{
    wordlist::ToKmOptions options;
    const auto enc = SendDlgItemMessageW(m_hWnd, IDC_IMPORT_ENCODING, CB_GETCURSEL, 0, 0);
    const auto fmt = SendDlgItemMessageW(m_hWnd, IDC_IMPORT_FORMAT, CB_GETCURSEL, 0, 0);
    if (enc > 0) {
        options.encodingGiven = true;
        options.encoding = kEncodings[enc].enc;
    }
    if (fmt > 0)
        options.format = kFormats[fmt].format;
    m_import.reset(new wordlist::CWordListImport(m_bytes, options, m_index));
    ::EnableWindow(GetDlgItem(IDOK), FALSE);
    ListView_DeleteAllItems(GetDlgItem(IDC_IMPORT_LIST));
    SetDlgItemTextW(m_hWnd, IDC_IMPORT_COUNTS, L"");
    SetDlgItemTextW(m_hWnd, IDC_IMPORT_SKIPPED, L"");
    SetDlgItemTextW(m_hWnd, IDC_IMPORT_STATUS, lex::Widen("正在读取…").c_str());
    SendDlgItemMessageW(m_hWnd, IDC_IMPORT_PROGRESS, PBM_SETPOS, 0, 0);
    SetTimer(kStepTimer, 1);
    OnStepTimer(); // a short list is done before the dialog first paints
}

void CImportPreviewDlg::OnStepTimer()
{
    if (!m_import || m_import->Done())
        return;
    // About 50 ms of work per tick: the dialog and the bar still paint and take input.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    while (!m_import->Step(2000) && std::chrono::steady_clock::now() < until) {
    }
    SendDlgItemMessageW(m_hWnd, IDC_IMPORT_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(m_import->Progress() * 1000), 0);
    if (m_import->Done()) {
        KillTimer(kStepTimer);
        ShowResult();
    }
}

void CImportPreviewDlg::ShowResult()
{
    const wordlist::ImportSummary& s = m_import->Summary();
    HWND list = GetDlgItem(IDC_IMPORT_LIST);
    for (size_t i = 0; i < s.preview.size(); ++i) {
        const DictEntry& e = s.preview[i];
        std::wstring texts[3] = {lex::Widen(e.word), WideFromUtf8(lex::CodesToIpaUtf8(e.phonetic)), lex::Widen(e.meaning)};
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = &texts[0][0];
        const int row = ListView_InsertItem(list, &item);
        for (int c = 1; c < 3; ++c)
            if (!texts[c].empty())
                ListView_SetItemText(list, row, c, &texts[c][0]);
    }
    std::string status = "共 " + Number(s.entries) + " 条";
    if (s.entries > static_cast<int>(s.preview.size()))
        status += "，上面是前 " + Number(static_cast<int>(s.preview.size())) + " 条";
    status += std::string("。识别为 ") + EncodingText(s.encoding) + "，" + FormatText(s.format) + "。";
    SetDlgItemTextW(m_hWnd, IDC_IMPORT_STATUS, lex::Widen(status).c_str());
    const std::string counts = "音标：补上 " + Number(s.phoneticFilled) + " 条，仍缺 " + Number(s.phoneticEmpty) +
                               " 条。\r\n释义：补上 " + Number(s.meaningFilled) + " 条，仍缺 " +
                               Number(s.meaningEmpty) + " 条。";
    SetDlgItemTextW(m_hWnd, IDC_IMPORT_COUNTS, lex::Widen(counts).c_str());
    std::string skipped = "没有跳过的行。";
    if (s.skipped > 0)
        skipped = "跳过 " + Number(s.skipped) + " 行；第一处在第 " + Number(s.firstSkippedLine) + " 行：" +
                  wordlist::SkippedLineReason(s.firstSkippedFault);
    SetDlgItemTextW(m_hWnd, IDC_IMPORT_SKIPPED, lex::Widen(skipped).c_str());
    ::EnableWindow(GetDlgItem(IDOK), s.entries > 0);
    if (s.entries == 0)
        SetDlgItemTextW(m_hWnd, IDC_IMPORT_STATUS,
                        lex::Widen("文件里没有可以导入的行：" + std::string(s.skipped ? "每一行都无法读成词条。" : "只有空行和注释。")).c_str());
}

void CImportPreviewDlg::Message(const std::string& text, UINT type)
{
    lex::MessageBoxCp936(m_hWnd, text, m_caption, type);
}

void CImportPreviewDlg::OnOK()
{
    if (!ConversionDone() || m_import->Summary().entries == 0)
        return;
    wchar_t buffer[MAX_PATH] = {};
    ::GetWindowTextW(GetDlgItem(IDC_IMPORT_NAME), buffer, MAX_PATH);
    std::string name;
    if (!lex::NarrowExact(buffer, &name)) {
        Message("字典的名字含有代码页 936 里没有的字符，请换一个名字。", MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string problem = wordlist::DictionaryNameProblem(name);
    if (!problem.empty()) {
        Message(problem, MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string target = m_dictFolder + name + ".KM";
    if (lex::FileExists(target) &&
        lex::MessageBoxCp936(m_hWnd, "已有名为“" + name + "”的字典。要用这个词表替换它吗？\r\n它的学习记录会保留。",
                             m_caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!lex::CanReplaceFile(target) || !lex::ReplaceFileContents(target, m_import->Km())) {
        Message("无法写入字典文件夹，什么也没有保存：\r\n" + target, MB_OK | MB_ICONERROR);
        return;
    }
    m_imported = name;
    lex::CDialog::OnOK();
}

BOOL CImportPreviewDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = lex::CommandId(wParam, lParam);
    if ((id == IDC_IMPORT_ENCODING || id == IDC_IMPORT_FORMAT) && HIWORD(wParam) == CBN_SELCHANGE) {
        StartConversion();
        return TRUE;
    }
    return lex::CDialog::OnCommand(wParam, lParam);
}

LRESULT CImportPreviewDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER && wParam == kStepTimer) {
        OnStepTimer();
        return 0;
    }
    if (msg == WM_DESTROY)
        KillTimer(kStepTimer);
    return lex::CDialog::WindowProc(msg, wParam, lParam);
}
