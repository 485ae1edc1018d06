// The real program against the inputs and faults that used to make it unreachable,
// silent or unreadable: each case in a fresh program folder.
// <windows.h> (through the support headers) first: the settings file's header undoes
// its profile-function macros.
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include "base/fileio.h"
#include "base/text.h"
#include "base/utf8.h"
#include "resources/resource.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/value_conv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using e2e::LexorinProcess;

namespace {

constexpr DWORD kEndedWithMinusOne = 0xFFFFFFFFu;

BOOL CALLBACK CollectStaticText(HWND h, LPARAM l)
{
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpiW(cls, L"Static") == 0) {
        wchar_t text[2048] = {};
        GetWindowTextW(h, text, 2048);
        *reinterpret_cast<std::string*>(l) += lex::Narrow(text);
    }
    return TRUE;
}

// The texts of a dialog's static controls, one after the other.
std::string StaticTexts(HWND dialog)
{
    std::string all;
    EnumChildWindows(dialog, &CollectStaticText, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string WindowTitle(HWND h)
{
    wchar_t text[256] = {};
    GetWindowTextW(h, text, 256);
    return lex::Narrow(text);
}

std::string FileBytes(const std::string& path)
{
    std::string bytes;
    lex::ReadWholeFile(path, bytes);
    return bytes;
}

bool PutFile(const std::string& path, const std::string& bytes)
{
    return lex::ReplaceFileContents(path, bytes);
}

// Starts the program and waits for its bar; fails the test if it does not come.
HWND StartAndWait(LexorinProcess& app)
{
    if (!app.Start())
        return nullptr;
    return app.WaitForMainWindow(20000);
}

} // namespace

TEST(Reliability, SecondStartShowsTheHiddenBarAndEnds)
{
    LexorinProcess app("second-start");
    HWND bar = StartAndWait(app);
    ASSERT_NE(bar, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(bar, WM_COMMAND, ID_HIDE_BAR, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ASSERT_FALSE(IsWindowVisible(bar));

    HANDLE second = app.Launch();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, 15000), WAIT_OBJECT_0) << "the second copy must end at once";
    CloseHandle(second);
    EXPECT_TRUE(wintest::PumpUntil(
        [&] {
            e2e::Sync(bar);
            return IsWindowVisible(bar) != FALSE;
        },
        5000))
        << "the running copy's bar is shown again";

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST(Reliability, DictionaryThatCannotBeOpenedIsNamedInOneBoxBeforeTheEnd)
{
    enum Damage { FolderMissing, DefaultDeleted, FolderInItsPlace };
    for (Damage damage : {FolderMissing, DefaultDeleted, FolderInItsPlace}) {
        SCOPED_TRACE(damage == FolderMissing ? "Dictionary folder missing"
                     : damage == DefaultDeleted ? "default dictionary deleted"
                                                : "a folder in the default dictionary's place");
        LexorinProcess app("nodict");
        const std::string dictionary = app.Folder() + "Dictionary\\缺省字典.KM";
        if (damage == FolderMissing) {
            wintest::RemoveFolder(app.Folder() + "Dictionary\\");
        } else {
            ASSERT_TRUE(DeleteFileW(lex::Widen(dictionary).c_str()));
            if (damage == FolderInItsPlace) {
                ASSERT_TRUE(CreateDirectoryW(lex::Widen(dictionary).c_str(), nullptr));
            }
        }
        const std::string settingsBefore = FileBytes(app.SettingsPath());
        ASSERT_TRUE(app.Start());
        HWND box = nullptr;
        ASSERT_TRUE(wintest::PumpUntil([&] { return (box = e2e::FindOtherDialog(app.ProcessId(), nullptr)) != nullptr; },
                                       20000))
            << "no box appeared";
        EXPECT_EQ(e2e::FindProcessWindow(app.ProcessId(), e2e::kMainTitle), nullptr)
            << "an empty bar stands behind the box";
        const std::string text = StaticTexts(box);
        EXPECT_NE(lex::Widen(text).find(L"缺省字典.KM"), std::wstring::npos) << text;
        EXPECT_NE(text.find("Dictionary"), std::string::npos) << text;
        EXPECT_NE(text.find("重新启动"), std::string::npos) << "says how to mend it: " << text;
        EXPECT_EQ(WindowTitle(box), "Quillmere");
        EXPECT_EQ(app.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE)) << "waits for the user";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        // To the end: no second box, and never a bar.
        int moreBoxes = 0, barsSeen = 0;
        while (app.WaitForExit(20) == static_cast<DWORD>(STILL_ACTIVE)) {
            HWND again = e2e::FindOtherDialog(app.ProcessId(), nullptr);
            if (again && again != box) {
                ++moreBoxes;
                PostMessageW(again, WM_COMMAND, IDOK, 0);
                box = again;
            }
            barsSeen += e2e::FindProcessWindow(app.ProcessId(), e2e::kMainTitle) != nullptr;
            if (moreBoxes > 3)
                break;
        }
        EXPECT_EQ(moreBoxes, 0) << "the box comes once";
        EXPECT_EQ(barsSeen, 0) << "the bar showed after the box";
        EXPECT_EQ(app.WaitForExit(10000), kEndedWithMinusOne);
        EXPECT_EQ(FileBytes(app.SettingsPath()), settingsBefore) << "a run that never started saves nothing";
    }
}

TEST(Reliability, EndFromOutsideWhileABoxIsOpenSavesAndEnds)
{
    struct Box {
        const char* name;
        UINT command;
        const char* title;
    };
    const Box boxes[] = {{"about box", ID_APP_ABOUT_CMD, "关于 Quillmere"},
                         {"settings sheet", ID_OPTIONS, "选项"},
                         {"tip of the day", ID_TIP_OF_DAY, "每日一贴"}};
    for (const Box& open : boxes) {
        for (const bool sessionEnd : {false, true}) {
            SCOPED_TRACE(std::string(open.name) + (sessionEnd ? ", the Windows session ends" : ", WM_CLOSE"));
            LexorinProcess app("outside-end");
            lex::CSettings(app.SettingsPath()).SetDictWordCount(40);
            HWND bar = StartAndWait(app);
            ASSERT_NE(bar, nullptr);
            DWORD_PTR result = 0;
            for (int i = 0; i < 3; ++i)
                SendMessageTimeoutW(bar, WM_COMMAND, ID_DICT_NEXT, 0, SMTO_ABORTIFHUNG, 5000, &result);
            PostMessageW(bar, WM_COMMAND, open.command, 0);
            ASSERT_NE(e2e::WaitForProcessWindow(app.ProcessId(), open.title, 10000), nullptr);
            e2e::Sync(bar);
            ASSERT_FALSE(IsWindowEnabled(bar)) << "the box holds the bar";

            if (sessionEnd) {
                // The session may end right after these two: saved at once, then ended.
                ASSERT_TRUE(SendMessageTimeoutW(bar, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
                EXPECT_EQ(result, static_cast<DWORD_PTR>(TRUE)) << "lets the session end";
                EXPECT_GE(lex::CSettings(app.SettingsPath()).DictWordCount(), 43) << "saved when asked";
                ASSERT_TRUE(SendMessageTimeoutW(bar, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &result));
                EXPECT_GE(lex::CSettings(app.SettingsPath()).DictWordCount(), 43) << "saved at the end";
            } else {
                PostMessageW(bar, WM_CLOSE, 0, 0);
            }
            EXPECT_EQ(app.WaitForExit(10000), 0u) << "the program ends";
            app.Kill();
            lex::CSettings saved(app.SettingsPath());
            EXPECT_GE(saved.DictWordCount(), 43) << "the reading position is kept";
            EXPECT_NE(FileBytes(app.SettingsPath()).find("InterfaceCX="), std::string::npos)
                << "and where the bar stood";
        }
    }
}

TEST(Reliability, DictionaryFullOfOverlongLinesWarnsOnceAndTheBarStaysUsable)
{
    LexorinProcess app("overlong");
    std::string lines;
    for (int i = 1; i <= 1000; ++i)
        lines += "long" + std::to_string(i) + std::string(3000, 'x') + "/f/m\r\n";
    ASSERT_TRUE(PutFile(app.Folder() + "Dictionary\\缺省字典.KM", lines));
    ASSERT_TRUE(app.Start());

    int boxes = 0;
    HWND bar = nullptr;
    // Over six seconds, a feed step every second: one warning, closed at once.
    const DWORD until = GetTickCount() + 6000;
    while (GetTickCount() < until) {
        if (HWND box = e2e::FindOtherDialog(app.ProcessId(), bar)) {
            ++boxes;
            EXPECT_EQ(WindowTitle(box), "Warning !");
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            wintest::PumpUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 3000);
        }
        if (!bar)
            bar = e2e::FindProcessWindow(app.ProcessId(), e2e::kMainTitle);
        wintest::PumpMessages(100);
    }
    EXPECT_EQ(boxes, 1);
    ASSERT_NE(bar, nullptr);
    // The bar answers and ends on Esc; the position moved on through the long lines.
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
    EXPECT_GE(lex::CSettings(app.SettingsPath()).DictWordCount(), 3);
}

TEST(Reliability, OverlongMeaningsUnderAStillPointerAreReadPastAndEscEnds)
{
    // Meanings far wider than any screen, read from the very start at one entry a
    // second, by a bar that appears where the pointer happens to stand: nobody moved
    // the pointer onto the strip, so nothing holds it.
    LexorinProcess app("overlong-meanings");
    std::string lines;
    for (int i = 1; i <= 300; ++i)
        lines += "w" + std::to_string(i) + "/p/" + std::string(3000, 'm') + "\r\n";
    ASSERT_TRUE(PutFile(app.Folder() + "Dictionary\\缺省字典.KM", lines));
    lex::CSettings settings(app.SettingsPath());
    settings.SetBannerScrollSpeed(1);
    settings.SetDictWordCount(0);
    // Where the strip will stand: the bar at its saved place, the banner right of the
    // six buttons.
    SetCursorPos(settings.InterfaceLeft() + 320, settings.InterfaceTop() + 15);
    ASSERT_TRUE(app.Start());
    HWND box = nullptr;
    ASSERT_TRUE(wintest::PumpUntil([&] { return (box = e2e::FindOtherDialog(app.ProcessId(), nullptr)) != nullptr; },
                                   20000))
        << "the warning never came";
    EXPECT_EQ(WindowTitle(box), "Warning !");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND bar = app.WaitForMainWindow(20000);
    ASSERT_NE(bar, nullptr);
    RECT strip;
    ASSERT_TRUE(GetWindowRect(e2e::FindBanner(bar), &strip));
    POINT pointer;
    GetCursorPos(&pointer);
    ASSERT_TRUE(PtInRect(&strip, pointer)) << "the strip came under the pointer";

    int moreBoxes = 0;
    const DWORD until = GetTickCount() + 14000;
    while (GetTickCount() < until) {
        HWND again = e2e::FindOtherDialog(app.ProcessId(), bar);
        if (again && again != box) {
            ++moreBoxes;
            PostMessageW(again, WM_COMMAND, IDOK, 0);
            box = again;
        }
        wintest::PumpMessages(100);
    }
    EXPECT_EQ(moreBoxes, 0) << "the warning comes once";
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "Esc ends the program";
    app.Kill();
    EXPECT_GE(lex::CSettings(app.SettingsPath()).DictWordCount(), 10) << "about one entry a second was read";
}

TEST(Reliability, UnicodeSettingsFilesStayInTheirEncodingAndReadable)
{
    // The shipped file (code page 936, naming the default dictionary in Chinese) as
    // Notepad would keep it in Unicode, with a user's own line in Chinese.
    const std::wstring pristine = lex::Widen(FileBytes(wintest::FromUnixPath(LEX_PRISTINE_INI_FOR_TESTS)));
    ASSERT_NE(pristine.find(L"DictName="), std::wstring::npos);
    const std::string extra = "; \xE6\x88\x91\xE7\x9A\x84\xE8\xAE\xBE\xE7\xBD\xAE\r\n";
    for (const bool utf16 : {true, false}) {
        SCOPED_TRACE(utf16 ? "UTF-16LE with BOM" : "UTF-8 with BOM");
        LexorinProcess app("unicode-ini");
        const std::string text =
            lex::Utf16LeToUtf8(std::string(reinterpret_cast<const char*>(pristine.data()), pristine.size() * 2)) +
            extra;
        ASSERT_TRUE(PutFile(app.SettingsPath(),
                            utf16 ? "\xFF\xFE" + lex::Utf8ToUtf16Le(text) : "\xEF\xBB\xBF" + text));
        HWND bar = StartAndWait(app);
        ASSERT_NE(bar, nullptr) << "the chosen dictionary, named in Chinese, opened";
        PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
        ASSERT_EQ(app.WaitForExit(10000), 0u);

        lex::CIniDocument saved;
        ASSERT_TRUE(saved.Load(app.SettingsPath()));
        EXPECT_EQ(saved.Encoding(), utf16 ? lex::IniEncoding::Utf16Le : lex::IniEncoding::Utf8);
        EXPECT_EQ(saved.Get("Banner", "BannerBKColor", ""), "800000");
        EXPECT_EQ(saved.Get("Dict", "DictName", ""), "缺省字典");
        EXPECT_NE(saved.Get("Dict", "DictWordCount", ""), "");
        EXPECT_NE(saved.Get("Interface", "InterfaceLeft", ""), "");
        // The user's comment is still there, byte for byte in the file's encoding.
        const std::string comment = "; \xE6\x88\x91\xE7\x9A\x84\xE8\xAE\xBE\xE7\xBD\xAE\r\n";
        const std::string bytes = FileBytes(app.SettingsPath());
        EXPECT_NE(bytes.find(utf16 ? lex::Utf8ToUtf16Le(comment) : comment), std::string::npos);
    }
}

TEST(Reliability, NewOrResetSettingsFileGetsTheShippedLookAndAUsersFileIsLeftAlone)
{
    lex::CIniDocument shipped;
    ASSERT_TRUE(shipped.Load(wintest::FromUnixPath(LEX_PRISTINE_INI_FOR_TESTS)));
    enum Start { Missing, Empty, UnknownKeysOnly, OneKnownKey };
    for (Start start : {Missing, Empty, UnknownKeysOnly, OneKnownKey}) {
        SCOPED_TRACE(start == Missing ? "missing" : start == Empty ? "empty"
                     : start == UnknownKeysOnly ? "unknown keys only" : "one known key");
        LexorinProcess app("reset-ini", "Lexorin.exe", false);
        const char* initial = start == Empty ? "" : start == UnknownKeysOnly ? "[Banner]\r\nOldLook=1\r\n"
                            : start == OneKnownKey ? "[Tip]\r\nStartUp=0\r\n" : nullptr;
        if (initial) {
            ASSERT_TRUE(PutFile(app.SettingsPath(), initial));
        }
        HWND bar = StartAndWait(app);
        ASSERT_NE(bar, nullptr);
        // The strip is painted in the look's colour: navy from the shipped look, the
        // built-in red in a file that is the user's.
        const COLORREF want =
            start == OneKnownKey ? RGB(255, 0, 0) : lex::ParseColor(shipped.Get("Banner", "BannerBKColor", "?"));
        const bool painted = wintest::PumpUntil(
            [&] {
                RECT strip;
                if (!GetWindowRect(e2e::FindBanner(bar), &strip))
                    return false;
                const std::vector<COLORREF> pixels = e2e::GrabScreen(strip);
                size_t count = 0;
                for (COLORREF c : pixels)
                    count += c == want;
                return count > pixels.size() / 3;
            },
            8000);
        EXPECT_TRUE(painted) << "strip colour " << std::hex << want;
        PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
        ASSERT_EQ(app.WaitForExit(10000), 0u);

        lex::CIniDocument saved;
        ASSERT_TRUE(saved.Load(app.SettingsPath()));
        for (const char* key : {"BannerBKColor", "BannerWordColor", "BannerScrollSpeed", "BannerWordB"})
            EXPECT_EQ(saved.Get("Banner", key, "absent"),
                      start == OneKnownKey ? std::string("absent") : shipped.Get("Banner", key, "?"))
                << key;
        // The first-run look names the dictionary in use, so the dictionary page opens on it.
        EXPECT_EQ(saved.Get("Dict", "DictName", "absent"), start == OneKnownKey ? "absent" : "缺省字典");
        if (start == UnknownKeysOnly) {
            EXPECT_EQ(saved.Get("Banner", "OldLook", ""), "1");
        }
    }
}

TEST(Reliability, ShutdownStateIsOneReplacementEndingAsKeyByKeyWriting)
{
    LexorinProcess app("shutdown-group");
    const std::string start = FileBytes(app.SettingsPath());
    HWND bar = StartAndWait(app);
    ASSERT_NE(bar, nullptr);
    PostMessageW(bar, WM_COMMAND, ID_DICT_NEXT, 0);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_EQ(app.WaitForExit(10000), 0u);
    const std::string saved = FileBytes(app.SettingsPath());

    // The same six keys written one by one onto the file as it was give the same bytes.
    lex::CIniDocument values;
    ASSERT_TRUE(values.Load(app.SettingsPath()));
    const std::string replay = app.Folder() + "replay.ini";
    ASSERT_TRUE(PutFile(replay, start));
    const std::pair<const char*, const char*> keys[] = {
        {"Dict", "DictWordCount"},  {"Interface", "InterfaceLeft"}, {"Interface", "InterfaceTop"},
        {"Interface", "InterfaceCX"}, {"Interface", "InterfaceCY"}, {"Interface", "InterfaceBKImageFileName"}};
    for (const auto& key : keys)
        ASSERT_TRUE(lex::WriteProfileString(key.first, key.second, values.Get(key.first, key.second, "?"), replay));
    EXPECT_EQ(saved, FileBytes(replay));
}

TEST(Reliability, DoubleClickOnTheToolbarOpensNoDialogAndEscStillEnds)
{
    LexorinProcess app("dblclick");
    HWND bar = StartAndWait(app);
    ASSERT_NE(bar, nullptr);
    HWND toolbar = e2e::FindToolbar(bar);
    RECT next;
    ASSERT_TRUE(e2e::ToolbarButtonScreenRect(toolbar, ID_DICT_NEXT, &next));
    POINT pt = {(next.left + next.right) / 2, (next.top + next.bottom) / 2};
    ScreenToClient(toolbar, &pt);
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    // The messages of a double-click on a button, as the system delivers them.
    PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(toolbar, WM_LBUTTONUP, 0, at);
    PostMessageW(toolbar, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(toolbar, WM_LBUTTONUP, 0, at);
    e2e::Sync(bar);
    wintest::PumpMessages(1000);
    HWND dialog = e2e::FindOtherDialog(app.ProcessId(), bar);
    EXPECT_EQ(dialog, nullptr) << "a dialog opened: " << (dialog ? WindowTitle(dialog) : "");
    if (dialog)
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "Esc on the bar ends the program";
}
