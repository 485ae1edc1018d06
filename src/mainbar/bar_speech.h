// The bar's speech: says a word in the voice and at the rate of the settings file's
// voice group. The bar calls IBarSpeech; CBarSpeech speaks through the system's speech
// engine. The engine's voice object is made when a word is first to be spoken (or the
// menu asks whether one can be), never while the mode is off. Speaking returns at once
// and cuts off the word before, so nothing queues up.
//
// When the engine cannot speak (no voice object, or it refuses a word), speech stays
// off for this run without a word to the user: the menu item goes grey and the voice
// page says why. A chosen voice that has gone falls back to the system's default.
#pragma once

#include "framework/speech.h"
#include "settings/settings.h"

#include <functional>
#include <memory>
#include <string>

class IBarSpeech {
public:
    virtual ~IBarSpeech() = default;
    // The voice group as read from the settings file; takes effect at the next word.
    virtual void Apply(const lex::CSettings& settings) = 0;
    virtual lex::CSettings::VoiceMode Mode() const = 0;
    // Whether a word can be spoken now: false while the mode is off or the engine cannot.
    virtual bool CanSpeak() = 0;
    // Says word (code page 936), cutting off the word before; nothing while off.
    virtual void Speak(const std::string& word) = 0;
};

class CBarSpeech : public IBarSpeech {
public:
    // makeEngine makes the engine on first need; by default the system's voice object.
    using EngineMaker = std::function<std::unique_ptr<lex::ISpeechEngine>()>;
    CBarSpeech();
    explicit CBarSpeech(EngineMaker makeEngine);
    ~CBarSpeech() override;

    void Apply(const lex::CSettings& settings) override;
    lex::CSettings::VoiceMode Mode() const override { return m_mode; }
    bool CanSpeak() override;
    void Speak(const std::string& word) override;

private:
    // Makes the voice object and sets the voice and rate when they changed; false when
    // the engine cannot speak.
    bool Ready();

    lex::CSettings::VoiceMode m_mode = lex::CSettings::kVoiceOff;
    std::string m_voiceId;
    int m_rate = 0;
    EngineMaker m_makeEngine;
    std::unique_ptr<lex::ISpeechEngine> m_voice;
    bool m_settingsDue = true; // the voice and rate are to be set before the next word
    bool m_failed = false;     // the engine could not speak: nothing more this run
    bool m_checked = false;    // the engine answered a call that speaks
};
