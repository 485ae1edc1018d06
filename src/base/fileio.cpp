// The part of the file helpers that is the same on every platform: it is built on
// ReadFile, which each platform's backend provides.
#include "base/fileio.h"

namespace lex {

bool ReadWholeFile(const std::string& path, std::string& out)
{
    out.clear();
    ReadFile f;
    if (!f.Open(path))
        return false;
    char buf[65536];
    size_t n;
    while ((n = f.Read(buf, sizeof buf)) > 0)
        out.append(buf, n);
    return true;
}

} // namespace lex
