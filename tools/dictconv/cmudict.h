// Pronunciations from the CMU Pronouncing Dictionary (ARPAbet) turned into IPA for the
// shipped word lists, so their phonetic column is derived mechanically and can be
// rebuilt at any time.
//
// The IPA is General American, CMUdict's own accent, written the way learners'
// dictionaries write American English: length marks on the tense vowels (iː uː ɑː ɔː
// ɜː), the r kept (ɑːr ɔːr ɪr er ʊr ɜːr ər), oʊ for the vowel of "go", and a
// syllabic l or n without schwa after a consonant (ˈæpl, ˈbʌtn). Words of more than
// one syllable get ˈ before the syllable with primary stress and ˌ before those with
// secondary stress; syllables start with the longest consonant cluster that can begin
// an English word (ɪkˈspleɪn).
#pragma once

#include "dictionary/word_list.h"

#include <map>
#include <string>
#include <vector>

namespace kmtool {

// kmtool is a command line over the word-list core of src/dictionary.
using namespace wordlist;

class CmuDict {
public:
    // Parses cmudict text ("WORD  PH1 PH2 ...", alternatives as "WORD(1)", ";;;"
    // comments). Malformed lines are reported.
    bool Load(const std::string& bytes, const std::string& file, Report& report);
    // The pronunciations of a word (any case), first the main one; empty if unknown.
    const std::vector<std::string>* Find(const std::string& word) const;
    size_t Size() const { return m_words.size(); }

private:
    std::map<std::string, std::vector<std::string>> m_words;
};

// Converts one ARPAbet pronunciation ("AE1 P AH0 L") to IPA. False (with a message)
// on a phone it does not know.
bool ArpabetToIpa(const std::string& arpabet, std::u32string& ipa, std::string* error);

// Which cmudict alternative to use for a word ("live 1" picks LIVE(1)); read from a
// TSV of word and index. The plain entry is index 0.
bool ParseVariantChoices(const std::string& bytes, const std::string& file, std::map<std::string, int>& out,
                         Report& report);

// The IPA of a word (or of its blank-separated parts) with the chosen alternatives.
// False, with the reason, when cmudict lacks the word or a part of it.
bool CmuIpaForWord(const CmuDict& dict, const std::map<std::string, int>& choices, const std::string& word,
                   std::u32string& ipa, std::string* error);

// Rewrites a UTF-8 TSV word list (word, IPA, meaning; or word, meaning) with the IPA
// column taken from cmudict. Comment and blank lines are kept. A word of several
// words separated by blanks gets the transcriptions of its parts. Words cmudict does
// not know are errors.
std::string FillIpaFromCmuDict(const std::string& bytes, const std::string& file, const CmuDict& dict,
                               const std::map<std::string, int>& choices, Report& report);

} // namespace kmtool
