// Reading with the pointer and the keyboard: the strip holds still under a resting
// pointer, recall mode keeps each meaning masked until its entry is under the pointer,
// and the system-wide hotkeys drive the bar, with one word about a combination another
// program holds.
#include "base/fileio.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using e2e::LexorinProcess;

namespace {

// The shipped look: cyan meanings and yellow words on navy.
const COLORREF kMeaning = RGB(0x00, 0xFF, 0xFF);
const COLORREF kWord = RGB(0xFF, 0xFF, 0x00);

const char kDictionary[] = "alpha/alf@/n. 第一个字母\r\n"
                           "beta/bi:t@/n. 第二个字母\r\n"
                           "gamma/g{m@/n. 第三个字母\r\n";

// Moves the pointer as a user's hand would: the window under it hears of the move.
void PointAt(int x, int y)
{
    SetCursorPos(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    wintest::PumpMessages(400);
}

void PointAway()
{
    PointAt(5, GetSystemMetrics(SM_CYSCREEN) - 5);
}

class StudyOptionsE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lex::ReplaceFileContents(app.Folder() + "Dictionary\\缺省字典.KM", kDictionary));
        settings.SetTipStartUp(0);
        PointAway();
    }
    HWND Start()
    {
        if (!app.Start())
            return nullptr;
        HWND bar = app.WaitForMainWindow(15000);
        if (bar)
            e2e::Sync(bar);
        return bar;
    }
    bool Quit(HWND bar)
    {
        PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
        return app.WaitForExit(10000) == 0;
    }

    LexorinProcess app{"studyopts"};
    lex::CSettings settings{app.SettingsPath()};
};

} // namespace

TEST_F(StudyOptionsE2E, ThePointerHoldsTheScrollingStripAndLeavingLetsItGo)
{
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);
    HWND banner = e2e::FindBanner(bar);
    RECT strip;
    GetWindowRect(banner, &strip);
    wintest::PumpMessages(2500); // entries on the move

    const auto moving1 = e2e::GrabScreen(strip);
    wintest::PumpMessages(300);
    EXPECT_NE(moving1, e2e::GrabScreen(strip)) << "the strip scrolls by itself";

    PointAt((strip.left + strip.right) / 2, (strip.top + strip.bottom) / 2);
    const auto held1 = e2e::GrabScreen(strip);
    wintest::PumpMessages(1500); // longer than an entry's period: no new entry either
    const auto held2 = e2e::GrabScreen(strip);
    EXPECT_EQ(held1, held2) << "the strip stands still under the pointer";
    EXPECT_GT(e2e::CountColour(held2, kWord), 0);

    PointAway();
    wintest::PumpMessages(300);
    EXPECT_NE(held2, e2e::GrabScreen(strip)) << "it moves on once the pointer leaves";

    // Off, the pointer does not hold it.
    settings.SetStudyHoverPause(false);
    EXPECT_TRUE(Quit(bar));
    bar = Start();
    ASSERT_NE(bar, nullptr);
    GetWindowRect(e2e::FindBanner(bar), &strip);
    wintest::PumpMessages(1500);
    PointAt((strip.left + strip.right) / 2, (strip.top + strip.bottom) / 2);
    const auto free1 = e2e::GrabScreen(strip);
    wintest::PumpMessages(300);
    EXPECT_NE(free1, e2e::GrabScreen(strip));
    PointAway();
    EXPECT_TRUE(Quit(bar));
}

TEST_F(StudyOptionsE2E, RecallModeMasksTheMeaningUntilItsEntryIsUnderThePointer)
{
    settings.SetBannerScroll(false);
    settings.SetStudyRecallMode(true);
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);
    e2e::Command(bar, ID_PAUSE_PLAY);
    e2e::Command(bar, ID_DICT_RESTART);
    e2e::Command(bar, ID_DICT_NEXT);
    wintest::PumpMessages(300);
    RECT strip;
    GetWindowRect(e2e::FindBanner(bar), &strip);

    const auto masked = e2e::GrabScreen(strip);
    e2e::SaveScreenshot(strip, "recall-masked");
    EXPECT_GT(e2e::CountColour(masked, kWord), 0) << "the word shows";
    EXPECT_EQ(e2e::CountColour(masked, kMeaning), 0) << "the meaning does not";

    PointAt(strip.left + 30, (strip.top + strip.bottom) / 2); // on the word
    const auto revealed = e2e::GrabScreen(strip);
    e2e::SaveScreenshot(strip, "recall-revealed");
    EXPECT_GT(e2e::CountColour(revealed, kMeaning), 0) << "the meaning shows under the pointer";
    // Nothing else moved: every word pixel is where it was.
    size_t wordPixelsMoved = 0;
    for (size_t i = 0; i < masked.size() && i < revealed.size(); ++i)
        wordPixelsMoved += (masked[i] == kWord) != (revealed[i] == kWord);
    EXPECT_EQ(wordPixelsMoved, 0u);

    PointAway();
    EXPECT_EQ(e2e::CountColour(e2e::GrabScreen(strip), kMeaning), 0) << "masked again once the pointer leaves";
    EXPECT_TRUE(Quit(bar));
}

TEST_F(StudyOptionsE2E, HotkeysDriveTheBarAndOneHeldElsewhereIsToldOnce)
{
    // Another program holds pause/play's combination, Ctrl+Alt+Shift+P.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'P'));
    struct Release {
        ~Release() { UnregisterHotKey(nullptr, 1); }
    } release;
    settings.SetBannerScroll(false);
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);

    HWND box = nullptr;
    ASSERT_TRUE(wintest::PumpUntil([&] { return (box = e2e::FindOtherDialog(app.ProcessId(), bar)) != nullptr; }, 5000))
        << "a word about the combination that could not be had";
    const std::string said = e2e::WindowText(e2e::Descendant(box, 0xFFFF));
    EXPECT_NE(said.find("Ctrl+Alt+Shift+P"), std::string::npos) << said;
    EXPECT_NE(said.find("暂停/播放"), std::string::npos) << said;
    EXPECT_EQ(said.find("Ctrl+Alt+Shift+L"), std::string::npos) << "the others were had";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitUntilGone(box));

    // The others work: hide the bar and bring it back from the keyboard.
    e2e::Command(bar, ID_HIDE_BAR);
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindowVisible(bar); }, 3000));
    e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'L'});
    EXPECT_TRUE(wintest::PumpUntil([&] { return IsWindowVisible(bar) != FALSE; }, 3000)) << "shown by its hotkey";
    e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'L'});
    EXPECT_TRUE(wintest::PumpUntil([&] { return !IsWindowVisible(bar); }, 3000)) << "and hidden again";
    e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'L'});
    ASSERT_TRUE(wintest::PumpUntil([&] { return IsWindowVisible(bar) != FALSE; }, 3000));

    // Marking the newest entry known from the keyboard.
    e2e::Command(bar, ID_DICT_RESTART);
    e2e::Command(bar, ID_DICT_NEXT);
    e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'K'});
    std::string record;
    wintest::PumpUntil(
        [&] {
            record.clear();
            lex::ReadWholeFile(app.Folder() + "Dictionary\\缺省字典.study-journal", record);
            return record.find("\nalpha\t") != std::string::npos;
        },
        3000);
    EXPECT_NE(record.find("\nalpha\t"), std::string::npos) << "the mark is in the record's journal\n" << record;
    EXPECT_TRUE(Quit(bar));

    // The next start says nothing more about it while it is still held.
    bar = Start();
    ASSERT_NE(bar, nullptr);
    wintest::PumpMessages(1500);
    EXPECT_EQ(e2e::FindOtherDialog(app.ProcessId(), bar), nullptr) << "told once, not at every start";
    EXPECT_TRUE(Quit(bar));
}

TEST_F(StudyOptionsE2E, PauseWhileHiddenShowsTheSameEntryWhenTheBarComesBack)
{
    std::string lines;
    for (int i = 1; i <= 12; ++i)
        lines += "word" + std::to_string(i) + "/w@:d/n. 词" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(lex::ReplaceFileContents(app.Folder() + "Dictionary\\缺省字典.KM", lines));
    settings.SetBannerScroll(false);
    settings.SetStudyPauseWhileHidden(true);
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);
    RECT strip;
    GetWindowRect(e2e::FindBanner(bar), &strip);

    // Hidden just after an entry came, for longer than two entries' time.
    auto before = e2e::GrabScreen(strip);
    ASSERT_TRUE(wintest::PumpUntil(
        [&] {
            const auto now = e2e::GrabScreen(strip);
            const bool changed = now != before;
            before = now;
            return changed;
        },
        3000));
    e2e::Command(bar, ID_HIDE_BAR);
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindowVisible(bar); }, 3000));
    wintest::PumpMessages(2500);
    e2e::Command(bar, ID_SHOW_BAR);
    ASSERT_TRUE(wintest::PumpUntil([&] { return IsWindowVisible(bar) != FALSE; }, 3000));
    // Within less than an entry's period, once the strip has been painted again.
    EXPECT_TRUE(wintest::PumpUntil([&] { return e2e::GrabScreen(strip) == before; }, 700))
        << "the entry shown when it was hidden";
    wintest::PumpMessages(1500);
    EXPECT_NE(e2e::GrabScreen(strip), before) << "and the feed goes on once shown";
    EXPECT_TRUE(Quit(bar));
}
