#include "mainbar/tray_icon.h"
#include "base/text.h"
#include "framework/app.h"
#include "framework/dpi.h"

#include <cstring>
#include <utility>
#include <cwchar>

namespace {

// Sent by the shell to every top-level window when the taskbar is (re)created, for
// example after Explorer restarted.
UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

} // namespace

void CTrayIcon::LoadIcons(int dpi)
{
    // The notification area shows small icons at the DPI of the bar's monitor.
    HINSTANCE instance = lex::AfxGetResourceHandle();
    lex::CIcon shown(lex::LoadIconForDpi(instance, IDI_TRAY_SHOWN, SM_CXSMICON, SM_CYSMICON, dpi));
    lex::CIcon hidden(lex::LoadIconForDpi(instance, IDI_TRAY_HIDDEN, SM_CXSMICON, SM_CYSMICON, dpi));
    // The new one is handed to the shell before the old ones go.
    std::swap(m_shown, shown);
    std::swap(m_hidden, hidden);
    if (m_added) {
        m_data.hIcon = IconFor(m_iconId);
        Shell_NotifyIconW(NIM_MODIFY, &m_data);
    }
}

void CTrayIcon::SetTip(const std::string& tip)
{
    const std::wstring wide = lex::Widen(tip).substr(0, ARRAYSIZE(m_data.szTip) - 1);
    std::memcpy(m_data.szTip, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

void CTrayIcon::Add(HWND owner, const std::string& tip)
{
    m_data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    m_data.hWnd = owner;
    m_data.uID = kId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = kMessage;
    m_iconId = IDI_TRAY_SHOWN;
    m_data.hIcon = IconFor(m_iconId);
    SetTip(tip);
    // Wanted from now on, even where no taskbar takes it yet: it then comes with the
    // next "TaskbarCreated".
    Shell_NotifyIconW(NIM_ADD, &m_data);
    m_added = true;
}

void CTrayIcon::Remove()
{
    if (!m_added)
        return;
    Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_added = false;
}

void CTrayIcon::SetShown(bool shown)
{
    m_iconId = shown ? IDI_TRAY_SHOWN : IDI_TRAY_HIDDEN;
    m_data.hIcon = IconFor(m_iconId);
    SetTip(shown ? "显示" : "隐藏");
    if (m_added)
        Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

void CTrayIcon::ShowWarning(const std::string& title, const std::string& text, const std::string& tail)
{
    if (!m_added)
        return;
    // A balloon from the icon, which tells without stopping the user.
    NOTIFYICONDATAW balloon = m_data;
    balloon.cbSize = sizeof balloon;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    const std::wstring wideTitle = lex::Widen(title);
    const std::wstring why = lex::Widen(text);
    std::wstring where = lex::Widen(tail);
    const size_t capacity = ARRAYSIZE(balloon.szInfo) - 1;
    const size_t room = why.size() < capacity ? capacity - why.size() : 0;
    if (where.size() > room)
        where = room > 1 ? L"\x2026" + where.substr(where.size() - (room - 1)) : std::wstring();
    const std::wstring all = why + where;
    std::wcsncpy(balloon.szInfoTitle, wideTitle.c_str(), ARRAYSIZE(balloon.szInfoTitle) - 1);
    std::wcsncpy(balloon.szInfo, all.c_str(), capacity);
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

bool CTrayIcon::OnTaskbarCreated(UINT msg)
{
    if (msg == 0 || msg != TaskbarCreatedMessage())
        return false;
    // Added again as it was, with the icon and tip of the current state, or a hidden
    // bar could not be reached.
    if (m_added)
        Shell_NotifyIconW(NIM_ADD, &m_data);
    return true;
}
