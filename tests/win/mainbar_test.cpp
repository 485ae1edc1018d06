// The main bar as a real window in a temporary program folder: placement, dragging and
// stretching, the banner in its toolbar slot, the feed timer, the background and the
// settings written when it is destroyed.
#include "app/lexorin_app.h"
#include "base/text.h"
#include "mainbar/lexorin_dlg.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

namespace {

class MainBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = wintest::MakeTempFolder("mainbar");
        CreateDirectoryW(lex::Widen(folder + "Dictionary").c_str(), nullptr);
        std::string lines;
        for (int i = 1; i <= 50; ++i)
            lines += "word" + std::to_string(i) + "/f" + std::to_string(i) + "/意思" + std::to_string(i) + "\r\n";
        WriteFile(folder + "Dictionary\\缺省字典.KM", lines);
        app.m_strProgramFolder = folder;
        app.m_strProductName = "Quillmere";
        app.m_strVersion = "4.1";
        app.m_hInstance = GetModuleHandleW(nullptr);
    }
    void TearDown() override
    {
        if (dlg.m_hWnd)
            dlg.DestroyWindow();
        wintest::RemoveFolder(folder);
    }
    static void WriteFile(const std::string& path, const std::string& bytes)
    {
        HANDLE h = CreateFileW(lex::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    lex::CSettings Settings() { return lex::CSettings(app.SettingsPath()); }
    void Open()
    {
        ASSERT_TRUE(dlg.Create(IDD_LEXORIN_DIALOG));
        wintest::PumpMessages(100);
    }
    // The bar's background as WM_ERASEBKGND draws it into a memory bitmap; at(x, y).
    struct Background {
        HDC mem;
        HBITMAP bitmap;
        HGDIOBJ old;
        COLORREF At(int x, int y) const { return GetPixel(mem, x, y); }
        ~Background()
        {
            SelectObject(mem, old);
            DeleteObject(bitmap);
            DeleteDC(mem);
        }
    };
    std::unique_ptr<Background> EraseIntoMemory()
    {
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 640, 40);
        ReleaseDC(nullptr, screen);
        auto bg = std::unique_ptr<Background>(new Background{mem, bitmap, SelectObject(mem, bitmap)});
        dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem));
        return bg;
    }
    LRESULT HitAt(int x, int y)
    {
        RECT r;
        GetWindowRect(dlg.m_hWnd, &r);
        return SendMessageW(dlg.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
    }

    std::string folder;
    CLexorinApp app;
    CLexorinDlg dlg{app};
};

} // namespace

TEST_F(MainBarTest, OpensTopmostWithoutCaptionWhereTheSettingsSay)
{
    Settings().SetInterfaceLeft(100);
    Settings().SetInterfaceTop(50);
    Open();
    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_GE(r.bottom - r.top, 27);
    EXPECT_LE(r.bottom - r.top, 30);
    EXPECT_TRUE(GetWindowLongW(dlg.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE((GetWindowLongW(dlg.m_hWnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ(dlg.GetWindowText(), "Quillmere4.1");
}

TEST_F(MainBarTest, PartlyOffScreenBarIsPulledBack)
{
    Settings().SetInterfaceLeft(-100);
    Settings().SetInterfaceTop(20);
    Open();
    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    EXPECT_EQ(r.left, 0);
}

TEST_F(MainBarTest, DragsByBodyAndStretchesSidewaysOnly)
{
    Open();
    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(HitAt(w / 2, 0), HTCAPTION) << "top edge";
    EXPECT_EQ(HitAt(w / 2, h - 1), HTCAPTION) << "bottom edge";
    EXPECT_EQ(HitAt(0, 0), HTLEFT) << "top-left corner";
    EXPECT_EQ(HitAt(w - 1, h - 1), HTRIGHT) << "bottom-right corner";
    EXPECT_EQ(HitAt(0, h / 2), HTLEFT);
    // Inside the toolbar the client area belongs to the toolbar, whose presses become a
    // caption press of the bar; the bar's own client area maps to the caption too.
    POINT inside = {w / 2, h / 2};
    LRESULT mapped = SendMessageW(dlg.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + inside.x, r.top + inside.y));
    EXPECT_EQ(mapped, HTCAPTION);
}

TEST_F(MainBarTest, ToolbarPressBecomesCaptionPressOfTheBar)
{
    Open();
    // A window procedure spy on the bar sees the posted WM_NCLBUTTONDOWN.
    static bool sawCaptionPress = false;
    static WNDPROC original = nullptr;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(dlg.m_hWnd, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_NCLBUTTONDOWN && w == HTCAPTION) {
                sawCaptionPress = true;
                return 0; // no modal move loop in a test
            }
            return CallWindowProcW(original, h, m, w, l);
        })));
    RECT slot;
    dlg.ToolBar().GetItemRect(dlg.ToolBar().CommandToIndex(ID_GAP_1), &slot);
    dlg.ToolBar().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(slot.left + 1, slot.top + 2));
    dlg.ToolBar().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(slot.left + 1, slot.top + 2));
    wintest::PumpMessages(50);
    SetWindowLongPtrW(dlg.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    EXPECT_TRUE(sawCaptionPress);
}

TEST_F(MainBarTest, BannerSitsInItsSlotAndKeepsItsItemsWhenStretched)
{
    Open();
    CBannerCtrl& banner = dlg.ToolBar().m_banner;
    ASSERT_TRUE(banner.IsWindow());
    RECT slot;
    dlg.ToolBar().GetItemRect(dlg.ToolBar().CommandToIndex(ID_BANNER_SLOT), &slot);
    EXPECT_EQ(slot.right - slot.left, 435);
    dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    ASSERT_EQ(banner.GetItemCount(), 8);

    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, r.right - r.left + 100, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    wintest::PumpMessages(50);
    dlg.ToolBar().GetItemRect(dlg.ToolBar().CommandToIndex(ID_BANNER_SLOT), &slot);
    EXPECT_EQ(slot.right - slot.left, 535) << "the slot widens by the same amount";
    ASSERT_TRUE(banner.IsWindow());
    RECT b;
    GetWindowRect(banner.m_hWnd, &b);
    EXPECT_EQ(b.right - b.left, 535);
    EXPECT_EQ(banner.GetItemCount(), 8) << "the re-created banner keeps its items";
}

TEST_F(MainBarTest, StretchedBarLooksAsIfPaintedWhole)
{
    // A resize step leaves the part left of the banner's slot as it is on screen. After
    // a few steps the bar must look exactly as a whole repaint draws it, and a repaint
    // that was waiting there before the steps must still happen.
    Open();
    HWND toolbar = dlg.ToolBar().m_hWnd;
    RECT slot;
    dlg.ToolBar().GetItemRect(dlg.ToolBar().CommandToIndex(ID_BANNER_SLOT), &slot);
    ASSERT_GT(slot.left, 40);
    const RECT spoiled = {4, 0, slot.left / 2, slot.bottom};
    {
        HDC dc = GetDC(toolbar);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &spoiled, red);
        DeleteObject(red);
        ReleaseDC(toolbar, dc);
    }
    InvalidateRect(toolbar, &spoiled, TRUE);

    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    for (int step = 1; step <= 4; ++step) // stretched and shrunk again with no paint between
        SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, r.right - r.left + (step % 2 ? 7 : 3), r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    wintest::PumpMessages(100);
    for (int step = 1; step <= 3; ++step) { // and with the paints between, as in a drag
        SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, r.right - r.left + 3 + 5 * step, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        wintest::PumpMessages(30);
    }
    const wintest::Image stepped = wintest::Capture(toolbar);
    RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const wintest::Image whole = wintest::Capture(toolbar);

    ASSERT_EQ(stepped.w, whole.w);
    // The banner scrolls between the two pictures: only the rest is compared.
    RECT banner;
    GetWindowRect(dlg.ToolBar().m_banner.m_hWnd, &banner);
    MapWindowPoints(nullptr, toolbar, reinterpret_cast<POINT*>(&banner), 2);
    int differing = 0, firstX = -1, red = 0;
    for (int y = 0; y < whole.h; ++y)
        for (int x = 0; x < whole.w; ++x) {
            const POINT p = {x, y};
            if (PtInRect(&banner, p))
                continue;
            red += stepped.At(x, y) == RGB(255, 0, 0);
            if (stepped.At(x, y) != whole.At(x, y)) {
                ++differing;
                firstX = firstX < 0 ? x : firstX;
            }
        }
    EXPECT_EQ(differing, 0) << "first differing column " << firstX << "; banner slot from " << slot.left;
    EXPECT_EQ(red, 0) << "the repaint waiting from before was lost";
}

TEST_F(MainBarTest, StretchingReadsTheSettingsFileOnceAStep)
{
    // A settings file grown large (comments, keys of other programs): each resize step
    // reapplies every group, and must not read the file once per key.
    std::string padding;
    for (int i = 0; i < 60000; ++i)
        padding += "; a line the program does not read, but has to get past\r\n";
    WriteFile(app.SettingsPath(), "[Other]\r\n" + padding);
    Settings().SetInterfaceBKImage(false);
    Open();
    auto medianMs = [](const std::function<void()>& run) {
        std::vector<double> times;
        LARGE_INTEGER f, a, b;
        QueryPerformanceFrequency(&f);
        for (int i = 0; i < 5; ++i) {
            QueryPerformanceCounter(&a);
            run();
            QueryPerformanceCounter(&b);
            times.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart));
        }
        std::sort(times.begin(), times.end());
        return times[2];
    };
    const double readMs = medianMs([&] { (void)Settings().DictName(); });
    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    int width = r.right - r.left;
    const double stepMs = medianMs([&] {
        width += 10;
        SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    });
    EXPECT_LT(stepMs, 6 * readMs) << "one step " << stepMs << " ms, one reading of the file " << readMs << " ms";
    EXPECT_TRUE(dlg.ToolBar().m_banner.IsWindow()) << "and the step still rebuilt the banner";
}

TEST_F(MainBarTest, FeedTimerRunsEverySecondAfterStartAndAtTheSettingAfterApply)
{
    Settings().SetBannerScrollSpeed(3);
    Open();
    EXPECT_EQ(dlg.Feed().GetTimerPeriod(), 1000);
    dlg.ApplySettings(CLexorinDlg::kBannerGroup);
    EXPECT_EQ(dlg.Feed().GetTimerPeriod(), 3000);
    // And the timer really fires: one entry (four items) after about a second.
    dlg.Feed().StartEntryTimer();
    int before = dlg.ToolBar().m_banner.GetItemCount();
    EXPECT_TRUE(wintest::PumpUntil([&] { return dlg.ToolBar().m_banner.GetItemCount() > before; }, 3000));
}

TEST_F(MainBarTest, TooltipsComeFromTheStringTable)
{
    Open();
    for (auto [id, text] : {std::pair<UINT, const char*>{ID_DICT_NEXT, "下条"}, {ID_APP_EXIT_CMD, "退出"}}) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOW;
        // As the toolbar's own tooltip window asks it.
        SendMessageW(dlg.ToolBar().m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(lex::Narrow(info.lpszText ? info.lpszText : L""), text);
    }
}

TEST_F(MainBarTest, GradientRunsFromStartColourAtTopToEndColourAtBottom)
{
    Settings().SetInterfaceBKImage(false);
    Settings().SetInterfaceBKStartColor(0x0000ff);
    Settings().SetInterfaceBKEndColor(0xff0000);
    Open();
    auto bg = EraseIntoMemory();
    RECT client;
    dlg.GetClientRect(&client);
    COLORREF top = bg->At(5, 0);
    COLORREF bottom = bg->At(5, client.bottom - 1);
    EXPECT_GT(GetRValue(top), 200);
    EXPECT_LT(GetBValue(top), 60);
    EXPECT_GT(GetBValue(bottom), 200);
    EXPECT_LT(GetRValue(bottom), 60);
}

TEST_F(MainBarTest, BackgroundBitmapIsTiledFromTheTopLeft)
{
    // A 4 x 4 bitmap file, left half black, right half white.
    const std::string bmp =
        wintest::BitmapFileBytes(4, 4, 32, [](int x, int) { return x >= 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); });
    WriteFile(folder + "tile.bmp", bmp);
    Settings().SetInterfaceBKImageFileName(folder + "tile.bmp");
    Open();
    auto bg = EraseIntoMemory();
    EXPECT_EQ(bg->At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(bg->At(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(bg->At(4, 5), RGB(0, 0, 0)) << "repeated across and down";
    EXPECT_EQ(bg->At(603, 21), RGB(255, 255, 255));
}

// A one-colour 8 x 8 bitmap file at 24 bits per pixel.
std::string SolidBitmap(COLORREF colour)
{
    return wintest::BitmapFileBytes(8, 8, 24, [=](int, int) { return colour; });
}

TEST_F(MainBarTest, ReplacedBackgroundFileShowsItsNewPictureAndBrokenFilesKeepTheOldOne)
{
    // The bar keeps the decoded picture while its file is unchanged; a file replaced
    // under the same name must still show its new picture at the next apply.
    const std::string path = folder + "back.bmp";
    WriteFile(path, SolidBitmap(RGB(200, 0, 0)));
    Settings().SetInterfaceBKImageFileName(path);
    Open();
    EXPECT_EQ(EraseIntoMemory()->At(10, 10), RGB(200, 0, 0));
    WriteFile(path, SolidBitmap(RGB(0, 0, 200)));
    // The same size; the write time a few seconds on, as a later save would give.
    HANDLE h = CreateFileW(lex::Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    ULARGE_INTEGER later;
    later.LowPart = t.dwLowDateTime;
    later.HighPart = t.dwHighDateTime;
    later.QuadPart += 5ull * 10000000;
    t.dwLowDateTime = later.LowPart;
    t.dwHighDateTime = later.HighPart;
    SetFileTime(h, nullptr, nullptr, &t);
    CloseHandle(h);
    dlg.ApplySettings(CLexorinDlg::kInterfaceGroup);
    EXPECT_EQ(EraseIntoMemory()->At(10, 10), RGB(0, 0, 200));

    // A file that claims 60000 x 60000 pixels, and one cut short: not loaded, the
    // picture on show stays.
    std::string huge = SolidBitmap(0);
    huge[18] = huge[22] = static_cast<char>(0x60);
    huge[19] = huge[23] = static_cast<char>(0xEA);
    WriteFile(folder + "huge.bmp", huge);
    EXPECT_FALSE(dlg.Background().LoadFile(dlg.m_hWnd, (folder + "huge.bmp").c_str()));
    WriteFile(folder + "short.bmp", SolidBitmap(0).substr(0, 100));
    Settings().SetInterfaceBKImageFileName(folder + "short.bmp");
    dlg.ApplySettings(CLexorinDlg::kInterfaceGroup);
    EXPECT_EQ(EraseIntoMemory()->At(10, 10), RGB(0, 0, 200));
}

TEST_F(MainBarTest, DestroyingWritesPositionPlacementAndBackgroundName)
{
    Settings().SetDictWordCount(4);
    Open();
    dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    dlg.DestroyWindow();
    lex::CSettings s = Settings();
    EXPECT_EQ(s.DictWordCount(), 5);
    EXPECT_EQ(s.InterfaceLeft(), r.left);
    EXPECT_EQ(s.InterfaceTop(), r.top);
    EXPECT_EQ(s.InterfaceBKImageFileName(), "2");
    std::string text;
    ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), text));
    EXPECT_NE(text.find("InterfaceCX=" + std::to_string(r.right - r.left)), std::string::npos);
    EXPECT_NE(text.find("InterfaceCY="), std::string::npos);
}

TEST_F(MainBarTest, HideFromToolbarAndTrayClicksToggleTheBarAndTheIcon)
{
    Open();
    dlg.SendMessage(WM_COMMAND, ID_HIDE_BAR);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(lex::Narrow(dlg.Tray().Data().szTip), "隐藏");
    dlg.SendMessage(CTrayIcon::kMessage, CTrayIcon::kId, WM_LBUTTONDOWN);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(lex::Narrow(dlg.Tray().Data().szTip), "显示");
    dlg.SendMessage(CTrayIcon::kMessage, CTrayIcon::kId, WM_LBUTTONDOWN);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.Tray().Data().uCallbackMessage, static_cast<UINT>(WM_USER + 5));
    dlg.SendMessage(WM_COMMAND, ID_SHOW_BAR);
    EXPECT_TRUE(dlg.IsWindowVisible());
}

namespace {
// Reads the open popup menu from inside its own modal loop, then closes it.
struct OpenMenuReader {
    static std::vector<std::pair<UINT, std::string>> items;
    static std::vector<int> heights;
    static UINT defaultItem;
    static void CALLBACK Read(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (!popup)
            return;
        KillTimer(nullptr, id);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            items.emplace_back(GetMenuItemID(menu, i), lex::Narrow(text));
            RECT r = {0, 0, 0, 0};
            GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
            heights.push_back(r.bottom - r.top);
        }
        defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
        EndMenu();
    }
};
std::vector<std::pair<UINT, std::string>> OpenMenuReader::items;
std::vector<int> OpenMenuReader::heights;
UINT OpenMenuReader::defaultItem = 0;
} // namespace

TEST_F(MainBarTest, TrayRightClickOpensTheMenuWithShowAsDefault)
{
    Open();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, OpenMenuReader::Read);
    dlg.SendMessage(CTrayIcon::kMessage, CTrayIcon::kId, WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    const std::vector<std::pair<UINT, std::string>> expected = {
        {ID_SHOW_BAR, "显示单词条"}, {ID_HIDE_BAR, "隐藏单词条"}, {0, ""},
        {ID_OPTIONS, "设置..."},    {ID_IMPORT_WORDLIST, "导入词表..."}, {0, ""}, {ID_HELP_ITEM, "帮助"},
        {ID_APP_ABOUT_CMD, "关于..."}, {ID_TIP_OF_DAY, "每日一贴..."}, {0, ""},
        {ID_APP_EXIT_CMD, "退出"}};
    EXPECT_EQ(OpenMenuReader::items, expected);
    EXPECT_EQ(OpenMenuReader::defaultItem, 0u) << "the first item is the default";
    EXPECT_TRUE(dlg.IsWindowVisible());
    // Help has no handler: choosing it changes nothing.
    dlg.SendMessage(WM_COMMAND, ID_HELP_ITEM);
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.SendMessage(WM_COMMAND, ID_SHOW_BAR);
    EXPECT_TRUE(dlg.IsWindowVisible()) << "show on a shown bar keeps it shown";
    EXPECT_EQ(lex::Narrow(dlg.Tray().Data().szTip), "显示");
}

namespace {
// A bar whose nearest monitor has the given work area.
class BarOnMonitor : public CLexorinDlg {
public:
    BarOnMonitor(CBarContext& context, const RECT& workArea) : CLexorinDlg(context), m_workArea(workArea) {}

protected:
    RECT MonitorWorkArea(const RECT&) const override { return m_workArea; }

private:
    RECT m_workArea;
};
} // namespace

TEST_F(MainBarTest, BarStaysOnTheMonitorItIsOnAndComesBackFromOneThatIsGone)
{
    // On a second monitor the bar keeps its place, and is kept inside that monitor's
    // work area, not pulled onto the primary one.
    Settings().SetInterfaceLeft(1300);
    Settings().SetInterfaceTop(100);
    {
        // A second monitor right of a 1024-pixel primary, whose work area leaves 30
        // pixels for a taskbar at the bottom.
        BarOnMonitor bar(app, RECT{1024, 0, 2048, 738});
        ASSERT_TRUE(bar.Create(IDD_LEXORIN_DIALOG));
        wintest::PumpMessages(100);
        RECT r;
        GetWindowRect(bar.m_hWnd, &r);
        EXPECT_EQ(r.left, 1300);
        EXPECT_EQ(r.top, 100);
        const int h = r.bottom - r.top;
        SetWindowPos(bar.m_hWnd, nullptr, 1900, 730, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(bar.m_hWnd, &r);
        EXPECT_EQ(r.left, 2048 - 640) << "moved left just enough, to that monitor's right edge";
        EXPECT_EQ(r.top, 738 - h) << "above that monitor's taskbar";
        SetWindowPos(bar.m_hWnd, nullptr, 1000, -40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(bar.m_hWnd, &r);
        EXPECT_EQ(r.left, 1024);
        EXPECT_EQ(r.top, 0);
        bar.DestroyWindow();
    }

    // Saved on a monitor that has since been unplugged: the nearest monitor there is
    // takes the bar, wholly inside its work area.
    Settings().SetInterfaceLeft(3000);
    Settings().SetInterfaceTop(2000);
    Open();
    RECT r;
    GetWindowRect(dlg.m_hWnd, &r);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(dlg.m_hWnd, MONITOR_DEFAULTTONULL), &info))
        << "the bar is on a monitor";
    EXPECT_EQ(r.right, info.rcWork.right);
    EXPECT_EQ(r.bottom, info.rcWork.bottom);
    EXPECT_GE(r.left, info.rcWork.left);
    EXPECT_GE(r.top, info.rcWork.top);
}

TEST_F(MainBarTest, TrayIconComesBackWithTheCurrentStateWhenTheShellRestarts)
{
    Open();
    dlg.SendMessage(WM_COMMAND, ID_HIDE_BAR);
    NOTIFYICONDATAW probe = dlg.Tray().Data();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the icon is there";
    // The shell forgets every icon, as when Explorer ends.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &probe));
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the shell reports a missing icon";
    // The new shell announces itself to every top-level window.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE; }, 3000))
        << "the icon was added again";
    // With the hidden state's icon and tip, and the bar still reachable through it.
    EXPECT_EQ(lex::Narrow(dlg.Tray().Data().szTip), "隐藏");
    EXPECT_EQ(dlg.Tray().Data().hIcon, dlg.Tray().IconFor(IDI_TRAY_HIDDEN));
    EXPECT_NE(dlg.Tray().Data().hIcon, dlg.Tray().IconFor(IDI_TRAY_SHOWN));
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.SendMessage(CTrayIcon::kMessage, CTrayIcon::kId, WM_LBUTTONDOWN);
    EXPECT_TRUE(dlg.IsWindowVisible());
}

namespace {
// Counts the banner's ticks by watching its window procedure.
struct TickSpy {
    static int ticks;
    static WNDPROC original;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_TIMER)
            ++ticks;
        return CallWindowProcW(original, h, m, w, l);
    }
};
int TickSpy::ticks = 0;
WNDPROC TickSpy::original = nullptr;
} // namespace

TEST_F(MainBarTest, HiddenOrMinimisedBarDoesNotTickAndResumesWhereItStopped)
{
    Open();
    CBannerCtrl& banner = dlg.ToolBar().m_banner;
    dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    dlg.ApplySettings(CLexorinDlg::kBannerGroup); // scrolling on, as the shipped settings have it
    ASSERT_NE(banner.GetSpeed(), 0);
    TickSpy::ticks = 0;
    TickSpy::original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(banner.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TickSpy::Proc)));
    ASSERT_TRUE(wintest::PumpUntil([] { return TickSpy::ticks >= 5; }, 3000)) << "scrolling while shown";

    for (int how : {SW_HIDE, SW_MINIMIZE}) {
        SCOPED_TRACE(how == SW_HIDE ? "hidden" : "minimised");
        const HWND window = banner.m_hWnd;
        dlg.ShowWindow(how);
        wintest::PumpMessages(100); // the tick in flight finds the bar hidden and rests
        EXPECT_EQ(banner.m_hWnd, window) << "hiding or minimising leaves the banner as it is";
        const int offset = banner.GetOffset();
        TickSpy::ticks = 0;
        dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT); // the feed goes on while hidden
        wintest::PumpMessages(600);
        EXPECT_EQ(TickSpy::ticks, 0);
        EXPECT_TRUE(banner.IsScrollResting());
        EXPECT_EQ(banner.GetOffset(), offset);
        dlg.ShowWindow(SW_RESTORE);
        // Restoring re-creates the banner window (every WM_SIZE does); its line goes on.
        ASSERT_TRUE(wintest::PumpUntil([&] { return banner.GetOffset() != offset; }, 1000))
            << "ticking again when shown";
        // One step on from where it stopped; a busy machine may let a second tick in before
        // the check, but a line that restarted or jumped would be far off.
        EXPECT_GE(offset - banner.GetOffset(), 1) << "from where it stopped";
        EXPECT_LE(offset - banner.GetOffset(), 2) << "from where it stopped";
        if (banner.m_hWnd != window)
            TickSpy::original = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(banner.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TickSpy::Proc)));
    }
    SetWindowLongPtrW(banner.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TickSpy::original));
}

namespace {
// The power source the bar reads, as the test sets it.
PowerReading g_power;
bool FakePower(PowerReading& reading)
{
    reading = g_power;
    return true;
}
} // namespace

TEST_F(MainBarTest, OnBatteryOrAskedTheBannerTicksHalfAsOftenTwoPixelsAtATime)
{
    Open();
    CBannerCtrl& banner = dlg.ToolBar().m_banner;
    dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    g_power = PowerReading{1, 1}; // on mains, battery charging
    dlg.Power().SetSource(FakePower);
    dlg.SendMessage(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    ASSERT_NE(banner.GetSpeed(), 0);
    EXPECT_EQ(banner.GetTickPeriod(), 12);

    // Unplugged: the system says so, and the next ticks come every 24 ms, two pixels each.
    g_power = PowerReading{0, 1};
    dlg.SendMessage(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    EXPECT_TRUE(banner.IsPowerSaving());
    EXPECT_EQ(banner.GetTickPeriod(), 24);
    wintest::PumpMessages(50);
    const int offset = banner.GetOffset();
    ASSERT_TRUE(wintest::PumpUntil([&] { return offset - banner.GetOffset() >= 6; }, 2000)) << "still moving";
    EXPECT_EQ((offset - banner.GetOffset()) % 2, 0) << "in steps of two pixels";
    // A resize makes the banner's window again: it keeps saving.
    dlg.ApplySettings(CLexorinDlg::kAllGroups);
    EXPECT_EQ(banner.GetTickPeriod(), 24);

    // Plugged in again: back to one pixel every 12 ms.
    g_power = PowerReading{1, 1};
    dlg.SendMessage(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    EXPECT_FALSE(banner.IsPowerSaving());
    EXPECT_EQ(banner.GetTickPeriod(), 12);

    // "省电滚动" asks for it on mains as well.
    ASSERT_TRUE(Settings().SetBannerPowerSaving(true));
    dlg.ApplySettings(CLexorinDlg::kBannerGroup);
    EXPECT_EQ(banner.GetTickPeriod(), 24);
    ASSERT_TRUE(Settings().SetBannerPowerSaving(false));
    dlg.ApplySettings(CLexorinDlg::kBannerGroup);
    EXPECT_EQ(banner.GetTickPeriod(), 12);
}

namespace {
// What the bar measures at each DPI: the 96-DPI figures, and the same bar measured at
// 1.5 and 2 times the size.
struct BarFigures {
    int dpi;
    int width, minHeight, maxHeight; // the window at start-up
    int minTrackWidth, minTrackHeight;
    int slot;                        // the banner's slot
    SIZE image, button;              // toolbar images and buttons
    int bannerFont;                  // pixel height of the banner's item fonts
    int trayIcon;                    // the tray icon's width and height
    int menuItem, menuSeparator;     // the tray menu's rows
};
const BarFigures kBarFigures[] = {
    {96, 640, 27, 30, 640, 30, 435, {16, 15}, {23, 22}, 20, 16, 22, 3},
    {144, 960, 40, 45, 960, 45, 653, {24, 23}, {35, 33}, 30, 24, 33, 5},
    {192, 1280, 54, 60, 1280, 60, 870, {32, 30}, {46, 44}, 40, 32, 44, 6},
};
const BarFigures& FiguresFor(int dpi)
{
    for (const BarFigures& f : kBarFigures)
        if (f.dpi == dpi)
            return f;
    return kBarFigures[0];
}

// What the bar shows now, measured as a user would see it.
struct BarMeasures {
    RECT window = {0, 0, 0, 0};
    POINT minTrack = {0, 0};
    int slot = 0;
    SIZE image = {0, 0}, button = {0, 0};
    int bannerFont = 0;
    int trayIcon = 0;
};
BarMeasures Measure(CLexorinDlg& dlg)
{
    BarMeasures m;
    GetWindowRect(dlg.m_hWnd, &m.window);
    MINMAXINFO info = {};
    dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    m.minTrack = info.ptMinTrackSize;
    CMainToolBar& toolbar = dlg.ToolBar();
    RECT slot = {0, 0, 0, 0};
    toolbar.GetItemRect(toolbar.CommandToIndex(ID_BANNER_SLOT), &slot);
    m.slot = slot.right - slot.left;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(toolbar.SendMessage(TB_GETIMAGELIST));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    m.image = SIZE{cx, cy};
    const LRESULT button = toolbar.SendMessage(TB_GETBUTTONSIZE);
    m.button = SIZE{LOWORD(button), HIWORD(button)};
    CBannerItem item;
    item.text = "x";
    toolbar.m_banner.CreateItemFont(item);
    LOGFONTW lf = {};
    GetObjectW(toolbar.m_banner.GetItemFont(), sizeof lf, &lf);
    m.bannerFont = lf.lfHeight;
    ICONINFO ii = {};
    if (GetIconInfo(dlg.Tray().Data().hIcon, &ii)) {
        BITMAP bm = {};
        GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
        m.trayIcon = bm.bmWidth;
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
    }
    return m;
}

void ExpectFigures(const BarMeasures& m, const BarFigures& f, bool startSize)
{
    if (startSize) {
        EXPECT_EQ(m.window.right - m.window.left, f.width);
        EXPECT_GE(m.window.bottom - m.window.top, f.minHeight);
        EXPECT_LE(m.window.bottom - m.window.top, f.maxHeight);
    }
    EXPECT_NEAR(m.minTrack.x, f.minTrackWidth, 1);
    EXPECT_NEAR(m.minTrack.y, f.minTrackHeight, 1);
    EXPECT_NEAR(m.slot, f.slot, 1) << "the banner's slot";
    EXPECT_EQ(m.image.cx, f.image.cx) << "toolbar images drawn for the size";
    EXPECT_EQ(m.image.cy, f.image.cy);
    EXPECT_NEAR(m.button.cx, f.button.cx, 1);
    EXPECT_NEAR(m.button.cy, f.button.cy, 1);
    EXPECT_NEAR(m.bannerFont, f.bannerFont, 1) << "banner letters as tall as the strip";
    EXPECT_EQ(m.trayIcon, f.trayIcon) << "the tray icon at the small-icon size";
}
} // namespace

// Run at 96, 144 and 192 DPI: the bar, its toolbar, the banner's letters, the tray icon
// and the tray menu's rows are all 1, 1.5 and 2 times their 96-DPI size.
TEST_F(MainBarTest, BarToolbarBannerTrayAndMenuFollowTheSystemDpi)
{
    const BarFigures& f = FiguresFor(wintest::TestDpi());
    Settings().SetInterfaceLeft(0);
    Settings().SetInterfaceTop(0);
    Open();
    ASSERT_EQ(dlg.Dpi().Dpi(), f.dpi) << "the bar runs at the system DPI";
    ExpectFigures(Measure(dlg), f, true);

    OpenMenuReader::items.clear();
    OpenMenuReader::heights.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, OpenMenuReader::Read);
    dlg.SendMessage(CTrayIcon::kMessage, CTrayIcon::kId, WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    ASSERT_EQ(OpenMenuReader::heights.size(), 11u);
    EXPECT_NEAR(OpenMenuReader::heights[0], f.menuItem, 1) << "the bold default row";
    EXPECT_NEAR(OpenMenuReader::heights[1], f.menuItem, 1);
    EXPECT_NEAR(OpenMenuReader::heights[2], f.menuSeparator, 1);
}

// Moved to a monitor of another DPI, the bar takes the rectangle the system suggests and
// makes its fonts, pictures and layout again for that DPI; and back.
TEST_F(MainBarTest, BarFollowsItsMonitorsDpiWhenMoved)
{
    Settings().SetInterfaceLeft(0);
    Settings().SetInterfaceTop(0);
    // On a 4K monitor, where the bar fits at any scaling.
    BarOnMonitor bar(app, RECT{0, 0, 3840, 2120});
    ASSERT_TRUE(bar.Create(IDD_LEXORIN_DIALOG));
    wintest::PumpMessages(100);
    const int start = bar.Dpi().Dpi();
    ASSERT_EQ(start, 96) << "run at the system DPI of 96";
    bar.ToolBar().m_banner.SetSpeed(0);
    bar.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    const int items = bar.ToolBar().m_banner.GetItemCount();
    ASSERT_GT(items, 0);

    RECT was;
    GetWindowRect(bar.m_hWnd, &was);
    RECT suggested = {10, 20, 10 + 1280, 20 + 2 * (was.bottom - was.top)};
    bar.SendMessage(WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    wintest::PumpMessages(50);
    BarMeasures m = Measure(bar);
    EXPECT_EQ(m.window.left, 10) << "the suggested place";
    EXPECT_EQ(m.window.top, 20);
    EXPECT_EQ(m.window.right - m.window.left, 1280);
    ExpectFigures(m, FiguresFor(192), false);
    LOGFONTW host = {};
    GetObjectW(bar.HostFont(), sizeof host, &host);
    EXPECT_EQ(host.lfHeight, 24) << "the host font is 12 pixels at 96 DPI";
    ASSERT_TRUE(bar.ToolBar().m_banner.IsWindow());
    EXPECT_EQ(bar.ToolBar().m_banner.GetItemCount(), items) << "the banner keeps its entries";
    EXPECT_TRUE(IsWindowVisible(bar.ToolBar().m_banner.m_hWnd));

    // Back on a 96-DPI monitor everything is as it was at start-up.
    RECT back = {was.left, was.top, was.right, was.bottom};
    bar.SendMessage(WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    wintest::PumpMessages(50);
    m = Measure(bar);
    EXPECT_EQ(m.window.left, was.left);
    EXPECT_EQ(m.window.right - m.window.left, 640);
    ExpectFigures(m, FiguresFor(96), false);
    EXPECT_EQ(bar.ToolBar().m_banner.GetItemCount(), items);

    // The settings keep the bar's place in physical pixels.
    bar.SendMessage(WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    bar.DestroyWindow();
    EXPECT_EQ(Settings().InterfaceLeft(), 10);
    EXPECT_EQ(Settings().InterfaceTop(), 20);
    std::string text;
    ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), text));
    EXPECT_NE(text.find("InterfaceCX=1280"), std::string::npos);
}

// A right click acts on the entry under the pointer on the moving text, and on the
// newest entry anywhere else or from the keyboard.
TEST_F(MainBarTest, RightClickFindsTheEntryUnderThePointer)
{
    Open();
    dlg.SendMessage(WM_COMMAND, ID_PAUSE_PLAY);
    dlg.SendMessage(WM_COMMAND, ID_DICT_RESTART);
    for (int i = 0; i < 3; ++i)
        dlg.SendMessage(WM_COMMAND, ID_DICT_NEXT);
    CBannerCtrl& banner = dlg.ToolBar().m_banner;
    banner.SetSpeed(0);
    banner.MoveLineToStart();
    RedrawWindow(banner.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<int>& edges = banner.GetItemLeftEdges();
    ASSERT_EQ(edges.size(), 12u);
    RECT b;
    GetClientRect(banner.m_hWnd, &b);
    ASSERT_LT(edges[6], b.right) << "the second entry is in sight";

    POINT onSecondWord = {edges[5] + 2, b.bottom / 2};
    ClientToScreen(banner.m_hWnd, &onSecondWord);
    const DictEntry* entry = dlg.EntryAtScreenPoint(MAKELPARAM(onSecondWord.x, onSecondWord.y));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->word, "word2");
    EXPECT_EQ(entry->meaning, "意思2");
    POINT onFirstMarker = {edges[0] + 1, b.bottom / 2};
    ClientToScreen(banner.m_hWnd, &onFirstMarker);
    entry = dlg.EntryAtScreenPoint(MAKELPARAM(onFirstMarker.x, onFirstMarker.y));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->word, "word1");

    RECT bar;
    GetWindowRect(dlg.m_hWnd, &bar);
    entry = dlg.EntryAtScreenPoint(MAKELPARAM(bar.left + 5, bar.top + 5));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->word, "word3") << "off the text: the newest entry";
    entry = dlg.EntryAtScreenPoint(static_cast<LPARAM>(-1));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->word, "word3") << "from the keyboard: the newest entry";
}
