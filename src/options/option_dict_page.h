// COptionBaseDictPage, "基本设置::字典": lists the dictionaries (*.KM) of the program's
// Dictionary folder, each with how many entries it holds and, where the learner keeps a
// study record for it, how many of its words are mastered, and stores the chosen one's
// name as "DictName". OK raises the dictionary-changed flag when the name changed, so
// the main bar reopens it. A line above the list tells the chosen dictionary's counts
// in full, with the marked words.
#pragma once

#include "framework/imagelist.h"
#include "framework/propsheet.h"
#include "options/option_sheet.h"

#include <commctrl.h>

#include <string>
#include <vector>

class COptionBaseDictPage : public lex::CPropertyPage {
public:
    static constexpr UINT kDictListId = 112233;

    explicit COptionBaseDictPage(const COptionContext& context);
    ~COptionBaseDictPage() override;

    // The extended combo box with the dictionaries (created at initialisation).
    HWND GetDictList() const { return m_wndDictList.m_hWnd; }
    // The line with the chosen dictionary's counts.
    HWND GetSummary() const { return m_wndSummary.m_hWnd; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDpiChanged(int oldDpi) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void FillDictionaryList();
    // "导入词表...": the program's import, handed in by the context.
    void OnImport();
    void LoadListImages();
    void ShowSummary(const std::string& name);
    // The name of the dictionary in a row of the list, and of the chosen one; empty
    // when there is none.
    std::string RowName(LRESULT row) const;
    std::string ChosenName() const;

    lex::CWnd m_wndDictList;
    lex::CWnd m_wndSummary;
    lex::CImageList m_ImageList;
    COptionContext m_context;
    HICON m_hOwnIcon = nullptr;
    // The listed dictionaries' names, by the item data of their rows (whose text also
    // holds the counts).
    std::vector<std::string> m_names;
};
