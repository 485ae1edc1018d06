// COptionBaseDictPage, "基本设置::字典": lists the dictionaries (*.KM) of the program's
// Dictionary folder and stores the chosen one as "DictName". OK raises the
// dictionary-changed flag when the name changed, so the main bar reopens it.
#pragma once

#include "framework/imagelist.h"
#include "framework/propsheet.h"
#include "options/option_sheet.h"

#include <commctrl.h>

#include <string>

class COptionBaseDictPage : public lex::CPropertyPage {
public:
    static constexpr UINT kDictListId = 112233;

    explicit COptionBaseDictPage(const COptionContext& context);
    ~COptionBaseDictPage() override;

    // The extended combo box with the dictionaries (created at initialisation).
    HWND GetDictList() const { return m_wndDictList.m_hWnd; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDpiChanged(int oldDpi) override;

private:
    void FillDictionaryList();
    void LoadListImages();

    lex::CWnd m_wndDictList;
    lex::CImageList m_ImageList;
    COptionContext m_context;
    HICON m_hOwnIcon = nullptr;
};
