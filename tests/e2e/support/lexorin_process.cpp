#include "support/lexorin_process.h"
#include "base/text.h"
#include "framework/gdi.h"
#include "resources/resource.h"
#include "support/win_test_util.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <shellapi.h>

namespace e2e {

const char kMainTitle[] = "Quillmere4.1";

namespace {

struct FindData {
    DWORD pid;
    std::wstring title;
    HWND found;
    bool byClass;  // title is a window class name
    bool countAll; // go on past the first match, counting
    int count;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != data->pid || !IsWindowVisible(hWnd))
        return TRUE;
    wchar_t text[256] = {};
    if (data->byClass)
        GetClassNameW(hWnd, text, 256);
    else
        GetWindowTextW(hWnd, text, 256);
    if (data->title == text) {
        data->found = hWnd;
        ++data->count;
        return data->countAll;
    }
    return TRUE;
}

struct FindChild {
    int id;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindChildProc(HWND hWnd, LPARAM lParam)
{
    auto* d = reinterpret_cast<FindChild*>(lParam);
    if (GetDlgCtrlID(hWnd) == d->id && (!d->visibleOnly || IsWindowVisible(hWnd))) {
        d->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

bool CopyFolder(const std::string& from, const std::string& to)
{
    std::wstring src = lex::Widen(from) + L"\\*";
    src.push_back(L'\0');
    std::wstring dst = lex::Widen(to);
    while (!dst.empty() && dst.back() == L'\\')
        dst.pop_back();
    dst.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_COPY;
    op.pFrom = src.c_str();
    op.pTo = dst.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;
    return SHFileOperationW(&op) == 0;
}

} // namespace

HWND FindToolbar(HWND bar)
{
    return GetDlgItem(bar, 132);
}

HWND FindBanner(HWND bar)
{
    return GetDlgItem(FindToolbar(bar), 32777);
}

bool ToolbarButtonScreenRect(HWND toolbar, UINT command, RECT* rect)
{
    LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0);
    if (index < 0)
        return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(toolbar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    bool ok = remote && SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(remote)) &&
              ReadProcessMemory(process, remote, rect, sizeof(RECT), nullptr);
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (ok)
        MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(rect), 2);
    return ok;
}

void ClickAt(int x, int y)
{
    ClickWith(x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

void RightClickAt(int x, int y)
{
    ClickWith(x, y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

void ClickWith(int x, int y, DWORD down, DWORD up)
{
    SetCursorPos(x, y);
    Sleep(50);
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = up;
    SendInput(1, &input[0], sizeof(INPUT));
    Sleep(60);
    SendInput(1, &input[1], sizeof(INPUT));
    Sleep(150);
}

void PressKey(WORD vk)
{
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = vk;
    input[1].type = INPUT_KEYBOARD;
    input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(150);
}

void Command(HWND bar, UINT id)
{
    PostMessageW(bar, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Sync(bar);
}

void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT up = {};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    wintest::PumpMessages(300);
}

std::vector<COLORREF> GrabScreen(const RECT& area)
{
    int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<COLORREF> pixels;
    if (w <= 0 || h <= 0)
        return pixels;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    const BITMAPINFO bi = lex::TopDownDibInfo(w, h);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.reserve(static_cast<size_t>(w) * h);
    for (int i = 0; i < w * h; ++i) // DIB pixels are 0x00RRGGBB
        pixels.push_back(RGB((p[i] >> 16) & 0xff, (p[i] >> 8) & 0xff, p[i] & 0xff));
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

int CountColour(const std::vector<COLORREF>& pixels, COLORREF c)
{
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), c));
}

bool SaveScreenshot(const RECT& area, const std::string& name)
{
    std::vector<COLORREF> pixels = GrabScreen(area);
    int w = area.right - area.left, h = area.bottom - area.top;
    if (pixels.empty())
        return false;
    // A screen grabbed before the window was drawn is one flat colour; keep the last
    // good picture rather than replace it with that.
    if (std::all_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c == pixels.front(); }))
        return false;
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride * h);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    std::string data(reinterpret_cast<const char*>(&fh), sizeof fh);
    data.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y) * w + x];
            row[3 * x] = static_cast<char>(GetBValue(c));
            row[3 * x + 1] = static_cast<char>(GetGValue(c));
            row[3 * x + 2] = static_cast<char>(GetRValue(c));
        }
        data += row;
    }
    // Pictures taken at another DPI keep the 96-DPI ones: hi-dpi-* at 192 DPI.
    std::string prefix;
    if (wintest::TestDpi() == 192)
        prefix = "hi-dpi-";
    else if (wintest::TestDpi() != 96)
        prefix = "dpi" + std::to_string(wintest::TestDpi()) + "-";
    std::string path = wintest::FromUnixPath(LEX_SCREENSHOT_DIR) + "\\" + prefix + name + ".bmp";
    HANDLE file = CreateFileW(lex::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == data.size();
}

bool SaveScreenshot(HWND hWnd, const std::string& name)
{
    RECT r;
    return GetWindowRect(hWnd, &r) && SaveScreenshot(r, name);
}

HWND FindProcessWindow(DWORD pid, const std::string& title)
{
    FindData data = {pid, lex::Widen(title), nullptr, false, false, 0};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND WaitForProcessWindow(DWORD pid, const std::string& title, DWORD ms)
{
    HWND found = nullptr;
    wintest::PumpUntil([&] { return (found = FindProcessWindow(pid, title)) != nullptr; }, ms);
    return found;
}

int CountProcessWindows(DWORD pid, const std::string& title)
{
    FindData data = {pid, lex::Widen(title), nullptr, false, true, 0};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.count;
}

HWND FindProcessWindowOfClass(DWORD pid, const wchar_t* className)
{
    FindData data = {pid, className, nullptr, true, false, 0};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

std::wstring ClipboardText()
{
    std::wstring text;
    for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt)
        Sleep(50);
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring CopiedFirstEntry(HWND bar)
{
    for (UINT id : {ID_PAUSE_PLAY, ID_DICT_RESTART, ID_DICT_NEXT}) {
        PostMessageW(bar, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Sync(bar);
    }
    wintest::PumpMessages(200);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    RECT banner;
    GetWindowRect(FindBanner(bar), &banner);
    RightClickAt(banner.left + 40, (banner.top + banner.bottom) / 2);
    HWND menu = nullptr;
    if (!wintest::PumpUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); }, 5000))
        return L"(no context menu)";
    wintest::PumpMessages(300);
    for (int i = 0; i <= 2; ++i) // the third item copies the entry
        PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    WaitUntilGone(menu, 5000);
    wintest::PumpMessages(200);
    SetCursorPos(0, 0);
    return ClipboardText();
}

bool WaitUntilGone(HWND hWnd, DWORD ms)
{
    return wintest::PumpUntil([&] { return !IsWindow(hWnd) || !IsWindowVisible(hWnd); }, ms);
}

bool OpenTrayMenu(HWND bar)
{
    PostMessageW(bar, kTrayMessage, kTrayIconId, WM_RBUTTONUP);
    return wintest::PumpUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }, 5000);
}

HWND Descendant(HWND parent, int id, bool visibleOnly)
{
    FindChild data = {id, visibleOnly, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

std::string WindowText(HWND hWnd)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(hWnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return lex::Narrow(text);
}

void ClickCentre(HWND hWnd)
{
    RECT r;
    GetWindowRect(hWnd, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

namespace {
const int kPageTreeId = 0x7EEE;
}

HWND WaitForSettingsSheet(DWORD pid)
{
    HWND sheet = nullptr;
    wintest::PumpUntil([&] {
        sheet = FindProcessWindow(pid, "选项");
        return sheet && Descendant(sheet, kPageTreeId);
    }, 10000);
    if (sheet)
        Sync(sheet);
    return sheet;
}

std::vector<HTREEITEM> SettingsPageNodes(HWND sheet)
{
    HWND tree = Descendant(sheet, kPageTreeId);
    std::vector<HTREEITEM> nodes;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM first) {
        for (HTREEITEM n = first; n; n = TreeView_GetNextSibling(tree, n)) {
            nodes.push_back(n);
            TreeView_Expand(tree, n, TVE_EXPAND);
            walk(TreeView_GetChild(tree, n));
        }
    };
    walk(TreeView_GetRoot(tree));
    return nodes;
}

void SelectSettingsPage(HWND sheet, HTREEITEM node)
{
    SendMessageW(Descendant(sheet, kPageTreeId), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    Sync(sheet);
}

bool ShowSettingsPageWith(HWND sheet, int id)
{
    for (HTREEITEM node : SettingsPageNodes(sheet)) {
        SelectSettingsPage(sheet, node);
        if (Descendant(sheet, id, true))
            return true;
    }
    return false;
}

namespace {

struct WindowWithControl {
    DWORD pid;
    int id;
    HWND skip;
    HWND found;
};

BOOL CALLBACK VisitWindowWithControl(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowWithControl*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != search->pid || hWnd == search->skip || !IsWindowVisible(hWnd) || !Descendant(hWnd, search->id))
        return TRUE;
    search->found = hWnd;
    return FALSE;
}

} // namespace

HWND WaitForProcessWindowWith(DWORD pid, int id, HWND skip, DWORD ms)
{
    WindowWithControl search = {pid, id, skip, nullptr};
    wintest::PumpUntil([&] {
        EnumWindows(&VisitWindowWithControl, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, ms);
    return search.found;
}

void Sync(HWND hWnd)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
}

LexorinProcess::LexorinProcess(const char* tag, const char* exeName, bool withSettings)
{
    // A pointer left by an earlier test where the bar comes up could rest on the new
    // bar's strip: each run starts with it in the screen's far corner (a test that
    // wants it elsewhere puts it there before starting).
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    m_folder = wintest::MakeTempFolder(tag);
    // A copy that Wine's shell cut short now and then left a folder without the program
    // (the run then failed to start): copy again until the program is there.
    const std::wstring copiedExe = lex::Widen(m_folder + "Lexorin.exe");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CopyFolder(wintest::FromUnixPath(LEX_DIST_DIR), m_folder) &&
            GetFileAttributesW(copiedExe.c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
        fprintf(stderr, "copy of the program folder to %s incomplete (attempt %d), copying again\n",
                m_folder.c_str(), attempt + 1);
        Sleep(200);
    }
    // The program folder's settings file may hold a developer's own runs: start clean.
    std::wstring ini = lex::Widen(SettingsPath());
    DeleteFileW(ini.c_str());
    if (withSettings)
        CopyFileW(lex::Widen(wintest::FromUnixPath(LEX_PRISTINE_INI)).c_str(), ini.c_str(), FALSE);
    m_exe = m_folder + exeName;
    if (std::string(exeName) != "Lexorin.exe")
        MoveFileW(lex::Widen(m_folder + "Lexorin.exe").c_str(), lex::Widen(m_exe).c_str());
}

LexorinProcess::LexorinProcess(InPlace, const std::string& folder)
    : m_folder(folder), m_exe(folder + "Lexorin.exe"), m_ownsFolder(false)
{
}

LexorinProcess::~LexorinProcess()
{
    Kill();
    if (m_ownsFolder)
        wintest::RemoveFolder(m_folder);
}

HANDLE LexorinProcess::Launch() const
{
    std::wstring exe = lex::Widen(m_exe);
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, lex::Widen(m_folder).c_str(), &si,
                        &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool LexorinProcess::Start()
{
    m_process = Launch();
    if (!m_process) {
        // Say why, and try once more: a start refused by a busy Wine session is not the
        // program's fault.
        fprintf(stderr, "CreateProcess of %s failed, error %lu; trying again\n", m_exe.c_str(),
                static_cast<unsigned long>(GetLastError()));
        Sleep(500);
        m_process = Launch();
    }
    if (!m_process)
        return false;
    m_pid = GetProcessId(m_process);
    return true;
}

HWND LexorinProcess::WaitForMainWindow(DWORD ms) const
{
    HWND found = nullptr;
    // The bar is visible before its start-up has finished: wait until it has its
    // banner and has been placed at its full width.
    auto ready = [&] {
        found = FindProcessWindow(m_pid, kMainTitle);
        RECT r;
        return found && FindBanner(found) && GetWindowRect(found, &r) && r.right - r.left >= 640;
    };
    if (!wintest::PumpUntil(ready, ms))
        return nullptr;
    // A sent message is answered only once the bar's thread waits for messages again,
    // that is after its start-up has returned.
    Sync(found);
    return found;
}

DWORD LexorinProcess::WaitForExit(DWORD ms) const
{
    if (!m_process)
        return STILL_ACTIVE;
    WaitForSingleObject(m_process, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process, &code);
    return code;
}

void LexorinProcess::Kill()
{
    if (!m_process)
        return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
}

} // namespace e2e

namespace {

struct DialogSearch {
    DWORD pid;
    HWND bar;
    HWND found;
    static BOOL CALLBACK Visit(HWND h, LPARAM l)
    {
        auto* d = reinterpret_cast<DialogSearch*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        wchar_t cls[16] = {};
        GetClassNameW(h, cls, 16);
        if (owner != d->pid || h == d->bar || !IsWindowVisible(h) || std::wstring(cls) != L"#32770")
            return TRUE;
        // The main bar is a dialog too; so is a box still being built, without a title.
        wchar_t title[64] = {};
        GetWindowTextW(h, title, 64);
        if (title[0] == 0 || lex::Narrow(title) == e2e::kMainTitle)
            return TRUE;
        d->found = h;
        return FALSE;
    }
};

} // namespace

namespace e2e {

HWND FindOtherDialog(DWORD pid, HWND bar)
{
    DialogSearch data = {pid, bar, nullptr};
    EnumWindows(&DialogSearch::Visit, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

} // namespace e2e
