// Learning with the bar: words marked from the bar's context menu go into the study
// record beside the dictionary, wait there until they are due, come back between new
// entries, and the study page counts, exports and clears them.
#include "base/fileio.h"
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

using e2e::LexorinProcess;

namespace {

// A dictionary of eight entries in code page 936.
const char kDictionary[] = "alpha/alf@/n. 第一个字母\r\n"
                           "beta/bi:t@/n. 第二个字母\r\n"
                           "gamma/g{m@/n. 第三个字母\r\n"
                           "delta/delt@/n. 三角洲\r\n"
                           "epsilon/epsIl@n/n. 第五个字母\r\n"
                           "zeta/zi:t@/n. 第六个字母\r\n"
                           "eta/i:t@/n. 第七个字母\r\n"
                           "theta/Ti:t@/n. 第八个字母\r\n";

// Lines of the study file that are not the program's: kept as they are.
const char kForeignLines[] = "# my own list\n"
                             "damaged\tline\r\n";

std::string StudyPath(const LexorinProcess& app)
{
    return app.Folder() + "Dictionary\\缺省字典.study";
}

std::string JournalPath(const LexorinProcess& app)
{
    return StudyPath(app) + "-journal";
}

std::string ReadText(const std::string& path)
{
    std::string text;
    lex::ReadWholeFile(path, text);
    return text;
}

void SetToday(const char* day)
{
    SetEnvironmentVariableW(L"LEXORIN_TODAY", lex::Widen(day).c_str());
}

// Starts the program paused in single-entry mode and shows the first entry it reads
// from the dictionary's start.
HWND StartAtTheFirstEntry(LexorinProcess& app)
{
    if (!app.Start())
        return nullptr;
    HWND bar = app.WaitForMainWindow(15000);
    if (!bar)
        return nullptr;
    e2e::Sync(bar);
    e2e::Command(bar, ID_PAUSE_PLAY);
    e2e::Command(bar, ID_DICT_RESTART);
    e2e::Command(bar, ID_DICT_NEXT);
    wintest::PumpMessages(200);
    return bar;
}

// Right-clicks the moving text, waits for the menu and picks its item at index by
// keyboard (menus of another process cannot be read). A screenshot name saves the
// bar with the open menu first.
bool ChooseFromContextMenu(HWND bar, int index, const char* screenshot = nullptr)
{
    RECT banner;
    GetWindowRect(e2e::FindBanner(bar), &banner);
    e2e::RightClickAt(banner.left + 40, (banner.top + banner.bottom) / 2);
    HWND menu = nullptr;
    if (!wintest::PumpUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); },
                            5000))
        return false;
    wintest::PumpMessages(300);
    if (screenshot) {
        RECT m, b, both;
        GetWindowRect(menu, &m);
        GetWindowRect(bar, &b);
        UnionRect(&both, &m, &b);
        e2e::SaveScreenshot(both, screenshot);
    }
    for (int i = 0; i <= index; ++i)
        e2e::PressKey(VK_DOWN);
    e2e::PressKey(VK_RETURN);
    const bool closed = e2e::WaitUntilGone(menu, 5000);
    e2e::Sync(bar);
    wintest::PumpMessages(200);
    return closed;
}

std::wstring CopyShownEntry(HWND bar)
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    if (!ChooseFromContextMenu(bar, 2))
        return L"(no menu)";
    return e2e::ClipboardText();
}

bool Quit(LexorinProcess& app, HWND bar)
{
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    return app.WaitForExit(10000) == 0;
}

class StudyE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lex::ReplaceFileContents(app.Folder() + "Dictionary\\缺省字典.KM", kDictionary));
        ASSERT_TRUE(lex::ReplaceFileContents(StudyPath(app), kForeignLines));
        lex::CSettings settings(app.SettingsPath());
        settings.SetBannerScroll(false);
        settings.SetStudyReviewEvery(2);
        SetToday("2026-03-01");
    }
    void TearDown() override { SetEnvironmentVariableW(L"LEXORIN_TODAY", nullptr); }

    LexorinProcess app{"study"};
};

} // namespace

TEST_F(StudyE2E, AWordMarkedKnownWaitsUntilDueThenComesBackAndNotKnownCountsALapse)
{
    HWND bar = StartAtTheFirstEntry(app);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(CopyShownEntry(bar), L"alpha [alf\x0259] n. \x7B2C\x4E00\x4E2A\x5B57\x6BCD") << "copy: word, IPA and meaning";

    ASSERT_TRUE(ChooseFromContextMenu(bar, 0, "context-menu")) << "认识了（不再出现）";
    EXPECT_EQ(ReadText(StudyPath(app)), kForeignLines) << "a mark goes to the journal, not the record";
    EXPECT_NE(ReadText(JournalPath(app)).find("\nalpha\t2026-03-03\t0\t2.3065\t2.1181\t2026-03-01\t2026-03-01+\r\n"),
              std::string::npos)
        << "a first Good: due after round(S0) days\n"
        << ReadText(JournalPath(app));

    // Not due for two days: from the start again, alpha is read past.
    e2e::Command(bar, ID_DICT_RESTART);
    e2e::Command(bar, ID_DICT_NEXT);
    EXPECT_EQ(CopyShownEntry(bar), L"beta [bi\x02D0t\x0259] n. \x7B2C\x4E8C\x4E2A\x5B57\x6BCD") << "alpha does not come back in this run";
    ASSERT_TRUE(Quit(app, bar));
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictWordCount(), 2) << "the skipped line counts as read";
    std::string record = ReadText(StudyPath(app));
    EXPECT_EQ(record.compare(0, sizeof kForeignLines - 1, kForeignLines), 0) << "foreign lines kept byte for byte";
    EXPECT_NE(record.find("\nalpha\t2026-03-03\t"), std::string::npos) << "folded into the record on exit\n" << record;
    EXPECT_FALSE(lex::FileExists(JournalPath(app)));

    SetToday("2026-03-02");
    bar = StartAtTheFirstEntry(app);
    ASSERT_NE(bar, nullptr);
    EXPECT_NE(CopyShownEntry(bar).compare(0, 5, L"alpha"), 0) << "nor after a restart the next day";
    ASSERT_TRUE(Quit(app, bar));

    // On its due day alpha is read again, and comes back after two new entries.
    SetToday("2026-03-03");
    bar = StartAtTheFirstEntry(app);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(CopyShownEntry(bar).compare(0, 5, L"alpha"), 0);
    e2e::Command(bar, ID_DICT_NEXT);
    EXPECT_EQ(CopyShownEntry(bar).compare(0, 4, L"beta"), 0);
    e2e::Command(bar, ID_DICT_NEXT);
    EXPECT_EQ(CopyShownEntry(bar).compare(0, 5, L"alpha"), 0) << "a review between new entries";
    ASSERT_TRUE(ChooseFromContextMenu(bar, 1)) << "不认识（多复习）";
    EXPECT_NE(ReadText(JournalPath(app)).find("\nalpha\t2026-03-04\t1\t"), std::string::npos)
        << "a lapse: due tomorrow, one lapse\n"
        << ReadText(JournalPath(app));
    e2e::Command(bar, ID_DICT_NEXT);
    EXPECT_EQ(CopyShownEntry(bar).compare(0, 5, L"gamma"), 0) << "the review read no line";
    ASSERT_TRUE(Quit(app, bar));
    EXPECT_EQ(lex::CSettings(app.SettingsPath()).DictWordCount(), 3);
    EXPECT_NE(ReadText(StudyPath(app)).find("\nalpha\t2026-03-04\t1\t"), std::string::npos);
    EXPECT_NE(ReadText(StudyPath(app)).find(kForeignLines), std::string::npos);
}

// A record the Leitner version wrote keeps every word; a word known on two days is due
// when the scheduler says. The second state was worked out by hand from the published
// formulas and default weights: from S = 2.3065, D = 2.1181, a Good two days later
// (recall 0.9) gives S = 10.9643, D = 2.1112, an interval of 11 days at 90%.
TEST_F(StudyE2E, AWordKnownOnTwoDaysIsDueWhenTheSchedulerSaysAndALeitnerRecordKeepsEveryWord)
{
    ASSERT_TRUE(lex::ReplaceFileContents(StudyPath(app), std::string(kForeignLines) +
                                                             "beta\t3\t2026-03-04\t1\r\n"
                                                             "gamma\tmastered\t2026-02-01\t0\r\n"
                                                             "delta\t5\t2026-03-09\t2\r\n"));
    HWND bar = StartAtTheFirstEntry(app);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(CopyShownEntry(bar).compare(0, 5, L"alpha"), 0);
    ASSERT_TRUE(ChooseFromContextMenu(bar, 0)) << "认识了";
    ASSERT_TRUE(Quit(app, bar));

    SetToday("2026-03-03");
    bar = StartAtTheFirstEntry(app);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(CopyShownEntry(bar).compare(0, 5, L"alpha"), 0) << "due on the day the file gave";
    ASSERT_TRUE(ChooseFromContextMenu(bar, 0)) << "认识了";
    ASSERT_TRUE(Quit(app, bar));

    const std::string record = ReadText(StudyPath(app));
    EXPECT_EQ(record.compare(0, sizeof kForeignLines - 1, kForeignLines), 0) << record;
    EXPECT_NE(record.find("\nalpha\t2026-03-14\t0\t10.9643\t2.1112\t2026-03-03\t2026-03-01+,2+\r\n"),
              std::string::npos)
        << record;
    for (const char* word : {"\nbeta\t2026-03-04\t1\t", "\ngamma\t", "\ndelta\t2026-03-09\t2\t14.0000\t"})
        EXPECT_NE(record.find(word), std::string::npos) << word << "\n" << record;
}

namespace {

BOOL CALLBACK VisitEdit(HWND h, LPARAM p)
{
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (_wcsicmp(cls, L"Edit") != 0 || !IsWindowVisible(h))
        return TRUE;
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
}

HWND FirstVisibleEdit(HWND parent)
{
    HWND found = nullptr;
    EnumChildWindows(parent, &VisitEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

TEST_F(StudyE2E, TheStudyPageCountsExportsTheWordsNotMasteredAndClearsAfterAsking)
{
    ASSERT_TRUE(lex::ReplaceFileContents(StudyPath(app), std::string(kForeignLines) +
                                                             "beta\t3\t2026-03-04\t1\r\n"
                                                             "gamma\tmastered\t2026-02-01\t0\r\n"
                                                             "delta\t1\t2026-03-01\t2\r\n"));
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    PostMessageW(bar, WM_COMMAND, MAKEWPARAM(ID_OPTIONS, 0), 0);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(e2e::ShowSettingsPageWith(sheet, IDC_STUDY_EXPORT));
    HWND counts = e2e::Descendant(sheet, IDC_STUDY_COUNTS);
    EXPECT_EQ(e2e::WindowText(counts), "已标记 3 个词，已掌握 1 个，今天到期 1 个\r\n近 30 天认识率 — · 目标 90%");
    EXPECT_EQ(e2e::WindowText(e2e::Descendant(sheet, IDC_STUDY_REVIEW_EVERY)), "2");
    wintest::PumpMessages(300);
    RECT sr;
    GetWindowRect(sheet, &sr);
    e2e::SaveScreenshot(sr, "study-page");

    // Export through the save dialog.
    const std::string exported = app.Folder() + "words.tsv";
    e2e::ClickCentre(e2e::Descendant(sheet, IDC_STUDY_EXPORT));
    HWND dialog = e2e::WaitForProcessWindowWith(app.ProcessId(), IDOK, sheet);
    ASSERT_NE(dialog, nullptr) << "导出生词… opens a save dialog";
    e2e::Sync(dialog);
    wintest::PumpMessages(300);
    HWND edit = FirstVisibleEdit(dialog); // the file name: a save dialog's only edit box
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lex::Widen(exported).c_str()));
    ASSERT_EQ(e2e::WindowText(edit), exported);
    e2e::ClickCentre(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(e2e::WaitUntilGone(dialog, 5000));
    const std::string expected = "word\tdue\tinterval\tlapses\treviews\r\n"
                                 "beta\t2026-03-04\t3\t1\t0\r\n"
                                 "delta\t2026-03-01\t0\t2\t0\r\n";
    // Written once the dialog has returned.
    wintest::PumpUntil([&] { return ReadText(exported) == expected; }, 5000);
    EXPECT_EQ(ReadText(exported), expected);

    // Clearing asks first; No (the default button) keeps the record.
    e2e::ClickCentre(e2e::Descendant(sheet, IDC_STUDY_CLEAR));
    HWND box = e2e::WaitForProcessWindow(app.ProcessId(), "清除学习记录", 5000);
    ASSERT_NE(box, nullptr);
    e2e::PressKey(VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntilGone(box, 5000));
    e2e::Sync(sheet);
    EXPECT_NE(ReadText(StudyPath(app)).find("beta\t3"), std::string::npos);
    e2e::ClickCentre(e2e::Descendant(sheet, IDC_STUDY_CLEAR));
    box = e2e::WaitForProcessWindow(app.ProcessId(), "清除学习记录", 5000);
    ASSERT_NE(box, nullptr);
    e2e::ClickCentre(GetDlgItem(box, IDYES));
    ASSERT_TRUE(e2e::WaitUntilGone(box, 5000));
    e2e::Sync(sheet);
    EXPECT_EQ(ReadText(StudyPath(app)), kForeignLines) << "the words go, the lines that are not ours stay";
    EXPECT_EQ(e2e::WindowText(counts), "已标记 0 个词，已掌握 0 个，今天到期 0 个\r\n近 30 天认识率 — · 目标 90%");

    // The page's keys are written by OK: the review rate, the options, the hotkeys.
    HWND showHide = e2e::Descendant(sheet, IDC_STUDY_HOTKEY_SHOW);
    EXPECT_EQ(SendMessageW(showHide, HKM_GETHOTKEY, 0, 0), (HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT) << 8 | 'L');
    EXPECT_EQ(SendMessageW(e2e::Descendant(sheet, IDC_STUDY_HOVER_PAUSE), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(e2e::Descendant(sheet, IDC_STUDY_REVIEW_EVERY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"7"));
    e2e::ClickCentre(e2e::Descendant(sheet, IDC_STUDY_HOVER_PAUSE));
    SendMessageW(showHide, HKM_SETHOTKEY, (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_F9, 0);
    HWND retention = e2e::Descendant(sheet, IDC_STUDY_RETENTION);
    EXPECT_EQ(e2e::WindowText(retention), "90");
    SendMessageW(retention, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"85"));
    EXPECT_EQ(e2e::WindowText(counts), "已标记 0 个词，已掌握 0 个，今天到期 0 个\r\n近 30 天认识率 — · 目标 85%")
        << "the target follows the box";
    e2e::ClickCentre(e2e::Descendant(sheet, IDOK));
    ASSERT_TRUE(e2e::WaitUntilGone(sheet, 5000));
    const lex::CSettings settings(app.SettingsPath());
    EXPECT_EQ(settings.StudyReviewEvery(), 7);
    EXPECT_EQ(settings.StudyRetention(), 85);
    EXPECT_FALSE(settings.StudyHoverPause());
    EXPECT_EQ(settings.StudyHotkeyShowHide(), (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_F9);
    EXPECT_TRUE(settings.StudyHotkeyKnown() != 0 && !settings.StudyRecallMode()) << "unchanged keys keep their defaults";
    ASSERT_TRUE(Quit(app, bar));
}
