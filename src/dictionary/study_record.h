// The study record of one dictionary: the words the learner has marked, each with its
// Leitner box, the day it is due again and how often it was missed. It lives beside
// the dictionary as "<name>.study", UTF-8 text, one tab-separated line per word:
//
//     # comment lines start with '#'
//     word<TAB>box<TAB>due<TAB>lapses      box 1..5 or "mastered", due YYYY-MM-DD
//
// The dictionary file itself is never touched. Lines this program did not write (a
// comment, a damaged or foreign line, a second line for a word already recorded) are
// kept byte for byte and otherwise ignored. In memory words are code page 936 text,
// as the dictionary's fields are, and are matched by the word field exactly.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace lex {

// A day as a count of days since 1970-01-01.
using StudyDay = int;

StudyDay DayFromDate(int year, int month, int day);
// "YYYY-MM-DD" (a real calendar day); false for anything else.
bool ParseStudyDay(const std::string& text, StudyDay* day);
std::string FormatStudyDay(StudyDay day);
// Today as the study record sees it: the environment variable LEXORIN_TODAY when it
// holds a valid YYYY-MM-DD (so that tests can move time), else the local date.
StudyDay StudyToday();

struct StudyCard {
    static constexpr int kLastBox = 5;
    static constexpr int kMasteredBox = kLastBox + 1;

    std::string word; // code page 936
    int box = 1;      // 1..kLastBox, or kMasteredBox
    StudyDay due = 0;
    int lapses = 0;

    bool Mastered() const { return box >= kMasteredBox; }
    // Due words come back; a word waiting for a later day, or mastered, does not.
    bool IsDue(StudyDay today) const { return !Mastered() && due <= today; }
};

// The Leitner steps. Known: one box up, due 1, 3, 7 or 14 days later in boxes 2 to 5;
// known in the last box: mastered. Not known: back to box 1, due today, one lapse more.
void MarkCardKnown(StudyCard& card, StudyDay today);
void MarkCardUnknown(StudyCard& card, StudyDay today);

struct StudyCounts {
    int marked = 0;   // words in the record
    int mastered = 0;
    int dueToday = 0; // due today or earlier
    int lapses = 0;   // the sum of all words' lapses
};

class CStudyRecord {
public:
    // The record file that belongs to a dictionary: its path with ".KM" (any letter
    // case) replaced by ".study", or ".study" appended.
    static std::string PathForDictionary(const std::string& dictionaryPath);

    // Reads the file; a missing file is an empty record. False (record empty) only
    // when the file exists but cannot be read.
    bool Load(const std::string& path);
    // Writes the whole record as one atomic replacement of the file.
    bool Save() const;
    const std::string& Path() const { return m_path; }

    const StudyCard* Find(const std::string& word) const;
    // Applies a mark to word (a new word starts in box 1) and saves. Nullptr when the
    // word cannot be recorded (empty, or holding a tab or line break) or the file
    // cannot be written; the record is then as it was.
    const StudyCard* Mark(const std::string& word, bool known, StudyDay today);
    // Drops every card (the lines it does not own stay) and saves.
    bool Clear();

    const std::vector<StudyCard>& Cards() const { return m_cards; }
    StudyCounts Count(StudyDay today) const;
    // The words not yet mastered as UTF-8 tab-separated text with a heading line:
    // word, box, due, lapses.
    std::string ExportTsv() const;

private:
    struct Line {
        std::string raw; // the line as read, terminator included; unused for a card
        int card = -1;   // index into m_cards, or -1 for a line kept as it is
    };
    static bool ParseCard(const std::string& text, StudyCard* card);
    std::string Serialise() const;

    std::string m_path;
    std::vector<Line> m_lines;
    std::vector<StudyCard> m_cards;
    std::unordered_map<std::string, size_t> m_index;
};

} // namespace lex
