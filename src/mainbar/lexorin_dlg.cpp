#include "mainbar/lexorin_dlg.h"
#include "app/lexorin_app.h"
#include "resources/resource.h"

CLexorinDlg::CLexorinDlg() : lex::CDialog(IDD_LEXORIN_DIALOG)
{
    HINSTANCE instance = lex::AfxGetResourceHandle();
    m_hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    m_hSmallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

CLexorinDlg::~CLexorinDlg()
{
    if (m_hIcon)
        DestroyIcon(m_hIcon);
    if (m_hSmallIcon)
        DestroyIcon(m_hSmallIcon);
}

BOOL CLexorinDlg::OnInitDialog()
{
    lex::CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hSmallIcon);
    CLexorinApp& app = TheApp();
    SetWindowText(app.m_strProductName + app.m_strVersion);
    return TRUE;
}
