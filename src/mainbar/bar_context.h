// CBarContext: the state the main bar shares with the rest of the program (the program
// folder, the product name) and what the bar asks of its
// owner. The application object derives from it and hands itself to the bar, so the
// bar never reaches up to the application.
#pragma once

#include "settings/settings.h"

#include <windows.h>

#include <string>

class CBarContext {
public:
    virtual ~CBarContext() = default;

    // At the end of the main bar's start-up: the owner shows the tip of the day if
    // "StartUp" is on.
    virtual void ShowTipAtStartup() {}
    // The caption of the program's message boxes.
    virtual std::string MessageCaption() const { return std::string(); }

    // Settings file path, rebuilt from the program folder for every access.
    std::string SettingsPath() const { return lex::CSettings::PathInFolder(m_strProgramFolder); }

    BOOL m_bAboutBoxOpen = FALSE;      // the about box is showing
    BOOL m_bDictOpen = FALSE;          // a dictionary is open in the main bar's reader
    std::string m_strProductName;      // string 32795
    std::string m_strVersion;          // string 32797
    std::string m_strProgramFolder;    // upper case, with trailing backslash
    std::string m_strBkFileName;       // current background bitmap file
    int m_nEntryInterval = 1000;       // feed period in ms after start, previous and play
};
