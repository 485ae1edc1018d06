// The word feed: turns dictionary lines into banner items, one entry per step, and
// keeps the reading position (the number of non-empty lines taken from the
// dictionary). It runs on the UI thread from the feed timer and the toolbar commands;
// the main bar supplies the banner, the feed timer and the program's end through
// IWordFeedHost.
#pragma once

#include "banner/banner_item.h"
#include "dictionary/entry.h"
#include "dictionary/line_reader.h"
#include "dictionary/study_record.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// The banner as the feed sees it.
class IWordFeedHost {
public:
    virtual void FeedAddItem(const CBannerItem& item) = 0;
    virtual void FeedClearBanner() = 0;
    // The line's start back at the strip's left edge, wherever scrolling left it.
    virtual void FeedMoveLineToStart() = 0;
    virtual void FeedSetAutoSize(bool on) = 0;
    virtual void FeedSetSpeed(int speed) = 0;
    virtual void FeedSetBackgroundColor(uint32_t colour) = 0;
    virtual void FeedStartTimer(int periodMs) = 0;
    virtual void FeedStopTimer() = 0;
    // A steady clock in milliseconds (any origin): while nobody can see the bar the feed
    // counts its steps by it instead of by a timer.
    virtual uint64_t FeedNowMs() const = 0;
    // No dictionary could be opened: end the program's message loop with this code.
    virtual void FeedEndProgram(int exitCode) = 0;
    // Tells the user why the program is about to end (a box that waits for OK).
    virtual void FeedShowError(const std::string& /*text*/) {}
    // An entry was added to the strip while somebody can see it and the feed runs (not
    // paused, not held): a new word or a review coming back. Not for the entries made up
    // after the bar was unseen.
    virtual void FeedEntryShown(const DictEntry& /*entry*/) {}

protected:
    ~IWordFeedHost() = default;
};

struct RowStyle {
    uint32_t colour = 0xff;
    bool italic = true;
    bool bold = true;
    bool underline = true;
};

// The banner settings group, read from the settings file by the caller.
struct BannerSettings {
    bool autoSize = true;
    bool scroll = true;
    uint32_t backColour = 0xff;
    int entrySeconds = 2;
    RowStyle word, phonetic, meaning;
};

class CWordFeed {
public:
    static constexpr int kReaderBufferSize = 2048;
    static constexpr int kScrollSpeed = 800;
    // Continuous mode clears the banner on every step after this many entries.
    static constexpr int kEntriesBeforeClear = 30;
    // A marker and the three rows.
    static constexpr int kItemsPerEntry = 4;
    static constexpr uint32_t kSingleMarkerColour = 0x0000FF00;
    static constexpr uint32_t kContinuousMarkerColour = 0x00FFFFFF;

    // dictOpen is the application's "dictionary open" flag, kept up to date here.
    CWordFeed(IWordFeedHost& host, int& dictOpen, int entryIntervalMs);

    void SetWarningSink(ILineReaderWarning* sink) { m_reader.SetWarningSink(sink); }

    // (Re)opens the dictionary named dictName in folder + "Dictionary\", falling back to
    // the default dictionary, and moves to the reading position. With neither, the
    // user is told which file could not be opened and how to mend it, then the program
    // is ended with -1 and false is returned.
    bool OpenDictionary(const std::string& programFolder, const std::string& dictName);
    void Close();

    // One feed step (feed timer and "next"); ignored while a step is in progress, so a
    // warning box shown inside a step cannot let the timer stack further steps.
    void ShowNextEntry();
    // The feed timer's tick: one step, on the timer's schedule.
    void OnTimerTick();
    void Previous();
    void Restart();
    void PausePlay();
    void ApplyBannerSettings(const BannerSettings& settings);
    // Starts the feed timer with the entry interval, unless the feed is paused.
    void StartEntryTimer();
    void StopTimer();

    // Whether anybody can see the bar. Unseen, the feed timer stays off and nothing
    // wakes; the steps it would have taken are made up when the bar is seen again.
    void SetSeen(bool seen);
    // Makes up, while the bar is unseen, the steps the feed timer would have taken
    // since it was last seen: the lines are read and the position moves on as if every
    // step had been shown, but only the entries still on the strip afterwards are added.
    // Called when the bar is seen again and when the program ends; the one place that
    // decides whether the feed catches up at all. Returns the steps made up.
    int CatchUpAfterHidden();
    // The system goes to sleep (or hibernates) and wakes again. Time asleep is no time
    // the learner could have read in: the feed's schedule stands still from the
    // suspension to the resumption, so a bar unseen across a night makes up only the
    // steps of the time awake. Repeated calls with the same state are ignored (Windows
    // sends two resume notices for one wake-up).
    void SetSuspended(bool suspended);
    bool IsSuspended() const { return m_suspended; }

    // Study marks. A marked word that is not due (or mastered) is read past; due words
    // come back between new entries, at most one review every `entries` entries, the
    // one least likely to be recalled first. Marks go to the record's journal and are
    // folded into its file when the dictionary changes and on Close.
    static constexpr int kDefaultReviewEvery = 5;
    void SetReviewEvery(int entries);
    // The entry that banner item itemIndex belongs to (each entry is four items), or
    // nullptr; the newest entry on the banner, or nullptr when it is empty.
    const DictEntry* EntryAtItem(int itemIndex) const;
    const DictEntry* NewestEntry() const;
    // Marks the entry's word known or not known in the open dictionary's study record
    // (written at once); false when it could not be recorded.
    bool MarkEntry(const DictEntry& entry, bool known);
    // The open dictionary's record; whoever changes it (the study page clears it) calls
    // StudyRecordChanged afterwards.
    lex::CStudyRecord& StudyRecord() { return m_study; }
    const lex::CStudyRecord& StudyRecord() const { return m_study; }
    void StudyRecordChanged() { m_allWaiting = false; }

    // Holding keeps the feed still without pausing it: the pause/play state is left
    // alone. While any reason holds, no feed timer runs; when the last one lets go, the
    // timer runs again with the period it had (one whole period to the next entry).
    enum HoldReason : unsigned { kHoldPointer = 1u, kHoldHidden = 2u };
    void SetHold(HoldReason reason, bool on);
    // Recall mode: each new entry's meaning is masked on the banner (BANNER_MASKED)
    // until the pointer rests on the entry.
    void SetRecallMode(bool on) { m_recall = on; }
    bool IsRecallMode() const { return m_recall; }
    // The banner items of the entry that item itemIndex belongs to; false when none.
    bool EntryItems(int itemIndex, int* first, int* count) const;

    int GetPosition() const { return m_position; }
    void SetPosition(int position) { m_position = position; }
    bool IsPaused() const { return m_paused; }
    bool IsContinuous() const { return m_continuous; }
    // The period the feed timer was last started with, 0 while stopped (while held:
    // the period it runs with again when let go).
    int GetTimerPeriod() const { return m_timerPeriod; }

private:
    void FeedSingleEntry();
    void FeedContinuousEntry();
    void ReadAndShowEntry(const char* marker, uint32_t markerColour);
    // The next line of a step (starting over at the end) and the position moved on.
    void ReadStepLine(std::string& line);
    // Counts a continuous-mode entry; true when the banner is cleared before it.
    static bool CountEntry(int& counter);
    // n steps at once, adding only the entries the strip holds after the last of them.
    void FastForward(int steps);
    // Moves the next step's due time past now, in whole periods.
    void SkipPastDueSteps();
    // Starts the feed timer so that its ticks fall on the schedule (m_nextDueMs).
    void StartTimerOnSchedule();
    // The host's clock less the time the system spent suspended; it stands still while
    // suspended. Every due time of the schedule is on this clock.
    uint64_t AwakeNowMs() const;
    void ClearBanner();
    // Reads on to the next line whose word is not waiting for a later day; false when a
    // whole pass of the dictionary found none.
    bool ReadShowableEntry(lex::StudyDay today, DictEntry& entry);
    // The due word that has waited longest for a review, as the dictionary has it.
    bool PickReview(lex::StudyDay today, DictEntry& entry);
    // One pass over the dictionary to find the lines of the recorded words.
    void FindRecordedEntries();
    void LoadStudyRecord(const std::string& path);
    void AddEntryItem(const std::string& text, const RowStyle& row, int fontKind, uint32_t extraStyle = 0);
    void StartTimer(int periodMs);
    int ReadLine(std::string& line);
    // Moves the open reader to just after `position` lines from the start, using the
    // checkpoints of this file where it can instead of reading from the start.
    void SeekToPosition(int position);
    void ForgetCheckpoints();
    // Back to the start with the position at 0, reading the first line into line (it
    // stays empty for a dictionary without lines).
    void StartOver(std::string& line);

    IWordFeedHost& m_host;
    int& m_dictOpen;
    int m_entryInterval;
    CLineReader m_reader;
    std::string m_openPath;
    int m_position = 1;
    // Lines consumed by the reader since the start of the file (the reader's place).
    int m_readerLines = 0;
    bool m_paused = false;
    bool m_continuous = true;
    int m_entryCounter = 0;
    int m_timerPeriod = 0;
    // While the timer is set: when its next step falls due (host clock).
    uint64_t m_nextDueMs = 0;
    // The running timer was set for the rest of a period; its tick sets the full one.
    bool m_realign = false;
    bool m_unseen = false;
    bool m_suspended = false;
    // When the system was suspended (host clock), and all the time spent suspended.
    uint64_t m_suspendedAtMs = 0;
    uint64_t m_asleepMs = 0;
    bool m_busy = false;
    RowStyle m_word, m_phonetic, m_meaning;
    unsigned m_holds = 0;
    bool m_recall = false;

    // The entries on the banner, in item order.
    std::vector<DictEntry> m_onBanner;
    lex::CStudyRecord m_study;
    // Recorded words' entries as the dictionary has them, for their reviews.
    std::unordered_map<std::string, DictEntry> m_recordedEntries;
    bool m_recordedEntriesSearched = false;
    // When each word was last brought back, in review order (this run only).
    std::unordered_map<std::string, long long> m_lastReview;
    long long m_reviewCount = 0;
    int m_reviewEvery = kDefaultReviewEvery;
    int m_sinceReview = 0;
    // A whole pass found only words waiting for later days: nothing to read until the
    // record or the dictionary changes.
    bool m_allWaiting = false;
    lex::StudyDay m_allWaitingDay = 0;

    // Reader marks every kCheckpointEvery lines of the open file, so that reopening at
    // a far position (every resize of the main bar does) reads at most that many lines.
    static constexpr int kCheckpointEvery = 4096;
    std::string m_checkpointPath;
    std::map<int, LineReaderMark> m_checkpoints;
};

namespace lex {
class CSettings;
}
// Reads the banner group from the settings file, in the order the keys are applied.
BannerSettings ReadBannerSettings(const lex::CSettings& settings);

// The box text when no dictionary opens: the files tried (the chosen one, then the
// default one unless they are the same) and how to bring the dictionary back.
std::string NoDictionaryMessage(const std::string& chosenPath, const std::string& defaultPath);
