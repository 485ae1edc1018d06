// Linux and other POSIX systems: files by UTF-8 name, through the program's own file
// functions (which take the name's bytes as they are).
#include "platform.h"
#include "base/fileio.h"
#include "dictionary/text_codec.h"

namespace kmtool {

bool ReadFileBytes(const std::string& path, std::string& out)
{
    return lex::ReadWholeFile(path, out);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    return lex::ReplaceFileContents(path, bytes);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsole() {}

} // namespace kmtool
