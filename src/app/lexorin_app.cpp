#include "app/lexorin_app.h"
#include "base/program_folder.h"
#include "base/text.h"
#include "dialogs/tip_dlg.h"
#include "mainbar/lexorin_dlg.h"
#include "resources/resource.h"
#include "settings/settings.h"

CLexorinApp::CLexorinApp() = default;

void CLexorinApp::MakePhoneticFontAvailable()
{
    std::wstring font = lex::Widen(m_strProgramFolder + lex::kPhoneticFontFile);
    if (AddFontResourceW(font.c_str()) > 0) {
        // Tell running programs about the new face; a hung window must not hold us up.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    // A copy in the Windows fonts folder survives logging off; an existing file is kept.
    wchar_t windows[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::wstring target = std::wstring(windows) + L"\\Fonts\\DFHGWPRN.TTF";
        CopyFileW(font.c_str(), target.c_str(), TRUE);
    }
}

BOOL CLexorinApp::OnCommand(UINT id)
{
    if (id == ID_TIP_OF_DAY) {
        CTipDlg tip(m_pMainWnd, SettingsPath(), CTipDlg::TipsPathBesideExe(), m_appName);
        tip.DoModal();
        return TRUE;
    }
    return lex::CWinApp::OnCommand(id);
}

void CLexorinApp::ShowTipAtStartup()
{
    if (lex::CSettings(SettingsPath()).TipStartUp() == 0)
        return;
    CTipDlg tip(m_pMainWnd, SettingsPath(), CTipDlg::TipsPathBesideExe(), m_appName);
    if (tip.StartUpFlag())
        tip.DoModal();
}

BOOL CLexorinApp::InitInstance()
{
    m_bAboutBoxOpen = FALSE;

    m_strProgramFolder = lex::BuildProgramFolder(lex::ExePath());

    MakePhoneticFontAvailable();

    // One copy at a time. A second one ends at once, but first shows the running
    // copy's bar as "显示单词条" would: a bar hidden while the tray icon was lost can
    // be brought back by starting the program again.
    m_instanceMutex = CreateMutexW(nullptr, TRUE, lex::Widen(m_appName).c_str());
    if (m_instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND running = CLexorinDlg::FindRunningBar())
            PostMessageW(running, WM_COMMAND, ID_SHOW_BAR, 0);
        return FALSE;
    }

    // A missing, empty or reset settings file starts with the shipped look rather than
    // the per-key defaults, whose red words on a red strip cannot be read.
    lex::CSettings(SettingsPath()).WriteFirstRunLookIfNew();

    m_strProductName = lex::LoadStringCp936(IDS_PRODUCT_NAME);
    m_strVersion = lex::LoadStringCp936(IDS_VERSION);

    m_bDictOpen = FALSE;
    m_nEntryInterval = 1000;

    {
        CLexorinDlg dlg(*this);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    // The main bar's modal loop was the whole program.
    return FALSE;
}
