// A study record for the benchmarks: cards words, each marked on about ten days over the
// year before today (one in five marks "not known"), as the record file holds them.
#pragma once

#include "dictionary/study_record.h"

#include <string>

inline std::string YearOfMarksRecord(int cards, lex::StudyDay today)
{
    std::string bytes = "# a year of marks\r\n";
    for (int i = 0; i < cards; ++i) {
        lex::StudyCard card;
        card.word = "word" + std::to_string(i);
        lex::StudyDay day = today - 365 + i % 40;
        for (int k = 0; k < 10 && day < today; ++k) {
            lex::ScheduleCard(card, (i + k) % 5 != 0, day, 0.9);
            day = card.due;
        }
        bytes += lex::CStudyRecord::CardLine(card);
    }
    return bytes;
}
