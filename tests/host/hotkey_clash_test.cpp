// What the user is told about hotkeys another program holds.
#include "mainbar/hotkey_clash.h"

#include <gtest/gtest.h>

namespace {
HotkeyAttempt Attempt(const char* action, uint16_t hotkey, const char* keyText, bool registered)
{
    return HotkeyAttempt{action, hotkey, keyText, registered};
}
} // namespace

TEST(HotkeyClash, TellsEachHeldCombinationOnceAndNamesADoubledOne)
{
    // Ctrl+Alt+Shift (0x07) with L, P and K; the fourth action was given the pause key too.
    const std::vector<HotkeyAttempt> attempts = {
        Attempt("显示/隐藏", 0x074C, "Ctrl+Alt+Shift+L", true),
        Attempt("暂停/播放", 0x0750, "Ctrl+Alt+Shift+P", false),
        Attempt("认识了", 0, "", false), // turned off: never told
        Attempt("不认识", 0x0750, "Ctrl+Alt+Shift+P", false),
    };
    HotkeyClashReport report = ReportHotkeyClashes(attempts, "");
    EXPECT_EQ(report.told, "1872 1872");
    EXPECT_EQ(report.lines, "    Ctrl+Alt+Shift+P（暂停/播放）\r\n"
                            "    Ctrl+Alt+Shift+P（不认识）：与“暂停/播放”相同\r\n");

    // The next start, with the same clash: nothing new to tell, the list stays.
    report = ReportHotkeyClashes(attempts, "1872 1872");
    EXPECT_EQ(report.told, "1872 1872");
    EXPECT_EQ(report.lines, "");

    // A combination told before that another number merely contains is still new, and
    // one that works again drops out of the list.
    const std::vector<HotkeyAttempt> later = {
        Attempt("显示/隐藏", 0x074C, "Ctrl+Alt+Shift+L", false),
        Attempt("暂停/播放", 0x0750, "Ctrl+Alt+Shift+P", true),
    };
    report = ReportHotkeyClashes(later, "18720 1872");
    EXPECT_EQ(report.told, "1868");
    EXPECT_EQ(report.lines, "    Ctrl+Alt+Shift+L（显示/隐藏）\r\n");
    EXPECT_NE(HotkeysInUseMessage(report.lines).find(report.lines), std::string::npos);
}
