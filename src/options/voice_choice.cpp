#include "options/voice_choice.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Token ids are registry paths, whose case does not matter.
bool SameId(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        const unsigned char lx = (x >= 'A' && x <= 'Z') ? static_cast<unsigned char>(x + 32) : x;
        const unsigned char ly = (y >= 'A' && y <= 'Z') ? static_cast<unsigned char>(y + 32) : y;
        if (lx != ly)
            return false;
    }
    return true;
}

} // namespace

bool SpeaksEnglish(const std::string& language)
{
    size_t start = 0;
    while (start <= language.size()) {
        size_t end = language.find(';', start);
        if (end == std::string::npos)
            end = language.size();
        const std::string part = language.substr(start, end - start);
        char* rest = nullptr;
        const unsigned long id = std::strtoul(part.c_str(), &rest, 16);
        // The primary language is the low ten bits; English is 9.
        if (rest != part.c_str() && (id & 0x3FFu) == 0x09u)
            return true;
        start = end + 1;
    }
    return false;
}

std::vector<VoiceChoice> OrderVoices(std::vector<VoiceChoice> voices)
{
    std::stable_partition(voices.begin(), voices.end(),
                          [](const VoiceChoice& voice) { return SpeaksEnglish(voice.language); });
    return voices;
}

int ChosenVoice(const std::vector<VoiceChoice>& ordered, const std::string& storedId, const std::string& defaultId)
{
    if (ordered.empty())
        return -1;
    for (const std::string* id : {&storedId, &defaultId}) {
        if (id->empty())
            continue;
        for (size_t i = 0; i < ordered.size(); ++i)
            if (SameId(ordered[i].id, *id))
                return static_cast<int>(i);
    }
    return 0;
}
