#include "mainbar/word_feed.h"
#include "base/program_folder.h"
#include "dictionary/entry.h"
#include "settings/settings.h"

#include <climits>

namespace {

// Raises a flag for the lifetime of a reader operation, so that a timer tick that
// arrives while a warning box runs its own message loop is dropped, not nested.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

CWordFeed::CWordFeed(IWordFeedHost& host, int& dictOpen, int entryIntervalMs)
    : m_host(host), m_dictOpen(dictOpen), m_entryInterval(entryIntervalMs), m_reader(kReaderBufferSize)
{
}

int CWordFeed::ReadLine(std::string& line)
{
    int result = m_reader.ReadLine(line);
    if (result > 0) {
        ++m_readerLines;
        if (m_readerLines % kCheckpointEvery == 0 && !m_checkpoints.count(m_readerLines))
            m_checkpoints[m_readerLines] = m_reader.GetMark();
    }
    return result;
}

void CWordFeed::ForgetCheckpoints()
{
    m_checkpoints.clear();
    m_checkpointPath.clear();
}

void CWordFeed::SeekToPosition(int position)
{
    m_reader.Rewind();
    m_readerLines = 0;
    if (position <= 0)
        return;
    auto it = m_checkpoints.upper_bound(position);
    if (it != m_checkpoints.begin()) {
        --it;
        if (m_reader.RestoreMark(it->second))
            m_readerLines = it->first;
        else
            m_checkpoints.clear(); // the file changed: its marks are worthless
    }
    std::string ignored;
    while (m_readerLines < position && ReadLine(ignored) > 0) {
    }
}

bool CWordFeed::OpenDictionary(const std::string& programFolder, const std::string& dictName)
{
    if (m_busy)
        return m_dictOpen != 0;
    BusyScope busy(m_busy);
    if (m_dictOpen)
        m_reader.Close();

    // Reopening the file that is open (every resize does) is not a new opening for the
    // over-long-line warning: it was given once already.
    const bool warned = m_dictOpen && m_reader.HasWarnedOverflow();
    const std::string previousPath = m_openPath;

    const std::string folder = programFolder + lex::kDictionaryFolder;
    const std::string chosen = folder + dictName + ".KM";
    std::string path = chosen;
    if (!m_reader.Open(path)) {
        path = folder + lex::CSettings::kDefaultDictName + ".KM";
        if (!m_reader.Open(path)) {
            m_dictOpen = 0;
            m_openPath.clear();
            m_host.FeedShowError(NoDictionaryMessage(chosen, path));
            m_host.FeedEndProgram(-1);
            return false;
        }
    }
    m_dictOpen = 1;
    if (path == previousPath)
        m_reader.SetWarnedOverflow(warned);
    if (path != m_checkpointPath) {
        ForgetCheckpoints();
        m_checkpointPath = path;
    }
    m_openPath = path;
    m_readerLines = 0;
    m_allWaiting = false;
    const std::string studyPath = lex::CStudyRecord::PathForDictionary(path);
    if (studyPath != m_study.Path())
        LoadStudyRecord(studyPath);

    std::string line;
    if (ReadLine(line) == 0)
        StartOver(line); // no line at all
    else
        SeekToPosition(m_position);
    return true;
}

void CWordFeed::Close()
{
    m_study.Fold();
    if (m_dictOpen)
        m_reader.Close();
    m_dictOpen = 0;
}

void CWordFeed::ShowNextEntry()
{
    if (m_busy || !m_dictOpen)
        return;
    BusyScope busy(m_busy);
    if (m_continuous)
        FeedContinuousEntry();
    else
        FeedSingleEntry();
}

void CWordFeed::ClearBanner()
{
    m_onBanner.clear();
    m_host.FeedClearBanner();
}

void CWordFeed::FeedSingleEntry()
{
    ClearBanner();
    // A line that scrolled before keeps its offset; a single entry is read from the start.
    m_host.FeedMoveLineToStart();
    ReadAndShowEntry("· ", kSingleMarkerColour);
}

bool CWordFeed::CountEntry(int& counter)
{
    if (++counter > kEntriesBeforeClear) {
        counter = 0;
        return true;
    }
    return false;
}

void CWordFeed::FeedContinuousEntry()
{
    if (CountEntry(m_entryCounter))
        ClearBanner();
    ReadAndShowEntry("☉ ", kContinuousMarkerColour);
}

void CWordFeed::ReadStepLine(std::string& line)
{
    if (ReadLine(line) == 0)
        StartOver(line); // end of the dictionary
    ++m_position;
}

void CWordFeed::ReadAndShowEntry(const char* marker, uint32_t markerColour)
{
    const lex::StudyDay today = m_study.Cards().empty() ? 0 : lex::StudyToday();
    DictEntry entry;
    bool review = m_sinceReview >= m_reviewEvery && PickReview(today, entry);
    if (!review && !ReadShowableEntry(today, entry)) {
        review = PickReview(today, entry);
        if (!review)
            return; // every word waits for a later day
    }
    m_sinceReview = review ? 0 : m_sinceReview + 1;

    RowStyle markerStyle;
    markerStyle.colour = markerColour;
    markerStyle.italic = false;
    markerStyle.bold = true;
    markerStyle.underline = false;
    // A word brought back for review carries its own marker.
    AddEntryItem(review ? "※ " : marker, markerStyle, BANNER_FONT_SONG);
    AddEntryItem(entry.word + "  ", m_word, BANNER_FONT_SONG);
    AddEntryItem(entry.phonetic + "  ", m_phonetic, BANNER_FONT_PHONETIC);
    AddEntryItem(entry.meaning + "  ", m_meaning, BANNER_FONT_SONG, m_recall ? BANNER_MASKED : 0);
    m_onBanner.push_back(std::move(entry));
    // A catch-up runs while the feed is still unseen, so its entries are not told.
    if (!m_unseen && !m_paused && m_holds == 0)
        m_host.FeedEntryShown(m_onBanner.back());
}

bool CWordFeed::ReadShowableEntry(lex::StudyDay today, DictEntry& entry)
{
    // Words waiting today may be due tomorrow: a new day reads again.
    if (m_allWaiting && today == m_allWaitingDay)
        return false;
    m_allWaiting = false;
    int startsOver = 0;
    std::string line;
    for (;;) {
        if (ReadLine(line) == 0) {
            // A second start over in one step: the whole dictionary was read past.
            if (++startsOver > 1) {
                m_allWaiting = true;
                m_allWaitingDay = today;
                return false;
            }
            StartOver(line); // end of the dictionary
        }
        ++m_position;
        entry = SplitDictEntry(line);
        if (m_study.Cards().empty())
            return true;
        const lex::StudyCard* card = m_study.Find(entry.word);
        if (!card)
            return true;
        m_recordedEntries[entry.word] = entry;
        if (card->IsDue(today))
            return true;
    }
}

bool CWordFeed::PickReview(lex::StudyDay today, DictEntry& entry)
{
    const lex::StudyCard* best = nullptr;
    long long bestLast = 0;
    double bestRecall = 1;
    for (const lex::StudyCard& card : m_study.Cards()) {
        if (!card.IsDue(today))
            continue;
        if (!m_recordedEntries.count(card.word)) {
            if (m_recordedEntriesSearched)
                continue; // no longer in the dictionary
            FindRecordedEntries();
            if (!m_recordedEntries.count(card.word))
                continue;
        }
        auto last = m_lastReview.find(card.word);
        const long long lastReview = last == m_lastReview.end() ? -1 : last->second;
        // Never brought back first, then the longest ago; then the one most likely to
        // have been forgotten.
        const double recall = card.Retrievability(today);
        if (!best || lastReview < bestLast || (lastReview == bestLast && recall < bestRecall)) {
            best = &card;
            bestLast = lastReview;
            bestRecall = recall;
        }
    }
    if (!best)
        return false;
    entry = m_recordedEntries[best->word];
    m_lastReview[best->word] = ++m_reviewCount;
    return true;
}

void CWordFeed::FindRecordedEntries()
{
    m_recordedEntriesSearched = true;
    CLineReader reader(kReaderBufferSize);
    if (!reader.Open(m_openPath))
        return;
    std::string line;
    while (reader.ReadLine(line) > 0) {
        DictEntry entry = SplitDictEntry(line);
        if (m_study.Find(entry.word) && !m_recordedEntries.count(entry.word))
            m_recordedEntries.emplace(entry.word, std::move(entry));
    }
}

void CWordFeed::LoadStudyRecord(const std::string& path)
{
    // The marks of the record left behind go into its file; a journal a lost run left
    // beside the new one goes into that one's.
    m_study.Fold();
    m_study.Load(path);
    m_study.Fold();
    m_recordedEntries.clear();
    m_recordedEntriesSearched = false;
    m_lastReview.clear();
    m_allWaiting = false;
}

void CWordFeed::SetReviewEvery(int entries)
{
    m_reviewEvery = entries < 1 ? 1 : (entries > 1000 ? 1000 : entries);
}

const DictEntry* CWordFeed::EntryAtItem(int itemIndex) const
{
    if (itemIndex < 0)
        return nullptr;
    const size_t entry = static_cast<size_t>(itemIndex) / kItemsPerEntry;
    return entry < m_onBanner.size() ? &m_onBanner[entry] : nullptr;
}

bool CWordFeed::EntryItems(int itemIndex, int* first, int* count) const
{
    if (!EntryAtItem(itemIndex))
        return false;
    *first = itemIndex - itemIndex % kItemsPerEntry;
    *count = kItemsPerEntry;
    return true;
}

const DictEntry* CWordFeed::NewestEntry() const
{
    return m_onBanner.empty() ? nullptr : &m_onBanner.back();
}

bool CWordFeed::MarkEntry(const DictEntry& entry, bool known)
{
    if (!m_study.Mark(entry.word, known, lex::StudyToday()))
        return false;
    m_recordedEntries[entry.word] = entry;
    m_allWaiting = false;
    return true;
}

void CWordFeed::AddEntryItem(const std::string& text, const RowStyle& row, int fontKind, uint32_t extraStyle)
{
    uint32_t style = (row.colour & BANNER_COLOR_MASK) | (row.bold ? BANNER_BOLD : 0) |
                     (row.italic ? BANNER_ITALIC : 0) | (row.underline ? BANNER_UNDERLINE : 0) | extraStyle;
    m_host.FeedAddItem(CBannerItem(text, fontKind, 0, style, BANNER_BUTTON_FACE));
}

void CWordFeed::Previous()
{
    if (m_busy || !m_dictOpen)
        return;
    BusyScope busy(m_busy);
    StopTimer();
    ClearBanner();
    int n = m_position - 2;
    if (n < 0)
        n = 0;
    SeekToPosition(n);
    m_position = n;
    StartEntryTimer();
}

void CWordFeed::Restart()
{
    if (m_busy || !m_dictOpen)
        return;
    ClearBanner();
    SeekToPosition(0);
    m_position = 0;
    // A new start: the spacing of reviews starts again too.
    m_sinceReview = 0;
}

void CWordFeed::StartOver(std::string& line)
{
    m_position = 0;
    SeekToPosition(0);
    ReadLine(line);
}

void CWordFeed::PausePlay()
{
    if (!m_paused) {
        StopTimer();
        m_paused = true;
    } else {
        m_paused = false;
        StartTimer(m_entryInterval);
    }
}

void CWordFeed::StartEntryTimer()
{
    StartTimer(m_entryInterval);
}

void CWordFeed::StartTimer(int periodMs)
{
    // A paused feed stays paused, whoever restarts the timer; play starts it again.
    if (m_paused)
        return;
    m_timerPeriod = periodMs;
    m_nextDueMs = AwakeNowMs() + static_cast<uint64_t>(periodMs);
    m_realign = false;
    // Unseen, the schedule alone runs: the steps are made up when the bar is seen; held,
    // nothing runs until the last hold lets go.
    if (!m_unseen && m_holds == 0)
        m_host.FeedStartTimer(periodMs);
}

void CWordFeed::StopTimer()
{
    m_timerPeriod = 0;
    m_realign = false;
    m_host.FeedStopTimer();
}

void CWordFeed::OnTimerTick()
{
    if (m_timerPeriod > 0) {
        if (m_realign) {
            m_realign = false;
            m_host.FeedStartTimer(m_timerPeriod);
        }
        // The next step is one period on; ticks the system dropped (a busy machine
        // delivers one tick for several periods) are not made up, as they would not be
        // without this schedule either.
        m_nextDueMs += static_cast<uint64_t>(m_timerPeriod);
        SkipPastDueSteps();
    }
    ShowNextEntry();
}

void CWordFeed::SkipPastDueSteps()
{
    if (m_timerPeriod <= 0)
        return;
    const uint64_t period = static_cast<uint64_t>(m_timerPeriod);
    const uint64_t now = AwakeNowMs();
    if (m_nextDueMs <= now)
        m_nextDueMs += period * ((now - m_nextDueMs) / period + 1);
}

void CWordFeed::StartTimerOnSchedule()
{
    if (m_timerPeriod <= 0 || m_unseen || m_holds != 0)
        return;
    const uint64_t now = AwakeNowMs();
    const uint64_t wait = m_nextDueMs > now ? m_nextDueMs - now : 0;
    if (wait >= static_cast<uint64_t>(m_timerPeriod)) {
        m_host.FeedStartTimer(m_timerPeriod);
        return;
    }
    // The rest of the current period first, then whole periods again.
    m_host.FeedStartTimer(wait > 0 ? static_cast<int>(wait) : 1);
    m_realign = true;
}

uint64_t CWordFeed::AwakeNowMs() const
{
    const uint64_t now = m_suspended ? m_suspendedAtMs : m_host.FeedNowMs();
    return now >= m_asleepMs ? now - m_asleepMs : 0;
}

void CWordFeed::SetSuspended(bool suspended)
{
    if (suspended == m_suspended)
        return;
    if (suspended) {
        m_suspendedAtMs = m_host.FeedNowMs();
        m_suspended = true;
        return;
    }
    const uint64_t now = m_host.FeedNowMs();
    // A clock that already leaves sleep out (or one that went back) adds nothing here.
    if (now > m_suspendedAtMs)
        m_asleepMs += now - m_suspendedAtMs;
    m_suspended = false;
}

void CWordFeed::SetSeen(bool seen)
{
    if (seen != m_unseen)
        return; // no change
    if (!seen) {
        m_unseen = true;
        m_realign = false;
        m_host.FeedStopTimer();
        // Only steps that fall due from now on are made up; one that fell due while
        // the thread was busy and never came is not, as it would not be when seen.
        SkipPastDueSteps();
        return;
    }
    CatchUpAfterHidden();
    m_unseen = false;
    StartTimerOnSchedule();
}

int CWordFeed::CatchUpAfterHidden()
{
    // Only an unseen feed with its timer set has steps to make up (a paused feed has
    // its timer stopped).
    if (!m_unseen || m_timerPeriod <= 0 || m_busy || !m_dictOpen)
        return 0;
    // Held (paused while hidden, or by the pointer): the steps are let go, not made up.
    if (m_holds != 0) {
        SkipPastDueSteps();
        return 0;
    }
    const uint64_t now = AwakeNowMs();
    if (now < m_nextDueMs)
        return 0;
    const uint64_t period = static_cast<uint64_t>(m_timerPeriod);
    const uint64_t due = (now - m_nextDueMs) / period + 1;
    m_nextDueMs += due * period;
    const int steps = due > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(due);
    FastForward(steps);
    return steps;
}

void CWordFeed::FastForward(int steps)
{
    BusyScope busy(m_busy);
    // The first step whose entries are still on the strip after the last step: a
    // single entry shows only the last; in continuous mode the entries since the last
    // clear stay.
    int firstShown = steps;
    if (m_continuous) {
        int counter = m_entryCounter;
        firstShown = 1;
        for (int i = 1; i <= steps; ++i)
            if (CountEntry(counter))
                firstShown = i;
    }
    // A step that shows nothing still reads what it would have shown: with study marks,
    // on past the words that wait for a later day.
    const lex::StudyDay today = m_study.Cards().empty() ? 0 : lex::StudyToday();
    std::string line;
    DictEntry skipped;
    for (int i = 1; i < firstShown; ++i) {
        if (m_continuous)
            CountEntry(m_entryCounter);
        if (today == 0)
            ReadStepLine(line);
        else
            ReadShowableEntry(today, skipped);
    }
    for (int i = firstShown; i <= steps; ++i) {
        if (m_continuous)
            FeedContinuousEntry();
        else
            FeedSingleEntry();
    }
}

void CWordFeed::SetHold(HoldReason reason, bool on)
{
    const unsigned before = m_holds;
    m_holds = on ? (m_holds | reason) : (m_holds & ~static_cast<unsigned>(reason));
    if ((before == 0) == (m_holds == 0) || m_timerPeriod == 0 || m_unseen)
        return;
    if (m_holds != 0)
        m_host.FeedStopTimer();
    else
        m_host.FeedStartTimer(m_timerPeriod);
}

void CWordFeed::ApplyBannerSettings(const BannerSettings& settings)
{
    m_host.FeedSetAutoSize(settings.autoSize);
    m_continuous = settings.scroll;
    m_host.FeedSetSpeed(settings.scroll ? kScrollSpeed : 0);
    m_host.FeedSetBackgroundColor(settings.backColour);
    // A period below one second (0 or negative in a hand-edited file) would flood the
    // banner; the settings page offers 1 to 5.
    int seconds = settings.entrySeconds < 1 ? 1 : settings.entrySeconds;
    if (seconds > INT_MAX / 1000)
        seconds = INT_MAX / 1000;
    StopTimer();
    StartTimer(seconds * 1000);
    m_word = settings.word;
    m_phonetic = settings.phonetic;
    m_meaning = settings.meaning;
}

BannerSettings ReadBannerSettings(const lex::CSettings& s)
{
    BannerSettings b;
    b.autoSize = s.BannerAutoSize();
    b.scroll = s.BannerScroll();
    b.backColour = s.BannerBKColor();
    b.entrySeconds = s.BannerScrollSpeed();
    b.word.italic = s.BannerWordI();
    b.word.bold = s.BannerWordB();
    b.word.underline = s.BannerWordU();
    b.phonetic.italic = s.BannerPhoneticI();
    b.phonetic.bold = s.BannerPhoneticB();
    b.phonetic.underline = s.BannerPhoneticU();
    b.meaning.italic = s.BannerDescI();
    b.meaning.bold = s.BannerDescB();
    b.meaning.underline = s.BannerDescU();
    b.word.colour = s.BannerWordColor();
    b.phonetic.colour = s.BannerPhoneticColor();
    b.meaning.colour = s.BannerDescColor();
    return b;
}

std::string NoDictionaryMessage(const std::string& chosenPath, const std::string& defaultPath)
{
    std::string text = "无法打开词典文件：\r\n" + chosenPath;
    if (defaultPath != chosenPath)
        text += "\r\n\r\n也无法打开缺省词典：\r\n" + defaultPath;
    text += "\r\n\r\n文件不存在、无法读取，或在它的位置上有一个同名的文件夹。"
            "请确认程序文件夹中有“Dictionary”文件夹，并把“缺省字典.KM”（可从安装包中取回）"
            "放回其中；若那里有同名的文件夹，请先将它移走。然后重新启动本程序。"
            "\r\n\r\n程序现在退出。";
    return text;
}
