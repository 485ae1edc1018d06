#include "base/program_folder.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

namespace {

using lex::BuildProgramFolder;

TEST(ProgramFolder, IsTheUpperCasedPathWithoutTheExecutableName)
{
    EXPECT_EQ(BuildProgramFolder("c:\\Program Files\\lexorin\\Lexorin.exe"),
              "C:\\PROGRAM FILES\\LEXORIN\\");
    EXPECT_EQ(BuildProgramFolder("D:\\lexorin.exe\\LEXORIN.EXE"), "D:\\\\");
}

TEST(ProgramFolder, DoubleByteCharactersStayWhole)
{
    // 0xB0 0x61 and 0x81 0x6C have lower-case letters as trail bytes, 0x95 0x5C a
    // backslash; upper-casing those bytes would change the characters.
    EXPECT_EQ(BuildProgramFolder("c:\\\xD6\xD0\xCE\xC4\xB0\x61\\\x95\x5C\\lexorin.exe"),
              "C:\\\xD6\xD0\xCE\xC4\xB0\x61\\\x95\x5C\\");
    // "LEXORIN.EXE" seen from a trail byte on is not the name: nothing is removed.
    EXPECT_EQ(BuildProgramFolder("c:\\a\x81LEXORIN.EXE"), "C:\\A\x81LEXORIN.EXE");
    EXPECT_EQ(BuildProgramFolder("c:\\a\x81lexorin.exe"), "C:\\A\x81lEXORIN.EXE");
}

TEST(ProgramFolder, OtherExecutableNamesKeepTheFullPath)
{
    const std::string folder = BuildProgramFolder("C:\\Apps\\Lexorin2.exe");
    EXPECT_EQ(folder, "C:\\APPS\\LEXORIN2.EXE");
    EXPECT_EQ(lex::CSettings::PathInFolder(folder), "C:\\APPS\\LEXORIN2.EXELexorin.ini");
    EXPECT_EQ(BuildProgramFolder(""), "");
}

} // namespace
