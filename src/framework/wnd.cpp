#include "framework/wnd.h"
#include "framework/app.h"
#include "framework/menu.h"
#include "framework/system_call.h"
#include "base/text.h"

#include <commctrl.h>

#include <exception>
#include <unordered_map>
#include <functional>
#include <unordered_set>
#include <vector>

namespace lex {

namespace {

// The link of each window to its object and to the window procedure it had before.
// A process-local map, not window properties or comctl32's subclass list: under Wine
// every property look-up is a round trip to the wineserver, and look-ups would run for
// several windows on every message (PreTranslateMessage walks the parent chain).
// Windows and their objects live on the one UI thread.
struct Link {
    CWnd* object; // nullptr once cut while another procedure sits on top of ours
    WNDPROC super;
};
std::unordered_map<HWND, Link>& Links()
{
    static std::unordered_map<HWND, Link> links;
    return links;
}
const wchar_t kPlainClass[] = L"LexorinWnd";
constexpr WORD kArrowCursorId = 32512; // IDC_ARROW, which names the A form here

// The object that the next matching window created on this thread belongs to.
struct PendingLink {
    CWnd* object;
    CreationTarget target;
};
thread_local PendingLink t_pending = {nullptr, {}};
thread_local HHOOK t_hook = nullptr;

bool IsTargetWindow(HWND hWnd, const CBT_CREATEWNDW* create, const CreationTarget& target)
{
    if (target.checkParent && create && create->lpcs && create->lpcs->hwndParent != target.parent)
        return false;
    if (!target.className)
        return true;
    wchar_t name[64] = {};
    if (!GetClassNameW(hWnd, name, 64))
        return false;
    return lstrcmpiW(name, target.className) == 0;
}


// The messages being handled on this thread, innermost first. Default() reads the
// top frame; keeping this off the object means nothing touches an object after its
// WindowProc returns: object is only compared, never followed.
struct MessageFrame {
    HWND hWnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    WNDPROC super;
    const CWnd* object;
    MessageFrame* outer;
};
thread_local MessageFrame* t_frame = nullptr;

// Objects whose window was destroyed while a message of theirs was still being handled
// further out: their PostNcDestroy waits until the outermost of those returns, so a
// handler may destroy its own window and go on using its members.
thread_local std::vector<CWnd*> t_destroyedInHandler;

bool IsHandlingMessage(const CWnd* object)
{
    for (const MessageFrame* f = t_frame; f; f = f->outer)
        if (f->object == object)
            return true;
    return false;
}

// Takes object off the waiting list; true if it was on it.
bool StopWaiting(const CWnd* object)
{
    for (auto it = t_destroyedInHandler.begin(); it != t_destroyedInHandler.end(); ++it) {
        if (*it == object) {
            t_destroyedInHandler.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace

const wchar_t kDialogClass[] = L"#32770";

LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);

namespace {
// CreationLink scopes alive on this thread.
thread_local int t_linkScopes = 0;

// The hook lives only while a link waits: it is called for every window created,
// activated or moved on the thread, and for input the thread skips.
void InstallCreationHook()
{
    if (!t_hook)
        t_hook = SetWindowsHookExW(WH_CBT, CreationHookProc, nullptr, GetCurrentThreadId());
}

void RemoveCreationHookIfIdle()
{
    if (t_hook && !t_pending.object && t_linkScopes == 0) {
        UnhookWindowsHookEx(t_hook);
        t_hook = nullptr;
    }
}
} // namespace

LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    bool linked = false;
    if (code == HCBT_CREATEWND && t_pending.object) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (IsTargetWindow(hWnd, reinterpret_cast<CBT_CREATEWNDW*>(lParam), t_pending.target)
            && !CWnd::FromHandle(hWnd)) {
            CWnd* object = t_pending.object;
            t_pending.object = nullptr;
            object->Attach(hWnd);
            object->PreSubclassWindow();
            linked = true;
        }
    }
    LRESULT result = CallNextHookEx(t_hook, code, wParam, lParam);
    if (linked)
        RemoveCreationHookIfIdle();
    return result;
}

CreationLink::CreationLink(CWnd* object, const CreationTarget& target)
    : m_savedObject(t_pending.object), m_savedTarget(t_pending.target)
{
    ++t_linkScopes;
    ArmCreationLink(object, target);
}

CreationLink::~CreationLink()
{
    --t_linkScopes;
    t_pending = PendingLink{m_savedObject, m_savedTarget};
    RemoveCreationHookIfIdle();
}

void ArmCreationLink(CWnd* object, const CreationTarget& target)
{
    InstallCreationHook();
    t_pending = PendingLink{object, target};
}

void DisarmCreationLink(CWnd* object)
{
    if (t_pending.object == object)
        t_pending = PendingLink{nullptr, {}};
    RemoveCreationHookIfIdle();
}

namespace {
// A handler threw. Nothing may unwind into the system's code that called the window
// procedure, so the exception ends here: the thread's pending creation link goes back
// to what it was before the message, and the program is told to end (see
// ReportWindowProcFailure).
void EndAfterFailedHandler(UINT msg, const char* what, const PendingLink& pendingBefore)
{
    if (t_pending.object && t_pending.object != pendingBefore.object)
        t_pending = pendingBefore;
    RemoveCreationHookIfIdle();
    ReportWindowProcFailure(msg, what);
}

// What a failed handler answers: a window whose creation failed is not made.
LRESULT FailedHandlerResult(UINT msg)
{
    return msg == WM_CREATE ? -1 : 0;
}
} // namespace

LRESULT CALLBACK ObjectWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& links = Links();
    auto it = links.find(hWnd);
    if (it == links.end())
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    const Link link = it->second;
    if (!link.object) {
        // Unlinked, but a later procedure still calls ours: pass everything on.
        LRESULT result = CallWindowProcW(link.super, hWnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY)
            links.erase(hWnd);
        return result;
    }
    MessageFrame frame = {hWnd, msg, wParam, lParam, link.super, link.object, t_frame};
    const PendingLink pendingBefore = t_pending;
    t_frame = &frame;
    LRESULT result = 0;
    try {
        result = link.object->WindowProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        t_frame = frame.outer;
        EndAfterFailedHandler(msg, e.what(), pendingBefore);
        result = FailedHandlerResult(msg);
    } catch (...) {
        t_frame = frame.outer;
        EndAfterFailedHandler(msg, "unknown exception", pendingBefore);
        result = FailedHandlerResult(msg);
    }
    t_frame = frame.outer;
    CWnd* object = link.object;
    if (msg == WM_NCDESTROY) {
        // The window is gone after this message: cut the link while the handle is
        // still valid, then tell the object, which may delete itself - once no
        // handler of the object is left on the stack.
        if (object->m_hWnd == hWnd)
            object->Detach();
        Links().erase(hWnd);
        if (IsHandlingMessage(object))
            t_destroyedInHandler.push_back(object);
        else
            object->PostNcDestroy();
    } else if (!t_destroyedInHandler.empty() && !IsHandlingMessage(object) && StopWaiting(object)) {
        object->PostNcDestroy();
    }
    return result;
}

CWnd::~CWnd()
{
    // Deleted by other hands while its PostNcDestroy waited.
    if (!t_destroyedInHandler.empty())
        StopWaiting(this);
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND hWnd = m_hWnd;
        Detach();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    auto& links = Links();
    auto it = links.find(hWnd);
    return it == links.end() ? nullptr : it->second.object;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    WNDPROC super = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ObjectWindowProc)));
    Links()[hWnd] = Link{this, super};
}

void CWnd::Detach()
{
    if (!m_hWnd)
        return;
    auto it = Links().find(m_hWnd);
    if (it != Links().end()) {
        // Put the old procedure back if ours is still the one called first; otherwise
        // stay in the chain and only pass messages on.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == ObjectWindowProc) {
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.super));
            Links().erase(it);
        } else {
            it->second.object = nullptr;
        }
    }
    m_hWnd = nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const std::string& text, DWORD style, int x, int y,
                    int cx, int cy, HWND parent, UINT_PTR idOrMenu, void* param)
{
    if (m_hWnd)
        return FALSE;
    if (!className)
        className = RegisterWindowClass(kPlainClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    HWND hWnd;
    {
        CreationTarget target;
        target.className = IS_INTRESOURCE(className) ? nullptr : className;
        target.parent = parent;
        target.checkParent = true;
        CreationLink link(this, target);
        hWnd = CreateWindowExW(exStyle, className, Widen(text).c_str(), style, x, y, cx, cy, parent,
                               reinterpret_cast<HMENU>(idOrMenu), GetModuleHandleW(nullptr), param);
    }
    if (!hWnd) {
        // A window that failed in WM_NCCREATE/WM_CREATE was destroyed and detached.
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::Create(const wchar_t* className, const std::string& text, DWORD style, const RECT& rect, HWND parent,
                  UINT id)
{
    return CreateEx(0, className, text, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, id);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !hWnd || !::IsWindow(hWnd) || FromHandle(hWnd))
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !parent->m_hWnd)
        return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    Detach();
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::Default()
{
    if (!t_frame)
        return 0;
    return CallWindowProcW(t_frame->super, t_frame->hWnd, t_frame->msg, t_frame->wParam, t_frame->lParam);
}

BOOL CWnd::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        if (wParam != 0)
            child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (wParam != 0)
            child = ::GetDlgItem(m_hWnd, static_cast<int>(wParam));
        break;
    case WM_COMPAREITEM:
        child = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_DELETEITEM:
        child = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return FALSE;
    }
    // Only a direct child's own notification: one a child passes up from its own
    // children (a toolbar's tooltip, say) was reflected already by that child.
    if (!child || ::GetParent(child) != m_hWnd)
        return FALSE;
    CWnd* object = FromHandle(child);
    if (!object || object == this)
        return FALSE;
    return object->OnChildNotify(msg, wParam, lParam, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    // Menu items (wParam 0) are drawn by the menu object that owns the item.
    if ((msg == WM_DRAWITEM || msg == WM_MEASUREITEM) && wParam == 0 && CMenu::RouteOwnerDraw(msg, wParam, lParam))
        return TRUE;
    if (ReflectToChild(msg, wParam, lParam, &result))
        return result;
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        // Commands (menus, accelerators, toolbar buttons) the main window leaves alone go
        // to the application object; other control notifications do not.
        if (lParam == 0 || HIWORD(wParam) == 0) {
            CWinApp* app = AfxGetApp();
            if (app && app->m_pMainWnd == this && app->OnCommand(CommandId(wParam, lParam)))
                return 0;
        }
        break;
    case WM_NOTIFY:
        if (OnNotify(wParam, lParam, &result))
            return result;
        break;
    case WM_CLOSE:
    case WM_ENDSESSION: {
        // A close request from outside (taskkill, an installer) and the end of the
        // Windows session end the program as its exit command does, also while a box
        // or sheet of ours holds the main window, which alone would only close later.
        CWinApp* app = AfxGetApp();
        const bool ending = msg == WM_CLOSE ? !::IsWindowEnabled(m_hWnd) : wParam != FALSE;
        if (app && app->m_pMainWnd == this && ending) {
            app->ExitProgram();
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return Default();
}

BOOL CWnd::OnCommand(WPARAM, LPARAM)
{
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

void CWnd::SetWindowText(const std::string& text)
{
    ::SetWindowTextW(m_hWnd, Widen(text).c_str());
}

std::string CWnd::GetWindowText() const
{
    return WindowText(m_hWnd);
}

std::string WindowText(HWND hWnd)
{
    int n = ::GetWindowTextLengthW(hWnd);
    if (n <= 0)
        return std::string();
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(hWnd, &buf[0], n + 1);
    buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return Narrow(buf);
}

UINT CommandId(WPARAM wParam, LPARAM lParam)
{
    // WM_COMMAND carries only the low 16 bits of the sender's id; the control itself
    // has them all. A toolbar sends its buttons' command ids under its own handle, so
    // the control's id counts only where its low bits are the ones sent.
    const UINT sent = LOWORD(wParam);
    if (lParam != 0) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        if (LOWORD(id) == sent)
            return id;
    }
    return sent;
}

namespace {

// The class names this module has registered. A class is registered once per process,
// on first use; fill makes its description.
bool RegisterClassOnce(const wchar_t* name, const std::function<bool(WNDCLASSEXW&)>& fill)
{
    static std::unordered_set<std::wstring> registered;
    if (registered.count(name))
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (!fill(wc))
        return false;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    registered.insert(name);
    return true;
}

} // namespace

const wchar_t* RegisterWindowClass(const wchar_t* name, UINT style, HBRUSH background)
{
    RegisterClassOnce(name, [&](WNDCLASSEXW& wc) {
        wc.style = style;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kArrowCursorId));
        wc.hbrBackground = background;
        return true;
    });
    return name;
}

const wchar_t* RegisterOwnDcClass(const wchar_t* systemClass, const wchar_t* name)
{
    const bool ok = RegisterClassOnce(name, [&](WNDCLASSEXW& wc) {
        if (!GetClassInfoExW(nullptr, systemClass, &wc))
            return false;
        wc.style = (wc.style | CS_OWNDC) & ~static_cast<UINT>(CS_GLOBALCLASS);
        wc.lpszMenuName = nullptr;
        return true;
    });
    return ok ? name : systemClass;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    DWORD style = GetStyle();
    DWORD updated = (style & ~remove) | add;
    if (style == updated)
        return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(updated));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

UINT_PTR SetCoalescableTimer(HWND hWnd, UINT_PTR id, UINT elapse, ULONG toleranceMs)
{
    using Fn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    // Looked up once: user32 has it from Windows 8 on.
    static const Fn coalescable = LookupSystemCall<Fn>(L"user32.dll", "SetCoalescableTimer");
    if (coalescable)
        return coalescable(hWnd, id, elapse, nullptr, toleranceMs);
    return ::SetTimer(hWnd, id, elapse, nullptr);
}

BOOL RunModalLoopImpl(CWnd* window, BOOL (*keepRunning)(void*), void* context)
{
    BOOL showOnIdle = window && window->m_hWnd && !(window->GetStyle() & WS_VISIBLE);
    HWND stop = window ? window->m_hWnd : nullptr;
    MSG msg;
    while (keepRunning(context)) {
        if (showOnIdle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (window->m_hWnd) {
                window->ShowWindow(SW_SHOWNORMAL);
                UpdateWindow(window->m_hWnd);
            }
            showOnIdle = FALSE;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            int code = static_cast<int>(msg.wParam);
            if (CWinApp* app = AfxGetApp())
                app->m_nQuitCode = code;
            PostQuitMessage(code);
            return FALSE;
        }
        if (got == -1)
            return FALSE;
        if (!WalkPreTranslateTree(stop, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return TRUE;
}

BOOL WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND hWnd = msg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* object = CWnd::FromHandle(hWnd))
            if (object->PreTranslateMessage(msg))
                return TRUE;
        if (hWnd == stop)
            break;
    }
    return FALSE;
}

namespace {
bool WorkAreaOf(HMONITOR monitor, RECT* work)
{
    MONITORINFO info = {sizeof info, {}, {}, 0};
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return false;
    *work = info.rcWork;
    return true;
}
} // namespace

bool WorkAreaNear(const RECT& r, RECT* work)
{
    return WorkAreaOf(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), work);
}

bool WorkAreaNear(HWND hWnd, RECT* work)
{
    return WorkAreaOf(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), work);
}

void CenterWindow(HWND window, HWND over, HWND monitorOf)
{
    RECT r;
    if (!::GetWindowRect(window, &r))
        return;
    RECT area = {};
    if (!WorkAreaNear(monitorOf ? monitorOf : over ? over : window, &area))
        return;
    RECT around = area;
    if (over && ::IsWindowVisible(over))
        ::GetWindowRect(over, &around);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const POINT at = KeepWithin(around.left + (around.right - around.left - w) / 2,
                                around.top + (around.bottom - around.top - h) / 2, w, h, area);
    ::SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepWindowWhole(HWND window)
{
    RECT r, work;
    if (!::GetWindowRect(window, &r) || !WorkAreaNear(r, &work))
        return;
    const POINT at = KeepWithin(r.left, r.top, r.right - r.left, r.bottom - r.top, work);
    if (at.x != r.left || at.y != r.top)
        ::SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT KeepWithin(int x, int y, int w, int h, const RECT& area)
{
    if (x + w > area.right)
        x = area.right - w;
    if (y + h > area.bottom)
        y = area.bottom - h;
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    return POINT{x, y};
}

} // namespace lex
