// Hearing the words through the real program and the real COM path: a recording speech
// server (tests/e2e/voice) is registered as the class of the system's voice object
// while a case runs, so Lexorin.exe's CoCreateInstance finds it as it would find the
// system's engine; without it Wine's own engine answers, which cannot speak. Wine's COM
// reads the machine's classes only, so the cases run in a Wine session of their own
// (scripts/session-run.sh) and put Wine's registration back when they end.
#include "base/fileio.h"
#include "base/text.h"
#include "options/option_voice_page.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <string>
#include <vector>

using e2e::LexorinProcess;

namespace {

const wchar_t kVoiceServerKey[] =
    L"Software\\Classes\\CLSID\\{96749377-3391-11D2-9EE3-00C04F797396}\\InprocServer32";

const char kDictionary[] = "alpha/alf@/n. 第一个字母\r\n"
                           "bravo/brA:v@U/int. 好\r\n"
                           "charlie/tSA:li/n. 查理\r\n"
                           "delta/delt@/n. 三角洲\r\n"
                           "echo/ek@U/n. 回声\r\n"
                           "foxtrot/fQkstrQt/n. 狐步舞\r\n"
                           "golf/gQlf/n. 高尔夫\r\n"
                           "hotel/h@Utel/n. 旅馆\r\n"
                           "india/India/n. 印度\r\n"
                           "juliet/dZu:li@t/n. 朱丽叶\r\n";
const std::vector<std::string> kWords = {"alpha", "bravo",   "charlie", "delta", "echo",
                                         "foxtrot", "golf", "hotel",   "india", "juliet"};

// SPF_ASYNC | SPF_PURGEBEFORESPEAK: nothing waits, nothing queues.
const char kSpeakFlags[] = "3";

// The server the voice class names; empty when the key cannot be read.
std::wstring VoiceServer()
{
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kVoiceServerKey, 0, KEY_READ, &key) != 0)
        return std::wstring();
    RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return value;
}

bool SetVoiceServer(const std::wstring& server)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kVoiceServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return false;
    const bool ok = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))) == 0;
    RegCloseKey(key);
    return ok;
}

// The recording server as the voice class for the scope of a case; the server before
// (Wine's) is named again afterwards.
class RegisteredTestVoice {
public:
    RegisteredTestVoice() : m_before(VoiceServer())
    {
        m_ok = SetVoiceServer(lex::Widen(wintest::FromUnixPath(LEX_TEST_VOICE_DLL)));
    }
    ~RegisteredTestVoice() { SetVoiceServer(m_before); }
    bool Ok() const { return m_ok && !m_before.empty(); }

private:
    std::wstring m_before;
    bool m_ok = false;
};

class SpeechE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lex::ReplaceFileContents(app.Folder() + "Dictionary\\缺省字典.KM", kDictionary));
        settings.SetTipStartUp(0);
        settings.SetDictWordCount(0);
        settings.SetBannerScrollSpeed(1);
        logPath = app.Folder() + "voice.log";
        SetEnvironmentVariableW(L"LEXORIN_TEST_VOICE_LOG", lex::Widen(logPath).c_str());
        SetCursorPos(5, GetSystemMetrics(SM_CYSCREEN) - 5);
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"LEXORIN_TEST_VOICE_LOG", nullptr);
        SetEnvironmentVariableW(L"LEXORIN_TEST_VOICE_FAIL", nullptr);
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
    // The server's log, line by line.
    std::vector<std::string> Log() const
    {
        std::string text;
        lex::ReadWholeFile(logPath, text);
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // The words spoken so far; every one with the flags that let nothing wait.
    std::vector<std::string> Spoken() const
    {
        std::vector<std::string> words;
        const std::string prefix = std::string("speak ") + kSpeakFlags + " ";
        for (const std::string& line : Log()) {
            if (line.compare(0, 6, "speak ") != 0)
                continue;
            EXPECT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
            words.push_back(line.substr(prefix.size()));
        }
        return words;
    }
    static int IndexOf(const std::string& word)
    {
        for (size_t i = 0; i < kWords.size(); ++i)
            if (kWords[i] == word)
                return static_cast<int>(i);
        return -1;
    }

    LexorinProcess app{"speech"};
    lex::CSettings settings{app.SettingsPath()};
    std::string logPath;
};

} // namespace

TEST_F(SpeechE2E, AutomaticSpeaksEachNewWordOnceInOrderAndNothingWhileHiddenOrPaused)
{
    RegisteredTestVoice voice;
    ASSERT_TRUE(voice.Ok());
    settings.SetVoiceSpeakMode(lex::CSettings::kVoiceAuto);
    settings.SetVoiceRate(3);
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(wintest::PumpUntil([&] { return Spoken().size() >= 3; }, 8000));
    std::vector<std::string> words = Spoken();
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(words[i], kWords[i % kWords.size()]) << "each new entry once, in the strip's order";
    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "create");
    EXPECT_EQ(std::count(log.begin(), log.end(), "create"), 1) << "one voice for the run";
    EXPECT_NE(std::find(log.begin(), log.end(), "rate 3"), log.end()) << "at the chosen rate";

    // Hidden, nothing is said; the entries made up when it comes back are not said either.
    e2e::Command(bar, ID_HIDE_BAR);
    ASSERT_TRUE(wintest::PumpUntil([&] { return !IsWindowVisible(bar); }, 3000));
    const size_t beforeHidden = Spoken().size();
    wintest::PumpMessages(3500);
    EXPECT_EQ(Spoken().size(), beforeHidden) << "nothing said while hidden";
    e2e::Command(bar, ID_SHOW_BAR);
    ASSERT_TRUE(wintest::PumpUntil([&] { return Spoken().size() > beforeHidden; }, 5000));
    words = Spoken();
    const int lastBefore = IndexOf(words[beforeHidden - 1]);
    const int firstAfter = IndexOf(words[beforeHidden]);
    ASSERT_GE(firstAfter, 0);
    // At least one step was made up while hidden, and it was not said: the first word
    // after the bar came back is not the one that followed the last word before.
    EXPECT_GE((firstAfter - lastBefore + 10) % 10, 2) << "the steps taken while hidden were not spoken";

    // Paused, nothing is said.
    e2e::Command(bar, ID_PAUSE_PLAY);
    const size_t beforePause = Spoken().size();
    wintest::PumpMessages(2500);
    EXPECT_EQ(Spoken().size(), beforePause);
    e2e::Command(bar, ID_PAUSE_PLAY);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Spoken().size() > beforePause; }, 4000)) << "play speaks again";
    EXPECT_TRUE(Quit(bar));
}

TEST_F(SpeechE2E, ManualSpeaksOnlyFromTheMenuAndTheHotkeyAndOffNeverMakesTheVoice)
{
    RegisteredTestVoice voice;
    ASSERT_TRUE(voice.Ok());
    // Off (the first run's choice): the menu and the hotkey say nothing, and the voice
    // object is never made.
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);
    wintest::PumpMessages(2500);
    e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'S'});
    RECT banner;
    GetWindowRect(e2e::FindBanner(bar), &banner);
    e2e::RightClickAt(banner.left + 10, (banner.top + banner.bottom) / 2);
    wintest::PumpMessages(500);
    e2e::PressKeys({VK_ESCAPE});
    wintest::PumpMessages(500);
    EXPECT_TRUE(Log().empty()) << "no voice object while off";
    EXPECT_TRUE(Quit(bar));

    // Manual: entries come and go in silence; "朗读" and the hotkey speak.
    settings.SetVoiceSpeakMode(lex::CSettings::kVoiceManual);
    bar = Start();
    ASSERT_NE(bar, nullptr);
    wintest::PumpMessages(3000);
    EXPECT_TRUE(Spoken().empty()) << "manual says nothing by itself";
    e2e::Command(bar, ID_PAUSE_PLAY);
    e2e::Command(bar, ID_DICT_RESTART);
    e2e::Command(bar, ID_DICT_NEXT);
    e2e::Command(bar, ID_DICT_NEXT);
    // The menu's own items: 认识了, 不认识, 复制, 朗读; from the keyboard it acts on the
    // newest entry.
    PostMessageW(bar, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar), MAKELPARAM(-1, -1));
    wintest::PumpMessages(600);
    e2e::PressKeys({VK_DOWN});
    e2e::PressKeys({VK_DOWN});
    e2e::PressKeys({VK_DOWN});
    e2e::PressKeys({VK_DOWN});
    e2e::PressKeys({VK_RETURN});
    ASSERT_TRUE(wintest::PumpUntil([&] { return Spoken().size() == 1; }, 3000)) << "朗读 speaks";
    EXPECT_EQ(Spoken()[0], "bravo");
    e2e::Command(bar, ID_DICT_NEXT);
    e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'S'});
    ASSERT_TRUE(wintest::PumpUntil([&] { return Spoken().size() == 2; }, 3000)) << "the hotkey speaks";
    EXPECT_EQ(Spoken()[1], "charlie") << "the newest entry";
    wintest::PumpMessages(500);
    EXPECT_EQ(Spoken().size(), 2u);
    EXPECT_TRUE(Quit(bar));
}

TEST_F(SpeechE2E, AnEngineThatFailsIsAskedOnceAndThenLeftAloneWhileTheBarScrollsOn)
{
    RegisteredTestVoice voice;
    ASSERT_TRUE(voice.Ok());
    SetEnvironmentVariableW(L"LEXORIN_TEST_VOICE_FAIL", L"1");
    settings.SetVoiceSpeakMode(lex::CSettings::kVoiceAuto);
    // First with a voice chosen: its failed word is tried once more in the default
    // voice. Then with the default voice: nothing to fall back to, one word only.
    const struct {
        const char* voiceId;
        std::vector<std::string> attempts;
    } runs[] = {{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\LexorinTestVoice",
                 {"alpha", "alpha"}},
                {"", {"alpha"}}};
    for (const auto& run : runs) {
        SCOPED_TRACE(std::string("chosen voice \"") + run.voiceId + "\"");
        ::DeleteFileW(lex::Widen(logPath).c_str());
        settings.SetVoiceTokenId(run.voiceId);
        settings.SetDictWordCount(0); // from the first entry again
        HWND bar = Start();
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(wintest::PumpUntil([&] { return !Spoken().empty(); }, 8000)) << "the first entry is spoken";
        RECT banner;
        GetWindowRect(e2e::FindBanner(bar), &banner);
        const std::vector<COLORREF> before = e2e::GrabScreen(banner);
        // Several more entries come, and none is put to the engine.
        wintest::PumpMessages(4500);
        EXPECT_NE(e2e::GrabScreen(banner), before) << "the strip moves on";
        EXPECT_EQ(Spoken(), run.attempts);
        if (run.attempts.size() == 2) {
            const std::vector<std::string> log = Log();
            const auto second = std::find(log.rbegin(), log.rend(), "speak 3 alpha");
            ASSERT_NE(second, log.rend());
            EXPECT_EQ(*std::next(second), "voice default") << "the second try is in the default voice";
        }
        EXPECT_EQ(e2e::FindOtherDialog(app.ProcessId(), bar), nullptr) << "no box about speech";

        // "朗读" is grey now: chosen from the keyboard it says nothing; nor does the hotkey.
        const size_t lines = Log().size();
        e2e::Command(bar, ID_PAUSE_PLAY);
        PostMessageW(bar, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar), MAKELPARAM(-1, -1));
        wintest::PumpMessages(600);
        for (int i = 0; i < 4; ++i)
            e2e::PressKeys({VK_DOWN});
        e2e::PressKeys({VK_RETURN});
        HWND menu = e2e::FindProcessWindowOfClass(app.ProcessId(), L"#32768");
        if (menu && IsWindowVisible(menu))
            e2e::PressKeys({VK_ESCAPE}); // a grey item does not close the menu
        e2e::PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'S'});
        wintest::PumpMessages(500);
        EXPECT_EQ(Log().size(), lines) << "the engine is not asked again, not even to fall silent";
        EXPECT_EQ(e2e::FindOtherDialog(app.ProcessId(), bar), nullptr);
        EXPECT_TRUE(Quit(bar));
    }
}

TEST_F(SpeechE2E, WithAnEngineThatCannotSpeakThePageSaysSoAndTheBarScrollsOn)
{
    // No test server: Wine's own engine, whose Speak fails.
    ASSERT_NE(VoiceServer().find(L"sapi.dll"), std::wstring::npos);
    settings.SetVoiceSpeakMode(lex::CSettings::kVoiceAuto);
    HWND bar = Start();
    ASSERT_NE(bar, nullptr);
    HWND bannerWnd = e2e::FindBanner(bar);
    RECT banner;
    GetWindowRect(bannerWnd, &banner);
    wintest::PumpMessages(2500);
    const std::vector<COLORREF> before = e2e::GrabScreen(banner);
    wintest::PumpMessages(1500);
    EXPECT_NE(e2e::GrabScreen(banner), before) << "the strip moves on";
    EXPECT_EQ(e2e::FindOtherDialog(app.ProcessId(), bar), nullptr) << "no box about speech";

    e2e::Command(bar, ID_OPTIONS);
    HWND sheet = e2e::WaitForSettingsSheet(app.ProcessId());
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(e2e::ShowSettingsPageWith(sheet, IDC_VOICE_STATUS));
    EXPECT_EQ(e2e::WindowText(e2e::Descendant(sheet, IDC_VOICE_STATUS)), COptionVoiceSoundPage::kNoVoiceLine);
    EXPECT_FALSE(IsWindowEnabled(e2e::Descendant(sheet, IDC_VOICE_LISTEN)));
    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitUntilGone(sheet));
    EXPECT_EQ(e2e::FindOtherDialog(app.ProcessId(), bar), nullptr);
    EXPECT_TRUE(Quit(bar));
}
