#include "mainbar/bar_import.h"

#include "base/fileio.h"
#include "base/text.h"
#include "dialogs/import_dlg.h"
#include "dictionary/word_list_import.h"
#include "framework/app.h"
#include "framework/file_dialog.h"
#include "settings/settings.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

// What the dictionaries in the folder know, the shipped word books first by name order
// (the file system's order is not fixed).
void LoadFillIndex(const std::string& dictFolder, wordlist::CFillIndex& index)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(lex::Widen(dictFolder + "*.KM").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && lex::NarrowExact(found.cFileName, &name))
            files.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        std::string bytes;
        if (lex::ReadWholeFile(dictFolder + file, bytes))
            index.AddKm(bytes);
    }
}

} // namespace

void CBarImport::AcceptDrops(HWND owner)
{
    DragAcceptFiles(owner, TRUE);
}

std::string CBarImport::DroppedFile(HDROP drop)
{
    std::string path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, 0, &name[0], length + 1);
        name.resize(length);
        path = lex::Narrow(name);
    }
    DragFinish(drop);
    return path;
}

std::string CBarImport::Run(lex::CWnd& owner, const std::string& chosen, const std::string& programFolder,
                            const std::string& settingsPath, const std::string& caption)
{
    std::string path = chosen;
    if (path.empty()) {
        lex::CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                                "词表 (*.txt;*.tsv;*.csv)|*.txt;*.tsv;*.csv|所有文件 (*.*)|*.*||", &owner);
        if (dialog.DoModal() != IDOK)
            return std::string();
        path = dialog.GetPathName();
    }
    const auto tell = [&](const std::string& text) {
        lex::MessageBoxCp936(owner.m_hWnd, text + "\r\n" + path, caption, MB_OK | MB_ICONWARNING);
    };
    std::string bytes;
    if (!lex::ReadWholeFile(path, bytes)) {
        tell("无法读取这个文件（它可能已被移走、删除，或正被别的程序占用），什么也没有导入：");
        return std::string();
    }
    switch (wordlist::CheckImportBytes(bytes)) {
    case wordlist::FileProblem::Empty:
        tell("这个文件是空的，没有可以导入的单词：");
        return std::string();
    case wordlist::FileProblem::Binary:
        tell("这不是文本文件（像是图片、压缩包或程序），无法当作词表导入：");
        return std::string();
    case wordlist::FileProblem::None:
        break;
    }
    const std::string dictFolder = programFolder + "Dictionary\\";
    wordlist::CFillIndex index;
    LoadFillIndex(dictFolder, index);
    CImportPreviewDlg preview(path, std::move(bytes), dictFolder, &index, caption, &owner);
    if (preview.DoModal() != IDOK)
        return std::string();
    lex::CSettings settings(settingsPath);
    settings.SetDictName(preview.ImportedName());
    settings.SetDictWordCount(0);
    return preview.ImportedName();
}
