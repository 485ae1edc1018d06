#include "widgets/link_static.h"
#include "base/text.h"
#include "framework/app.h"
#include "widgets/link_command.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

// The default (unnamed) value of a key under HKEY_CLASSES_ROOT, of any length.
LONG ReadClassesRootDefault(const std::wstring& key, std::wstring& value)
{
    HKEY handle = nullptr;
    LONG rc = RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle);
    if (rc != ERROR_SUCCESS)
        return rc;
    DWORD type = 0, bytes = 0;
    rc = RegQueryValueExW(handle, nullptr, nullptr, &type, nullptr, &bytes);
    if (rc == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        rc = ERROR_INVALID_DATA;
    if (rc == ERROR_SUCCESS) {
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        rc = RegQueryValueExW(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (rc == ERROR_SUCCESS)
            value.assign(buffer.data());
    }
    RegCloseKey(handle);
    return rc;
}

// Starts a command line the way the ".htm" fallback did with WinExec, answering in
// WinExec's terms: above 31 for success, else 0 or the error code.
int RunCommandLine(const std::wstring& commandLine, int showCommand)
{
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        DWORD error = GetLastError();
        switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_ACCESS_DENIED:
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_BAD_FORMAT:
            return static_cast<int>(error);
        case ERROR_BAD_EXE_FORMAT:
            return ERROR_BAD_FORMAT;
        default:
            return 0;
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 33;
}

} // namespace

CLinkStatic::~CLinkStatic()
{
    if (m_tooltip && ::IsWindow(m_tooltip))
        ::DestroyWindow(m_tooltip);
}

void CLinkStatic::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    if (m_target.empty())
        m_target = GetWindowText();
    if (GetWindowText().empty())
        SetWindowText(m_target);
    FitToText();
    m_cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW

    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    UpdateTool(TTM_ADDTOOLW);
}

void CLinkStatic::UpdateTool(UINT message)
{
    if (!m_tooltip)
        return;
    m_tipText = lex::Widen(m_target);
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE; // the size every comctl32 version takes
    info.hwnd = m_hWnd;
    info.uId = 1;
    info.lpszText = &m_tipText[0];
    GetClientRect(&info.rect);
    ::SendMessageW(m_tooltip, message, 0, reinterpret_cast<LPARAM>(&info));
    if (message != TTM_ADDTOOLW)
        ::SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CLinkStatic::SetLinkUrl(const std::string& target)
{
    m_target = target;
    if (m_hWnd) {
        FitToText();
        UpdateTool(TTM_UPDATETIPTEXTW);
    }
}

void CLinkStatic::SetVisited(bool visited)
{
    m_visited = visited;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CLinkStatic::SetUnderline(bool underline)
{
    m_underline = underline;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CLinkStatic::SetFitToText(bool fit)
{
    m_fitToText = fit;
    FitToText();
}

void CLinkStatic::FitToText()
{
    if (!m_fitToText || !m_hWnd)
        return;
    RECT r;
    GetWindowRect(&r);
    MapWindowPoints(nullptr, GetParent(), reinterpret_cast<POINT*>(&r), 2);

    // Measured with the context's own font, as the control has always done, but never
    // smaller than the text in the font it is drawn with: the system font does not grow
    // with the DPI as the dialog's font does, and at 192 DPI the text was cut off.
    std::wstring text = lex::Widen(GetWindowText());
    SIZE extent = {0, 0};
    {
        lex::CClientDC dc(m_hWnd);
        GetTextExtentPoint32W(dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &extent);
        if (HFONT font = GetFont()) {
            lex::CSelectObject use(dc.GetSafeHdc(), font);
            SIZE drawn = {0, 0};
            GetTextExtentPoint32W(dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &drawn);
            extent.cx = std::max(extent.cx, drawn.cx);
            extent.cy = std::max(extent.cy, drawn.cy);
        }
    }
    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        int dy = ((r.bottom - r.top) - extent.cy) / 2;
        r.top += dy;
        r.bottom -= dy;
    } else {
        r.bottom = r.top + extent.cy;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
        int dx = ((r.right - r.left) - extent.cx) / 2;
        r.left += dx;
        r.right -= dx;
        break;
    }
    case SS_RIGHT:
        r.left = r.right - extent.cx;
        break;
    default:
        r.right = r.left + extent.cx;
        break;
    }
    SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_tooltip)
        UpdateTool(TTM_NEWTOOLRECTW);
}

BOOL CLinkStatic::PreTranslateMessage(MSG* msg)
{
    if (m_tooltip && msg->hwnd == m_hWnd)
        ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    return lex::CStatic::PreTranslateMessage(msg);
}

LRESULT CLinkStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETCURSOR:
        if (m_cursor) {
            ::SetCursor(m_cursor);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (m_tooltip) {
            ::DestroyWindow(m_tooltip);
            m_tooltip = nullptr;
        }
        m_underlineFont.DeleteObject();
        break;
    default:
        break;
    }
    return lex::CStatic::WindowProc(msg, wParam, lParam);
}

BOOL CLinkStatic::OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result)
{
    if (msg == WM_CTLCOLORSTATIC) {
        *result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
        return TRUE;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        OnClicked();
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

HBRUSH CLinkStatic::OnCtlColor(HDC dc)
{
    ::SetTextColor(dc, m_visited ? m_visitedColour : m_linkColour);
    if (m_underline) {
        if (!m_underlineFont) {
            HFONT font = GetFont();
            if (!font)
                font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
            LOGFONTW lf = {};
            if (GetObjectW(font, sizeof lf, &lf)) {
                lf.lfUnderline = TRUE;
                m_underlineFont.CreateFontIndirect(lf);
            }
        }
        // Stays selected for the control's own drawing that follows.
        if (m_underlineFont)
            ::SelectObject(dc, m_underlineFont.GetSafeHandle());
    }
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CLinkStatic::OnClicked()
{
    int result = OpenLink(m_target, SW_SHOW);
    if (result > 32) {
        SetVisited(true);
    } else {
        m_visited = false;
        MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(result);
    }
}

int CLinkStatic::OpenLink(const std::string& target, int showCommand)
{
    const std::wstring wideTarget = lex::Widen(target);
    int result = static_cast<int>(reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wideTarget.c_str(), nullptr, nullptr, showCommand)));
    if (result > 32)
        return result;

    // No association for the target itself: hand it to whatever opens web pages.
    std::wstring htmClass, command;
    if (ReadClassesRootDefault(L".htm", htmClass) != ERROR_SUCCESS)
        return result;
    if (ReadClassesRootDefault(htmClass + L"\\shell\\open\\command", command) != ERROR_SUCCESS)
        return result;
    return RunCommandLine(lex::FallbackCommandLine(command, wideTarget), showCommand);
}

void CLinkStatic::ShowOpenError(int code)
{
    HWND owner = m_hWnd ? GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    lex::MessageBoxCp936(owner, lex::LinkOpenErrorText(code), m_messageCaption, MB_ICONEXCLAMATION | MB_OK);
}
