#include "dictionary/study_record.h"

#include "base/fileio.h"
#include "base/text.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace lex {

namespace {

constexpr char kHeader[] = "# Lexorin study record (UTF-8): word<TAB>box<TAB>due<TAB>lapses; "
                           "box 1-5 or mastered, due YYYY-MM-DD\r\n";
constexpr char kMastered[] = "mastered";
constexpr char kLineEnd[] = "\r\n";
// Days to wait after a known mark that lands in box 2, 3, 4, 5.
constexpr int kWaitDays[] = {1, 3, 7, 14};

bool AllDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool Recordable(const std::string& word)
{
    return !word.empty() && word.find_first_of("\t\r\n") == std::string::npos;
}

std::vector<std::string> SplitTabs(const std::string& text)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = text.find('\t', start);
        fields.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

// Days from the civil calendar (proleptic Gregorian), valid far beyond any use here.
StudyDay DayFromDate(int year, int month, int day)
{
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string FormatStudyDay(StudyDay z)
{
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp < 10 ? mp + 3 : mp - 9;
    const int y = yoe + era * 400 + (m <= 2);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

bool ParseStudyDay(const std::string& text, StudyDay* day)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    const std::string y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
    if (!AllDigits(y) || !AllDigits(m) || !AllDigits(d))
        return false;
    const StudyDay result = DayFromDate(std::atoi(y.c_str()), std::atoi(m.c_str()), std::atoi(d.c_str()));
    // A day that does not exist (2026-02-30) comes back as another one.
    if (FormatStudyDay(result) != text)
        return false;
    *day = result;
    return true;
}

StudyDay StudyToday()
{
    StudyDay day;
    if (const char* forced = std::getenv("LEXORIN_TODAY"))
        if (ParseStudyDay(forced, &day))
            return day;
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return DayFromDate(1970, 1, 1) + static_cast<StudyDay>(now / 86400);
    return DayFromDate(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
}

void MarkCardKnown(StudyCard& card, StudyDay today)
{
    if (card.Mastered())
        return;
    if (card.box >= StudyCard::kLastBox) {
        card.box = StudyCard::kMasteredBox;
        card.due = today;
        return;
    }
    card.box = card.box < 1 ? 2 : card.box + 1;
    card.due = today + kWaitDays[card.box - 2];
}

void MarkCardUnknown(StudyCard& card, StudyDay today)
{
    card.box = 1;
    card.due = today;
    ++card.lapses;
}

std::string CStudyRecord::PathForDictionary(const std::string& dictionaryPath)
{
    const size_t n = dictionaryPath.size();
    if (n >= 3 && dictionaryPath[n - 3] == '.' && (dictionaryPath[n - 2] == 'K' || dictionaryPath[n - 2] == 'k') &&
        (dictionaryPath[n - 1] == 'M' || dictionaryPath[n - 1] == 'm'))
        return dictionaryPath.substr(0, n - 3) + ".study";
    return dictionaryPath + ".study";
}

bool CStudyRecord::ParseCard(const std::string& text, StudyCard* card)
{
    const std::vector<std::string> fields = SplitTabs(text);
    if (fields.size() != 4 || fields[0].empty() || fields[0][0] == '#')
        return false;
    StudyCard parsed;
    parsed.word = Utf8ToCp936(fields[0]);
    // Text with no code page 936 form could never match a dictionary word.
    if (Cp936ToUtf8(parsed.word) != fields[0])
        return false;
    if (fields[1] == kMastered)
        parsed.box = StudyCard::kMasteredBox;
    else if (fields[1].size() == 1 && fields[1][0] >= '1' && fields[1][0] <= '0' + StudyCard::kLastBox)
        parsed.box = fields[1][0] - '0';
    else
        return false;
    if (!ParseStudyDay(fields[2], &parsed.due))
        return false;
    if (!AllDigits(fields[3]) || fields[3].size() > 9)
        return false;
    parsed.lapses = std::atoi(fields[3].c_str());
    *card = std::move(parsed);
    return true;
}

bool CStudyRecord::Load(const std::string& path)
{
    m_path = path;
    m_lines.clear();
    m_cards.clear();
    m_index.clear();
    if (!FileExists(path))
        return true;
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        Line line;
        line.raw = bytes.substr(start, end - start);
        std::string text = line.raw;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (start == 0 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            text.erase(0, 3);
        StudyCard card;
        if (ParseCard(text, &card) && !m_index.count(card.word)) {
            line.card = static_cast<int>(m_cards.size());
            line.raw.clear();
            m_index.emplace(card.word, m_cards.size());
            m_cards.push_back(std::move(card));
        }
        m_lines.push_back(std::move(line));
        start = end;
    }
    return true;
}

std::string CStudyRecord::Serialise() const
{
    std::string out;
    if (m_lines.empty() || (m_lines[0].card >= 0))
        out = kHeader;
    for (const Line& line : m_lines) {
        if (line.card < 0) {
            out += line.raw;
            continue;
        }
        // A kept last line without its own terminator.
        if (!out.empty() && out.back() != '\n')
            out += kLineEnd;
        const StudyCard& card = m_cards[static_cast<size_t>(line.card)];
        out += Cp936ToUtf8(card.word);
        out += '\t';
        out += card.Mastered() ? std::string(kMastered) : std::to_string(card.box);
        out += '\t';
        out += FormatStudyDay(card.due);
        out += '\t';
        out += std::to_string(card.lapses);
        out += kLineEnd;
    }
    return out;
}

bool CStudyRecord::Save() const
{
    return ReplaceFileContents(m_path, Serialise());
}

const StudyCard* CStudyRecord::Find(const std::string& word) const
{
    auto it = m_index.find(word);
    return it == m_index.end() ? nullptr : &m_cards[it->second];
}

const StudyCard* CStudyRecord::Mark(const std::string& word, bool known, StudyDay today)
{
    if (!Recordable(word) || m_path.empty())
        return nullptr;
    auto it = m_index.find(word);
    const bool isNew = it == m_index.end();
    StudyCard card;
    if (isNew)
        card.word = word;
    else
        card = m_cards[it->second];
    if (known)
        MarkCardKnown(card, today);
    else
        MarkCardUnknown(card, today);

    const StudyCard before = isNew ? StudyCard() : m_cards[it->second];
    size_t index;
    if (isNew) {
        index = m_cards.size();
        m_cards.push_back(card);
        m_index.emplace(word, index);
        Line line;
        line.card = static_cast<int>(index);
        m_lines.push_back(line);
    } else {
        index = it->second;
        m_cards[index] = card;
    }
    if (Save())
        return &m_cards[index];
    // Not written: the record stays as the file has it.
    if (isNew) {
        m_lines.pop_back();
        m_cards.pop_back();
        m_index.erase(word);
    } else {
        m_cards[index] = before;
    }
    return nullptr;
}

bool CStudyRecord::Clear()
{
    std::vector<Line> kept;
    for (Line& line : m_lines)
        if (line.card < 0)
            kept.push_back(std::move(line));
    m_lines = std::move(kept);
    m_cards.clear();
    m_index.clear();
    return Save();
}

StudyCounts CStudyRecord::Count(StudyDay today) const
{
    StudyCounts counts;
    for (const StudyCard& card : m_cards) {
        ++counts.marked;
        counts.mastered += card.Mastered() ? 1 : 0;
        counts.dueToday += card.IsDue(today) ? 1 : 0;
        counts.lapses += card.lapses;
    }
    return counts;
}

std::string CStudyRecord::ExportTsv() const
{
    std::string out = "word\tbox\tdue\tlapses\r\n";
    for (const Line& line : m_lines) {
        if (line.card < 0)
            continue;
        const StudyCard& card = m_cards[static_cast<size_t>(line.card)];
        if (card.Mastered())
            continue;
        out += Cp936ToUtf8(card.word) + '\t' + std::to_string(card.box) + '\t' + FormatStudyDay(card.due) + '\t' +
               std::to_string(card.lapses) + kLineEnd;
    }
    return out;
}

} // namespace lex
