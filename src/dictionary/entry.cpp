#include "dictionary/entry.h"
#include "base/text.h"
#include "dictionary/phonetic_table.h"

DictEntry SplitDictEntry(const std::string& line)
{
    DictEntry entry;
    std::string* fields[] = {&entry.word, &entry.phonetic, &entry.meaning};
    size_t start = 0;
    for (std::string* field : fields) {
        const size_t end = line.find('/', start);
        if (end == std::string::npos) {
            field->assign(line, start, std::string::npos);
            break;
        }
        field->assign(line, start, end - start);
        start = end + 1;
    }
    return entry;
}

std::string EntryAsUtf8Text(const DictEntry& entry)
{
    std::string text = lex::Cp936ToUtf8(entry.word);
    if (!entry.phonetic.empty()) {
        bool fontCodes = true;
        for (unsigned char c : entry.phonetic)
            fontCodes = fontCodes && c >= lex::kFirstFontCode && c <= lex::kLastFontCode;
        text += text.empty() ? "[" : " [";
        text += fontCodes ? lex::CodesToIpaUtf8(entry.phonetic) : lex::Cp936ToUtf8(entry.phonetic);
        text += "]";
    }
    if (!entry.meaning.empty()) {
        if (!text.empty())
            text += " ";
        text += lex::Cp936ToUtf8(entry.meaning);
    }
    return text;
}
