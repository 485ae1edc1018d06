// CLexorinDlg: the main bar, the program's main window, run as a modal dialog.
#pragma once

#include "framework/dialog.h"

class CLexorinDlg : public lex::CDialog {
public:
    CLexorinDlg();
    ~CLexorinDlg() override;

protected:
    BOOL OnInitDialog() override;

private:
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
};
