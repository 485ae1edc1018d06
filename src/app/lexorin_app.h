// CLexorinApp: start-up, the single-instance rule and the state that several parts
// of the program share.
#pragma once

#include "framework/app.h"

#include <string>

class CLexorinApp : public lex::CWinApp {
public:
    CLexorinApp();

    BOOL InitInstance() override;
    // The tip of the day command (32793) and the framework's own commands.
    BOOL OnCommand(UINT id) override;
    // At the end of the main bar's start-up: shows the tip of the day if "StartUp" is on.
    void ShowTipAtStartup();

    // Settings file path, rebuilt from the program folder for every access.
    std::string SettingsPath() const;

    BOOL m_bAboutBoxOpen = FALSE;      // the about box is showing
    BOOL m_bDictOpen = FALSE;          // a dictionary is open in the main bar's reader
    BOOL m_bDictChanged = FALSE;       // settings sheet changed the dictionary
    BOOL m_bBannerChanged = FALSE;     // settings sheet changed the banner look
    BOOL m_bInterfaceChanged = FALSE;  // settings sheet changed the background
    std::string m_strProductName;      // string 32795
    std::string m_strVersion;          // string 32797
    std::string m_strProgramFolder;    // upper case, with trailing backslash
    std::string m_strBkFileName;       // current background bitmap file
    int m_nEntryInterval = 1000;       // feed period in ms after start, previous and play

private:
    void MakePhoneticFontAvailable();
    HANDLE m_instanceMutex = nullptr;
};

CLexorinApp& TheApp();
