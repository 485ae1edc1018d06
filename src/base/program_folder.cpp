#include "base/program_folder.h"

#include "base/dbcs.h"

#include <cstring>

namespace lex {

std::string UpperCaseCp936(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size();) {
        const size_t len = Cp936CharLength(out, i);
        if (len == 1 && out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
        i += len;
    }
    return out;
}

std::string BuildProgramFolder(const std::string& exePathCp936)
{
    const std::string upper = UpperCaseCp936(exePathCp936);
    const size_t nameLen = std::strlen(kExeFileName);
    std::string folder;
    folder.reserve(upper.size());
    for (size_t i = 0; i < upper.size();) {
        // The name is all ASCII, so a match starting on a character boundary ends on
        // one too.
        if (upper.compare(i, nameLen, kExeFileName) == 0) {
            i += nameLen;
            continue;
        }
        const size_t len = Cp936CharLength(upper, i);
        folder.append(upper, i, len);
        i += len;
    }
    return folder;
}

} // namespace lex
