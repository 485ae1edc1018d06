// COptionVoiceSoundPage, "语音设置::声音": how words are spoken (not at all, from the
// bar's menu and hotkey, or each new entry by itself), the voice, English ones first,
// with the name of the one that speaks, and the rate, with a button that says a sample
// word. Without a voice that speaks, one line says so and the voice, rate and sample
// are disabled. OK writes the changed keys as one group and raises the voice flag.
#pragma once

#include "framework/propsheet.h"
#include "framework/speech.h"
#include "options/option_sheet.h"
#include "options/voice_choice.h"
#include "settings/settings.h"

#include <memory>
#include <string>
#include <vector>

class COptionVoiceSoundPage : public lex::CPropertyPage {
public:
    // Said by the sample button.
    static const char kSampleWord[];
    // What the page says when the system cannot speak.
    static const char kNoVoiceLine[];

    explicit COptionVoiceSoundPage(const COptionContext& context);
    ~COptionVoiceSoundPage() override;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    lex::CSettings::VoiceMode ModeShown() const;
    int VoiceShown() const;
    int RateShown() const;
    // Sets the voice shown and the rate on the page's own voice object and names the
    // voice that speaks.
    void UseShownVoice();
    void OnListen();
    // No voice speaks: the line that says so, and what cannot work disabled.
    void ShowNoVoice();

    COptionContext m_context;
    std::vector<VoiceChoice> m_voices; // as listed
    std::unique_ptr<lex::CSpeechVoice> m_voice;
    lex::CSettings::VoiceMode m_startMode = lex::CSettings::kVoiceOff;
    int m_startVoice = 0;
    int m_startRate = 0;
};
