#include "framework/speech.h"
#include "base/text.h"

#include <sapi.h>

namespace lex {

namespace {

constexpr DWORD kSpeakFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK;

std::string TokenString(ISpDataKey* key, const wchar_t* value)
{
    CComTaskString text;
    if (!key || FAILED(key->GetStringValue(value, text.Put())))
        return std::string();
    return Narrow(text.Get());
}

std::string TokenName(ISpObjectToken* token)
{
    return TokenString(token, nullptr);
}

} // namespace

CSpeechVoice::CSpeechVoice() = default;
CSpeechVoice::~CSpeechVoice() = default;

bool CSpeechVoice::Create()
{
    if (m_voice)
        return true;
    if (!m_com.Usable())
        return false;
    return SUCCEEDED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, m_voice.PutVoid())) &&
           m_voice;
}

std::vector<SpeechVoiceInfo> CSpeechVoice::InstalledVoices(std::string* defaultId)
{
    std::vector<SpeechVoiceInfo> voices;
    if (defaultId)
        defaultId->clear();
    CComApartment com;
    if (!com.Usable())
        return voices;
    CComPtr<ISpObjectTokenCategory> category;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_ISpObjectTokenCategory,
                                category.PutVoid())) ||
        FAILED(category->SetId(SPCAT_VOICES, FALSE)))
        return voices;
    if (defaultId) {
        CComTaskString id;
        if (SUCCEEDED(category->GetDefaultTokenId(id.Put())))
            *defaultId = Narrow(id.Get());
    }
    CComPtr<IEnumSpObjectTokens> tokens;
    if (FAILED(category->EnumTokens(nullptr, nullptr, tokens.Put())) || !tokens)
        return voices;
    for (;;) {
        CComPtr<ISpObjectToken> token;
        ULONG got = 0;
        if (tokens->Next(1, token.Put(), &got) != S_OK || got != 1 || !token)
            break;
        SpeechVoiceInfo info;
        CComTaskString id;
        if (FAILED(token->GetId(id.Put())))
            continue;
        info.id = Narrow(id.Get());
        info.name = TokenName(token.Get());
        CComPtr<ISpDataKey> attributes;
        if (SUCCEEDED(token->OpenKey(L"Attributes", attributes.Put())))
            info.language = TokenString(attributes.Get(), L"Language");
        voices.push_back(std::move(info));
    }
    return voices;
}

bool CSpeechVoice::UseVoice(const std::string& id)
{
    if (!m_voice)
        return false;
    if (!id.empty()) {
        CComPtr<ISpObjectToken> token;
        if (SUCCEEDED(CoCreateInstance(CLSID_SpObjectToken, nullptr, CLSCTX_ALL, IID_ISpObjectToken,
                                       token.PutVoid())) &&
            SUCCEEDED(token->SetId(nullptr, Widen(id).c_str(), FALSE)) && SUCCEEDED(m_voice->SetVoice(token.Get())))
            return true;
    }
    // No voice asked for, or it has gone: the system's default.
    m_voice->SetVoice(nullptr);
    return id.empty();
}

void CSpeechVoice::SetRate(int rate)
{
    if (m_voice)
        m_voice->SetRate(rate);
}

HRESULT CSpeechVoice::Speak(const std::string& text)
{
    if (!m_voice)
        return E_POINTER;
    return m_voice->Speak(Widen(text).c_str(), kSpeakFlags, nullptr);
}

HRESULT CSpeechVoice::Silence()
{
    if (!m_voice)
        return E_POINTER;
    return m_voice->Speak(nullptr, kSpeakFlags, nullptr);
}

std::string CSpeechVoice::CurrentVoiceName() const
{
    CComPtr<ISpObjectToken> token;
    if (!m_voice || FAILED(m_voice->GetVoice(token.Put())) || !token)
        return std::string();
    return TokenName(token.Get());
}

} // namespace lex
