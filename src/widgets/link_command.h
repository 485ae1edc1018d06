// The portable part of the link control: the command line of the ".htm" fallback and
// the texts of the open-error box.
#pragma once

#include <string>

namespace lex {

// The command line that opens target with the command registered for ".htm" files:
// the registered command cut at its first "\"%1\"" (or, failing that, at its first
// "%1"), then a blank and the target. Built at whatever length it needs, so a long
// registered command is never cut short into a different command.
std::wstring FallbackCommandLine(const std::wstring& registered, const std::wstring& target);

// The whole text of the box shown when a link cannot be opened: "Unable to open
// hyperlink:", an empty line, and what the shell's result code means.
std::string LinkOpenErrorText(int code);

} // namespace lex
