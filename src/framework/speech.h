// The system's speech (SAPI 5): the installed voices and one voice object that speaks
// without waiting. Everything runs on the thread that made the object, in its
// single-threaded apartment. Texts are code page 936.
#pragma once

#include "framework/com.h"

#include <string>
#include <vector>

struct ISpVoice;

namespace lex {

struct SpeechVoiceInfo {
    std::string id;       // the voice's token id, as the settings file keeps it
    std::string name;     // the voice's own description ("Microsoft Zira Desktop …")
    std::string language; // its "Language" attribute: hexadecimal language ids, ';'-separated
};

// What speaks a word: the system's voice object below, or a stand-in.
class ISpeechEngine {
public:
    virtual ~ISpeechEngine() = default;
    // Makes the engine's voice object (once); false when there is none.
    virtual bool Create() = 0;
    // Speaks with the voice whose token id is id, or the default one for an empty id;
    // false when that voice is not there (the default one speaks then).
    virtual bool UseVoice(const std::string& id) = 0;
    // -10 (slowest) to 10.
    virtual void SetRate(int rate) = 0;
    // Starts saying text and returns at once; whatever is still being said is cut off.
    virtual HRESULT Speak(const std::string& text) = 0;
    // Cuts off what is being said without saying anything: also tells whether the
    // engine can speak at all.
    virtual HRESULT Silence() = 0;
};

class CSpeechVoice : public ISpeechEngine {
public:
    CSpeechVoice();
    ~CSpeechVoice() override;
    CSpeechVoice(const CSpeechVoice&) = delete;
    CSpeechVoice& operator=(const CSpeechVoice&) = delete;

    bool Create() override;
    bool IsCreated() const { return static_cast<bool>(m_voice); }

    // The voices installed on the system, in the system's order, and the id of the one
    // the system speaks with by default (empty when it names none).
    static std::vector<SpeechVoiceInfo> InstalledVoices(std::string* defaultId);

    bool UseVoice(const std::string& id) override;
    void SetRate(int rate) override;
    HRESULT Speak(const std::string& text) override;
    HRESULT Silence() override;
    // The description of the voice that speaks now; empty when the engine cannot tell.
    std::string CurrentVoiceName() const;

private:
    CComApartment m_com;
    CComPtr<ISpVoice> m_voice;
};

} // namespace lex
