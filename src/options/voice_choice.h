// The voice page's list of voices: English voices first (a vocabulary of English words
// is what the bar speaks), each group in the system's order, and which one to show
// chosen. Portable, so the rule is tested natively.
#pragma once

#include <string>
#include <vector>

struct VoiceChoice {
    std::string id;       // token id
    std::string name;     // shown in the list
    std::string language; // the voice's "Language" attribute: hexadecimal ids, ';'-separated
};

// Whether the attribute names English among its languages (any English: 409, 809, c09 …).
bool SpeaksEnglish(const std::string& language);

// The voices in the order the page lists them.
std::vector<VoiceChoice> OrderVoices(std::vector<VoiceChoice> voices);

// The index to show chosen in the ordered list: the stored voice while it is installed,
// otherwise the system's default voice, otherwise the first; -1 for an empty list.
int ChosenVoice(const std::vector<VoiceChoice>& ordered, const std::string& storedId, const std::string& defaultId);
