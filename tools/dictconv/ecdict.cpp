#include "ecdict.h"

#include "dictionary/phonetic_table.h"
#include "platform.h"
#include "dictionary/text_codec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kmtool {

namespace {

// Width on the strip: code page 936 has one byte for ASCII and two for the rest.
size_t Width(const std::u32string& s)
{
    size_t w = 0;
    for (char32_t c : s)
        w += c < 0x80 ? 1 : 2;
    return w;
}

bool IsHan(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF);
}

// ----- phonetic -----

bool IsVowelSymbol(char32_t c)
{
    static const char32_t kVowels[] = U"aeiouəɛæɑɒɔʌʊɪɜɚ";
    return std::find(std::begin(kVowels), std::end(kVowels) - 1, c) != std::end(kVowels) - 1;
}

bool IsLetterSymbol(char32_t c)
{
    return (c >= U'a' && c <= U'z') || c == U'^' || c == U'\\' || c > 0x7F;
}

} // namespace

std::u32string NormaliseEcdictPhonetic(const std::u32string& ecdict)
{
    std::u32string s = Trim(ecdict);
    if (s.size() >= 2 && ((s.front() == U'/' && s.back() == U'/') || (s.front() == U'[' && s.back() == U']')))
        s = Trim(s.substr(1, s.size() - 2));

    // The first variant: up to "; ", "(?@)", or a ',' or '.' that starts another
    // ("a, b", "a. b", "a,-b", "a,'b").
    size_t cut = s.find(U';');
    cut = std::min(cut, s.find(U"(?"));
    for (size_t i = 1; i + 1 < s.size() && i < cut; ++i) {
        if ((s[i] == U',' || s[i] == U'.') && (s[i + 1] == U' ' || s[i + 1] == U'-' || s[i + 1] == U'\'')) {
            cut = i;
            break;
        }
    }
    if (cut != std::u32string::npos)
        s = Trim(s.substr(0, cut));
    // A variant for part of the word ("-pe") left after a secondary-stress comma.
    if (!s.empty() && s.back() == U'-') {
        const size_t sep = s.find_last_of(U",. ");
        s = sep == std::u32string::npos || sep == 0 ? std::u32string() : Trim(s.substr(0, sep));
    }

    std::u32string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char32_t c = s[i];
        switch (c) {
        case 0x04D9: // ә
        case U'@':
            out += U'ə';
            break;
        case 0x0454: // є
        case 0x03B5: // ε
            out += U'ɛ';
            break;
        case U'\'':
            out += U'ˈ';
            break;
        case U':':
            out += U'ː';
            break;
        case U'g':
        case U'^':
            out += U'ɡ';
            break;
        case U'\\':
            while (i + 1 < s.size() && s[i + 1] == U'\\')
                ++i;
            out += U'ɜ';
            break;
        case U',':
        case U'.':
            if (i + 1 < s.size() && IsLetterSymbol(s[i + 1]))
                out += U'ˌ';
            break;
        default:
            out += c;
        }
    }
    // 'j' is ECDICT's ʊ where a j cannot stand: after ə or a, or before a consonant or
    // the end. Decided right to left so that "jj" reads jʊ.
    for (size_t k = out.size(); k-- > 0;) {
        if (out[k] != U'j')
            continue;
        const char32_t before = k > 0 ? out[k - 1] : 0;
        const char32_t after = k + 1 < out.size() ? out[k + 1] : 0;
        const bool vowelAfter = after != 0 && (IsVowelSymbol(after) || after == U'ː');
        if (before == U'ə' || before == U'a' || !vowelAfter)
            out[k] = U'ʊ';
    }
    return Trim(out);
}

namespace {

// ----- meaning -----

struct Group {
    std::u32string pos;                 // "n.", "vt. & vi.", or empty
    std::vector<std::u32string> senses; // cleaned
    bool specialist = false;            // opened with a subject label
};

// "[计]", "[医学]": a bracket of one to three Chinese characters.
size_t SubjectLabelLength(const std::u32string& s, size_t at)
{
    if (at >= s.size() || (s[at] != U'[' && s[at] != U'【'))
        return 0;
    size_t i = at + 1;
    while (i < s.size() && IsHan(s[i]) && i - at <= 3)
        ++i;
    if (i == at + 1 || i >= s.size() || (s[i] != U']' && s[i] != U'】'))
        return 0;
    return i + 1 - at;
}

std::u32string WithoutLeadingLabels(std::u32string s, bool* hadLabel)
{
    for (;;) {
        s = Trim(s);
        const size_t n = SubjectLabelLength(s, 0);
        if (n == 0)
            return s;
        *hadLabel = true;
        s.erase(0, n);
    }
}

// "n.", "vt.", "vt. & vi.", "a." at the start of a line; its length, or 0.
size_t PosLength(const std::u32string& s)
{
    size_t i = 0;
    size_t end = 0;
    for (;;) {
        size_t j = i;
        while (j < s.size() && s[j] >= U'a' && s[j] <= U'z')
            ++j;
        if (j == i || j - i > 6 || j >= s.size() || s[j] != U'.')
            return end;
        end = j + 1;
        size_t k = end;
        while (k < s.size() && s[k] == U' ')
            ++k;
        if (k < s.size() && (s[k] == U'&' || s[k] == U'/')) {
            ++k;
            while (k < s.size() && s[k] == U' ')
                ++k;
            i = k;
            continue;
        }
        return end;
    }
}

std::u32string NormalisePos(std::u32string pos)
{
    if (pos == U"a.")
        return U"adj.";
    if (pos == U"interj.")
        return U"int.";
    for (char32_t& c : pos) {
        if (c == U'/')
            c = U'&';
    }
    return pos;
}

// Splits a line's body at sense separators outside brackets.
std::vector<std::u32string> SplitSenses(const std::u32string& body)
{
    std::vector<std::u32string> out;
    std::u32string cur;
    int depth = 0;
    for (char32_t c : body) {
        if (c == U'(' || c == U'（' || c == U'[' || c == U'【')
            ++depth;
        else if ((c == U')' || c == U'）' || c == U']' || c == U'】') && depth > 0)
            --depth;
        if (depth == 0 && (c == U',' || c == U'，' || c == U';' || c == U'；')) {
            out.push_back(cur);
            cur.clear();
            continue;
        }
        cur += c;
    }
    out.push_back(cur);
    return out;
}

// Private-use characters have codes in the user-defined area of code page 936 but no
// glyph a reader could recognise: they count as outside it.
bool IsPrivateUse(char32_t c)
{
    return c >= 0xE000 && c <= 0xF8FF;
}

bool InCodePage936(char32_t c)
{
    if (c < 0x80)
        return true;
    std::string bytes;
    return !IsPrivateUse(c) && EncodeCp936(std::u32string(1, c), bytes, nullptr);
}

bool AllInCodePage936(const std::u32string& s)
{
    std::string bytes;
    return std::none_of(s.begin(), s.end(), IsPrivateUse) && EncodeCp936(s, bytes, nullptr);
}

// Removes the characters code page 936 lacks; returns how many went.
int DropOutside936(std::u32string& s)
{
    if (AllInCodePage936(s))
        return 0;
    int dropped = 0;
    std::u32string kept;
    for (char32_t c : s) {
        if (InCodePage936(c))
            kept += c;
        else
            ++dropped;
    }
    s = kept;
    return dropped;
}

std::vector<Group> ParseTranslation(const std::u32string& translation)
{
    // Lines are separated by a literal "\n" (ECDICT writes "\r\n" in places) and by
    // real line breaks.
    std::vector<std::u32string> lines;
    std::u32string cur;
    for (size_t i = 0; i < translation.size(); ++i) {
        const char32_t c = translation[i];
        if (c == U'\\' && i + 1 < translation.size() && (translation[i + 1] == U'n' || translation[i + 1] == U'r')) {
            ++i;
            lines.push_back(cur);
            cur.clear();
        } else if (c == U'\n' || c == U'\r') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    lines.push_back(cur);

    std::vector<Group> groups;
    for (const std::u32string& raw : lines) {
        std::u32string line = Trim(raw);
        if (line.empty())
            continue;
        Group g;
        const size_t posLen = PosLength(line);
        if (posLen > 0) {
            g.pos = NormalisePos(line.substr(0, posLen));
            line = Trim(line.substr(posLen));
        }
        line = WithoutLeadingLabels(line, &g.specialist);
        if (line.rfind(U"[网络]", 0) == 0) {
            g.specialist = true;
            line = Trim(line.substr(4));
        }
        for (std::u32string sense : SplitSenses(line)) {
            bool labelled = false;
            sense = WithoutLeadingLabels(sense, &labelled);
            for (char32_t& c : sense) {
                if (c == U'/')
                    c = U'／';
                else if (c == U'\t')
                    c = U' ';
            }
            if (!sense.empty() && std::find(g.senses.begin(), g.senses.end(), sense) == g.senses.end())
                g.senses.push_back(sense);
        }
        if (!g.senses.empty())
            groups.push_back(g);
    }
    return groups;
}

} // namespace

std::u32string CondenseMeaning(const std::u32string& translation, size_t budget, MeaningDrops* drops)
{
    std::vector<Group> groups = ParseTranslation(translation);
    if (std::any_of(groups.begin(), groups.end(), [](const Group& g) { return !g.specialist; })) {
        groups.erase(std::remove_if(groups.begin(), groups.end(), [](const Group& g) { return g.specialist; }),
                     groups.end());
    }
    // Code page 936: senses with a character it lacks go when the group has others.
    for (Group& g : groups) {
        std::vector<std::u32string> clean;
        std::vector<std::u32string> lossy;
        for (const std::u32string& s : g.senses) {
            (AllInCodePage936(s) ? clean : lossy).push_back(s);
        }
        if (!clean.empty()) {
            if (drops)
                drops->senses += static_cast<int>(lossy.size());
            g.senses = clean;
            continue;
        }
        std::vector<std::u32string> kept;
        for (std::u32string s : g.senses) {
            const int n = DropOutside936(s);
            if (drops)
                drops->characters += n;
            s = Trim(s);
            if (!s.empty())
                kept.push_back(s);
        }
        g.senses = kept;
        std::u32string pos = g.pos;
        const int n = DropOutside936(pos);
        if (drops)
            drops->characters += n;
        g.pos = pos;
    }
    groups.erase(std::remove_if(groups.begin(), groups.end(), [](const Group& g) { return g.senses.empty(); }),
                 groups.end());
    if (groups.empty())
        return std::u32string();

    // Round by round: every group's first sense, then every second sense, ...
    std::vector<size_t> taken(groups.size(), 0);
    std::vector<bool> closed(groups.size(), false);
    const auto total = [&]() {
        size_t w = 0;
        bool first = true;
        for (size_t k = 0; k < groups.size(); ++k) {
            if (taken[k] == 0)
                continue;
            w += first ? 0 : 1; // the blank between groups
            first = false;
            if (!groups[k].pos.empty())
                w += Width(groups[k].pos) + 1;
            for (size_t s = 0; s < taken[k]; ++s)
                w += Width(groups[k].senses[s]) + (s > 0 ? 2 : 0);
        }
        return w;
    };
    for (size_t round = 0;; ++round) {
        bool any = false;
        for (size_t k = 0; k < groups.size(); ++k) {
            if (closed[k] || taken[k] != round || round >= groups[k].senses.size())
                continue;
            ++taken[k];
            if (total() > budget) {
                --taken[k];
                closed[k] = true;
                continue;
            }
            any = true;
        }
        if (!any)
            break;
    }
    if (taken[0] == 0) {
        // Even the first sense is too wide: cut it.
        Group& g = groups[0];
        const size_t room = budget - std::min(budget, g.pos.empty() ? 0 : Width(g.pos) + 1) - 2;
        std::u32string cut;
        for (char32_t c : g.senses[0]) {
            if (Width(cut) + (c < 0x80 ? 1 : 2) > room)
                break;
            cut += c;
        }
        g.senses[0] = Trim(cut) + U"…";
        taken[0] = 1;
    }

    std::u32string out;
    for (size_t k = 0; k < groups.size(); ++k) {
        if (taken[k] == 0)
            continue;
        if (!out.empty())
            out += U' ';
        if (!groups[k].pos.empty())
            out += groups[k].pos + U" ";
        for (size_t s = 0; s < taken[k]; ++s)
            out += (s > 0 ? U"；" : U"") + groups[k].senses[s];
    }
    return out;
}

namespace {

// RFC 4180 fields of one csv line, in bytes.
void SplitCsvLine(const std::string& line, std::vector<std::string>& fields)
{
    fields.clear();
    std::string cur;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    cur += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cur += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    fields.push_back(cur);
}

bool HasTag(const std::string& tags, const std::string& tag)
{
    for (size_t at = tags.find(tag); at != std::string::npos; at = tags.find(tag, at + 1)) {
        const bool startOk = at == 0 || tags[at - 1] == ' ';
        const size_t end = at + tag.size();
        if (startOk && (end == tags.size() || tags[end] == ' '))
            return true;
    }
    return false;
}

struct Row {
    int line;
    std::string word;
    std::string phonetic;
    std::string translation;
    long frq;
    long bnc;
    std::string sortKey; // lower-case word
};

long Rank(const std::string& s)
{
    const long v = std::strtol(s.c_str(), nullptr, 10);
    return v > 0 ? v : 0;
}

// Ranked by frq, then by bnc only, then unranked; alphabetical within a tie.
bool MoreFrequent(const Row& a, const Row& b)
{
    const int tierA = a.frq ? 0 : a.bnc ? 1 : 2;
    const int tierB = b.frq ? 0 : b.bnc ? 1 : 2;
    if (tierA != tierB)
        return tierA < tierB;
    if (tierA == 0 && a.frq != b.frq)
        return a.frq < b.frq;
    if (tierA <= 1 && a.bnc != b.bnc) {
        if (!a.bnc || !b.bnc)
            return a.bnc != 0;
        return a.bnc < b.bnc;
    }
    if (a.sortKey != b.sortKey)
        return a.sortKey < b.sortKey;
    return a.word < b.word;
}

const char kHeadingPrefix[] = "# tag ";

} // namespace

std::string MakeExamBook(const std::string& csv, const std::string& file, const ExamBookOptions& options,
                         Report& report, ExamBookStats* stats)
{
    ExamBookStats local;
    ExamBookStats& st = stats ? *stats : local;
    st = ExamBookStats();

    enum Column { kWord, kPhonetic, kTranslation, kTag, kBnc, kFrq, kColumns };
    const char* const names[kColumns] = {"word", "phonetic", "translation", "tag", "bnc", "frq"};
    size_t column[kColumns];
    std::vector<std::string> fields;
    std::vector<Row> rows;
    size_t pos = csv.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int number = 0;
    while (pos < csv.size()) {
        size_t end = csv.find('\n', pos);
        if (end == std::string::npos)
            end = csv.size();
        size_t len = end - pos;
        if (len > 0 && csv[pos + len - 1] == '\r')
            --len;
        const std::string line = csv.substr(pos, len);
        pos = end + 1;
        ++number;
        if (number == 1) {
            SplitCsvLine(line, fields);
            for (int k = 0; k < kColumns; ++k) {
                column[k] = std::find(fields.begin(), fields.end(), names[k]) - fields.begin();
                if (column[k] == fields.size()) {
                    report.Error(file, 1, std::string("no column \"") + names[k] + "\" in the heading");
                    return std::string();
                }
            }
            continue;
        }
        // Most rows carry no tag at all: look for it before splitting the line.
        if (line.find(options.tag) == std::string::npos)
            continue;
        SplitCsvLine(line, fields);
        if (fields.size() <= *std::max_element(column, column + kColumns))
            continue;
        if (!HasTag(fields[column[kTag]], options.tag))
            continue;
        const std::u32string translation = Trim(DecodeUtf8(fields[column[kTranslation]]));
        if (translation.empty())
            continue;
        ++st.tagged;
        Row r{number, fields[column[kWord]], fields[column[kPhonetic]], fields[column[kTranslation]],
              Rank(fields[column[kFrq]]), Rank(fields[column[kBnc]]), fields[column[kWord]]};
        for (char& c : r.sortKey)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        rows.push_back(r);
    }
    std::stable_sort(rows.begin(), rows.end(), MoreFrequent);

    const std::map<std::string, int> noChoices;
    std::string body;
    for (const Row& r : rows) {
        const std::u32string word = Trim(DecodeUtf8(r.word));
        if (word.empty() || word.find(U'/') != std::u32string::npos || word.find(U'\t') != std::u32string::npos ||
            word[0] == U'#' || !AllInCodePage936(word)) {
            ++st.wordRejected;
            report.Warning(file, r.line, "the word \"" + r.word + "\" cannot stand in a .KM line; left out");
            continue;
        }
        MeaningDrops drops;
        const std::u32string meaning = CondenseMeaning(DecodeUtf8(r.translation), options.meaningBudget, &drops);
        if (meaning.empty()) {
            ++st.meaningEmpty;
            report.Warning(file, r.line, "nothing of the translation of \"" + r.word + "\" is left; left out");
            continue;
        }
        if (drops.characters || drops.senses)
            ++st.entriesWithDrops;
        st.drops.characters += drops.characters;
        st.drops.senses += drops.senses;

        std::u32string ipa;
        std::string codes;
        if (options.cmu && CmuIpaForWord(*options.cmu, options.choices ? *options.choices : noChoices, r.word, ipa,
                                         nullptr) &&
            lex::IpaToCodes(ipa, codes, nullptr)) {
            ++st.phoneticCmu;
        } else {
            ipa = NormaliseEcdictPhonetic(DecodeUtf8(r.phonetic));
            if (ipa.empty()) {
                ++st.phoneticNone;
            } else if (!lex::IpaToCodes(ipa, codes, nullptr)) {
                ++st.phoneticUnusable;
                ++st.phoneticNone;
                ipa.clear();
            } else {
                ++st.phoneticEcdict;
            }
        }
        body += EncodeUtf8(word) + "\t" + EncodeUtf8(ipa) + "\t" + EncodeUtf8(meaning) + "\n";
        st.meaningBytes.push_back(static_cast<int>(Width(meaning)));
        ++st.written;
    }
    std::string out = kHeadingPrefix + options.tag + ": " + std::to_string(st.tagged) +
                      " rows with a translation, " + std::to_string(st.written) + " written\n";
    out += "# Made from ECDICT by kmtool --from-ecdict (see SOURCES.md); do not edit by hand.\n";
    out += "# Most frequent first. word<TAB>IPA<TAB>meaning; meanings at most " +
           std::to_string(options.meaningBudget) + " bytes of code page 936.\n";
    return out + body;
}

bool ReadExamBookHeading(const std::string& tsv, std::string* tag, int* tagged, int* written)
{
    const size_t n = std::strlen(kHeadingPrefix);
    if (tsv.compare(0, n, kHeadingPrefix) != 0)
        return false;
    const size_t colon = tsv.find(':', n);
    const size_t lineEnd = tsv.find('\n');
    if (colon == std::string::npos || colon > lineEnd)
        return false;
    *tag = tsv.substr(n, colon - n);
    char* next = nullptr;
    const char* p = tsv.c_str() + colon + 1;
    *tagged = static_cast<int>(std::strtol(p, &next, 10));
    const char* comma = std::strchr(next, ',');
    if (!comma || comma > tsv.c_str() + lineEnd)
        return false;
    *written = static_cast<int>(std::strtol(comma + 1, &next, 10));
    return next != comma + 1;
}

} // namespace kmtool
