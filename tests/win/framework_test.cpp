// The framework layer under Wine: object/handle links, creation hook, subclassing,
// dispatch and reflection, the modal loop, and code page 936 text at the boundary.
#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "base/text.h"
#include "support/test_ids.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace lex;

namespace {

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> seen;
    int preSubclassCalls = 0;
    int postNcDestroyCalls = 0;
    void PreSubclassWindow() override { ++preSubclassCalls; }
    void PostNcDestroy() override { ++postNcDestroyCalls; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(msg);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    bool Saw(UINT msg) const
    {
        for (UINT m : seen)
            if (m == msg)
                return true;
        return false;
    }
};

class CountingButton : public CButton {
public:
    int preSubclassCalls = 0;
    int reflectedClicks = 0;
    void PreSubclassWindow() override { ++preSubclassCalls; }
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) override
    {
        if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            ++reflectedClicks;
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
};

class ReflectionCounter : public CButton {
public:
    int commands = 0;
    int notifies = 0;
    BOOL OnChildNotify(UINT msg, WPARAM, LPARAM, LRESULT* result) override
    {
        if (msg == WM_COMMAND)
            ++commands;
        else if (msg == WM_NOTIFY)
            ++notifies;
        else
            return FALSE;
        *result = 0;
        return TRUE;
    }
};

class FormDialog : public CDialog {
public:
    FormDialog() : CDialog(IDD_TEST_FORM) {}
    CountingButton check;
    std::string text = "初始文字";
    int checked = 1;
    UINT keyToPost = 0;
    int parentSawClick = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_CHECK, check);
        DDX_Text(dx, IDC_TEST_EDIT, text);
        DDX_Check(dx, IDC_TEST_CHECK, checked);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (keyToPost) {
            HWND focus = GetDlgItem(IDC_TEST_EDIT);
            ::SetFocus(focus);
            ::PostMessageW(focus, WM_KEYDOWN, keyToPost, 1);
        }
        return FALSE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == IDC_TEST_CHECK)
            ++parentSawClick;
        return CDialog::OnCommand(wParam, lParam);
    }
};

} // namespace

TEST(Framework, ObjectCreatedInCodeSeesItsOwnCreationMessages)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    EXPECT_TRUE(wnd.Saw(WM_NCCREATE));
    EXPECT_TRUE(wnd.Saw(WM_CREATE));
    EXPECT_EQ(wnd.preSubclassCalls, 1);
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    wnd.DestroyWindow();
}

TEST(Framework, DestroyingTheWindowCutsTheLink)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    HWND hWnd = wnd.m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    EXPECT_EQ(wnd.postNcDestroyCalls, 1);
    EXPECT_TRUE(wnd.Saw(WM_DESTROY));
    // The object can be given a new window afterwards.
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "y", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    EXPECT_EQ(wnd.preSubclassCalls, 2);
}

TEST(Framework, SelfDeletingWindowDeletesItselfAfterItsLastMessage)
{
    static int deleted = 0;
    class Popup : public CWnd {
    public:
        ~Popup() override { ++deleted; }
        void PostNcDestroy() override { delete this; }
    };
    Popup* popup = new Popup;
    ASSERT_TRUE(popup->CreateEx(0, nullptr, "p", WS_POPUP, 0, 0, 20, 20, nullptr, 0));
    ::DestroyWindow(popup->m_hWnd);
    EXPECT_EQ(deleted, 1);
}

TEST(Framework, PopupThatDestroysItselfInItsOwnHandlerIsDeletedOnlyAfterTheHandlerReturned)
{
    // A click ends the popup: its handler asks itself to close (a nested message),
    // the close destroys the window, and the handler goes on with its members.
    static std::vector<std::string> log;
    log.clear();
    class Popup : public CWnd {
    public:
        ~Popup() override { log.push_back("deleted"); }
        void PostNcDestroy() override
        {
            log.push_back("PostNcDestroy");
            delete this;
        }
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            switch (msg) {
            case WM_LBUTTONUP: {
                const HWND self = m_hWnd;
                SendMessage(WM_APP);
                m_clicks += 1;
                log.push_back("handler returned: clicks " + std::to_string(m_clicks) + ", handle " +
                              (m_hWnd ? "kept" : "cleared") + ", link " + (FromHandle(self) ? "kept" : "cut"));
                return 0;
            }
            case WM_APP:
                DestroyWindow();
                log.push_back("inner handler returned");
                return 0;
            case WM_NCDESTROY:
                log.push_back("WM_NCDESTROY");
                break;
            default:
                break;
            }
            return CWnd::WindowProc(msg, wParam, lParam);
        }

    private:
        int m_clicks = 41;
    };
    Popup* popup = new Popup;
    ASSERT_TRUE(popup->CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, 0));
    const HWND hWnd = popup->m_hWnd;
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const std::vector<std::string> expected = {
        "WM_NCDESTROY",
        "inner handler returned",
        "handler returned: clicks 42, handle cleared, link cut",
        "PostNcDestroy",
        "deleted",
    };
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
}

TEST(Framework, DialogControlIsSubclassedOnceAndGetsReflectedNotifications)
{
    FormDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_FORM));
    EXPECT_EQ(dlg.check.preSubclassCalls, 1);
    dlg.UpdateData(TRUE); // binding again must not subclass again
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.check.preSubclassCalls, 1);
    EXPECT_EQ(CWnd::FromHandle(dlg.GetDlgItem(IDC_TEST_CHECK)), &dlg.check);

    dlg.check.SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.check.reflectedClicks, 1);
    EXPECT_EQ(dlg.parentSawClick, 0) << "a reflected notification the control took must not reach the parent";
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.check.m_hWnd, nullptr);
}

TEST(Framework, EscEndsModalDialogWithCancel)
{
    FormDialog dlg;
    dlg.keyToPost = VK_ESCAPE;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Framework, EnterEndsModalDialogWithOkAndSavesData)
{
    FormDialog dlg;
    dlg.keyToPost = VK_RETURN;
    dlg.checked = 0;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.text, "初始文字");
    EXPECT_EQ(dlg.checked, 0);
}

TEST(Framework, QuitRequestEndsModalLoopAndIsRemembered)
{
    CWinApp app;
    class QuitDialog : public CDialog {
    public:
        QuitDialog() : CDialog(IDD_TEST_FORM) {}
        BOOL OnInitDialog() override
        {
            PostQuitMessage(-1);
            return TRUE;
        }
    } dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(app.m_nQuitCode, -1);
}

TEST(Framework, UnhandledMenuCommandOfMainWindowReachesApplication)
{
    class App : public CWinApp {
    public:
        UINT got = 0;
        BOOL OnCommand(UINT id) override
        {
            got = id;
            return TRUE;
        }
    } app;
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    app.m_pMainWnd = &wnd;
    wnd.SendMessage(WM_COMMAND, 32793, 0);
    EXPECT_EQ(app.got, 32793u);
    app.m_pMainWnd = nullptr;
}

// Run twice by CTest: with Wine's code page 1252 and with 936.
TEST(Cp936Text, WindowTextRoundTripsByteForByte)
{
    if (const char* expected = std::getenv("LEX_EXPECT_ACP")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected))) << "the test ran under the wrong code page";
    }
    const std::string text = "缺省字典 · ☉ 苹果 apple/\xA8\x91/n.";
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, text, WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    EXPECT_EQ(wnd.GetWindowText(), text);
    wnd.SetWindowText("隐藏单词条");
    EXPECT_EQ(wnd.GetWindowText(), "隐藏单词条");
    EXPECT_EQ(Narrow(Widen("·")), "·");
    EXPECT_EQ(Widen("\xA8\x91"), std::wstring(L"\x2609")) << "0xA891 is the sun sign in code page 936";
    wnd.DestroyWindow();
}

TEST(Framework, UnlinkingUnderAnotherSubclassKeepsTheWindowWorking)
{
    // Someone subclasses our window after us; cutting our link must not break the chain.
    static WNDPROC below = nullptr;
    static int seenOnTop = 0;
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    HWND hWnd = wnd.m_hWnd;
    below = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hWnd, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            ++seenOnTop;
            return CallWindowProcW(below, h, m, w, l);
        })));
    size_t before = wnd.seen.size();
    EXPECT_EQ(wnd.UnsubclassWindow(), hWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    ::SetWindowTextW(hWnd, L"still works");
    wchar_t text[32] = {};
    ::GetWindowTextW(hWnd, text, 32);
    EXPECT_STREQ(text, L"still works");
    EXPECT_EQ(wnd.seen.size(), before) << "the unlinked object hears nothing more";
    EXPECT_GT(seenOnTop, 0);
    ::DestroyWindow(hWnd);
    EXPECT_EQ(wnd.postNcDestroyCalls, 0);
}

TEST(Framework, QuitEndsNestedLoopsOneAfterAnother)
{
    // The program told to end while a box is open over the main loop: the box's loop
    // ends, and so must the loop around it.
    CWinApp app;
    class Opener : public CWnd {
    public:
        INT_PTR inner = 0;
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            if (msg == WM_APP) {
                class QuitDialog : public CDialog {
                public:
                    QuitDialog() : CDialog(IDD_TEST_FORM) {}
                    BOOL OnInitDialog() override
                    {
                        PostQuitMessage(7);
                        return TRUE;
                    }
                } dlg;
                inner = dlg.DoModal();
                return 0;
            }
            return CWnd::WindowProc(msg, wParam, lParam);
        }
    } opener;
    ASSERT_TRUE(opener.CreateEx(0, nullptr, "outer", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    opener.PostMessage(WM_APP);
    int turns = 0;
    BOOL outer = RunModalLoop(nullptr, [&] { return ++turns < 1000; });
    EXPECT_EQ(opener.inner, -1) << "the dialog's loop ended on the quit";
    EXPECT_FALSE(outer) << "the enclosing loop saw the quit too";
    EXPECT_LT(turns, 1000);
    EXPECT_EQ(app.m_nQuitCode, 7);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "posted again for loops further out";
    EXPECT_EQ(msg.wParam, 7u);
    opener.DestroyWindow();
}

TEST(Framework, CreationHookLinksOnlyTheWindowItWasArmedFor)
{
    // Another window made on the thread while the link waits (an input method's
    // window, a control's tooltip) must not take the object.
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LexorinArmedTarget";
    RegisterClassExW(&wc);
    RecordingWnd object;
    HWND foreign = nullptr, target = nullptr;
    {
        CreationTarget expected;
        expected.className = L"LexorinArmedTarget";
        CreationLink link(&object, expected);
        foreign = CreateWindowExW(0, L"tooltips_class32", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        EXPECT_EQ(object.m_hWnd, nullptr);
        EXPECT_EQ(CWnd::FromHandle(foreign), nullptr);
        target = CreateWindowExW(0, L"LexorinArmedTarget", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ASSERT_NE(foreign, nullptr);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(object.m_hWnd, target);
    EXPECT_TRUE(object.Saw(WM_NCCREATE)) << "linked during creation";
    EXPECT_EQ(object.preSubclassCalls, 1);
    // The link is used up: the next window of that class stays unlinked.
    HWND later = CreateWindowExW(0, L"LexorinArmedTarget", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandle(later), nullptr);
    DestroyWindow(later);
    DestroyWindow(foreign);
    object.DestroyWindow();
}

TEST(Framework, WindowsAreKeptWholeOnTheWorkAreaOfTheirMonitor)
{
    RECT primary;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0));
    RECT work = {};
    const RECT nearTopLeft = {primary.left + 10, primary.top + 10, primary.left + 20, primary.top + 20};
    ASSERT_TRUE(lex::WorkAreaNear(nearTopLeft, &work));
    EXPECT_TRUE(EqualRect(&work, &primary)) << "a rectangle on the primary monitor gets its work area";

    const RECT area = {100, 50, 900, 650};
    auto at = [&](int x, int y, int w, int h) {
        const POINT p = lex::KeepWithin(x, y, w, h, area);
        return std::make_pair(static_cast<int>(p.x), static_cast<int>(p.y));
    };
    EXPECT_EQ(at(200, 100, 300, 200), std::make_pair(200, 100)) << "a window inside stays";
    EXPECT_EQ(at(800, 600, 300, 200), std::make_pair(600, 450)) << "past the right and bottom edges it moves back";
    EXPECT_EQ(at(-500, -20, 300, 200), std::make_pair(100, 50)) << "past the left and top edges it moves in";
    EXPECT_EQ(at(300, 300, 1000, 700), std::make_pair(100, 50)) << "one larger than the area keeps its top-left inside";
}

TEST(Framework, NotificationsReachTheControlOnceFromItsOwnParent)
{
    // A parent that passes a child's notification on to its own parent (as a toolbar
    // passes on its tooltip's) must not make the control hear it a second time.
    CWnd top, middle;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP, 0, 0, 200, 200, nullptr, 0));
    ASSERT_TRUE(middle.CreateEx(0, nullptr, "middle", WS_CHILD, 0, 0, 100, 100, top.m_hWnd, 1));
    ReflectionCounter button;
    ASSERT_TRUE(button.CreateEx(0, L"BUTTON", "b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20, middle.m_hWnd, 77));
    const WPARAM click = MAKEWPARAM(77, BN_CLICKED);
    NMHDR hdr = {button.m_hWnd, 77, NM_CLICK};

    middle.SendMessage(WM_COMMAND, click, reinterpret_cast<LPARAM>(button.m_hWnd));
    middle.SendMessage(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(button.commands, 1) << "from its parent the command is reflected";
    EXPECT_EQ(button.notifies, 1) << "from its parent the notify is reflected";

    top.SendMessage(WM_COMMAND, click, reinterpret_cast<LPARAM>(button.m_hWnd));
    top.SendMessage(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(button.commands, 1) << "passed on by the parent, not reflected again";
    EXPECT_EQ(button.notifies, 1);
    top.DestroyWindow();
}

TEST(Framework, OnlyAPressOfOkOrCancelEndsTheDialog)
{
    class Dialog : public FormDialog {
    public:
        int oks = 0, cancels = 0;
        UINT lastCommand = 0;
        BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
        {
            lastCommand = CommandId(wParam, lParam);
            return FormDialog::OnCommand(wParam, lParam);
        }
        void OnOK() override { ++oks; }
        void OnCancel() override { ++cancels; }
    } dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_FORM));
    HWND edit = dlg.GetDlgItem(IDC_TEST_EDIT);

    // An edit's change notification that carries the id 1 (IDOK) is no press.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(dlg.oks, 0);
    EXPECT_EQ(dlg.cancels, 0);

    // Buttons whose ids need more than 16 bits: the dictionary list's 112233, and one
    // whose low 16 bits read as IDCANCEL.
    CButton wide, lowCancel;
    ASSERT_TRUE(wide.CreateEx(0, L"BUTTON", "w", WS_CHILD | BS_PUSHBUTTON, 0, 0, 20, 20, dlg.m_hWnd, 112233));
    ASSERT_TRUE(lowCancel.CreateEx(0, L"BUTTON", "c", WS_CHILD | BS_PUSHBUTTON, 0, 0, 20, 20, dlg.m_hWnd,
                                   0x10000 + IDCANCEL));
    wide.SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.lastCommand, 112233u) << "the sender's whole id";
    lowCancel.SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.lastCommand, static_cast<UINT>(0x10000 + IDCANCEL));
    EXPECT_EQ(dlg.cancels, 0) << "a different control than Cancel";

    // Enter and Esc (no control), and a click of the real buttons, are presses.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0);
    EXPECT_EQ(dlg.oks, 1);
    EXPECT_EQ(dlg.cancels, 1);
    dlg.DestroyWindow();
}

TEST(Framework, AHandlerThatThrowsEndsTheProgramCleanly)
{
    CWinApp app;
    class Thrower : public CWnd {
    public:
        CWnd* armFor = nullptr;
        bool throwOnCreate = false;
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            if (msg == WM_CREATE && throwOnCreate)
                throw std::runtime_error("no resources");
            if (msg == WM_APP) {
                // Half-way through arming a link for a window it never gets to make.
                CreationTarget any;
                ArmCreationLink(armFor, any);
                throw std::runtime_error("broken entry");
            }
            return CWnd::WindowProc(msg, wParam, lParam);
        }
    };
    RecordingWnd bystander;
    Thrower thrower;
    thrower.armFor = &bystander;
    ASSERT_TRUE(thrower.CreateEx(0, nullptr, "t", WS_POPUP, 0, 0, 20, 20, nullptr, 0));
    EXPECT_EQ(thrower.SendMessage(WM_APP), 0) << "the exception stops at the window procedure";
    EXPECT_NE(WindowProcFailure().find("broken entry"), std::string::npos) << "kept for the report at exit";

    // The thread carries on sound: no link left waiting, messages still handled.
    HWND later = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandle(later), nullptr) << "the abandoned link does not take the next window";
    EXPECT_EQ(bystander.m_hWnd, nullptr);
    DestroyWindow(later);
    thrower.SetWindowText("still answering");
    EXPECT_EQ(thrower.GetWindowText(), "still answering");

    // A window whose creation handler throws is not made.
    Thrower failing;
    failing.throwOnCreate = true;
    EXPECT_FALSE(failing.CreateEx(0, nullptr, "f", WS_POPUP, 0, 0, 20, 20, nullptr, 0));
    EXPECT_EQ(failing.m_hWnd, nullptr);

    // Every loop is told to end, with the code that says why.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(static_cast<int>(msg.wParam), kExitAfterFailedHandler);
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    thrower.DestroyWindow();
}
