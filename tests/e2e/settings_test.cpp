// The settings sheet "选项" in the real program: opened from the toolbar and from the
// tray menu, switching the dictionary with OK, Cancel, and the program ended from
// outside while the sheet is open. Screenshots of the sheet on each of its pages.
#include "base/fileio.h"
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"
#include "widgets/color_popup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using e2e::ClickCentre;
using e2e::Descendant;
using e2e::LexorinProcess;
using e2e::WindowText;

namespace {

const int kTreeId = 0x7EEE;
const int kDictListId = 112233;
// The name of a test dictionary whose words are far longer than any real one.
const char kLongWordsDict[] = "长词测试";

// Chooses the dictionary called name in the dictionary page's list.
bool ChooseDictionary(HWND sheet, const std::string& name)
{
    if (!e2e::ShowSettingsPageWith(sheet, kDictListId))
        return false;
    HWND list = Descendant(sheet, kDictListId);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(list, CBEM_GETEDITCONTROL, 0, 0));
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        // A row is the name, then its counts.
        if (WindowText(edit).rfind(name + " · ", 0) == 0)
            return true;
    }
    return false;
}

int YellowPixels(HWND bar)
{
    RECT area;
    if (!GetWindowRect(e2e::FindBanner(bar), &area))
        return 0;
    std::vector<COLORREF> pixels = e2e::GrabScreen(area);
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), RGB(255, 255, 0)));
}

// The most word-coloured pixels the banner shows within ms.
int MostYellow(HWND bar, DWORD ms)
{
    int most = 0;
    wintest::PumpUntil([&] {
        most = std::max(most, YellowPixels(bar));
        return false;
    }, ms);
    return most;
}

void AddLongWordsDictionary(const LexorinProcess& app)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW/x/y\r\n";
    ASSERT_TRUE(lex::ReplaceFileContents(app.Folder() + "Dictionary\\" + kLongWordsDict + ".KM", text));
}

// The page's line with the chosen dictionary's counts.
std::string SummaryLine(HWND sheet)
{
    HWND list = Descendant(sheet, kDictListId);
    HWND page = list ? GetParent(list) : nullptr;
    for (HWND child = page ? GetWindow(page, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        const std::string text = WindowText(child);
        if (lstrcmpiW(cls, L"Static") == 0 && text.find(" · ") != std::string::npos)
            return text;
    }
    return std::string();
}

std::string Grouped(size_t n)
{
    std::string s = std::to_string(n);
    for (int at = static_cast<int>(s.size()) - 3; at > 0; at -= 3)
        s.insert(static_cast<size_t>(at), ",");
    return s;
}

size_t LinesOf(const std::string& path)
{
    std::string text;
    lex::ReadWholeFile(path, text);
    size_t n = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

std::wstring FromUtf8(const std::string& s)
{
    std::wstring w(s.size(), L'\0');
    w.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], static_cast<int>(w.size()))));
    return w;
}

} // namespace

TEST(SettingsE2E, AnExamBookChosenOnThePageShowsItsMostFrequentWordFirstAndThePageItsCounts)
{
    LexorinProcess app("exambook");
    lex::CSettings(app.SettingsPath()).SetBannerScroll(false);
    const std::string book = app.Folder() + "Dictionary\\四级词汇.KM";
    ASSERT_TRUE(lex::ReplaceFileContents(app.Folder() + "Dictionary\\四级词汇.study",
                                         "x-ray\tmastered\t2026-03-01\t0\r\nworld-wide\t2\t2099-01-01\t1\r\n"));
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);

    PostMessageW(bar, WM_COMMAND, ID_OPTIONS, 0);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(e2e::ShowSettingsPageWith(sheet, kDictListId));
    const size_t defaultEntries = LinesOf(app.Folder() + "Dictionary\\缺省字典.KM");
    ASSERT_GT(defaultEntries, 1000u);
    EXPECT_EQ(SummaryLine(sheet), "缺省字典 · " + Grouped(defaultEntries) + " 词") << "no study record, no study counts";

    // Picked as a user picks: the selection, then the list's notification to the page.
    ASSERT_TRUE(ChooseDictionary(sheet, "四级词汇"));
    HWND list = Descendant(sheet, kDictListId);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(kDictListId & 0xFFFF, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(SummaryLine(sheet), "四级词汇 · " + Grouped(LinesOf(book)) + " 词 · 已掌握 1 · 已标记 2");
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    wintest::PumpMessages(300);
    e2e::SaveScreenshot(sheet, "settings-dictionary-counts");
    ClickCentre(Descendant(sheet, IDOK));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(sheet); }, 5000));
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictName(), "四级词汇");

    // From the start, the strip shows the book's first, most frequent word.
    std::string list936;
    ASSERT_TRUE(lex::ReadWholeFile(std::string(LEX_SOURCE_DIR) + "/data/dictionaries/ecdict-cet4.tsv", list936));
    size_t line = 0;
    while (list936[line] == '#')
        line = list936.find('\n', line) + 1;
    const std::string first = list936.substr(line, list936.find('\n', line) - line);
    const size_t tab1 = first.find('\t');
    const size_t tab2 = first.find('\t', tab1 + 1);
    const std::wstring expected = FromUtf8(first.substr(0, tab1)) + L" [" +
                                  FromUtf8(first.substr(tab1 + 1, tab2 - tab1 - 1)) + L"] " +
                                  FromUtf8(first.substr(tab2 + 1));
    EXPECT_EQ(e2e::CopiedFirstEntry(bar), expected) << "the book's first entry";

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST(SettingsE2E, ToolbarOpensTheSheetAndOkSwitchesTheDictionary)
{
    LexorinProcess app("settings");
    AddLongWordsDictionary(app);
    // One entry at a time, so the banner shows exactly the current entry.
    lex::CSettings(app.SettingsPath()).SetBannerScroll(false);
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    int before = MostYellow(bar, 3500);
    ASSERT_GT(before, 0) << "entries of the shipped dictionary";

    RECT button;
    ASSERT_TRUE(e2e::ToolbarButtonScreenRect(e2e::FindToolbar(bar), ID_OPTIONS, &button));
    e2e::ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr) << "the settings button opens 选项";
    EXPECT_FALSE(IsWindowEnabled(bar)) << "the sheet is modal";

    // The bar goes on feeding entries beside the sheet (moved off it first).
    SetWindowPos(sheet, nullptr, 100, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    e2e::Sync(sheet);
    RECT strip;
    GetWindowRect(e2e::FindBanner(bar), &strip);
    std::vector<COLORREF> first = e2e::GrabScreen(strip);
    EXPECT_TRUE(wintest::PumpUntil([&] { return e2e::GrabScreen(strip) != first; }, 5000));

    // A picture of every page, and of a group node.
    HWND tree = Descendant(sheet, kTreeId);
    struct Shot {
        int id;
        const char* name;
    };
    const Shot shots[] = {{IDC_BANNER_SPEED, "settings-banner"}, {kDictListId, "settings-dictionary"},
                          {IDC_BK_FILE, "settings-interface"}, {IDC_VOICE_MANUAL, "settings-voice"}};
    bool groupTaken = false;
    for (HTREEITEM node : e2e::SettingsPageNodes(sheet)) {
        e2e::SelectSettingsPage(sheet, node);
        wintest::PumpMessages(400);
        RECT r;
        GetWindowRect(sheet, &r);
        if (!TreeView_GetParent(tree, node)) {
            if (!groupTaken)
                e2e::SaveScreenshot(r, "settings-group");
            groupTaken = true;
            continue;
        }
        for (const Shot& shot : shots)
            if (Descendant(sheet, shot.id, true))
                e2e::SaveScreenshot(r, shot.name);
        // The banner page's colour button drops its palette.
        if (HWND colours = Descendant(sheet, IDC_BANNER_COLORBTN, true)) {
            ClickCentre(colours);
            HWND palette = nullptr;
            auto shown = [&] {
                palette = FindWindowW(lex::CColorPalettePopup::kClassName, nullptr);
                return palette && IsWindowVisible(palette);
            };
            EXPECT_TRUE(wintest::PumpUntil(shown, 3000)) << "the colour button opens its palette";
            if (palette) {
                wintest::PumpMessages(300);
                e2e::SaveScreenshot(palette, "palette-popup");
                PostMessageW(palette, WM_KEYDOWN, VK_ESCAPE, 1);
                EXPECT_TRUE(e2e::WaitUntilGone(palette));
            }
        }
    }

    ASSERT_TRUE(ChooseDictionary(sheet, kLongWordsDict));
    ClickCentre(Descendant(sheet, IDOK));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(sheet); }, 5000)) << "OK closes the sheet";
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictName(), kLongWordsDict);
    EXPECT_TRUE(wintest::PumpUntil([&] { return YellowPixels(bar) > 2 * before; }, 6000))
        << "the banner shows the chosen dictionary's entries";
    EXPECT_TRUE(IsWindowEnabled(bar));

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_EQ(app.WaitForExit(10000), 0u);
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictName(), kLongWordsDict) << "kept at exit";
}

TEST(SettingsE2E, TrayMenuOpensTheSheetCancelKeepsEverythingAndAnEndFromOutsideSaves)
{
    LexorinProcess app("settingstray");
    AddLongWordsDictionary(app);
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    std::string shipped;
    ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), shipped));

    // "设置..." is the third item of the tray menu.
    ASSERT_TRUE(e2e::OpenTrayMenu(bar));
    wintest::PumpMessages(300);
    for (int i = 0; i < 3; ++i)
        e2e::PressKey(VK_DOWN);
    e2e::PressKey(VK_RETURN);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr) << "设置... opens 选项";
    ASSERT_TRUE(ChooseDictionary(sheet, kLongWordsDict));
    ClickCentre(Descendant(sheet, IDCANCEL));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(sheet); }, 5000)) << "Cancel closes the sheet";
    std::string after;
    ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), after));
    EXPECT_EQ(after, shipped) << "Cancel writes nothing";

    // Told to end while the sheet is open (the exit command, as the installer sends it):
    // every loop ends and the bar saves as usual.
    PostMessageW(bar, WM_COMMAND, ID_OPTIONS, 0);
    sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr);
    PostMessageW(bar, WM_COMMAND, ID_APP_EXIT_CMD, 0);
    ASSERT_EQ(app.WaitForExit(10000), 0u) << "ends cleanly";
    std::string saved;
    ASSERT_TRUE(lex::ReadWholeFile(app.SettingsPath(), saved));
    for (const char* key : {"DictWordCount=", "InterfaceLeft=", "InterfaceTop=", "InterfaceBKImageFileName="})
        EXPECT_NE(saved.find(key), std::string::npos) << key;
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictNameForPreselection(), "缺省字典") << "the shipped choice";
}

TEST(SettingsE2E, FirstRunDictionaryPageOpensOnTheDictionaryInUseAndListsAllBesideStrayFolders)
{
    LexorinProcess app("dictpage");
    AddLongWordsDictionary(app);
    // Folders named like dictionaries (an unpacked archive, say), before and after the
    // files in name order.
    for (const char* stray : {"0.KM", "X.KM", "新词.KM"})
        ASSERT_TRUE(CreateDirectoryW(lex::Widen(app.Folder() + "Dictionary\\" + stray).c_str(), nullptr));
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);

    PostMessageW(bar, WM_COMMAND, ID_OPTIONS, 0);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(e2e::ShowSettingsPageWith(sheet, kDictListId));
    HWND list = Descendant(sheet, kDictListId);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(list, CBEM_GETEDITCONTROL, 0, 0));
    const auto nameOf = [](const std::string& row) { return row.substr(0, row.find(" · ")); };
    EXPECT_EQ(nameOf(WindowText(edit)), "缺省字典") << "the page opens on the dictionary the bar shows";
    std::vector<std::string> listed;
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        // Read through the edit field: the list's items live in the other process.
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        const std::string row = WindowText(edit);
        if (nameOf(row) == kLongWordsDict) {
            EXPECT_EQ(row, std::string(kLongWordsDict) + " · 200 词") << "each row counts its entries";
        }
        listed.push_back(nameOf(row));
    }
    std::vector<std::string> files = {"入门词汇", "缺省字典", "进阶词汇", kLongWordsDict, "中考词汇", "高考词汇",
                                      "四级词汇", "六级词汇", "考研词汇", "雅思词汇", "托福词汇", "GRE词汇"};
    std::sort(listed.begin(), listed.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(listed, files) << "every dictionary file, and no folder";

    // OK on the choice as it opened keeps it.
    ASSERT_TRUE(ChooseDictionary(sheet, "缺省字典"));
    ClickCentre(Descendant(sheet, IDOK));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindow(sheet); }, 5000));
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictNameForPreselection(), "缺省字典");
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
