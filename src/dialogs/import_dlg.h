// CImportPreviewDlg: the preview of a word list before it becomes a dictionary. It
// converts the list in steps from a timer, so a list of a million lines shows its
// progress, Cancel works at any time and the bar behind keeps scrolling; no second
// thread, so nothing is shared or locked. Then it shows the first entries as the strip
// will, the counts, what was filled and skipped, and lets the encoding, the format and
// the name be changed. OK writes "<folder><name>.KM" in one replacement, after asking
// when a dictionary of that name exists (its study record stays as it is).
#pragma once

#include "dictionary/word_list_import.h"
#include "framework/dialog.h"

#include <memory>
#include <string>

class CImportPreviewDlg : public lex::CDialog {
public:
    // bytes: the list's contents; dictFolder ends in a backslash; index may be null.
    CImportPreviewDlg(const std::string& path, std::string bytes, const std::string& dictFolder,
                      const wordlist::CFillIndex* index, const std::string& caption, lex::CWnd* parent);

    // After IDOK: the name the dictionary was written under (code page 936).
    const std::string& ImportedName() const { return m_imported; }
    // While or after converting (tests, the benchmark).
    bool ConversionDone() const { return m_import && m_import->Done(); }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    static constexpr UINT_PTR kStepTimer = 1;
    void StartConversion();
    void OnStepTimer();
    void ShowResult();
    void Message(const std::string& text, UINT type);

    std::string m_path;
    std::string m_bytes;
    std::string m_dictFolder;
    const wordlist::CFillIndex* m_index;
    std::string m_caption;
    std::unique_ptr<wordlist::CWordListImport> m_import;
    std::string m_imported;
};
