// The tip of the day in the real program: it greets the user at start-up when asked
// to, the tray menu's "每日一贴..." opens it at the following tip, and a missing or
// tipless tips file never costs the user the bar.
#include "base/fileio.h"
#include "base/text.h"
#include "dialogs/tips_file.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

using e2e::LexorinProcess;

namespace {

const char kTipTitle[] = "每日一贴";

HWND WaitForTip(const LexorinProcess& app, DWORD ms)
{
    return e2e::WaitForProcessWindow(app.ProcessId(), kTipTitle, ms);
}

// Right click on the tray icon, then "每日一贴...": two items up from the bottom.
void ChooseTipFromTrayMenu(HWND bar)
{
    ASSERT_TRUE(e2e::OpenTrayMenu(bar)) << "no popup menu appeared";
    wintest::PumpMessages(300);
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_RETURN);
}

// The bar answers at once and takes input.
bool Responsive(HWND bar)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(bar, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0 && IsWindowEnabled(bar);
}

void EndWithEsc(LexorinProcess& app, HWND bar)
{
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "Esc ends the program";
}

} // namespace

TEST(TipE2E, StartUpTipThenTrayMenuShowsTheFollowingTip)
{
    LexorinProcess app("tip");
    lex::CSettings settings(app.SettingsPath());
    settings.SetTipStartUp(1);
    // Where the shipped file's first two tips end, as the reader counts them.
    int64_t afterFirst = 0, afterSecond = 0;
    {
        lex::CSettings scratch(app.Folder() + "scratch.ini");
        lex::CTipsFile tips;
        ASSERT_EQ(tips.Open(app.Folder() + "Tips.tip", scratch), lex::CTipsFile::OpenResult::kReady);
        std::string tip;
        ASSERT_TRUE(tips.ReadNextTip(tip).found);
        afterFirst = tips.Position();
        ASSERT_TRUE(tips.ReadNextTip(tip).found);
        afterSecond = tips.Position();
    }

    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    HWND tip = WaitForTip(app, 10000);
    ASSERT_NE(tip, nullptr) << "StartUp=1 shows the tip at start-up";
    EXPECT_FALSE(IsWindowEnabled(bar)) << "the tip belongs to the bar while it shows";
    wintest::PumpMessages(500);
    e2e::SaveScreenshot(tip, "tip-of-the-day");
    PostMessageW(tip, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitUntilGone(tip));
    EXPECT_TRUE(wintest::PumpUntil([&] { return Responsive(bar); }, 3000));
    // The dialog object saves its place once the window is gone.
    EXPECT_TRUE(wintest::PumpUntil([&] { return settings.TipFilePos() == afterFirst; }, 3000))
        << "closing saves the place after the first tip: " << settings.TipFilePos() << " for " << afterFirst;
    EXPECT_EQ(settings.TipStartUp(), 1);
    EXPECT_NE(settings.TipTimeStamp(), "");

    ChooseTipFromTrayMenu(bar);
    tip = WaitForTip(app, 10000);
    ASSERT_NE(tip, nullptr) << "每日一贴... opens the dialog";
    PostMessageW(tip, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitUntilGone(tip));
    EXPECT_TRUE(wintest::PumpUntil([&] { return settings.TipFilePos() == afterSecond; }, 3000))
        << "the second showing was the following tip: " << settings.TipFilePos() << " for " << afterSecond;
    EXPECT_TRUE(wintest::PumpUntil([&] { return Responsive(bar); }, 3000));
    EndWithEsc(app, bar);
}

TEST(TipE2E, MissingOrTiplessTipsFileLeavesTheBarUsable)
{
    for (bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "no Tips.tip" : "only comments");
        LexorinProcess app(missing ? "notips" : "tipless");
        std::string tipsPath = app.Folder() + "Tips.tip";
        if (missing)
            DeleteFileW(lex::Widen(tipsPath).c_str());
        else
            ASSERT_TRUE(lex::ReplaceFileContents(tipsPath, "; nothing but comments\r\n\r\n  and a blank-led line\r\n"));
        lex::CSettings(app.SettingsPath()).SetTipStartUp(1);

        ASSERT_TRUE(app.Start());
        HWND bar = app.WaitForMainWindow(15000);
        ASSERT_NE(bar, nullptr) << "start-up finishes";
        HWND tip = WaitForTip(app, missing ? 1500 : 10000);
        if (missing) {
            EXPECT_EQ(tip, nullptr) << "nothing is shown without a tips file";
        } else {
            ASSERT_NE(tip, nullptr) << "the dialog shows, with an empty tip";
            PostMessageW(tip, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(e2e::WaitUntilGone(tip));
        }
        EXPECT_TRUE(wintest::PumpUntil([&] { return Responsive(bar); }, 3000));

        ChooseTipFromTrayMenu(bar);
        tip = WaitForTip(app, missing ? 1500 : 10000);
        if (missing) {
            EXPECT_EQ(tip, nullptr);
        } else {
            ASSERT_NE(tip, nullptr);
            HWND next = GetDlgItem(tip, 544);
            PostMessageW(tip, WM_COMMAND, MAKEWPARAM(544, BN_CLICKED), (LPARAM)next);
            EXPECT_TRUE(Responsive(tip)) << "the next button comes back";
            PostMessageW(tip, WM_COMMAND, IDCANCEL, 0);
            ASSERT_TRUE(e2e::WaitUntilGone(tip));
        }
        EXPECT_TRUE(wintest::PumpUntil([&] { return Responsive(bar); }, 3000)) << "the bar stays usable";
        EndWithEsc(app, bar);
    }
}
