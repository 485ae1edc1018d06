// CLexorinApp: start-up, the single-instance rule and the state that several parts
// of the program share (kept in its CBarContext, which it hands to the main bar).
#pragma once

#include "framework/app.h"
#include "mainbar/bar_context.h"

#include <string>

class CLexorinApp : public lex::CWinApp, public CBarContext {
public:
    CLexorinApp();

    BOOL InitInstance() override;
    // The tip of the day command (32793) and the framework's own commands.
    BOOL OnCommand(UINT id) override;
    // At the end of the main bar's start-up: shows the tip of the day if "StartUp" is on.
    void ShowTipAtStartup() override;
    // The executable's name, as every box of the framework's is captioned.
    std::string MessageCaption() const override { return m_appName; }

private:
    void MakePhoneticFontAvailable();
    HANDLE m_instanceMutex = nullptr;
};
