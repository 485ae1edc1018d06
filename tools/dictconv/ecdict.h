// Exam word books drawn from ECDICT, the open English-Chinese dictionary, as UTF-8
// TSV word lists (word, IPA, meaning) that the build turns into .KM files.
//
// ECDICT's csv has one row per word with the columns word, phonetic, definition,
// translation, pos, collins, oxford, tag, bnc, frq, exchange, detail, audio. The tag
// column names the exam lists a word belongs to (zk gk cet4 cet6 ky ielts toefl gre);
// frq and bnc are the word's rank in two frequency lists (0 when unranked); the
// translation holds one line per part of speech, lines separated by a literal "\n".
//
// A book holds every row with its tag and a translation:
// - order: ranked by frq first, then the rows ranked only by bnc, by bnc; rows with
//   neither at the end, alphabetically;
// - phonetic: the CMU Pronouncing Dictionary's, where it has the word, else ECDICT's
//   own transcription written as IPA, else none;
// - meaning: the translation condensed to the width a strip shows at a glance (see
//   CondenseMeaning), in characters code page 936 holds.
#pragma once

#include "cmudict.h"
#include "dictionary/word_list.h"

#include <map>
#include <string>
#include <vector>

namespace kmtool {

// The meaning's width in code page 936 bytes (a Chinese character counts two, as it
// is drawn twice as wide as a letter): 40 shows about twenty Chinese characters.
constexpr size_t kExamMeaningBudget = 40;

// ECDICT's transcription written as IPA. It uses the Cyrillic schwa ә and є for ə and
// ɛ, ASCII ' and : for the stress and length marks, ',' or '.' before a syllable for
// secondary stress, '^' for ɡ, a run of backslashes for ɜ and 'j' for ʊ after a vowel
// or before a consonant. Of several variants ("a; b", "a, -b", "a (?@) b") only the
// first is kept. Returns an empty string when nothing usable is left.
std::u32string NormaliseEcdictPhonetic(const std::u32string& ecdict);

// What the condensing dropped because code page 936 cannot hold it.
struct MeaningDrops {
    int characters = 0; // characters removed from senses that stayed
    int senses = 0;     // senses left out because they held such characters
};

// Condenses an ECDICT translation: one group per part of speech, in ECDICT's order,
// the part of speech kept ("a." written "adj.", "interj." "int."), senses separated by
// '；' and groups by a blank. Every group's first sense comes first, then the second
// senses, and so on, while the whole stays within budget (code page 936 bytes); a
// group whose first sense does not fit is left out, except the first group, whose
// first sense is cut to the budget with '…'. Lines and senses that open with a
// subject label ("[计]", "[医]") are specialist senses and are dropped unless nothing
// else is left (then only the label goes). '/' becomes '／' (the ASCII one separates
// .KM fields). Characters outside code page 936 are dropped: a sense holding one is
// left out when its group has other senses, otherwise only the character goes.
std::u32string CondenseMeaning(const std::u32string& translation, size_t budget, MeaningDrops* drops);

struct ExamBookOptions {
    std::string tag;                                  // "cet4"
    size_t meaningBudget = kExamMeaningBudget;
    const CmuDict* cmu = nullptr;                     // optional
    const std::map<std::string, int>* choices = nullptr; // cmudict alternatives
};

struct ExamBookStats {
    int tagged = 0;          // rows with the tag and a translation
    int written = 0;         // entries in the book
    int wordRejected = 0;    // words a .KM line cannot hold (outside code page 936, '/')
    int meaningEmpty = 0;    // nothing of the translation was left
    int phoneticCmu = 0;
    int phoneticEcdict = 0;
    int phoneticNone = 0;
    int phoneticUnusable = 0; // ECDICT transcriptions with a symbol the font lacks
    MeaningDrops drops;
    int entriesWithDrops = 0; // entries whose meaning lost something to code page 936
    std::vector<int> meaningBytes; // each written meaning's width in code page 936 bytes
};

// Reads ECDICT's csv and writes the book of options.tag as a TSV word list, with a
// comment heading that names the tag and the counts. Rows it leaves out are reported
// as warnings; a csv without the needed columns is an error (empty result).
std::string MakeExamBook(const std::string& csv, const std::string& file, const ExamBookOptions& options,
                         Report& report, ExamBookStats* stats);

// The counts of a book's heading ("# tag cet4: 3849 rows with a translation, 3849
// written"); false when text has no such heading.
bool ReadExamBookHeading(const std::string& tsv, std::string* tag, int* tagged, int* written);

} // namespace kmtool
