#include "mainbar/bar_attention.h"
#include "framework/system_call.h"
#include "framework/wnd.h"

#include <cstring>

namespace {

// Not in the headers this program builds against (they target the oldest system).
constexpr UINT kWmWtsSessionChange = 0x02B1;
constexpr WPARAM kWtsSessionLock = 0x7;
constexpr WPARAM kWtsSessionUnlock = 0x8;
constexpr DWORD kNotifyForThisSession = 0;
constexpr WPARAM kPbtPowerSettingChange = 0x8013;
constexpr DWORD kDeviceNotifyWindowHandle = 0;
constexpr DWORD kWinEventOutOfContext = 0x0000;
constexpr DWORD kEventSystemForeground = 0x0003;
// SHQueryUserNotificationState: the screen saver runs or the session is switched away;
// a Direct3D program has the primary display to itself.
constexpr int kQunsNotPresent = 1;
constexpr int kQunsRunningD3dFullScreen = 3;

// {6FE69556-704A-47A0-8F24-C28D936FDA47}: the console display is off, on or dimmed.
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

struct PowerSetting {
    GUID setting;
    DWORD length;
    UCHAR data[1];
};

using WtsRegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using WtsUnregisterFn = BOOL(WINAPI*)(HWND);
using RegisterPowerFn = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerFn = BOOL(WINAPI*)(HANDLE);
using QueryNotificationStateFn = HRESULT(WINAPI*)(int*);

// The one bar of this process that foreground changes are told to.
HWND g_foregroundTarget = nullptr;

bool OnPrimaryMonitor(HWND bar)
{
    MONITORINFO info = {sizeof info, {}, {}, 0};
    return ::GetMonitorInfoW(::MonitorFromWindow(bar, MONITOR_DEFAULTTONEAREST), &info) &&
           (info.dwFlags & MONITORINFOF_PRIMARY);
}

// The window on top at the bar's centre belongs to another program and covers the
// whole of the bar's monitor.
bool FullScreenWindowOver(HWND bar)
{
    RECT bounds;
    if (!::GetWindowRect(bar, &bounds))
        return false;
    const POINT centre = {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    HWND top = ::WindowFromPoint(centre);
    HWND root = top ? ::GetAncestor(top, GA_ROOT) : nullptr;
    if (!root || root == bar || root == ::GetDesktopWindow() || root == ::GetShellWindow())
        return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(root, &pid);
    if (pid == ::GetCurrentProcessId())
        return false;
    MONITORINFO info = {sizeof info, {}, {}, 0};
    RECT covering;
    if (!::GetMonitorInfoW(::MonitorFromWindow(bar, MONITOR_DEFAULTTONEAREST), &info) ||
        !::GetWindowRect(root, &covering))
        return false;
    const RECT& m = info.rcMonitor;
    return covering.left <= m.left && covering.top <= m.top && covering.right >= m.right &&
           covering.bottom >= m.bottom;
}

} // namespace

void CBarAttention::Start(HWND bar)
{
    Stop();
    m_bar = bar;
    // The calls are looked up: Windows XP has no display notifications, and the session
    // ones live in a library of their own.
    if (auto reg = lex::LookupSystemCall<WtsRegisterFn>(L"wtsapi32.dll", "WTSRegisterSessionNotification"))
        m_sessionRegistered = reg(bar, kNotifyForThisSession) != FALSE;
    if (auto reg = lex::LookupSystemCall<RegisterPowerFn>(L"user32.dll", "RegisterPowerSettingNotification"))
        m_powerNotify = reg(bar, &kConsoleDisplayState, kDeviceNotifyWindowHandle);
    g_foregroundTarget = bar;
    m_foregroundHook = ::SetWinEventHook(kEventSystemForeground, kEventSystemForeground, nullptr, &OnWinEvent, 0, 0,
                                         kWinEventOutOfContext);
}

void CBarAttention::Stop()
{
    if (m_bar && m_checking)
        ::KillTimer(m_bar, kCheckTimer);
    m_checking = false;
    if (m_foregroundHook)
        ::UnhookWinEvent(m_foregroundHook);
    m_foregroundHook = nullptr;
    if (g_foregroundTarget == m_bar)
        g_foregroundTarget = nullptr;
    if (m_powerNotify)
        if (auto unreg = lex::LookupSystemCall<UnregisterPowerFn>(L"user32.dll", "UnregisterPowerSettingNotification"))
            unreg(m_powerNotify);
    m_powerNotify = nullptr;
    if (m_sessionRegistered)
        if (auto unreg = lex::LookupSystemCall<WtsUnregisterFn>(L"wtsapi32.dll", "WTSUnRegisterSessionNotification"))
            unreg(m_bar);
    m_sessionRegistered = false;
    m_bar = nullptr;
}

void CALLBACK CBarAttention::OnWinEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    // Runs on the bar's thread, inside its message loop: the check waits for the loop.
    if (g_foregroundTarget)
        ::PostMessageW(g_foregroundTarget, kForegroundChanged, 0, 0);
}

bool CBarAttention::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kWmWtsSessionChange:
        if (wParam != kWtsSessionLock && wParam != kWtsSessionUnlock)
            return false;
        m_locked = wParam == kWtsSessionLock;
        UpdateCheckTimer();
        return true;
    case WM_POWERBROADCAST: {
        const auto* setting = reinterpret_cast<const PowerSetting*>(lParam);
        if (wParam != kPbtPowerSettingChange || !setting || !IsEqualGUID(setting->setting, kConsoleDisplayState) ||
            setting->length < sizeof(DWORD))
            return false;
        DWORD state = 0;
        std::memcpy(&state, setting->data, sizeof state);
        m_displayOff = state == 0; // 1 on, 2 dimmed: still seen
        UpdateCheckTimer();
        return true;
    }
    case WM_TIMER:
        return wParam == kCheckTimer && CheckCovered();
    case kForegroundChanged:
        return CheckCovered();
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ACTIVATEAPP:
    case WM_DISPLAYCHANGE:
        // Uncovered parts of the bar are repainted: the covering window may be gone.
        return m_covered && CheckCovered();
    default:
        return false;
    }
}

void CBarAttention::SetWindowShown(bool shown)
{
    m_windowShown = shown;
    UpdateCheckTimer();
}

bool CBarAttention::CheckCovered()
{
    if (!m_bar)
        return false;
    bool covered = m_windowShown && FullScreenWindowOver(m_bar);
    static const auto query =
        lex::LookupSystemCall<QueryNotificationStateFn>(L"shell32.dll", "SHQueryUserNotificationState");
    int state = 0;
    if (!covered && m_windowShown && query && SUCCEEDED(query(&state)))
        covered = state == kQunsNotPresent || (state == kQunsRunningD3dFullScreen && OnPrimaryMonitor(m_bar));
    if (covered == m_covered)
        return false;
    m_covered = covered;
    UpdateCheckTimer();
    return true;
}

void CBarAttention::UpdateCheckTimer()
{
    const bool check = m_bar && m_windowShown && Unobstructed();
    if (check == m_checking)
        return;
    m_checking = check;
    if (check)
        lex::SetCoalescableTimer(m_bar, kCheckTimer, kCheckMs, kCheckToleranceMs);
    else
        ::KillTimer(m_bar, kCheckTimer);
}
