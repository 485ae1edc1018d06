// The about box and its two widgets as real windows: the clouds control's credits,
// frame and timer, the link control's fitting, colours, fallback and error box, and
// the box itself closing on a click in the sky.
#include "base/text.h"
#include "dialogs/about_dlg.h"
#include "framework/app.h"
#include "resources/resource.h"
#include "support/win_test_util.h"
#include "widgets/clouds_ctrl.h"
#include "widgets/link_static.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// A plain parent window that reflects control notifications, as a dialog does.
class Parent : public lex::CWnd {
public:
    Parent() { CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, 40, 40, 420, 260, nullptr, 0); }
};

HWND MakeStatic(HWND parent, const wchar_t* text, DWORD style, int x, int y, int cx, int cy, UINT id = 100)
{
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

bool IsInk(COLORREF c)
{
    return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
}

// Rows [top, bottom) of a band of the credits bitmap that hold ink: first and last+1.
struct Ink {
    int first = -1, last = -1;
    double centreX = 0;
};
Ink InkRows(HDC dc, int width, int top, int bottom)
{
    Ink ink;
    long sumX = 0, count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < width; ++x)
            if (IsInk(GetPixel(dc, x, y))) {
                if (ink.first < 0)
                    ink.first = y;
                ink.last = y + 1;
                sumX += x;
                ++count;
            }
    ink.centreX = count ? static_cast<double>(sumX) / count : -1;
    return ink;
}

RECT RectInParent(HWND hWnd)
{
    RECT r;
    GetWindowRect(hWnd, &r);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

TEST(CloudsCtrl, CreditsUseTitleHeadingAndBodyFontsAndAnEmptyLineTakesABodyLine)
{
    Parent parent;
    // A sky lower than the text: the text is kept whole below the sky's height.
    const int w = 200, h = 60;
    CCloudsCtrl clouds;
    clouds.SetCreditsText("\tH\n\rH\nH\n\nH");
    ASSERT_TRUE(clouds.SubclassWindow(MakeStatic(parent.m_hWnd, L"", SS_NOTIFY, 0, 0, w, h)));
    HDC dc = clouds.CreditsDC();
    ASSERT_NE(dc, nullptr);

    // Lines stack at y 0 (title, 24 px), 24 (heading, 16 px), 40 (body, 14 px), 54 (the
    // empty line, 14 px) and 68 (body).
    Ink title = InkRows(dc, w, 0, 24), heading = InkRows(dc, w, 24, 40), body = InkRows(dc, w, 40, 54),
        empty = InkRows(dc, w, 54, 68), last = InkRows(dc, w, 68, clouds.CreditsHeight());
    // 24 + 16 + 14 + 14 + 14, give or take the rounding of a substituted face.
    EXPECT_NEAR(clouds.CreditsHeight(), 82, 2);
    ASSERT_GE(title.first, 0);
    ASSERT_GE(heading.first, 0);
    ASSERT_GE(body.first, 0);
    EXPECT_LT(empty.first, 0) << "the empty line draws nothing";
    ASSERT_GE(last.first, 0);
    EXPECT_EQ(last.first - body.first, 28) << "the empty line advances by the 14-pixel font's height";
    EXPECT_LE(last.last, clouds.CreditsHeight()) << "the last line is whole, though below the sky's height";
    const int titleCap = title.last - title.first, headingCap = heading.last - heading.first,
              bodyCap = body.last - body.first;
    EXPECT_GT(titleCap, headingCap) << "the TAB line is the biggest";
    EXPECT_GE(headingCap, bodyCap);
    EXPECT_EQ(last.last - last.first, bodyCap);
    EXPECT_GE(titleCap, 13);
    EXPECT_LE(bodyCap, 11);
    for (const Ink& line : {title, heading, body, last})
        EXPECT_NEAR(line.centreX, w / 2.0, 2.0) << "lines are centred";
}

TEST(CloudsCtrl, LettersTurnWhiteOverTheCloudsAndTheSkyShowsElsewhere)
{
    Parent parent;
    const int w = 180, h = 90;
    CCloudsCtrl clouds;
    clouds.SetCreditsText("\tMWMW\n\rHEAD");
    ASSERT_TRUE(clouds.SubclassWindow(MakeStatic(parent.m_hWnd, L"", SS_NOTIFY, 0, 0, w, h)));
    EXPECT_EQ(clouds.TextPosition(), h + 24) << "the first frame merged the credits 25 px below the bottom";

    // Let the credits rise until the frame just drawn merged them at the top edge.
    while (clouds.TextPosition() != -1)
        clouds.RenderFrame();
    HDC frame = clouds.FrameDC(), credits = clouds.CreditsDC();
    const uint32_t* sky = clouds.FramePixels();
    int white = 0, wrong = 0, blue = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF text = GetPixel(credits, x, y), shown = GetPixel(frame, x, y);
            uint32_t cloud = sky[static_cast<size_t>(h - 1 - y) * w + x]; // bottom-up, 0x00RRGGBB
            COLORREF cloudRef = RGB((cloud >> 16) & 0xFF, (cloud >> 8) & 0xFF, cloud & 0xFF);
            if (text == RGB(0, 0, 0)) {
                white += shown == RGB(255, 255, 255);
                wrong += shown != RGB(255, 255, 255);
            } else if (text == RGB(255, 255, 255)) {
                wrong += shown != cloudRef;
                blue += GetBValue(shown) == 255 && GetRValue(shown) < 255;
            }
        }
    EXPECT_GT(white, 100) << "the letters show white";
    EXPECT_EQ(wrong, 0) << "letters are white, the rest is the sky as mixed";
    EXPECT_GT(blue, w * h / 4) << "blue sky shows around them";
}

TEST(CloudsCtrl, AnimatesOnlyWhileVisibleAndWithAnArea)
{
    Parent parent;
    CCloudsCtrl hidden;
    ASSERT_TRUE(hidden.SubclassWindow(MakeStatic(parent.m_hWnd, L"", SS_NOTIFY, 0, 0, 120, 60)));
    EXPECT_FALSE(hidden.IsAnimating()) << "a hidden control keeps no timer";
    const int start = hidden.TextPosition();
    wintest::PumpMessages(300);
    EXPECT_EQ(hidden.TextPosition(), start);

    hidden.ShowWindow(SW_SHOW);
    EXPECT_TRUE(hidden.IsAnimating());
    wintest::PumpMessages(400);
    const int shown = hidden.TextPosition();
    EXPECT_LE(shown, start - 3) << "shown, the credits rise about one pixel per 50 ms";
    hidden.ShowWindow(SW_HIDE);
    EXPECT_FALSE(hidden.IsAnimating());
    wintest::PumpMessages(300);
    EXPECT_EQ(hidden.TextPosition(), shown);

    CCloudsCtrl empty;
    ASSERT_TRUE(empty.SubclassWindow(MakeStatic(parent.m_hWnd, L"", SS_NOTIFY | WS_VISIBLE, 0, 70, 0, 40, 101)));
    EXPECT_FALSE(empty.IsAnimating()) << "a zero-width control does not animate";
    empty.RenderFrame();
    InvalidateRect(empty.m_hWnd, nullptr, TRUE);
    UpdateWindow(empty.m_hWnd);
    wintest::PumpMessages(100);
}

namespace {

// A parent that notes the notifications its children send.
class NotedParent : public Parent {
public:
    WPARAM lastCommand = 0;
    LPARAM lastSender = 0;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        lastCommand = wParam;
        lastSender = lParam;
        return TRUE;
    }
};

} // namespace

TEST(CloudsCtrl, AResizedSkyIsDrawnWholeAndAClickIsToldToTheParent)
{
    NotedParent parent;
    CCloudsCtrl clouds;
    ASSERT_TRUE(clouds.SubclassWindow(MakeStatic(parent.m_hWnd, L"", SS_NOTIFY | WS_VISIBLE, 0, 0, 120, 60, 77)));
    const int w = 240, h = 120;
    SetWindowPos(clouds.m_hWnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(clouds.Sky().Width(), w) << "the sky follows the control's size";
    EXPECT_EQ(clouds.Sky().Height(), h);
    EXPECT_TRUE(clouds.IsAnimating());
    clouds.RenderFrame();
    InvalidateRect(clouds.m_hWnd, nullptr, FALSE);
    UpdateWindow(clouds.m_hWnd);
    const wintest::Image shown = wintest::Capture(clouds.m_hWnd);
    ASSERT_EQ(shown.w, w);
    // Sky and clouds both have full blue; black would be a frame too small for the control.
    int skyOutsideOldSize = 0, outside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x >= 120 || y >= 60) {
                ++outside;
                skyOutsideOldSize += GetBValue(shown.At(x, y)) == 0xFF;
            }
    EXPECT_GT(skyOutsideOldSize, outside * 9 / 10) << "the sky reaches the new right and bottom edges";

    // A click is the parent's to act on: the control only tells it.
    SendMessageW(clouds.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(parent.lastCommand, MAKEWPARAM(77, STN_CLICKED));
    EXPECT_EQ(parent.lastSender, reinterpret_cast<LPARAM>(clouds.m_hWnd));
    EXPECT_TRUE(IsWindow(parent.m_hWnd));
}

namespace {
CAboutDlg* g_about = nullptr;
bool g_skyUsable = false;
int g_skyTextStart = 0;

void CALLBACK WatchThenClickSky(HWND, UINT, UINT_PTR id, DWORD)
{
    static int ticks = 0;
    if (!g_about || !g_about->m_hWnd || !IsWindowVisible(g_about->m_hWnd))
        return;
    CCloudsCtrl& sky = g_about->Clouds();
    if (ticks++ == 0) {
        g_skyTextStart = sky.TextPosition();
        return;
    }
    KillTimer(nullptr, id);
    // The sky is alive and leaves the headline, the links and OK free.
    RECT skyRect = RectInParent(sky.m_hWnd), overlap;
    g_skyUsable = IsWindowVisible(sky.m_hWnd) && sky.IsAnimating() && sky.TextPosition() < g_skyTextStart;
    for (int id2 : {IDOK, IDC_ABOUT_MAIL, IDC_ABOUT_HOMEPAGE, IDC_ABOUT_VERSION}) {
        RECT other = RectInParent(GetDlgItem(g_about->m_hWnd, id2));
        g_skyUsable = g_skyUsable && !IntersectRect(&overlap, &skyRect, &other);
    }
    RECT headline = {50, 6, 230, 46};
    g_skyUsable = g_skyUsable && !IntersectRect(&overlap, &skyRect, &headline);
    PostMessageW(sky.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
}
} // namespace

TEST(AboutDlg, AClickOnTheCloudsEndsTheBoxWithOk)
{
    CAboutDlg about(AboutBoxInfo{"Quillmere", "4.1", "C:\\Quillmere\\", "Lexorin"});
    g_about = &about;
    SetTimer(nullptr, 0, 600, WatchThenClickSky);
    EXPECT_EQ(about.DoModal(), IDOK);
    g_about = nullptr;
    EXPECT_TRUE(g_skyUsable) << "the sky was shown, moving, and covered none of the text or OK";
    EXPECT_EQ(about.HomePageLink().GetLinkUrl(), "C:\\Quillmere\\docs\\index.html");
    EXPECT_EQ(about.MailLink().GetLinkUrl(), "mailto:lexorin@example.org");
}

TEST(LinkStatic, FitToTextKeepsTheAlignedEdgeOrCentre)
{
    Parent parent;
    struct Case {
        DWORD style;
        const char* what;
    };
    for (const Case& c : {Case{SS_LEFT, "left"}, Case{SS_CENTER, "centred"}, Case{SS_RIGHT, "right"},
                          Case{SS_CENTER | SS_CENTERIMAGE, "centred, centre image"}}) {
        HWND hWnd = MakeStatic(parent.m_hWnd, L"short", WS_VISIBLE | c.style, 20, 30, 300, 41);
        const RECT before = RectInParent(hWnd);
        CLinkStatic link;
        ASSERT_TRUE(link.SubclassWindow(hWnd));
        const RECT after = RectInParent(hWnd);
        EXPECT_GT(after.right - after.left, 10) << c.what;
        EXPECT_LT(after.right - after.left, 150) << c.what << ": shrunk to the text";
        if (c.style & SS_CENTER)
            EXPECT_NEAR((after.left + after.right) / 2.0, (before.left + before.right) / 2.0, 1.0) << c.what;
        else if (c.style & SS_RIGHT)
            EXPECT_EQ(after.right, before.right) << c.what;
        else
            EXPECT_EQ(after.left, before.left) << c.what;
        if (c.style & SS_CENTERIMAGE)
            EXPECT_NEAR((after.top + after.bottom) / 2.0, (before.top + before.bottom) / 2.0, 1.0) << c.what;
        else
            EXPECT_EQ(after.top, before.top) << c.what;
        EXPECT_TRUE(GetWindowLongW(hWnd, GWL_STYLE) & SS_NOTIFY) << "it reports clicks";
        DestroyWindow(hWnd);
    }

    // An empty static shows its target.
    CLinkStatic empty;
    empty.SetLinkUrl("mailto:lexorin@example.org");
    ASSERT_TRUE(empty.SubclassWindow(MakeStatic(parent.m_hWnd, L"", WS_VISIBLE, 10, 10, 200, 20)));
    EXPECT_EQ(empty.GetWindowText(), "mailto:lexorin@example.org");
}

namespace {
std::string g_boxText;
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR id, DWORD)
{
    struct Find {
        static BOOL CALLBACK Proc(HWND hWnd, LPARAM param)
        {
            wchar_t cls[16] = {};
            GetClassNameW(hWnd, cls, 16);
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(hWnd)) {
                *reinterpret_cast<HWND*>(param) = hWnd;
                return FALSE;
            }
            return TRUE;
        }
    };
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), Find::Proc, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    KillTimer(nullptr, id);
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512); // the message box's text static
    g_boxText = lex::Narrow(text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

std::string ErrorBoxText(CLinkStatic& link, int code)
{
    g_boxText.clear();
    SetTimer(nullptr, 0, 100, ReadAndCloseBox);
    link.ShowOpenError(code);
    return g_boxText;
}
} // namespace

TEST(LinkStatic, ErrorBoxExplainsTheShellsCode)
{
    Parent parent;
    CLinkStatic link;
    ASSERT_TRUE(link.SubclassWindow(MakeStatic(parent.m_hWnd, L"docs\\index.html", WS_VISIBLE, 10, 10, 200, 20)));
    EXPECT_EQ(ErrorBoxText(link, 26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(ErrorBoxText(link, 7), "Unable to open hyperlink:\n\nUnknown Error (7) occurred.");
    EXPECT_EQ(ErrorBoxText(link, 31),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
}

namespace {
// Registers a ".htm" opener for the test's lifetime and puts back what was there.
// (Wine does not show a user's own classes under HKEY_CLASSES_ROOT, so the class goes
// there directly.)
class HtmOpener {
public:
    explicit HtmOpener(const std::wstring& command)
    {
        wchar_t old[260] = {};
        LONG size = sizeof old;
        m_hadHtm = RegQueryValueW(HKEY_CLASSES_ROOT, L".htm", old, &size) == ERROR_SUCCESS;
        m_oldHtm = old;
        Set(L".htm", L"LexorinTestPage");
        Set(L"LexorinTestPage\\shell\\open\\command", command);
    }
    ~HtmOpener()
    {
        for (const wchar_t* path : {L"LexorinTestPage\\shell\\open\\command", L"LexorinTestPage\\shell\\open",
                                    L"LexorinTestPage\\shell", L"LexorinTestPage"})
            RegDeleteKeyW(HKEY_CLASSES_ROOT, path);
        if (m_hadHtm)
            Set(L".htm", m_oldHtm);
        else
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L".htm");
    }
    bool ok = true;

private:
    void Set(const wchar_t* path, const std::wstring& value)
    {
        HKEY key = nullptr;
        ok = ok && RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
                       ERROR_SUCCESS;
        if (key) {
            RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
        }
    }
    bool m_hadHtm = false;
    std::wstring m_oldHtm;
};

COLORREF TextColour(HWND parent, HWND link)
{
    HDC dc = GetDC(link);
    SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
    COLORREF c = GetTextColor(dc);
    ReleaseDC(link, dc);
    return c;
}
} // namespace

TEST(LinkStatic, ATargetWithoutAssociationOpensWithTheHtmCommandAndTurnsVisited)
{
    // The registered command writes what it was given into a file, so we can see that
    // it ran and with which target.
    const std::string folder = wintest::MakeTempFolder("link");
    const std::string marker = folder + "opened.txt";
    HtmOpener opener(L"cmd.exe /c >\"" + lex::Widen(marker) + L"\" echo \"%1\" -with-trailing-options");
    ASSERT_TRUE(opener.ok);

    Parent parent;
    CLinkStatic link;
    const std::string target = folder + "missing\\no-such-page.qlmpage";
    link.SetLinkUrl(target);
    HWND hWnd = MakeStatic(parent.m_hWnd, L"", WS_VISIBLE, 10, 10, 300, 20);
    ASSERT_TRUE(link.SubclassWindow(hWnd));
    EXPECT_EQ(TextColour(parent.m_hWnd, hWnd), CLinkStatic::kLinkColour);

    // A real click: the static reports it, the parent reflects it to the link. Should
    // the open fail, the error box is read and closed rather than left waiting.
    g_boxText.clear();
    UINT_PTR guard = SetTimer(nullptr, 0, 200, ReadAndCloseBox);
    PostMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(wintest::PumpUntil([&] { return link.IsVisited() || !g_boxText.empty(); }, 5000));
    KillTimer(nullptr, guard);
    EXPECT_TRUE(link.IsVisited()) << "the fallback command ran; error box: " << g_boxText;
    EXPECT_EQ(TextColour(parent.m_hWnd, hWnd), CLinkStatic::kVisitedColour) << "drawn in the visited colour";

    std::string written;
    wintest::PumpUntil(
        [&] {
            std::ifstream in(lex::Widen(marker).c_str());
            std::getline(in, written);
            return !written.empty();
        },
        5000);
    EXPECT_NE(written.find(target), std::string::npos) << written;
    EXPECT_EQ(written.find("-with-trailing-options"), std::string::npos) << "cut at the placeholder";
    wintest::RemoveFolder(folder);
}

namespace {
// The link shows its whole text: its window is at least as wide and high as the text
// in the font it is drawn with.
void ExpectWholeText(CLinkStatic& link, const char* what)
{
    const std::wstring text = lex::Widen(link.GetWindowText());
    HDC dc = GetDC(link.m_hWnd);
    HGDIOBJ old = SelectObject(dc, link.GetFont());
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(link.m_hWnd, dc);
    RECT r;
    link.GetWindowRect(&r);
    EXPECT_GE(r.right - r.left, extent.cx) << what << " is cut off";
    EXPECT_GE(r.bottom - r.top, extent.cy) << what;
}
} // namespace

TEST(AboutDlg, LinksShowTheirWholeTextAndTheBoxFollowsADpiChange)
{
    CAboutDlg about(AboutBoxInfo{"Quillmere", "4.1", "C:\\Quillmere\\", "Lexorin"});
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    wintest::PumpMessages(100);
    ExpectWholeText(about.MailLink(), "the mail address");
    ExpectWholeText(about.HomePageLink(), "the help page");
    const int logo = wintest::AtTestDpi(156, 156, 312); // the logo drawn twice as large from 192 DPI
    RECT lr;
    GetClientRect(GetDlgItem(about.m_hWnd, IDC_ABOUT_LOGO), &lr);
    EXPECT_EQ(lr.right, logo);

    RECT sky0;
    about.Clouds().GetWindowRect(&sky0);
    MapWindowPoints(nullptr, about.m_hWnd, reinterpret_cast<POINT*>(&sky0), 2);
    const int top0 = sky0.top;

    // Moved to a monitor of twice the DPI (told as Windows tells it): the box takes the
    // rectangle given, its links still show whole, its sky fills its new strip.
    const int dpi = wintest::TestDpi();
    RECT r;
    about.GetWindowRect(&r);
    RECT suggested = {r.left, r.top, r.left + 2 * (r.right - r.left), r.top + 2 * (r.bottom - r.top)};
    about.SendMessage(WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT after;
    about.GetWindowRect(&after);
    EXPECT_TRUE(EqualRect(&after, &suggested));
    EXPECT_EQ(about.Dpi().Dpi(), 2 * dpi);
    ExpectWholeText(about.MailLink(), "the mail address after the change");
    ExpectWholeText(about.HomePageLink(), "the help page after the change");
    GetClientRect(GetDlgItem(about.m_hWnd, IDC_ABOUT_LOGO), &lr);
    EXPECT_EQ(lr.right, 312) << "the logo drawn for twice the size";
    RECT client, sky;
    about.GetClientRect(&client);
    about.Clouds().GetWindowRect(&sky);
    const RECT want = about.SkyRect(client.right, client.bottom);
    MapWindowPoints(nullptr, about.m_hWnd, reinterpret_cast<POINT*>(&sky), 2);
    EXPECT_NEAR(sky.top, 2 * top0, 2) << "below the text, which moved down";
    EXPECT_NEAR(sky.right - sky.left, want.right - want.left, 2);
    EXPECT_NEAR(sky.bottom - sky.top, want.bottom - want.top, 2);
    about.DestroyWindow();
}
