// The application object: one per process, reached through AfxGetApp().
#pragma once

#include "framework/wnd.h"

#include <string>

namespace lex {

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once at start; returning FALSE ends the process without a message loop.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    // Commands the main window did not handle itself. TRUE when handled.
    virtual BOOL OnCommand(UINT id);
    // Ends the program as the exit command does: a close request to the main window,
    // or, while a box or sheet of ours holds it disabled, a quit that ends every modal
    // loop, after which the main window closes as usual.
    void ExitProgram();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    // The executable's file name without its extension, as stored on disk.
    std::string m_appName;
    // The exit code of a WM_QUIT seen by a modal loop, 0 if none.
    int m_nQuitCode = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
// Runs the application object; the body of WinMain.
int AfxWinMain(HINSTANCE instance);
// A string resource as code page 936 text; empty if missing.
std::string LoadStringCp936(UINT id);
// A message box with code page 936 texts.
int MessageBoxCp936(HWND owner, const std::string& text, const std::string& caption, UINT type);
// Puts UTF-16 text on the clipboard (as Unicode text), owned by owner. False when the
// clipboard could not be opened or the memory not had.
bool SetClipboardUnicodeText(HWND owner, const std::wstring& text);

// The executable's full path, and its folder with the trailing backslash, as code
// page 936 text spelt as the file system has them.
std::string ExePath();
std::string ExeFolder();

// A window procedure's handler let an exception out: the message, and what the
// exception said. It is written to the debugger's output, the first one is kept for
// the report AfxWinMain gives when the program has ended, and every message loop is
// told to end (exit code kExitAfterFailedHandler), so the windows close as they do on
// exit and save what they keep. Letting it unwind into the system's code that called
// the window procedure would be undefined; carrying on with a half-handled message
// could write a half-updated state over the user's settings.
void ReportWindowProcFailure(UINT msg, const char* what);
// The first failure reported, or empty.
const std::string& WindowProcFailure();
constexpr int kExitAfterFailedHandler = 3;

constexpr UINT kIdAppExit = 57665;

} // namespace lex
