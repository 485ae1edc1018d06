// The application object for a benchmark that runs the main bar in its own process:
// the program folder given, the product strings the bar shows, and the shipped
// first-run settings file copied in (LEX_PRISTINE_INI, set by bench/win/CMakeLists.txt).
#pragma once

#include "app/lexorin_app.h"
#include "base/text.h"
#include "support/win_test_util.h"

#include <windows.h>

#include <string>

namespace {

inline void PrepareBenchApp(CLexorinApp& app, const std::string& folder)
{
    app.m_strProgramFolder = folder;
    app.m_strProductName = "Quillmere";
    app.m_strVersion = "4.1";
    app.m_hInstance = ::GetModuleHandleW(nullptr);
    ::CopyFileW(lex::Widen(wintest::FromUnixPath(LEX_PRISTINE_INI)).c_str(), lex::Widen(app.SettingsPath()).c_str(),
                FALSE);
}

} // namespace
