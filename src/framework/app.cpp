#include "framework/app.h"
#include "base/text.h"

#include <commctrl.h>

namespace lex {

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    RunModalLoop(nullptr, [] { return true; });
    return m_nQuitCode;
}

BOOL CWinApp::OnCommand(UINT id)
{
    if (id == kIdAppExit) {
        ExitProgram();
        return TRUE;
    }
    return FALSE;
}

void CWinApp::ExitProgram()
{
    // A close request to the main window (a dialog turns it into cancel). While a box
    // or sheet of ours is open the main window is disabled and its loop waits under
    // the box's; a quit ends every loop at once, and the main window then closes as
    // usual.
    if (m_pMainWnd && m_pMainWnd->m_hWnd) {
        if (::IsWindowEnabled(m_pMainWnd->m_hWnd))
            m_pMainWnd->SendMessage(WM_CLOSE);
        else
            PostQuitMessage(0);
    }
}

CWinApp* AfxGetApp()
{
    return g_app;
}

HINSTANCE AfxGetResourceHandle()
{
    if (g_app && g_app->m_hInstance)
        return g_app->m_hInstance;
    return GetModuleHandleW(nullptr);
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    app->m_appName = Narrow(name);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);

    if (!app->InitInstance())
        return app->m_nQuitCode;
    return app->Run();
}

std::string LoadStringCp936(UINT id)
{
    // With a zero length, LoadStringW hands out a read-only pointer to the resource.
    const wchar_t* text = nullptr;
    int n = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || !text)
        return std::string();
    return Narrow(std::wstring(text, static_cast<size_t>(n)));
}

int MessageBoxCp936(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
}

} // namespace lex
