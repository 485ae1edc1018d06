#include "options/voice_choice.h"

#include <gtest/gtest.h>

namespace {

const char kZira[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\TTS_MS_EN-US_ZIRA_11.0";

std::vector<std::string> Names(const std::vector<VoiceChoice>& voices)
{
    std::vector<std::string> names;
    for (const VoiceChoice& voice : voices)
        names.push_back(voice.name);
    return names;
}

} // namespace

// A Chinese Windows lists its Chinese voice first and may make it the default: the
// page still puts the English voices at the top, keeps the system's order within each
// group, and shows the stored voice chosen while it is there, else the default.
TEST(VoiceChoice, EnglishVoicesComeFirstAndTheStoredOrDefaultVoiceIsChosen)
{
    const std::vector<VoiceChoice> installed = {
        {"HKEY_LOCAL_MACHINE\\...\\Huihui", "Huihui", "804"},
        {kZira, "Zira", "409"},
        {"HKEY_LOCAL_MACHINE\\...\\Hazel", "Hazel", "809;409"},
        {"HKEY_LOCAL_MACHINE\\...\\Wine", "Wine Default Voice", ""},
        {"HKEY_LOCAL_MACHINE\\...\\Catherine", "Catherine", "c09"},
    };
    const std::vector<VoiceChoice> ordered = OrderVoices(installed);
    EXPECT_EQ(Names(ordered), (std::vector<std::string>{"Zira", "Hazel", "Catherine", "Huihui", "Wine Default Voice"}));

    // Token ids are registry paths: their case may differ between the file and the system.
    EXPECT_EQ(ChosenVoice(ordered, "hkey_local_machine\\...\\hazel", "HKEY_LOCAL_MACHINE\\...\\Huihui"), 1);
    // A stored voice that was removed: the system's default.
    EXPECT_EQ(ChosenVoice(ordered, "HKEY_LOCAL_MACHINE\\...\\Gone", "HKEY_LOCAL_MACHINE\\...\\Huihui"), 3);
    EXPECT_EQ(ChosenVoice(ordered, "", kZira), 0);
    EXPECT_EQ(ChosenVoice(ordered, "", "HKEY_LOCAL_MACHINE\\...\\Nowhere"), 0);
    EXPECT_EQ(ChosenVoice({}, "", kZira), -1);

    EXPECT_TRUE(SpeaksEnglish("804;409"));
    EXPECT_FALSE(SpeaksEnglish("804"));
    EXPECT_FALSE(SpeaksEnglish("411"));
    EXPECT_FALSE(SpeaksEnglish(";;"));
}
