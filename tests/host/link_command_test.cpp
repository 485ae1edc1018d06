// The link's fallback: a target the shell cannot open goes to the command registered
// for web pages. A fault here runs the wrong program, loses the target, or cuts it.
#include "widgets/link_command.h"

#include <gtest/gtest.h>

TEST(LinkFallback, TargetReplacesThePlaceholderOrFollowsTheCommand)
{
    const std::wstring target = L"C:\\Quillmere\\docs\\index.html";
    EXPECT_EQ(lex::FallbackCommandLine(L"\"C:\\Program Files\\Browser\\browse.exe\" -nohome \"%1\" -extra", target),
              L"\"C:\\Program Files\\Browser\\browse.exe\" -nohome  " + target)
        << "the quoted placeholder and all after it give way to a blank and the target";
    EXPECT_EQ(lex::FallbackCommandLine(L"browse.exe %1 -x", target), L"browse.exe  " + target);
    EXPECT_EQ(lex::FallbackCommandLine(L"browse.exe %1 \"%1\"", target), L"browse.exe %1  " + target)
        << "the quoted form is looked for first";
    EXPECT_EQ(lex::FallbackCommandLine(L"browse.exe -new", target), L"browse.exe -new " + target)
        << "without a placeholder the target is appended";

    // However long the registered command and the target, the target arrives whole.
    const std::wstring longCommand = L"\"C:\\" + std::wstring(500, L'b') + L".exe\" \"%1\"";
    const std::wstring longTarget = L"C:\\" + std::wstring(600, L'\x6587') + L".htm";
    const std::wstring line = lex::FallbackCommandLine(longCommand, longTarget);
    EXPECT_EQ(line.size(), longCommand.size() - 4 + 1 + longTarget.size());
    EXPECT_EQ(line.substr(line.size() - longTarget.size()), longTarget);
}
