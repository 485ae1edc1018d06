// CWnd: one C++ object per window handle.
//
// An object is linked to its window either while the window is being created (a
// thread CBT hook, so the object's own WindowProc sees WM_NCCREATE, WM_CREATE and
// WM_INITDIALOG) or afterwards by subclassing an existing window (dialog controls).
// Either way PreSubclassWindow runs exactly once, right after the link is made.
// The link is our window procedure in front of the window's own, and an entry in a
// handle map that names the object and the procedure to call for default processing.
// After WM_NCDESTROY the link is cut and m_hWnd is cleared at once; PostNcDestroy, the
// one place where a self-owned window may delete itself, runs when the outermost message
// of the object being handled has returned. So a handler may destroy its own window
// (directly or through what it calls) and still use its members until it returns.
//
// Messages arrive in the virtual WindowProc. A derived class handles what it needs in
// a switch that calls named handlers and gives everything else to its base class.
// The base handles WM_COMMAND (OnCommand), WM_NOTIFY (OnNotify) and reflects control
// notifications (commands, notifies, owner-draw requests, WM_CTLCOLOR*, scrolling) to the
// child object that owns them (OnChildNotify) before its parent sees them.
#pragma once

#include <windows.h>

#include <string>

namespace lex {

// SetTimer for a timer that needs no precision: the system may move its ticks by up to
// toleranceMs to fire them together with others (Windows 8 and later; a plain timer
// elsewhere).
UINT_PTR SetCoalescableTimer(HWND hWnd, UINT_PTR id, UINT elapse, ULONG toleranceMs);

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // The object linked to hWnd, or nullptr for windows that have none.
    static CWnd* FromHandle(HWND hWnd);

    // Creates a window linked to this object. className nullptr uses the framework's
    // own plain window class.
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const std::string& text, DWORD style, int x, int y,
                  int cx, int cy, HWND parent, UINT_PTR idOrMenu, void* param = nullptr);
    BOOL Create(const wchar_t* className, const std::string& text, DWORD style, const RECT& rect, HWND parent,
                UINT id);
    // Links this object to an existing window (a dialog control, say).
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Cuts the link without destroying the window.
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // A command (menu, accelerator or control notification). TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A WM_NOTIFY from a child that did not take it itself. TRUE when handled.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification reflected from the parent to this control. TRUE when handled.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Default processing of the message being handled.
    LRESULT Default();

    // Thin helpers; texts are code page 936.
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    // A timer that needs no precision: the system may move its ticks by up to
    // toleranceMs to fire them together with others (Windows 8 and later; a plain
    // timer elsewhere).
    UINT_PTR SetCoalescableTimer(UINT_PTR id, UINT elapse, ULONG toleranceMs)
    {
        return lex::SetCoalescableTimer(m_hWnd, id, elapse, toleranceMs);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, (WPARAM)font, redraw); }
    HFONT GetFont() const { return (HFONT)SendMessage(WM_GETFONT); }

private:
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK CreationHookProc(int, WPARAM, LPARAM);
    void Attach(HWND hWnd);
    void Detach();
    BOOL ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

// The window a creation link waits for: its class (nullptr: any) and, when
// checkParent is set, the parent or owner it is created with. Other windows created on
// the thread meanwhile (an input method's windows, a tooltip a control makes for
// itself) are not the one and are left alone.
struct CreationTarget {
    const wchar_t* className = nullptr;
    HWND parent = nullptr;
    bool checkParent = false;
};

// While one of these lives, the next window created on this thread that matches the
// target is linked to the object during its creation (used for windows that the
// system creates for us, such as dialogs from templates).
class CreationLink {
public:
    CreationLink(CWnd* object, const CreationTarget& target);
    ~CreationLink();
    CreationLink(const CreationLink&) = delete;
    CreationLink& operator=(const CreationLink&) = delete;

private:
    // The link armed around this scope, armed again when it ends.
    CWnd* m_savedObject;
    CreationTarget m_savedTarget;
};

// Arms the creation hook without a scope, for windows the system creates at a moment
// it announces through a callback (property pages); the next matching window takes
// the link. DisarmCreationLink drops it if it is still waiting for object.
void ArmCreationLink(CWnd* object, const CreationTarget& target);
void DisarmCreationLink(CWnd* object);

// The class name of dialogs made from templates.
extern const wchar_t kDialogClass[];

// Runs the thread's messages until keepRunning() turns false (checked after every
// message) and returns TRUE. Each message is first offered to PreTranslateMessage from
// its window up the parent chain (to stop; all the way with nullptr), then translated
// and dispatched. When window is given and not yet visible, it is shown once the
// queue is first empty. A WM_QUIT ends the loop with FALSE: its exit code goes to the
// application object and it is posted again, so every enclosing loop ends as well.
template <class F>
BOOL RunModalLoop(CWnd* window, F keepRunning);
BOOL RunModalLoopImpl(CWnd* window, BOOL (*keepRunning)(void*), void* context);
template <class F>
BOOL RunModalLoop(CWnd* window, F keepRunning)
{
    return RunModalLoopImpl(window, [](void* f) -> BOOL { return (*static_cast<F*>(f))() ? TRUE : FALSE; },
                            &keepRunning);
}

// Sends the message to every object from msg->hwnd up the parent chain, stopping
// after stop, until one's PreTranslateMessage takes it.
BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

// The text of any window, as code page 936.
std::string WindowText(HWND hWnd);

// The id of the control (or menu item, or accelerator) a WM_COMMAND comes from. A
// control's id may not fit the 16 bits the message has room for; it is read from the
// control itself.
UINT CommandId(WPARAM wParam, LPARAM lParam);

// Registers a window class of this module with the framework's window procedure
// (DefWindowProc until an object is linked), the arrow cursor, and the style and
// background given; once per name. Returns name.
const wchar_t* RegisterWindowClass(const wchar_t* name, UINT style, HBRUSH background);

// Registers, once per name, a class of this module that is the system control class
// systemClass (its window procedure, extra bytes, cursor and background) with a private
// device context (CS_OWNDC): GetDC and ReleaseDC cost next to nothing, and what is
// selected into the DC stays there between uses. Returns name; systemClass itself if the
// system class cannot be read.
const wchar_t* RegisterOwnDcClass(const wchar_t* systemClass, const wchar_t* name);

// The work area of the monitor nearest to a screen rectangle or to a window (a second
// monitor's when it is there); false, work left as it was, if none can be had.
bool WorkAreaNear(const RECT& r, RECT* work);
bool WorkAreaNear(HWND hWnd, RECT* work);
// Where a window of w x h that wants its top-left corner at (x, y) goes so that it lies
// whole within area; when it is larger than area its top-left corner stays inside.
POINT KeepWithin(int x, int y, int w, int h, const RECT& area);
// Centres window over the window over when that is visible, else in the work area of
// the monitor that monitorOf (or else over, or else window) is on, and keeps it whole
// on that work area. Size and z-order stay.
void CenterWindow(HWND window, HWND over, HWND monitorOf = nullptr);
// Moves window, if needed, so that it lies whole on the work area of its monitor.
void KeepWindowWhole(HWND window);

} // namespace lex
