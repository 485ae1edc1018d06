// The study record of one dictionary: the words the learner has marked, each with the
// memory state the FSRS scheduler keeps for it, the day it is due again, how often it
// was missed and every mark it was given. It lives beside the dictionary as
// "<name>.study", UTF-8 text, one tab-separated line per word:
//
//     # comment lines start with '#'
//     word<TAB>due<TAB>lapses<TAB>stability<TAB>difficulty<TAB>last<TAB>reviews
//
// due and last (the day of the last mark) are YYYY-MM-DD; reviews is the log of marks,
// oldest first: the first mark's day, then for each later mark the days since the one
// before, each followed by '+' (known) or '-' (not known): "2026-03-01+,0-,1+,3+".
// One line per word keeps a word's state and its history together, so a mark replaces
// exactly one line, and a gap costs two or three bytes where a date would cost ten.
//
// Lines the older Leitner version wrote (word<TAB>box<TAB>due<TAB>lapses) are read as a
// starting state with the due day they hold and written in the current form the next
// time the file is written. The dictionary file itself is never touched. Lines this
// program did not write (a comment, a damaged or foreign line, a second line for a word
// already recorded) are kept byte for byte and otherwise ignored.
//
// A mark does not rewrite the record: it replaces the small journal beside it
// ("<name>.study-journal", the current lines of the words marked since the record was
// last folded) in one atomic write. Load reads the journal over the record; Fold writes
// the record with the journal's lines in their places and removes the journal. Journal
// lines hold a word's whole state, so reading one twice changes nothing.
//
// In memory words are code page 936 text, as the dictionary's fields are, and are
// matched by the word field exactly.
#pragma once

#include "dictionary/fsrs.h"

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

struct StudyReview {
    StudyDay day = 0;
    bool known = false;
};

struct StudyCard {
    // A word whose next interval is longer than this is mastered: it is read past and
    // never comes back.
    static constexpr int kMasteredInterval = 365;

    std::string word; // code page 936
    StudyDay due = 0;
    int lapses = 0;
    double stability = 0; // days; 0 before the first mark
    double difficulty = 0;
    StudyDay last = 0; // the day of the last mark
    std::vector<StudyReview> reviews; // oldest first

    bool Mastered() const { return due - last > kMasteredInterval; }
    // Due words come back; a word waiting for a later day, or mastered, does not.
    bool IsDue(StudyDay today) const { return !Mastered() && due <= today; }
    int Interval() const { return due - last; }
    // The probability of recall today as the scheduler sees it.
    double Retrievability(StudyDay today) const;
};

// Schedules one mark: "known" is rated Good, "not known" Again, on today; a card never
// marked before gets its first state. The card is due again after the interval that
// keeps its recall at the desired retention.
void ScheduleCard(StudyCard& card, bool known, StudyDay today, double retention);

struct StudyCounts {
    int marked = 0;   // words in the record
    int mastered = 0;
    int dueToday = 0; // due today or earlier
    int lapses = 0;   // the sum of all words' lapses
};

class CStudyRecord {
public:
    static constexpr int kMinRetentionPercent = 80;
    static constexpr int kMaxRetentionPercent = 97;
    static constexpr int kDefaultRetentionPercent = 90;

    // The record file that belongs to a dictionary: its path with ".KM" (any letter
    // case) replaced by ".study", or ".study" appended.
    static std::string PathForDictionary(const std::string& dictionaryPath);
    static std::string JournalPath(const std::string& recordPath) { return recordPath + "-journal"; }

    // Reads the file and its journal; a missing file is an empty record. Nothing is
    // written. False (record empty) only when the file exists but cannot be read.
    bool Load(const std::string& path);
    // Writes the record with the journal's marks folded in (one atomic replacement)
    // and removes the journal; nothing is written when there is no journal.
    bool Fold();
    const std::string& Path() const { return m_path; }

    // The recall the schedule aims for, as a percentage, kept within the bounds.
    void SetRetentionPercent(int percent);
    int RetentionPercent() const { return m_retentionPercent; }

    const StudyCard* Find(const std::string& word) const;
    // Applies a mark to word and writes it to the journal. Nullptr when the word cannot
    // be recorded (empty, or holding a tab or line break) or the journal cannot be
    // written; the record is then as it was.
    const StudyCard* Mark(const std::string& word, bool known, StudyDay today);
    // Drops every card (the lines it does not own stay), writes the record and removes
    // the journal.
    bool Clear();

    const std::vector<StudyCard>& Cards() const { return m_cards; }
    StudyCounts Count(StudyDay today) const;
    // The words not yet mastered as UTF-8 tab-separated text with a heading line:
    // word, due, interval in days, lapses, reviews.
    std::string ExportTsv() const;

    // The line a card is written as, terminator included.
    static std::string CardLine(const StudyCard& card);

private:
    struct Line {
        std::string raw; // the line as read, terminator included; unused for a card
        int card = -1;   // index into m_cards, -1 for a line kept as it is, kHeaderLine
    };
    static constexpr int kHeaderLine = -2;
    static bool ParseCard(const std::string& text, StudyCard* card);
    // The card lines of a journal's bytes, applied over the record.
    void ApplyJournal(const std::string& bytes);
    void PutCard(StudyCard card);
    std::string Serialise() const;
    bool WriteJournal() const;

    std::string m_path;
    std::vector<Line> m_lines;
    std::vector<StudyCard> m_cards;
    std::unordered_map<std::string, size_t> m_index;
    int m_retentionPercent = kDefaultRetentionPercent;
    // The words marked since the last fold, in order, with their current lines.
    std::vector<std::string> m_journalLines;
    std::unordered_map<std::string, size_t> m_journalIndex;
    bool m_journalOnDisk = false;
};

} // namespace lex
