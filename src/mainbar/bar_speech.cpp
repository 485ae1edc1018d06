#include "mainbar/bar_speech.h"

#include <utility>

CBarSpeech::CBarSpeech()
    : CBarSpeech([] { return std::unique_ptr<lex::ISpeechEngine>(std::make_unique<lex::CSpeechVoice>()); })
{
}

CBarSpeech::CBarSpeech(EngineMaker makeEngine) : m_makeEngine(std::move(makeEngine)) {}

CBarSpeech::~CBarSpeech() = default;

void CBarSpeech::Apply(const lex::CSettings& settings)
{
    m_mode = settings.VoiceSpeakMode();
    const std::string voiceId = settings.VoiceTokenId();
    const int rate = settings.VoiceRate();
    if (voiceId != m_voiceId || rate != m_rate)
        m_settingsDue = true;
    m_voiceId = voiceId;
    m_rate = rate;
}

bool CBarSpeech::Ready()
{
    if (m_mode == lex::CSettings::kVoiceOff || m_failed)
        return false;
    if (!m_voice) {
        m_voice = m_makeEngine();
        if (!m_voice || !m_voice->Create()) {
            m_failed = true;
            m_voice.reset();
            return false;
        }
        m_settingsDue = true;
    }
    if (m_settingsDue) {
        m_settingsDue = false;
        m_voice->UseVoice(m_voiceId); // a voice that has gone: the default one speaks
        m_voice->SetRate(m_rate);
    }
    return true;
}

bool CBarSpeech::CanSpeak()
{
    if (!Ready())
        return false;
    if (!m_checked) {
        // Asking the engine to fall silent is a call that speaks, without a sound.
        if (FAILED(m_voice->Silence())) {
            m_failed = true;
            return false;
        }
        m_checked = true;
    }
    return true;
}

void CBarSpeech::Speak(const std::string& word)
{
    if (word.empty() || !Ready())
        return;
    if (SUCCEEDED(m_voice->Speak(word))) {
        m_checked = true;
        return;
    }
    // The chosen voice may have gone since it was set: once more with the default one.
    if (!m_voiceId.empty() && m_voice->UseVoice(std::string()) && SUCCEEDED(m_voice->Speak(word))) {
        m_checked = true;
        return;
    }
    m_failed = true;
}
