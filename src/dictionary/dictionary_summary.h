// What the dictionary page says about each dictionary: how many entries it holds and,
// where the learner keeps a study record for it, how many words are mastered and
// marked. Counting reads the file in large blocks without splitting it into lines,
// and a count is kept for as long as the file's size and time stay the same, so
// listing the largest book costs the settings sheet next to nothing.
#pragma once

#include "dictionary/study_record.h"

#include <cstdint>
#include <string>

namespace lex {

// The entries of a dictionary: its non-empty lines, as the line reader hands them
// out (CR, LF and any pair of them end a line). -1 when the file cannot be read.
int64_t CountDictionaryEntries(const std::string& path);

// The same, remembered per path while the file's size and last-write time are
// unchanged.
int64_t CachedDictionaryEntries(const std::string& path);

// "四级词汇 · 3,849 词 · 已掌握 120 · 已标记 300" in code page 936; the study part
// only with a record (study may be null), the count part only when entries >= 0. The
// brief form, for a row of the list, leaves out the marked words.
enum class SummaryForm { Full, Brief };
std::string DictionarySummary(const std::string& name, int64_t entries, const StudyCounts* study,
                              SummaryForm form = SummaryForm::Full);

// The summary of the dictionary file "<folder>Dictionary\<name>.KM" with its study
// record, if one exists.
std::string SummariseDictionary(const std::string& programFolder, const std::string& name, StudyDay today,
                                SummaryForm form = SummaryForm::Full);

} // namespace lex
