#include "framework/app.h"
#include "base/text.h"

#include <commctrl.h>

#include <cstring>

namespace lex {

namespace {
CWinApp* g_app = nullptr;
std::string g_windowProcFailure;

std::wstring ExePathWide()
{
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}
} // namespace

std::string ExePath()
{
    return Narrow(ExePathWide());
}

std::string ExeFolder()
{
    std::wstring folder = ExePathWide();
    const size_t slash = folder.find_last_of(L"\\/");
    folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return Narrow(folder);
}

void ReportWindowProcFailure(UINT msg, const char* what)
{
    std::string text = "Lexorin: message 0x";
    static const char kHex[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4)
        text += kHex[(msg >> shift) & 0xF];
    text += " failed: ";
    text += what ? what : "";
    OutputDebugStringW(Widen(text + "\n").c_str());
    if (g_windowProcFailure.empty())
        g_windowProcFailure = text;
    PostQuitMessage(kExitAfterFailedHandler);
}

const std::string& WindowProcFailure()
{
    return g_windowProcFailure;
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
    std::wstring name = ExePathWide();
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    app->m_appName = Narrow(name);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);

    const int code = app->InitInstance() ? app->Run() : app->m_nQuitCode;
    if (!WindowProcFailure().empty())
        MessageBoxCp936(nullptr, "程序内部出错，已经关闭。\r\n\r\n" + WindowProcFailure(), app->m_appName,
                        MB_OK | MB_ICONERROR);
    return code;
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

bool SetClipboardUnicodeText(HWND owner, const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    if (void* dest = GlobalLock(memory)) {
        std::memcpy(dest, text.c_str(), bytes);
        GlobalUnlock(memory);
    } else {
        GlobalFree(memory);
        return false;
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once set, the memory is the clipboard's.
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!set)
        GlobalFree(memory);
    return set;
}

} // namespace lex
