// Runs the real Lexorin.exe from a temporary copy of the program folder and finds,
// drives and waits for its windows from outside.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

// The title of the main bar: product name and version.
extern const char kMainTitle[];

class LexorinProcess {
public:
    // Copies build/dist into a fresh temporary folder (exe name as given), with the
    // shipped first-run settings file; withSettings false leaves none there.
    explicit LexorinProcess(const char* tag, const char* exeName = "Lexorin.exe", bool withSettings = true);
    // Runs Lexorin.exe of an existing program folder (an installed or unpacked copy,
    // with a trailing backslash) where it is; the folder is left in place.
    struct InPlace {};
    LexorinProcess(InPlace, const std::string& folder);
    ~LexorinProcess();
    LexorinProcess(const LexorinProcess&) = delete;
    LexorinProcess& operator=(const LexorinProcess&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string SettingsPath() const { return m_folder + "Lexorin.ini"; }

    // Starts another process of the copied exe; returns its process handle (caller closes).
    HANDLE Launch() const;
    // Starts the main copy.
    bool Start();
    // The main copy's bar once its start-up has finished (banner in place), waiting up to ms.
    HWND WaitForMainWindow(DWORD ms) const;
    // Waits for the main copy to end; its exit code, or STILL_ACTIVE on timeout.
    DWORD WaitForExit(DWORD ms) const;
    DWORD ProcessId() const { return m_pid; }
    // Ends the process if it is still running (test clean-up only).
    void Kill();

private:
    std::string m_folder;
    std::string m_exe;
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    bool m_ownsFolder = true;
};

// The main bar's toolbar and banner (children of the bar).
HWND FindToolbar(HWND bar);
HWND FindBanner(HWND bar);
// A toolbar button's rectangle in screen coordinates, read from the toolbar's process.
bool ToolbarButtonScreenRect(HWND toolbar, UINT command, RECT* rect);
// A real left click at a screen point: moves the pointer there, presses and releases.
void ClickAt(int x, int y);
// The same with the right button, or with any pair of button flags.
void RightClickAt(int x, int y);
void ClickWith(int x, int y, DWORD downFlag, DWORD upFlag);
// Real key presses.
void PressKey(WORD vk);
// Copies a screen area into memory and hands back its pixels (0x00BBGGRR), row by row.
std::vector<COLORREF> GrabScreen(const RECT& area);
// How many of the pixels have exactly the colour c.
int CountColour(const std::vector<COLORREF>& pixels, COLORREF c);
// Saves a screen area as a PNG-ready BMP file under the screenshots folder.
bool SaveScreenshot(const RECT& area, const std::string& name);
// The same for a window as it is on screen.
bool SaveScreenshot(HWND hWnd, const std::string& name);
// The visible top-level window of process pid whose title is title, or nullptr.
HWND FindProcessWindow(DWORD pid, const std::string& title);
// Lets a window of another process finish what it has queued (Wine can report stale
// state across processes until then).
void Sync(HWND hWnd);

// The callback message and icon id of the bar's tray icon, as the shell sends them.
const UINT kTrayMessage = WM_USER + 5;
const UINT kTrayIconId = 103;
// Waits up to ms for FindProcessWindow(pid, title); nullptr if it never appears.
HWND WaitForProcessWindow(DWORD pid, const std::string& title, DWORD ms);
// Waits up to ms for a visible top-level window of process pid, other than skip, that
// holds a control with id (a dialog of the program's: a file dialog, say); or nullptr.
HWND WaitForProcessWindowWith(DWORD pid, int id, HWND skip = nullptr, DWORD ms = 10000);
// How many visible top-level windows of process pid are titled title.
int CountProcessWindows(DWORD pid, const std::string& title);
// The visible top-level window of process pid of window class className, or nullptr.
HWND FindProcessWindowOfClass(DWORD pid, const wchar_t* className);
// Waits up to ms for a window to be destroyed or hidden.
bool WaitUntilGone(HWND hWnd, DWORD ms = 5000);

// The clipboard's Unicode text (the program copies entries there), empty if none.
std::wstring ClipboardText();
// Posts a command to the bar and waits until it has been handled.
void Command(HWND bar, UINT id);
// Presses the keys in order and releases them in reverse (a chord such as
// Ctrl+Alt+Shift+L), then lets the program take them.
void PressKeys(std::initializer_list<WORD> keys);
// The strip's first entry as the context menu's "复制" copies it: the feed paused,
// restarted and stepped to its first word, then the menu's third item. The pointer is
// left off the strip.
std::wstring CopiedFirstEntry(HWND bar);
// Right-clicks the bar's tray icon and waits for its popup menu; false if none appeared.
bool OpenTrayMenu(HWND bar);
// A visible dialog-class window of process pid other than the main bar (a message box,
// a system dialog), or nullptr.
HWND FindOtherDialog(DWORD pid, HWND bar);
// A descendant of parent with control id, optionally only a visible one; or nullptr.
HWND Descendant(HWND parent, int id, bool visibleOnly = false);
// A window's text, also of another process's window (read with a timeout).
std::string WindowText(HWND hWnd);
// A real left click at the centre of a window.
void ClickCentre(HWND hWnd);

// The settings sheet "选项" of process pid once its page tree is there, waiting up to
// 10 s; nullptr if it did not open.
HWND WaitForSettingsSheet(DWORD pid);
// Every node of the sheet's page tree in display order (a node, then its children),
// with the groups expanded.
std::vector<HTREEITEM> SettingsPageNodes(HWND sheet);
// Makes node the sheet's current page.
void SelectSettingsPage(HWND sheet, HTREEITEM node);
// Selects the page that holds a visible control with id; false if none does.
bool ShowSettingsPageWith(HWND sheet, int id);

} // namespace e2e
