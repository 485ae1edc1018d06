// The banner window under Wine: what it draws, the item fonts it builds, where its
// clicks go and how its line moves. Checked from the pixels on screen and from the
// messages the parent receives.
#include "banner/banner_ctrl.h"
#include "base/text.h"
#include "framework/gdi.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

using lex::CWnd;

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr DWORD kHostStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER;

using wintest::Capture;
using wintest::Image;

// Whether b is a moved one pixel to the left (the new right column is not compared).
bool ShiftedLeftByOne(const Image& a, const Image& b)
{
    if (a.w != b.w || a.h != b.h)
        return false;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x + 1 < a.w; ++x)
            if (b.At(x, y) != a.At(x + 1, y))
                return false;
    return true;
}

// Columns holding a pixel that is not one of the given background colours.
struct InkBox {
    int left = -1, right = -1, top = -1, bottom = -1; // inclusive; -1 when empty
    bool Empty() const { return left < 0; }
    int Width() const { return Empty() ? 0 : right - left + 1; }
};

InkBox FindInk(const Image& img, std::initializer_list<COLORREF> backgrounds)
{
    InkBox box;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const COLORREF c = img.At(x, y);
            if (std::find(backgrounds.begin(), backgrounds.end(), c) != backgrounds.end())
                continue;
            if (box.Empty()) {
                box.left = box.right = x;
                box.top = box.bottom = y;
            }
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    return box;
}

// The columns where colour c occurs: [first, last], or {-1, -1}.
std::pair<int, int> ColumnsOf(const Image& img, COLORREF c)
{
    int first = -1, last = -1;
    for (int x = 0; x < img.w; ++x)
        for (int y = 0; y < img.h; ++y)
            if (img.At(x, y) == c) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

// The parent: records the button messages that reach its window procedure.
class ParentWnd : public CWnd {
public:
    struct Seen {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Seen> seen;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK)
            seen.push_back({msg, wParam, lParam});
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// On screen without taking the focus: Wine hands activated windows to the window
// manager, and on a bare X server closing those waits for one that never answers.
void ShowWithoutActivating(HWND hWnd)
{
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

HFONT MakeHostFont(int height, const wchar_t* face, int width = 0)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = GB2312_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&lf);
}

LOGFONTW DescriptionOf(HFONT font)
{
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof lf, &lf);
    return lf;
}

class BannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CCanvasWnd::SetCachingEnabled(true);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "banner test", WS_POPUP, 40, 40, 520, 140, nullptr, 0));
        ShowWithoutActivating(parent.m_hWnd);
        hostFont = MakeHostFont(12, L"隶书");
    }
    void TearDown() override
    {
        banner.reset();
        parent.DestroyWindow();
        ::DeleteObject(hostFont);
        CCanvasWnd::SetCachingEnabled(true);
    }
    // The way the main bar creates the banner: a child static, then its host font.
    CBannerCtrl& MakeBanner(const RECT& rect, DWORD style = kHostStyle)
    {
        if (!banner)
            banner = std::make_unique<CBannerCtrl>();
        EXPECT_TRUE(banner->Create("滚动条", style, rect, parent.m_hWnd, CBannerCtrl::kDefaultId));
        banner->SetFont(hostFont);
        return *banner;
    }
    Image Show()
    {
        ::UpdateWindow(banner->m_hWnd);
        wintest::PumpMessages(20);
        ::UpdateWindow(banner->m_hWnd);
        return Capture(banner->m_hWnd);
    }
    // Waits for the banner's next tick, lets it run and repaints.
    bool NextTick(DWORD timeoutMs = 2000)
    {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                const bool tick = msg.message == WM_TIMER && msg.hwnd == banner->m_hWnd;
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
                if (tick) {
                    ::UpdateWindow(banner->m_hWnd);
                    return true;
                }
            }
            if (::GetTickCount() - start >= timeoutMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }

    ParentWnd parent;
    std::unique_ptr<CBannerCtrl> banner;
    HFONT hostFont = nullptr;
};

// ---- What the banner draws ----------------------------------------------------------

TEST_F(BannerTest, ItemsStandSideBySideInTheirColoursOnTheirBackgrounds)
{
    CBannerCtrl& b = MakeBanner({10, 10, 410, 42});
    b.SetBackgroundColor(kNavy);
    ASSERT_TRUE(b.AddItem(CBannerItem("WWW", kRed, BANNER_BUTTON_FACE)));
    ASSERT_TRUE(b.AddItem(CBannerItem("WWW", kGreen, kYellow)));
    ASSERT_TRUE(b.AddItem(CBannerItem("WWW", kWhite, BANNER_BUTTON_FACE)));
    const Image img = Show();

    const auto red = ColumnsOf(img, kRed), yellow = ColumnsOf(img, kYellow), green = ColumnsOf(img, kGreen),
               white = ColumnsOf(img, kWhite);
    ASSERT_GE(red.first, 0) << "first item not drawn";
    ASSERT_GE(green.first, 0) << "second item not drawn";
    ASSERT_GE(white.first, 0) << "third item not drawn";
    EXPECT_LT(red.second, yellow.first) << "first item must stand left of the second";
    EXPECT_LE(yellow.first, green.first);
    EXPECT_LE(green.second, yellow.second) << "the second item's text sits on its box";
    EXPECT_LT(yellow.second, white.first) << "third item must stand right of the second";
    // Back to back: no more than a glyph's side bearing between them.
    EXPECT_LT(yellow.first - red.second, 8);
    EXPECT_LT(white.first - yellow.second, 8);

    // Button-face back colours show the control's colour; the button face shows nowhere.
    EXPECT_EQ(img.Count(::GetSysColor(COLOR_BTNFACE)), 0);
    EXPECT_GT(img.Count(kNavy), img.w * img.h / 3);
    int yellowUnderRed = 0;
    for (int x = red.first; x <= red.second; ++x)
        for (int y = 0; y < img.h; ++y)
            yellowUnderRed += img.At(x, y) == kYellow;
    EXPECT_EQ(yellowUnderRed, 0);
    // The yellow box fills the text cell behind the second item: no navy inside it.
    int navyInBox = 0;
    for (int x = yellow.first; x <= yellow.second; ++x)
        for (int y = 0; y < img.h; ++y)
            navyInBox += img.At(x, y) == kNavy;
    EXPECT_EQ(navyInBox, 0);
    EXPECT_GT(img.Count(kYellow), (yellow.second - yellow.first) * img.h / 3);
}

TEST_F(BannerTest, AmpersandUnderlinesTheNextCharacterAndIsNotShown)
{
    // The same banner shows "x", then "x" in an underlined font, then "&x".
    CBannerCtrl& b = MakeBanner({10, 10, 110, 50}, WS_CHILD | WS_VISIBLE);
    b.SetBackgroundColor(kWhite);
    auto show = [&](const char* text, uint32_t style) {
        b.RemoveAllItems();
        b.AddItem(CBannerItem(std::string(text), BANNER_FONT_SONG, 0, style, kWhite));
        return Show();
    };
    const InkBox plain = FindInk(show("x", kBlack), {kWhite});
    const InkBox underlined = FindInk(show("x", kBlack | BANNER_UNDERLINE), {kWhite});
    const Image img = show("&x", kBlack);
    const InkBox prefixed = FindInk(img, {kWhite});
    ASSERT_FALSE(plain.Empty());
    ASSERT_FALSE(prefixed.Empty());

    // No '&' glyph: the ink starts where the x starts and is no wider than an
    // underlined x.
    EXPECT_NEAR(prefixed.left, plain.left, 1);
    EXPECT_LE(prefixed.Width(), std::max(underlined.Width(), plain.Width()) + 2);
    // An underline, as with the underlined font: below the plain x, its lowest row is
    // a line across most of the character.
    EXPECT_GT(underlined.bottom, plain.bottom);
    EXPECT_GT(prefixed.bottom, plain.bottom);
    int run = 0;
    for (int x = prefixed.left; x <= prefixed.right; ++x)
        run += img.At(x, prefixed.bottom) != kWhite;
    EXPECT_GE(run, prefixed.Width() * 2 / 3);
}

TEST_F(BannerTest, FontsFollowTheControlHeightAndTheHostFont)
{
    // Cached fonts must not outlive a change of size or host font.
    CBannerCtrl& b = MakeBanner({10, 10, 310, 30}, WS_CHILD | WS_VISIBLE);
    b.SetBackgroundColor(kWhite);
    b.AddItem(CBannerItem(std::string("HHHH"), BANNER_FONT_SONG, 0, kBlack, kWhite));
    const InkBox small = FindInk(Show(), {kWhite});
    ::SetWindowPos(b.m_hWnd, nullptr, 0, 0, 300, 44, SWP_NOMOVE | SWP_NOZORDER);
    const InkBox tall = FindInk(Show(), {kWhite});
    ASSERT_FALSE(small.Empty());
    EXPECT_GT(tall.bottom - tall.top, small.bottom - small.top + 8);

    HFONT narrow = MakeHostFont(12, L"隶书", 4);
    b.SetFont(narrow);
    const InkBox thin = FindInk(Show(), {kWhite});
    EXPECT_LT(thin.Width(), tall.Width() * 2 / 3) << "a narrower host font must narrow the items";
    b.DestroyWindow();
    ::DeleteObject(narrow);
}

TEST_F(BannerTest, CachedAndPlainPaintingLookTheSame)
{
    CBannerCtrl& b = MakeBanner({10, 10, 410, 36});
    b.SetBackgroundColor(kNavy);
    b.AddItem(CBannerItem(std::string("◆ "), BANNER_FONT_SONG, 0, kYellow | BANNER_BOLD, BANNER_BUTTON_FACE));
    b.AddItem(CBannerItem(std::string("fly  "), BANNER_FONT_HEI, 0, kWhite | BANNER_ITALIC, BANNER_BUTTON_FACE));
    b.AddItem(CBannerItem(std::string("fla&t  "), 0, 0, kRed | BANNER_UNDERLINE, kYellow));
    b.AddItem(CBannerItem(std::string("飞行  "), BANNER_FONT_SONG, 0, kGreen | BANNER_BOLD | BANNER_ITALIC, kWhite));
    const Image cached = Show();
    CCanvasWnd::SetCachingEnabled(false);
    b.Invalidate();
    const Image plain = Show();
    EXPECT_TRUE(cached == plain);
    EXPECT_FALSE(cached.Uniform());
}

TEST_F(BannerTest, NewEntryRepaintsOnlyItsOwnColumnsAndClearingTheWholeStrip)
{
    CBannerCtrl& b = MakeBanner({10, 10, 410, 36});
    b.SetBackgroundColor(kNavy);
    b.AddItem(CBannerItem("WWW", kRed, BANNER_BUTTON_FACE));
    b.AddItem(CBannerItem("WWW", kGreen, kYellow));
    const Image before = Show();
    const auto yellow = ColumnsOf(before, kYellow);
    ASSERT_GE(yellow.first, 0);
    RECT update = {};
    ASSERT_FALSE(::GetUpdateRect(b.m_hWnd, &update, FALSE)) << "nothing left to paint";

    // An entry's items are appended one after another before the strip paints.
    ASSERT_TRUE(b.AddItem(CBannerItem("WWW", kWhite, BANNER_BUTTON_FACE)));
    ASSERT_TRUE(b.AddItem(CBannerItem("WWW", kBlack, kWhite)));
    ASSERT_TRUE(::GetUpdateRect(b.m_hWnd, &update, FALSE));
    EXPECT_GT(update.left, yellow.second) << "the items already on the strip are not repainted";
    EXPECT_LE(update.left, yellow.second + 2) << "the new items' columns start where the line ended";
    EXPECT_EQ(update.right, before.w);
    EXPECT_EQ(update.top, 0);
    EXPECT_EQ(update.bottom, before.h);
    const Image added = Show();
    const auto white = ColumnsOf(added, kWhite), black = ColumnsOf(added, kBlack);
    EXPECT_GT(white.first, yellow.second);
    EXPECT_GT(black.first, white.first);
    for (int x = 0; x < update.left; ++x)
        for (int y = 0; y < before.h; ++y)
            ASSERT_EQ(added.At(x, y), before.At(x, y)) << "column " << x << " changed";
    b.Invalidate();
    EXPECT_TRUE(Show() == added) << "the column paint draws what a full repaint draws";

    // Once the line runs past the right edge, a new item has no visible columns.
    while (ColumnsOf(Capture(b.m_hWnd), kYellow).second < before.w - 1 && b.GetItemCount() < 60) {
        b.AddItem(CBannerItem("WWW", kGreen, kYellow));
        Show();
    }
    ASSERT_LT(b.GetItemCount(), 60);
    b.AddItem(CBannerItem("WWW", kWhite, BANNER_BUTTON_FACE));
    EXPECT_FALSE(::GetUpdateRect(b.m_hWnd, &update, FALSE));

    // The periodic clearing: the whole strip, once.
    b.RemoveAllItems();
    ASSERT_TRUE(::GetUpdateRect(b.m_hWnd, &update, FALSE));
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.right, before.w);
    const Image cleared = Show();
    EXPECT_TRUE(cleared.Uniform());
    EXPECT_EQ(cleared.At(0, 0), kNavy);
}

TEST_F(BannerTest, PlainCanvasPaintsFromItsLeftEdgeAgainAfterItsWindowIsRecreated)
{
    // The canvas base on its own gives up its brush and font with its window; a new
    // window must still show the colour.
    CCanvasWnd canvas;
    canvas.SetBackgroundColor(kNavy);
    canvas.AddItem(CBannerItem("WWW", kRed, kYellow));
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(canvas.Create("画布", WS_CHILD | WS_VISIBLE, {10, 10, 210, 34}, parent.m_hWnd, 1));
        canvas.SetFont(hostFont);
        EXPECT_TRUE(canvas.GetStyle() & SS_NOTIFY) << "clicks must reach the control";
        ::UpdateWindow(canvas.m_hWnd);
        const Image img = Capture(canvas.m_hWnd);
        EXPECT_EQ(ColumnsOf(img, kYellow).first, 0) << "round " << round;
        EXPECT_EQ(img.At(img.w - 1, 0), kNavy) << "round " << round;
        canvas.DestroyWindow();
    }
}

// ---- The item font -------------------------------------------------------------------

TEST_F(BannerTest, ItemFontTakesTheClientHeightWithAutoSize)
{
    CBannerCtrl& b = MakeBanner({0, 0, 200, 20}, WS_CHILD | WS_VISIBLE);
    LOGFONTW host = {};
    host.lfHeight = 12;
    host.lfWidth = 5;
    host.lfStrikeOut = 1;
    host.lfOutPrecision = OUT_TT_PRECIS;
    host.lfClipPrecision = CLIP_LH_ANGLES;
    host.lfPitchAndFamily = FF_MODERN | FIXED_PITCH;
    host.lfCharSet = GB2312_CHARSET;
    host.lfQuality = ANTIALIASED_QUALITY;
    wcscpy(host.lfFaceName, L"隶书");
    HFONT font = ::CreateFontIndirectW(&host);
    b.SetFont(font);

    b.CreateItemFont(CBannerItem("a", BANNER_BOLD | 0x0000FF, BANNER_BUTTON_FACE));
    LOGFONTW lf = DescriptionOf(b.GetItemFont());
    EXPECT_EQ(lf.lfHeight, 20);
    EXPECT_EQ(lf.lfWidth, 5) << "the host's width stays with auto-size";
    EXPECT_EQ(lf.lfWeight, 900);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfQuality, DEFAULT_QUALITY);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(lf.lfClipPrecision, CLIP_LH_ANGLES);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_MODERN | FIXED_PITCH);
    EXPECT_STREQ(lf.lfFaceName, L"") << "font kind 0 leaves the face to the font mapper";

    b.CreateItemFont(CBannerItem("a", BANNER_ITALIC | BANNER_UNDERLINE, BANNER_BUTTON_FACE));
    lf = DescriptionOf(b.GetItemFont());
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);

    const struct {
        int kind;
        const wchar_t* face;
    } faces[] = {{1, L"宋体"}, {2, L"DFPhonetic"}, {3, L"黑体"}, {4, L""}, {-1, L""}};
    for (const auto& f : faces) {
        b.CreateItemFont(CBannerItem(std::string("a"), f.kind, 0, 0, BANNER_BUTTON_FACE));
        EXPECT_STREQ(DescriptionOf(b.GetItemFont()).lfFaceName, f.face) << "font kind " << f.kind;
    }
    b.DestroyWindow();
    ::DeleteObject(font);
}

TEST_F(BannerTest, ItemFontTakesTheCaptionHeightWithoutAutoSize)
{
    CBannerCtrl& b = MakeBanner({0, 0, 200, 20}, WS_CHILD | WS_VISIBLE);
    b.SetAutoSize(FALSE);
    b.CreateItemFont(CBannerItem("a", 0, BANNER_BUTTON_FACE));
    const LOGFONTW lf = DescriptionOf(b.GetItemFont());
    const int caption = ::GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(lf.lfHeight, caption);
    EXPECT_EQ(lf.lfWidth, caption * 7 / 16);
}

TEST_F(BannerTest, ItemFontWithoutAHostFontStartsFromNothing)
{
    CBannerCtrl b;
    ASSERT_TRUE(b.Create("滚动", WS_CHILD | WS_VISIBLE, {0, 0, 100, 16}, parent.m_hWnd, 1));
    b.CreateItemFont(CBannerItem(std::string("a"), 1, 0, 0, BANNER_BUTTON_FACE));
    const LOGFONTW lf = DescriptionOf(b.GetItemFont());
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfPitchAndFamily, 0);
    EXPECT_EQ(lf.lfOutPrecision, 0);
    EXPECT_STREQ(lf.lfFaceName, L"宋体");
    // And the items still show.
    b.SetBackgroundColor(kWhite);
    b.AddItem(CBannerItem("abc", kBlack, kWhite));
    ::UpdateWindow(b.m_hWnd);
    EXPECT_FALSE(FindInk(Capture(b.m_hWnd), {kWhite}).Empty());
}

// ---- Mouse -------------------------------------------------------------------------------

TEST(BannerMouse, EveryButtonMessageIsPostedToTheParentAtTheSamePoint)
{
    ParentWnd parent;
    // A caption and frame, so that the parent's client area is not at its window origin.
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 60, 60, 400, 200, nullptr, 0));
    CBannerCtrl banner;
    const RECT rect = {30, 20, 230, 44};
    ASSERT_TRUE(banner.Create("滚动条", kHostStyle, rect, parent.m_hWnd, CBannerCtrl::kDefaultId));
    banner.AddItem(CBannerItem("word", kRed, BANNER_BUTTON_FACE));
    wintest::PumpMessages(20);
    const int bx = ::GetSystemMetrics(SM_CXBORDER), by = ::GetSystemMetrics(SM_CYBORDER);

    const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MBUTTONDOWN,
                             WM_MBUTTONUP,   WM_RBUTTONDOWN, WM_RBUTTONUP};
    const POINT points[] = {{0, 0}, {17, 9}};
    for (UINT msg : messages)
        for (POINT pt : points) {
            parent.seen.clear();
            const WPARAM keys = MK_SHIFT | MK_CONTROL;
            ::SendMessageW(banner.m_hWnd, msg, keys, MAKELPARAM(pt.x, pt.y));
            EXPECT_TRUE(parent.seen.empty()) << "message " << msg << " was sent, not posted";
            MSG queued;
            ASSERT_TRUE(::PeekMessageW(&queued, parent.m_hWnd, msg, msg, PM_REMOVE))
                << "message " << msg << " did not reach the parent's queue";
            EXPECT_EQ(queued.wParam, keys);
            EXPECT_EQ(static_cast<short>(LOWORD(queued.lParam)), rect.left + bx + pt.x) << "message " << msg;
            EXPECT_EQ(static_cast<short>(HIWORD(queued.lParam)), rect.top + by + pt.y) << "message " << msg;
        }
    banner.DestroyWindow();
    parent.DestroyWindow();
}

TEST(BannerMouse, PointerIsTheArrowOverTextAndBackground)
{
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 60, 60, 400, 100, nullptr, 0));
    ShowWithoutActivating(parent.m_hWnd);
    CBannerCtrl banner;
    ASSERT_TRUE(banner.Create("滚动条", kHostStyle, {10, 10, 300, 34}, parent.m_hWnd, CBannerCtrl::kDefaultId));
    banner.AddItem(CBannerItem("word", kRed, BANNER_BUTTON_FACE));
    ::UpdateWindow(banner.m_hWnd);
    HCURSOR arrow = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    HCURSOR cross = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32515));
    for (int x : {2, 250}) {
        ::SetCursor(cross);
        ::SendMessageW(banner.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5));
        EXPECT_TRUE(::SendMessageW(banner.m_hWnd, WM_SETCURSOR, (WPARAM)banner.m_hWnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), arrow) << "at x " << x;
    }
    // Clicks land on the banner, not through it on the parent.
    EXPECT_EQ(::SendMessageW(banner.m_hWnd, WM_NCHITTEST, 0, 0), HTCLIENT);
    banner.DestroyWindow();
    parent.DestroyWindow();
}

// ---- Scrolling ----------------------------------------------------------------------------

void AddLongLine(CBannerCtrl& b)
{
    b.AddItem(CBannerItem(std::string("◆ "), BANNER_FONT_SONG, 0, kYellow | BANNER_BOLD, BANNER_BUTTON_FACE));
    b.AddItem(CBannerItem(std::string("flight  "), BANNER_FONT_HEI, 0, kWhite | BANNER_ITALIC, BANNER_BUTTON_FACE));
    b.AddItem(CBannerItem(std::string("'flaIt  "), BANNER_FONT_PHONETIC, 0, kRed | BANNER_UNDERLINE, kYellow));
    b.AddItem(CBannerItem(std::string("n. 飞行；航班  "), BANNER_FONT_SONG, 0, kGreen, kWhite));
    // Last, a slanted glyph with nothing after it: its ink reaches past its cell.
    b.AddItem(CBannerItem(std::string("◆ more words on the fly"), 0, 0, kWhite | BANNER_BOLD | BANNER_ITALIC,
                          BANNER_BUTTON_FACE));
}

class BannerScrollTest : public BannerTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BannerScrollTest, LineMovesLeftOnePixelPerTickAndMatchesAFullRepaint)
{
    CCanvasWnd::SetCachingEnabled(GetParam());
    CBannerCtrl& b = MakeBanner({10, 10, 250, 34});
    b.SetBackgroundColor(kNavy);
    AddLongLine(b);
    Image before = Show();
    ASSERT_FALSE(before.Uniform());
    b.SetSpeed(800);
    int moves = 0, stale = 0;
    for (int step = 0; step < 40 && moves < 25; ++step) {
        ASSERT_TRUE(NextTick()) << "no tick arrived";
        const Image now = Capture(b.m_hWnd);
        if (now == before) {
            ++stale;
        } else {
            ASSERT_TRUE(ShiftedLeftByOne(before, now)) << "tick " << step << " did not move the line by one pixel";
            ++moves;
        }
        before = now;
    }
    EXPECT_EQ(moves, 25);
    EXPECT_LE(stale, 2);
    b.SetSpeed(0);
    // What the one-pixel repaints built up is what a full repaint draws.
    wintest::PumpMessages(30);
    const Image scrolled = Capture(b.m_hWnd);
    b.Invalidate();
    EXPECT_TRUE(Show() == scrolled);
}

TEST_P(BannerScrollTest, LineThatLeftAtTheLeftComesBackWholeFromTheRight)
{
    CCanvasWnd::SetCachingEnabled(GetParam());
    CBannerCtrl& b = MakeBanner({10, 10, 90, 30}, WS_CHILD | WS_VISIBLE);
    b.SetBackgroundColor(kWhite);
    b.AddItem(CBannerItem(std::string("ab"), BANNER_FONT_SONG, 0, kBlack, kWhite));
    // A slanted last glyph reaches past the end of the line.
    b.AddItem(CBannerItem(std::string("fy"), BANNER_FONT_SONG, 0, kRed | BANNER_ITALIC, kWhite));
    const InkBox start = FindInk(Show(), {kWhite});
    ASSERT_FALSE(start.Empty());
    ASSERT_LT(start.right, 50);
    b.SetSpeed(800);
    const int width = Capture(b.m_hWnd).w;
    enum { Leaving, Gone, Back } phase = Leaving;
    int lastRight = start.right;
    for (int step = 0; step < 300; ++step) {
        ASSERT_TRUE(NextTick());
        const InkBox ink = FindInk(Capture(b.m_hWnd), {kWhite});
        if (phase == Leaving) {
            if (ink.Empty())
                phase = Gone;
            else
                EXPECT_LE(ink.right, lastRight) << "moving left";
            lastRight = ink.right;
        } else if (phase == Gone && !ink.Empty()) {
            EXPECT_GE(ink.left, width - 5) << "the line re-enters at the right edge";
            phase = Back;
        } else if (phase == Back && ink.right < width - 12) {
            // Wholly in again: what the column repaints drew is what a full repaint draws.
            b.SetSpeed(0);
            wintest::PumpMessages(30);
            const Image scrolled = Capture(b.m_hWnd);
            EXPECT_EQ(FindInk(scrolled, {kWhite}).Width(), start.Width());
            b.Invalidate();
            EXPECT_TRUE(Show() == scrolled);
            return;
        }
    }
    FAIL() << "the line did not come back (phase " << phase << ")";
}

INSTANTIATE_TEST_SUITE_P(CachingOnAndOff, BannerScrollTest, ::testing::Bool());

TEST_F(BannerTest, EntryAddedJustPastTheRightEdgeScrollsIntoView)
{
    CBannerCtrl& b = MakeBanner({10, 10, 250, 34});
    b.SetBackgroundColor(kNavy);
    const int width = Show().w;
    // The line runs a little past the right edge, so that a new item has no visible
    // columns yet but comes into view within a few dozen ticks.
    while (ColumnsOf(Capture(b.m_hWnd), kYellow).second < width - 1 && b.GetItemCount() < 60) {
        b.AddItem(CBannerItem("WWW", kGreen, kYellow));
        Show();
    }
    ASSERT_LT(b.GetItemCount(), 60);
    b.SetSpeed(800);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(NextTick());
    RECT update = {};
    ASSERT_TRUE(b.AddItem(CBannerItem("WWW", kWhite, kRed)));
    EXPECT_FALSE(::GetUpdateRect(b.m_hWnd, &update, FALSE)) << "nothing in view changed";
    Image now;
    int step = 0;
    for (; step < 200; ++step) {
        ASSERT_TRUE(NextTick());
        now = Capture(b.m_hWnd);
        const auto red = ColumnsOf(now, kRed);
        if (red.first >= 0 && red.second < width - 12)
            break;
    }
    ASSERT_LT(step, 200) << "the new item never came into view";
    b.SetSpeed(0);
    wintest::PumpMessages(30);
    const Image scrolled = Capture(b.m_hWnd);
    ASSERT_GE(ColumnsOf(scrolled, kWhite).first, 0) << "the new item's text is drawn";
    b.Invalidate();
    EXPECT_TRUE(Show() == scrolled) << "what scrolled in is what a full repaint draws";
}

TEST_F(BannerTest, StoppedLineStaysAndSurvivesRecreationUntilTheSpeedIsSetAgain)
{
    const RECT rect = {10, 10, 250, 34};
    CBannerCtrl& b = MakeBanner(rect);
    b.SetBackgroundColor(kNavy);
    AddLongLine(b);
    Show();
    b.SetSpeed(800);
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(NextTick());
    b.SetSpeed(0);
    wintest::PumpMessages(30);
    const Image stopped = Capture(b.m_hWnd);
    wintest::PumpMessages(250);
    EXPECT_TRUE(Capture(b.m_hWnd) == stopped) << "SetSpeed(0) must stop the line where it is";

    // Moving again, then the host re-creates the window (as on every resize).
    b.SetSpeed(800);
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(NextTick());
    const Image moved = Capture(b.m_hWnd);
    EXPECT_FALSE(moved == stopped);
    ASSERT_TRUE(b.DestroyWindow());
    EXPECT_EQ(b.GetItemCount(), 5);
    ASSERT_TRUE(b.Create("滚动", kHostStyle, rect, parent.m_hWnd, CBannerCtrl::kDefaultId));
    b.SetFont(hostFont);
    EXPECT_TRUE(Show() == moved) << "items, colours and offset survive re-creation";
    wintest::PumpMessages(250);
    EXPECT_TRUE(Capture(b.m_hWnd) == moved) << "the line stands still until the speed is set again";
    b.SetSpeed(800);
    ASSERT_TRUE(NextTick());
    EXPECT_TRUE(ShiftedLeftByOne(moved, Capture(b.m_hWnd)));
    b.SetSpeed(0);
}

TEST_F(BannerTest, DestroyingTheControlWithTicksInFlightIsHarmless)
{
    for (int round = 0; round < 5; ++round) {
        auto* b = new CBannerCtrl;
        ASSERT_TRUE(b->Create("滚动条", kHostStyle, {10, 10, 250, 34}, parent.m_hWnd, CBannerCtrl::kDefaultId));
        b->SetFont(hostFont);
        AddLongLine(*b);
        // Ticks pile up in the queue unprocessed, some of them from superseded timers,
        // and a window is destroyed and re-created under them.
        b->SetSpeed(1000);
        ::Sleep(25);
        b->SetSpeed(800);
        ::Sleep(25);
        b->DestroyWindow();
        ASSERT_TRUE(b->Create("滚动", kHostStyle, {10, 10, 250, 34}, parent.m_hWnd, CBannerCtrl::kDefaultId));
        b->SetSpeed(1000);
        ::Sleep(round * 4);
        delete b;
        wintest::PumpMessages(40);
    }
    // Still here: nothing touched a dead object.
    SUCCEED();
}

// ---- A look at the whole thing ---------------------------------------------------------------

// The word feed's pattern: marker, word, phonetic, meaning. With LEX_SHOWCASE_MS set the
// window stays up that long, for a screenshot.
TEST(BannerLook, StyledEntriesWithAPhoneticItem)
{
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring fontFile = exe;
    fontFile = fontFile.substr(0, fontFile.find_last_of(L'\\')) + L"\\..\\..\\dist\\Fonts\\DFHGWPRN.TTF";
    const bool phoneticFont = ::AddFontResourceW(fontFile.c_str()) > 0;

    ParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "banner", WS_POPUP, 20, 20, 600, 44, nullptr, 0));
    ShowWithoutActivating(parent.m_hWnd);
    HFONT host = MakeHostFont(12, L"隶书");
    CBannerCtrl banner;
    ASSERT_TRUE(banner.Create("滚动条", kHostStyle, {8, 8, 592, 34}, parent.m_hWnd, CBannerCtrl::kDefaultId));
    banner.SetFont(host);
    banner.SetBackgroundColor(RGB(0, 0, 96));
    struct Entry {
        const char* word;
        const char* phonetic;
        const char* meaning;
    } entries[] = {{"apple", "'{pl", "n. 苹果"}, {"flight", "flaIt", "n. 飞行；航班"}, {"rock && roll", "r6k@n'r@Ul", "n. 摇滚乐"}};
    for (const Entry& e : entries) {
        banner.AddItem(CBannerItem(std::string("◆"), BANNER_FONT_SONG, 0, RGB(255, 200, 0) | BANNER_BOLD, BANNER_BUTTON_FACE));
        banner.AddItem(CBannerItem(std::string(e.word) + "  ", BANNER_FONT_HEI, 0, RGB(255, 255, 255) | BANNER_BOLD,
                                   BANNER_BUTTON_FACE));
        banner.AddItem(CBannerItem(std::string("/") + e.phonetic + "/  ", BANNER_FONT_PHONETIC, 0,
                                   RGB(120, 230, 255) | BANNER_ITALIC, BANNER_BUTTON_FACE));
        banner.AddItem(CBannerItem(std::string(e.meaning) + "  ", BANNER_FONT_SONG, 0,
                                   RGB(180, 0, 0) | BANNER_UNDERLINE, RGB(255, 255, 160)));
    }
    ::UpdateWindow(banner.m_hWnd);
    const Image img = Capture(banner.m_hWnd);
    EXPECT_GT(img.Count(RGB(255, 255, 160)), 0) << "the meaning's back colour box";
    EXPECT_GT(img.Count(RGB(255, 255, 255)), 0) << "the white words";
    if (const char* ms = std::getenv("LEX_SHOWCASE_MS"))
        wintest::PumpMessages(static_cast<DWORD>(std::atoi(ms)));
    banner.DestroyWindow();
    parent.DestroyWindow();
    ::DeleteObject(host);
    if (phoneticFont)
        ::RemoveFontResourceW(fontFile.c_str());
}

} // namespace
