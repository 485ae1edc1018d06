#include "cmudict.h"

#include "dictionary/text_codec.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <sstream>

namespace kmtool {

namespace {

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct Phone {
    std::string base; // "AE", "P"
    int stress = -1;  // 0, 1, 2 for vowels; -1 for consonants
    bool IsVowel() const { return stress >= 0; }
};

struct PhoneIpa {
    const char* arpabet;
    const char32_t* ipa;
};

const PhoneIpa kConsonants[] = {
    {"B", U"b"},  {"CH", U"tʃ"}, {"D", U"d"}, {"DH", U"ð"}, {"F", U"f"},  {"G", U"ɡ"},  {"HH", U"h"},
    {"JH", U"dʒ"}, {"K", U"k"},  {"L", U"l"}, {"M", U"m"},  {"N", U"n"},  {"NG", U"ŋ"}, {"P", U"p"},
    {"R", U"r"},  {"S", U"s"},   {"SH", U"ʃ"}, {"T", U"t"}, {"TH", U"θ"}, {"V", U"v"},  {"W", U"w"},
    {"Y", U"j"},  {"Z", U"z"},   {"ZH", U"ʒ"},
};

// Vowels: {stressed, unstressed}. Unstressed AH is the schwa, unstressed IY and UW
// the short weak vowels of "happy" and "into".
struct VowelIpa {
    const char* arpabet;
    const char32_t* stressed;
    const char32_t* unstressed;
};

const VowelIpa kVowels[] = {
    {"AA", U"ɑː", U"ɑː"}, {"AE", U"æ", U"æ"},   {"AH", U"ʌ", U"ə"},   {"AO", U"ɔː", U"ɔː"},
    {"AW", U"aʊ", U"aʊ"}, {"AY", U"aɪ", U"aɪ"}, {"EH", U"e", U"e"},   {"ER", U"ɜːr", U"ər"},
    {"EY", U"eɪ", U"eɪ"}, {"IH", U"ɪ", U"ɪ"},   {"IY", U"iː", U"i"},  {"OW", U"oʊ", U"oʊ"},
    {"OY", U"ɔɪ", U"ɔɪ"}, {"UH", U"ʊ", U"ʊ"},   {"UW", U"uː", U"u"},
};

// Consonant clusters that can begin an English syllable (besides any single
// consonant but NG).
const std::set<std::string> kOnsetClusters = {
    "P R", "B R", "T R", "D R", "K R", "G R", "F R", "TH R", "SH R",
    "P L", "B L", "K L", "G L", "F L", "S L",
    "P Y", "B Y", "K Y", "G Y", "F Y", "V Y", "M Y", "HH Y",
    "T W", "D W", "K W", "G W", "S W", "TH W",
    "S P", "S T", "S K", "S M", "S N",
    "S P R", "S T R", "S K R", "S P L", "S K W", "S K Y", "S P Y",
};

bool IsOnset(const std::vector<Phone>& phones, size_t from, size_t to)
{
    if (to - from == 1)
        return phones[from].base != "NG";
    std::string cluster;
    for (size_t k = from; k < to; ++k)
        cluster += (k > from ? " " : "") + phones[k].base;
    return kOnsetClusters.count(cluster) != 0;
}

bool ParsePhones(const std::string& arpabet, std::vector<Phone>& phones, std::string* error)
{
    std::istringstream in(arpabet);
    std::string token;
    while (in >> token) {
        Phone p;
        if (std::isdigit(static_cast<unsigned char>(token.back()))) {
            p.stress = token.back() - '0';
            token.pop_back();
        }
        p.base = token;
        const bool vowel = std::any_of(std::begin(kVowels), std::end(kVowels),
                                       [&](const VowelIpa& v) { return token == v.arpabet; });
        const bool consonant = std::any_of(std::begin(kConsonants), std::end(kConsonants),
                                           [&](const PhoneIpa& c) { return token == c.arpabet; });
        if ((!vowel && !consonant) || vowel != p.IsVowel() || p.stress > 2) {
            if (error)
                *error = "unknown ARPAbet phone \"" + token + "\"";
            return false;
        }
        phones.push_back(p);
    }
    if (phones.empty()) {
        if (error)
            *error = "empty pronunciation";
        return false;
    }
    return true;
}

std::u32string VowelIpaFor(const std::vector<Phone>& phones, size_t i)
{
    const Phone& p = phones[i];
    const bool beforeR = i + 1 < phones.size() && phones[i + 1].base == "R";
    // Before r American English has the lax vowels of "near" and "tour".
    if (beforeR && p.base == "IY")
        return U"ɪ";
    if (beforeR && p.base == "UW")
        return U"ʊ";
    for (const VowelIpa& v : kVowels)
        if (p.base == v.arpabet)
            return p.stress == 0 ? v.unstressed : v.stressed;
    return U"";
}

// A schwa before a final l or n is written as a syllabic consonant after the
// consonants where dictionaries do so (ˈæpl, ˈbʌtn, ˈsevn but ˈlemən, ˈoʊpən).
bool IsSyllabicSchwa(const std::vector<Phone>& phones, size_t i)
{
    if (phones[i].base != "AH" || phones[i].stress != 0 || i == 0 || i + 1 >= phones.size())
        return false;
    const std::string& prev = phones[i - 1].base;
    const std::string& next = phones[i + 1].base;
    // Only at the end of the word, or before an inflection (apples, buttoned).
    const size_t rest = phones.size() - (i + 2);
    if (rest > 1 || (rest == 1 && phones.back().base != "Z" && phones.back().base != "S" &&
                     phones.back().base != "D"))
        return false;
    if (phones[i - 1].IsVowel())
        return false;
    if (next == "L")
        return prev != "R" && prev != "L" && prev != "W" && prev != "Y" && prev != "HH" && prev != "NG";
    if (next == "N") {
        static const std::set<std::string> kBeforeSyllabicN = {"T", "D", "S", "Z", "SH", "ZH", "F", "V", "TH", "DH"};
        return kBeforeSyllabicN.count(prev) != 0;
    }
    return false;
}

} // namespace

bool ArpabetToIpa(const std::string& arpabet, std::u32string& ipa, std::string* error)
{
    std::vector<Phone> phones;
    if (!ParsePhones(arpabet, phones, error))
        return false;

    // Where each syllable starts: before its vowel's onset.
    std::vector<size_t> vowels;
    for (size_t i = 0; i < phones.size(); ++i)
        if (phones[i].IsVowel())
            vowels.push_back(i);
    // Marks follow the learners' dictionaries: the first primary stress, and a
    // secondary stress only before it and with an unstressed syllable in between
    // (ˌʌndərˈstænd, but ˈdɪkʃəneri and ˈklæsruːm rather than CMUdict's compound
    // stresses, whose syllable breaks would fall wrong: ˈklæˌsmeɪt).
    size_t primary = vowels.size();
    for (size_t k = 0; k < vowels.size() && primary == vowels.size(); ++k)
        if (phones[vowels[k]].stress == 1)
            primary = k;
    std::vector<int> stressAt(phones.size() + 1, -1);
    if (vowels.size() > 1) {
        for (size_t k = 0; k < vowels.size(); ++k) {
            int mark = -1;
            if (k == primary) {
                mark = 1;
            } else if (k < primary && phones[vowels[k]].stress == 2) {
                for (size_t between = k + 1; between < primary; ++between)
                    if (phones[vowels[between]].stress == 0)
                        mark = 2;
            }
            if (mark < 0)
                continue;
            size_t start = 0;
            if (k > 0) {
                const size_t first = vowels[k - 1] + 1; // consonants between the two vowels
                start = vowels[k];
                while (start > first && IsOnset(phones, start - 1, vowels[k]))
                    --start;
            }
            stressAt[start] = mark;
        }
    }
    // CMUdict gives some final -y a secondary stress (thirty: TH ER1 T IY2); unmarked,
    // it is the weak vowel of "happy".
    if (!vowels.empty() && primary < vowels.size() - 1 && vowels.back() == phones.size() - 1 &&
        phones.back().base == "IY" && phones.back().stress == 2)
        phones.back().stress = 0;

    ipa.clear();
    bool pendingR = false;
    for (size_t i = 0; i < phones.size(); ++i) {
        if (stressAt[i] == 1)
            ipa += U'ˈ';
        else if (stressAt[i] == 2)
            ipa += U'ˌ';
        if (pendingR) {
            ipa += U'r';
            pendingR = false;
        }
        const Phone& p = phones[i];
        if (p.base == "ER" && i + 1 < phones.size() && phones[i + 1].IsVowel()) {
            // The r of "correct" or "arrive" begins the next syllable: kəˈrekt.
            ipa += p.stress == 0 ? U"ə" : U"ɜː";
            pendingR = true;
        } else if (!p.IsVowel()) {
            for (const PhoneIpa& c : kConsonants)
                if (p.base == c.arpabet)
                    ipa += c.ipa;
        } else if (!IsSyllabicSchwa(phones, i)) {
            ipa += VowelIpaFor(phones, i);
        }
    }
    return true;
}

bool CmuDict::Load(const std::string& bytes, const std::string& file, Report& report)
{
    m_words.clear();
    int number = 0;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.compare(0, 3, ";;;") == 0)
            continue;
        const size_t gap = line.find("  ");
        if (gap == std::string::npos || gap == 0) {
            report.Error(file, number, "expected \"WORD  PHONES\"");
            continue;
        }
        std::string word = line.substr(0, gap);
        // "WORD(1)" is the second pronunciation of WORD.
        const size_t paren = word.find('(');
        if (paren != std::string::npos && paren > 0 && word.back() == ')')
            word.erase(paren);
        m_words[Upper(word)].push_back(line.substr(gap + 2));
    }
    return report.Errors() == 0 && !m_words.empty();
}

const std::vector<std::string>* CmuDict::Find(const std::string& word) const
{
    auto it = m_words.find(Upper(word));
    return it == m_words.end() ? nullptr : &it->second;
}

bool ParseVariantChoices(const std::string& bytes, const std::string& file, std::map<std::string, int>& out,
                         Report& report)
{
    const int before = report.Errors();
    for (const TextLine& line : DecodeLines(bytes, DetectEncoding(bytes))) {
        const std::string text = EncodeUtf8(line.text);
        if (text.empty() || text[0] == '#')
            continue;
        const size_t tab = text.find('\t');
        int index = -1;
        if (tab != std::string::npos && tab > 0) {
            const std::string num = text.substr(tab + 1);
            if (!num.empty() && num.size() < 3 && std::all_of(num.begin(), num.end(), ::isdigit))
                index = std::stoi(num);
        }
        if (index < 0) {
            report.Error(file, line.number, "expected \"word<TAB>index\"");
            continue;
        }
        out[Upper(text.substr(0, tab))] = index;
    }
    return report.Errors() == before;
}

bool CmuIpaForWord(const CmuDict& dict, const std::map<std::string, int>& choices, const std::string& word,
                   std::u32string& ipa, std::string* error)
{
    // The whole word first (cmudict knows "T-shirt"), then word by word.
    std::vector<std::string> parts;
    if (dict.Find(word)) {
        parts.push_back(word);
    } else {
        std::istringstream words(word);
        for (std::string w; words >> w;)
            parts.push_back(w);
    }
    ipa.clear();
    if (parts.empty()) {
        if (error)
            *error = "no word";
        return false;
    }
    for (const std::string& part : parts) {
        const std::vector<std::string>* prons = dict.Find(part);
        if (!prons) {
            if (error)
                *error = "\"" + part + "\" is not in the pronouncing dictionary";
            return false;
        }
        auto choice = choices.find(Upper(part));
        size_t index = choice == choices.end() ? 0 : static_cast<size_t>(choice->second);
        if (index >= prons->size()) {
            if (error)
                *error = "\"" + part + "\" has no pronunciation number " + std::to_string(index);
            return false;
        }
        std::u32string one;
        std::string why;
        if (!ArpabetToIpa((*prons)[index], one, &why)) {
            if (error)
                *error = "\"" + part + "\": " + why;
            return false;
        }
        if (!ipa.empty())
            ipa += U' ';
        ipa += one;
    }
    return true;
}

std::string FillIpaFromCmuDict(const std::string& bytes, const std::string& file, const CmuDict& dict,
                               const std::map<std::string, int>& choices, Report& report)
{
    std::string out;
    for (const TextLine& line : DecodeLines(bytes, DetectEncoding(bytes))) {
        const std::string text = EncodeUtf8(line.text);
        const size_t firstVisible = text.find_first_not_of(" \t");
        if (firstVisible == std::string::npos || text[firstVisible] == '#') {
            out += text + "\n";
            continue;
        }
        std::vector<std::string> cols;
        for (size_t start = 0;;) {
            const size_t tab = text.find('\t', start);
            cols.push_back(text.substr(start, tab == std::string::npos ? tab : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (cols.size() < 2 || cols.size() > 3) {
            report.Error(file, line.number, "expected word, IPA and meaning (or word and meaning) separated by tabs");
            continue;
        }
        const std::string& word = cols[0];
        const std::string& meaning = cols.back();

        std::u32string ipa;
        std::string error;
        if (!CmuIpaForWord(dict, choices, word, ipa, &error)) {
            report.Error(file, line.number, error);
            continue;
        }
        out += word + "\t" + EncodeUtf8(ipa) + "\t" + meaning + "\n";
    }
    return out;
}

} // namespace kmtool
