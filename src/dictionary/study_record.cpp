#include "dictionary/study_record.h"

#include "base/fileio.h"
#include "base/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace lex {

namespace {

constexpr char kHeader[] = "# Lexorin study record (UTF-8): word<TAB>due<TAB>lapses<TAB>stability<TAB>"
                           "difficulty<TAB>last<TAB>reviews; days YYYY-MM-DD, reviews: the first day, then the "
                           "days since the previous mark, + known, - not known\r\n";
constexpr char kHeaderStart[] = "# Lexorin study record";
constexpr char kJournalHeader[] = "# Lexorin study journal: marks not yet folded into the record\r\n";
constexpr char kLineEnd[] = "\r\n";
// The Leitner version's boxes: a known word waited 1, 3, 7 or 14 days in boxes 2 to 5.
constexpr char kLeitnerMastered[] = "mastered";
constexpr int kLeitnerLastBox = 5;
constexpr int kLeitnerWaitDays[] = {1, 3, 7, 14};
constexpr int kRatingAgain = 1;
constexpr int kRatingGood = 3;

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

bool ParseNumber(const std::string& text, double* value)
{
    if (text.empty() || text.size() > 24)
        return false;
    for (char c : text)
        if ((c < '0' || c > '9') && c != '.')
            return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(*value);
}

std::string FormatNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// "2026-03-01+,0-,1+": the first day, then gaps, each with its mark.
bool ParseReviews(const std::string& text, std::vector<StudyReview>* reviews)
{
    reviews->clear();
    if (text.empty())
        return true;
    size_t start = 0;
    StudyDay day = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma - start < 2)
            return false;
        const std::string item = text.substr(start, comma - start - 1);
        const char mark = text[comma - 1];
        if (mark != '+' && mark != '-')
            return false;
        if (reviews->empty()) {
            if (!ParseStudyDay(item, &day))
                return false;
        } else {
            if (!AllDigits(item) || item.size() > 6)
                return false;
            day += std::atoi(item.c_str());
        }
        reviews->push_back({day, mark == '+'});
        start = comma + 1;
    }
    return true;
}

void AppendReviews(std::string& out, const std::vector<StudyReview>& reviews)
{
    for (size_t i = 0; i < reviews.size(); ++i) {
        if (i == 0) {
            out += FormatStudyDay(reviews[i].day);
        } else {
            out += ',';
            out += std::to_string(reviews[i].day - reviews[i - 1].day);
        }
        out += reviews[i].known ? '+' : '-';
    }
}

const CFsrs& Scheduler()
{
    static const CFsrs scheduler;
    return scheduler;
}

// A Leitner card as a starting state: the wait of its box is its stability (a review on
// the due day then meets 90% recall, as the schedule would have it), its last mark the
// day that wait began. A mastered card stays mastered.
bool ParseLeitnerCard(const std::vector<std::string>& fields, StudyCard* card)
{
    int box;
    if (fields[1] == kLeitnerMastered)
        box = kLeitnerLastBox + 1;
    else if (fields[1].size() == 1 && fields[1][0] >= '1' && fields[1][0] <= '0' + kLeitnerLastBox)
        box = fields[1][0] - '0';
    else
        return false;
    if (!ParseStudyDay(fields[2], &card->due))
        return false;
    if (!AllDigits(fields[3]) || fields[3].size() > 9)
        return false;
    card->lapses = std::atoi(fields[3].c_str());
    const CFsrs& fsrs = Scheduler();
    card->difficulty = fsrs.InitialDifficulty(card->lapses > 0 ? kRatingAgain : kRatingGood);
    if (box == 1) {
        card->stability = fsrs.InitialStability(kRatingAgain);
        card->last = card->due;
    } else if (box <= kLeitnerLastBox) {
        const int wait = kLeitnerWaitDays[box - 2];
        card->stability = wait;
        card->last = card->due - wait;
    } else {
        // Mastered on its due day.
        card->last = card->due;
        card->due = card->last + StudyCard::kMasteredInterval + 1;
        card->stability = StudyCard::kMasteredInterval + 1;
    }
    return true;
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

double StudyCard::Retrievability(StudyDay today) const
{
    return Scheduler().Retrievability(today > last ? today - last : 0, stability);
}

void ScheduleCard(StudyCard& card, bool known, StudyDay today, double retention)
{
    const CFsrs& fsrs = Scheduler();
    const int rating = known ? kRatingGood : kRatingAgain;
    FsrsState state;
    if (card.stability <= 0) {
        state = fsrs.First(rating);
    } else {
        // A clock set back counts as the same day.
        const int elapsed = today > card.last ? today - card.last : 0;
        state = fsrs.Next({card.stability, card.difficulty}, rating, elapsed);
    }
    card.stability = state.stability;
    card.difficulty = state.difficulty;
    card.last = today;
    card.due = today + fsrs.Interval(state.stability, retention);
    if (!known)
        ++card.lapses;
    card.reviews.push_back({today, known});
}

std::string CStudyRecord::PathForDictionary(const std::string& dictionaryPath)
{
    const size_t n = dictionaryPath.size();
    if (n >= 3 && dictionaryPath[n - 3] == '.' && (dictionaryPath[n - 2] == 'K' || dictionaryPath[n - 2] == 'k') &&
        (dictionaryPath[n - 1] == 'M' || dictionaryPath[n - 1] == 'm'))
        return dictionaryPath.substr(0, n - 3) + ".study";
    return dictionaryPath + ".study";
}

void CStudyRecord::SetRetentionPercent(int percent)
{
    m_retentionPercent = percent < kMinRetentionPercent
                             ? kMinRetentionPercent
                             : (percent > kMaxRetentionPercent ? kMaxRetentionPercent : percent);
}

bool CStudyRecord::ParseCard(const std::string& text, StudyCard* card)
{
    const std::vector<std::string> fields = SplitTabs(text);
    if ((fields.size() != 4 && fields.size() != 7) || fields[0].empty() || fields[0][0] == '#')
        return false;
    StudyCard parsed;
    parsed.word = Utf8ToCp936(fields[0]);
    // Text with no code page 936 form could never match a dictionary word.
    if (Cp936ToUtf8(parsed.word) != fields[0])
        return false;
    if (fields.size() == 4) {
        if (!ParseLeitnerCard(fields, &parsed))
            return false;
    } else {
        if (!ParseStudyDay(fields[1], &parsed.due) || !ParseStudyDay(fields[5], &parsed.last))
            return false;
        if (!AllDigits(fields[2]) || fields[2].size() > 9)
            return false;
        parsed.lapses = std::atoi(fields[2].c_str());
        if (!ParseNumber(fields[3], &parsed.stability) || parsed.stability <= 0 ||
            !ParseNumber(fields[4], &parsed.difficulty) || parsed.difficulty < 1 || parsed.difficulty > 10)
            return false;
        if (!ParseReviews(fields[6], &parsed.reviews))
            return false;
    }
    *card = std::move(parsed);
    return true;
}

std::string CStudyRecord::CardLine(const StudyCard& card)
{
    std::string out = Cp936ToUtf8(card.word);
    out += '\t';
    out += FormatStudyDay(card.due);
    out += '\t';
    out += std::to_string(card.lapses);
    out += '\t';
    out += FormatNumber(card.stability);
    out += '\t';
    out += FormatNumber(card.difficulty);
    out += '\t';
    out += FormatStudyDay(card.last);
    out += '\t';
    AppendReviews(out, card.reviews);
    out += kLineEnd;
    return out;
}

namespace {

// Calls take(text, raw) for each line of bytes: text without its terminator (and
// without a byte order mark on the first line), raw as read.
template <typename Take>
void ForEachLine(const std::string& bytes, Take take)
{
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        size_t textEnd = end;
        while (textEnd > start && (bytes[textEnd - 1] == '\n' || bytes[textEnd - 1] == '\r'))
            --textEnd;
        size_t textStart = start;
        if (start == 0 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 && textEnd >= 3)
            textStart = 3;
        take(bytes.substr(textStart, textEnd - textStart), start, end);
        start = end;
    }
}

} // namespace

bool CStudyRecord::Load(const std::string& path)
{
    m_path = path;
    m_lines.clear();
    m_cards.clear();
    m_index.clear();
    m_journalLines.clear();
    m_journalIndex.clear();
    m_journalOnDisk = false;
    std::string bytes;
    if (FileExists(path) && !ReadWholeFile(path, bytes))
        return false;
    ForEachLine(bytes, [&](const std::string& text, size_t start, size_t end) {
        Line line;
        StudyCard card;
        if (start == 0 && text.compare(0, sizeof kHeaderStart - 1, kHeaderStart) == 0) {
            line.card = kHeaderLine;
        } else if (ParseCard(text, &card) && !m_index.count(card.word)) {
            line.card = static_cast<int>(m_cards.size());
            m_index.emplace(card.word, m_cards.size());
            m_cards.push_back(std::move(card));
        } else {
            line.raw = bytes.substr(start, end - start);
        }
        m_lines.push_back(std::move(line));
    });
    const std::string journal = JournalPath(path);
    if (FileExists(journal)) {
        m_journalOnDisk = true;
        std::string journalBytes;
        if (ReadWholeFile(journal, journalBytes))
            ApplyJournal(journalBytes);
    }
    return true;
}

void CStudyRecord::ApplyJournal(const std::string& bytes)
{
    ForEachLine(bytes, [&](const std::string& text, size_t, size_t) {
        StudyCard card;
        if (!ParseCard(text, &card))
            return;
        const std::string line = CardLine(card);
        auto at = m_journalIndex.find(card.word);
        if (at == m_journalIndex.end()) {
            m_journalIndex.emplace(card.word, m_journalLines.size());
            m_journalLines.push_back(line);
        } else {
            m_journalLines[at->second] = line;
        }
        PutCard(std::move(card));
    });
}

void CStudyRecord::PutCard(StudyCard card)
{
    auto it = m_index.find(card.word);
    if (it != m_index.end()) {
        m_cards[it->second] = std::move(card);
        return;
    }
    Line line;
    line.card = static_cast<int>(m_cards.size());
    m_lines.push_back(line);
    m_index.emplace(card.word, m_cards.size());
    m_cards.push_back(std::move(card));
}

std::string CStudyRecord::Serialise() const
{
    std::string out;
    if (m_lines.empty() || m_lines[0].card != -1)
        out = kHeader;
    for (const Line& line : m_lines) {
        if (line.card == kHeaderLine)
            continue;
        if (line.card < 0) {
            out += line.raw;
            continue;
        }
        // A kept last line without its own terminator.
        if (!out.empty() && out.back() != '\n')
            out += kLineEnd;
        out += CardLine(m_cards[static_cast<size_t>(line.card)]);
    }
    return out;
}

bool CStudyRecord::WriteJournal() const
{
    std::string out = kJournalHeader;
    for (const std::string& line : m_journalLines)
        out += line;
    return ReplaceFileContents(JournalPath(m_path), out);
}

bool CStudyRecord::Fold()
{
    if (m_path.empty() || (!m_journalOnDisk && m_journalLines.empty()))
        return true;
    if (!ReplaceFileContents(m_path, Serialise()))
        return false;
    m_journalLines.clear();
    m_journalIndex.clear();
    m_journalOnDisk = !RemoveFile(JournalPath(m_path));
    return true;
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
    StudyCard card;
    if (it == m_index.end())
        card.word = word;
    else
        card = m_cards[it->second];
    ScheduleCard(card, known, today, m_retentionPercent / 100.0);

    auto at = m_journalIndex.find(word);
    const bool newInJournal = at == m_journalIndex.end();
    std::string previousLine;
    if (newInJournal) {
        m_journalLines.push_back(CardLine(card));
    } else {
        previousLine = std::move(m_journalLines[at->second]);
        m_journalLines[at->second] = CardLine(card);
    }
    if (!WriteJournal()) {
        // Not written: the record stays as the files have it.
        if (newInJournal)
            m_journalLines.pop_back();
        else
            m_journalLines[at->second] = std::move(previousLine);
        return nullptr;
    }
    m_journalOnDisk = true;
    if (newInJournal)
        m_journalIndex.emplace(word, m_journalLines.size() - 1);
    PutCard(std::move(card));
    return Find(word);
}

bool CStudyRecord::Clear()
{
    std::vector<Line> kept;
    for (Line& line : m_lines)
        if (line.card == -1)
            kept.push_back(std::move(line));
    m_lines = std::move(kept);
    m_cards.clear();
    m_index.clear();
    if (!ReplaceFileContents(m_path, Serialise()))
        return false;
    m_journalLines.clear();
    m_journalIndex.clear();
    m_journalOnDisk = !RemoveFile(JournalPath(m_path));
    return true;
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
    std::string out = "word\tdue\tinterval\tlapses\treviews\r\n";
    for (const Line& line : m_lines) {
        if (line.card < 0)
            continue;
        const StudyCard& card = m_cards[static_cast<size_t>(line.card)];
        if (card.Mastered())
            continue;
        out += Cp936ToUtf8(card.word) + '\t' + FormatStudyDay(card.due) + '\t' + std::to_string(card.Interval()) +
               '\t' + std::to_string(card.lapses) + '\t' + std::to_string(card.reviews.size()) + kLineEnd;
    }
    return out;
}

} // namespace lex
