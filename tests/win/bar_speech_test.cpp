// The bar's speech over an engine whose voices can be uninstalled while it runs: a
// voice that has gone is not asked for again after one failed word, the word is said
// in the default voice instead, and speech goes on.
#include "mainbar/bar_speech.h"
#include "base/fileio.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The machine's voices as the engine sees them, shared with the test, which removes one.
struct Machine {
    std::set<std::string> voices;
    std::vector<std::string> said;     // "voice|text" for every word said
    std::vector<std::string> attempts; // "voice|text" for every word asked for
    int engines = 0;
};

// An engine in the manner of the system's: a voice set stays set until another is;
// a word fails when the voice it would be said in is no longer installed.
class RemovableVoicesEngine : public lex::ISpeechEngine {
public:
    explicit RemovableVoicesEngine(Machine& machine) : m_machine(machine) { ++m_machine.engines; }
    bool Create() override { return true; }
    bool UseVoice(const std::string& id) override
    {
        if (!id.empty() && m_machine.voices.count(id)) {
            m_voice = id;
            return true;
        }
        m_voice.clear();
        return id.empty();
    }
    void SetRate(int) override {}
    HRESULT Speak(const std::string& text) override
    {
        const std::string voice = m_voice.empty() ? "default" : m_voice;
        m_machine.attempts.push_back(voice + "|" + text);
        if (!m_voice.empty() && !m_machine.voices.count(m_voice))
            return E_FAIL; // its engine has been uninstalled
        m_machine.said.push_back(voice + "|" + text);
        return S_OK;
    }
    HRESULT Silence() override { return S_OK; }

private:
    Machine& m_machine;
    std::string m_voice;
};

class BarSpeechTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = wintest::MakeTempFolder("bar-speech");
        ASSERT_TRUE(lex::ReplaceFileContents(folder + "Lexorin.ini", ""));
        settings = std::make_unique<lex::CSettings>(folder + "Lexorin.ini");
        machine.voices = {kZira, kDavid};
    }
    void TearDown() override { wintest::RemoveFolder(folder); }
    CBarSpeech Speech()
    {
        return CBarSpeech([this] { return std::unique_ptr<lex::ISpeechEngine>(new RemovableVoicesEngine(machine)); });
    }

    static constexpr const char* kZira = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\Zira";
    static constexpr const char* kDavid = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\David";
    std::string folder;
    std::unique_ptr<lex::CSettings> settings;
    Machine machine;
};

} // namespace

TEST_F(BarSpeechTest, AVoiceRemovedWhileRunningFallsBackToTheDefaultVoiceAndSpeechGoesOn)
{
    ASSERT_TRUE(settings->SetVoiceSpeakMode(lex::CSettings::kVoiceAuto));
    ASSERT_TRUE(settings->SetVoiceTokenId(kDavid));
    CBarSpeech speech = Speech();
    speech.Apply(*settings);
    speech.Speak("alpha");
    EXPECT_EQ(machine.said, (std::vector<std::string>{std::string(kDavid) + "|alpha"})) << "the chosen voice";

    machine.voices.erase(kDavid);
    speech.Speak("bravo");
    speech.Speak("charlie");
    // The word the removal caught is said again at once in the default voice, and the
    // gone voice is not tried for the next one.
    EXPECT_EQ(machine.attempts, (std::vector<std::string>{std::string(kDavid) + "|alpha",
                                                          std::string(kDavid) + "|bravo", "default|bravo",
                                                          "default|charlie"}));
    EXPECT_EQ(machine.said.back(), "default|charlie");
    EXPECT_TRUE(speech.CanSpeak()) << "speech stays on";
    EXPECT_EQ(machine.engines, 1);

    // The settings read again (the sheet's OK) with the same, gone voice: still the default.
    speech.Apply(*settings);
    speech.Speak("delta");
    EXPECT_EQ(machine.attempts.back(), "default|delta");
    // Another installed voice chosen: it speaks.
    ASSERT_TRUE(settings->SetVoiceTokenId(kZira));
    speech.Apply(*settings);
    speech.Speak("echo");
    EXPECT_EQ(machine.said.back(), std::string(kZira) + "|echo");
}
