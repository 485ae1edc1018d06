#include "dictionary/entry.h"

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
