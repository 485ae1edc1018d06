#include "base/fileio.h"
#include "base/utf8.h"
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using lex::GetProfileInt;
using lex::GetProfileString;
using lex::WriteProfileString;

class IniFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = ::testing::TempDir() + "lex_ini_" + std::to_string(getpid()) + "_"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        Remove();
    }
    void TearDown() override { Remove(); }
    void Remove()
    {
        chmod(m_path.c_str(), 0644);
        std::remove(m_path.c_str());
        std::remove((m_path + ".tmp~").c_str());
    }
    void Put(const std::string& bytes) { ASSERT_TRUE(lex::ReplaceFileContents(m_path, bytes)); }
    std::string Bytes() const
    {
        std::string s;
        lex::ReadWholeFile(m_path, s);
        return s;
    }
    std::string m_path;
};

TEST_F(IniFile, AbsentValuesGiveTheDefaultAndNumbersReadAsDecimal)
{
    EXPECT_EQ(GetProfileString("Banner", "BannerWordColor", "000000ff", m_path), "000000ff");
    EXPECT_EQ(GetProfileInt("Dict", "DictWordCount", 1, m_path), 1);
    Put("[Other]\r\nDictWordCount=7\r\n[Dict]\r\nDictName=x\r\nEmpty=\r\n");
    EXPECT_EQ(GetProfileInt("Dict", "DictWordCount", 1, m_path), 1);
    EXPECT_EQ(GetProfileInt("Nowhere", "DictName", 3, m_path), 3);
    // A key that is present but empty reads as empty text, and as the default number.
    EXPECT_EQ(GetProfileString("Dict", "Empty", "d", m_path), "");
    EXPECT_EQ(GetProfileInt("Dict", "Empty", 9, m_path), 9);
    Put("[N]\r\na= -12x\r\nb=abc\r\n");
    EXPECT_EQ(GetProfileInt("N", "a", 5, m_path), -12);
    EXPECT_EQ(GetProfileInt("N", "b", 5, m_path), 0);
}

TEST_F(IniFile, NamesMatchWithoutRegardToCaseOrBlanksAndLfOnlyFilesWork)
{
    Put("  [ banner ]  \n\t wordcolor  =  ff00  \nlast=1");
    EXPECT_EQ(GetProfileString("Banner", "WordColor", "", m_path), "ff00");
    EXPECT_EQ(GetProfileString(" BANNER ", "WORDCOLOR", "", m_path), "ff00");
    EXPECT_EQ(GetProfileString("Banner", "LAST", "", m_path), "1");
    // Rewriting under another spelling replaces the key instead of adding a second one.
    ASSERT_TRUE(WriteProfileString("BANNER", "WordColor", "ff", m_path));
    EXPECT_EQ(Bytes(), "  [ banner ]  \r\nWordColor=ff\r\nlast=1\r\n");
}

TEST_F(IniFile, KeysKeepTheOrderOfFirstWriteAndForeignLinesSurvive)
{
    Put("; written by hand\r\n[Dict]\r\nDictName=abc\r\n\r\n[User]\r\nmine=keep me\r\n");
    ASSERT_TRUE(WriteProfileString("Interface", "InterfaceLeft", "20", m_path));
    ASSERT_TRUE(WriteProfileString("Dict", "DictWordCount", "5", m_path));
    ASSERT_TRUE(WriteProfileString("Interface", "InterfaceTop", "30", m_path));
    ASSERT_TRUE(WriteProfileString("interface", "interfaceleft", "-4", m_path));
    ASSERT_TRUE(WriteProfileString("Dict", "DictName", "  spaced  ", m_path));
    EXPECT_EQ(Bytes(),
              "; written by hand\r\n"
              "[Dict]\r\nDictName=  spaced  \r\nDictWordCount=5\r\n\r\n"
              "[User]\r\nmine=keep me\r\n\r\n"
              "[Interface]\r\ninterfaceleft=-4\r\nInterfaceTop=30\r\n");
    EXPECT_EQ(GetProfileString("Dict", "DictName", "", m_path), "spaced");
    EXPECT_EQ(GetProfileString("User", "mine", "", m_path), "keep me");
}

TEST_F(IniFile, OnlyTheFirstOfRepeatedSectionsAndKeysCounts)
{
    Put("[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\nj=4\r\n");
    EXPECT_EQ(GetProfileString("S", "k", "", m_path), "1");
    EXPECT_EQ(GetProfileString("S", "j", "none", m_path), "none");
    ASSERT_TRUE(WriteProfileString("S", "j", "5", m_path));
    EXPECT_EQ(GetProfileString("S", "j", "none", m_path), "5");
}

TEST_F(IniFile, LongValuesAreCutTo255BytesWithoutSplittingACharacter)
{
    const std::string zhong = "\xD6\xD0"; // a double-byte character
    const std::string a254(254, 'a');
    // The character would need bytes 255 and 256: it is dropped whole.
    ASSERT_TRUE(WriteProfileString("S", "k", a254 + zhong + "tail", m_path));
    EXPECT_EQ(GetProfileString("S", "k", "", m_path), a254);
    // Ending exactly at byte 255 keeps it.
    ASSERT_TRUE(WriteProfileString("S", "k", std::string(253, 'a') + zhong + zhong, m_path));
    EXPECT_EQ(GetProfileString("S", "k", "", m_path), std::string(253, 'a') + zhong);
    // 0x95 is a lead byte and a trail byte alike; only walking from the start tells
    // which one byte 255 is.
    std::string pairs;
    for (int i = 0; i < 200; ++i)
        pairs += "\x95\x95";
    ASSERT_TRUE(WriteProfileString("S", "k", "x" + pairs, m_path));
    EXPECT_EQ(GetProfileString("S", "k", "", m_path), "x" + pairs.substr(0, 254));
    ASSERT_TRUE(WriteProfileString("S", "k", "xy" + pairs, m_path));
    EXPECT_EQ(GetProfileString("S", "k", "", m_path), "xy" + pairs.substr(0, 252));
    EXPECT_EQ(GetProfileString("S", "none", std::string(300, 'd'), m_path), std::string(255, 'd'));
}

TEST_F(IniFile, WritesThatWouldCorruptTheFileAreRefused)
{
    Put("[S]\r\nk=old\r\n");
    const std::string before = Bytes();
    EXPECT_FALSE(WriteProfileString("S", "k", "new\r\n[Evil]", m_path));
    EXPECT_FALSE(WriteProfileString("S", "k", "a\nb", m_path));
    EXPECT_FALSE(WriteProfileString("S", "a=b", "v", m_path));
    EXPECT_FALSE(WriteProfileString("S", ";k", "v", m_path));
    EXPECT_FALSE(WriteProfileString("S", "  ", "v", m_path));
    EXPECT_FALSE(WriteProfileString("S]x", "k", "v", m_path));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(GetProfileString("S", "k", "", m_path), "old");
}

TEST_F(IniFile, ReadOnlyFileIsLeftUntouchedAndStillRead)
{
    ASSERT_TRUE(WriteProfileString("Dict", "DictWordCount", "12", m_path));
    const std::string before = Bytes();
    ASSERT_EQ(chmod(m_path.c_str(), 0444), 0);
    EXPECT_FALSE(WriteProfileString("Dict", "DictWordCount", "13", m_path));
    EXPECT_FALSE(WriteProfileString("Dict", "Other", "1", m_path));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(GetProfileInt("Dict", "DictWordCount", 1, m_path), 12);
}

// A process killed while it rewrites the file must leave one complete version behind:
// the old or the new, never a torn or empty file.
TEST_F(IniFile, KilledWriterLeavesACompleteFile)
{
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(WriteProfileString("Crash", "Key" + std::to_string(i), std::string(40, 'k'), m_path));
    const std::string valueA(60000, 'a');
    const std::string valueB(30000, 'b');
    ASSERT_TRUE(WriteProfileString("Crash", "Version", valueA, m_path));
    ASSERT_TRUE(WriteProfileString("Crash", "Tail", "end", m_path));
    const std::string versionA = Bytes();
    ASSERT_TRUE(WriteProfileString("Crash", "Version", valueB, m_path));
    const std::string versionB = Bytes();

    std::random_device rd;
    const unsigned seed = rd();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    // Kill at random moments until the writer has been caught mid-way a good number of
    // times and has finished at least one write; on a loaded machine a child may need
    // long to get going, so the bound is generous rather than a fixed short window.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int kills = 0;
    int changed = 0; // kills after which the child had completed a write
    for (; (kills < 60 || changed == 0) && std::chrono::steady_clock::now() < deadline; ++kills) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned n = 0;; ++n)
                WriteProfileString("Crash", "Version", (n & 1) ? valueB : valueA, m_path);
        }
        // Later rounds wait longer, so a slow machine still lets a write through.
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng) * (1 + kills / 60)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = Bytes();
        changed += now == versionA;
        ASSERT_TRUE(now == versionA || now == versionB)
            << "after kill " << kills << ": " << now.size() << " bytes";
        ASSERT_EQ(GetProfileString("Crash", "Tail", "", m_path), "end");
    }
    EXPECT_GE(kills, 10);
    EXPECT_GT(changed, 0) << "the writer never finished a write: the test proved nothing";
}

std::string Utf16(const std::string& utf8) { return lex::Utf8ToUtf16Le(utf8); }

TEST_F(IniFile, UnicodeFilesWithAByteOrderMarkStayInTheirEncoding)
{
    // "词典" is B4 CA B5 E4 in code page 936. "한" and an emoji beyond the BMP have no code
    // page 936 form but must survive in the file.
    const std::string cp936Name = "\xB4\xCA\xB5\xE4";
    const std::string utf8Name = "\xE8\xAF\x8D\xE5\x85\xB8";
    const std::string foreign = "; \xF0\x9F\x98\x80 note\r\n[User]\r\nsign=\xED\x95\x9C\r\n";
    const std::string body = foreign + "[Dict]\r\nDictName=" + utf8Name + "\r\n";

    // UTF-16LE with its mark, as Notepad saves "Unicode".
    Put(std::string("\xFF\xFE") + Utf16(body));
    EXPECT_EQ(GetProfileString("Dict", "DictName", "", m_path), cp936Name);
    ASSERT_TRUE(WriteProfileString("Dict", "DictWordCount", "7", m_path));
    ASSERT_TRUE(WriteProfileString("Dict", "DictName", cp936Name + "2", m_path));
    EXPECT_EQ(Bytes(), std::string("\xFF\xFE")
                           + Utf16(foreign + "[Dict]\r\nDictName=" + utf8Name + "2\r\nDictWordCount=7\r\n"));
    EXPECT_EQ(GetProfileInt("Dict", "DictWordCount", 0, m_path), 7);
    // An unpaired surrogate elsewhere in the file comes back unchanged.
    Put(std::string("\xFF\xFE") + Utf16("[A]\r\nb=") + std::string("\x00\xD8", 2) + Utf16("\r\n"));
    ASSERT_TRUE(WriteProfileString("A", "c", "1", m_path));
    EXPECT_EQ(Bytes(), std::string("\xFF\xFE") + Utf16("[A]\r\nb=") + std::string("\x00\xD8", 2)
                           + Utf16("\r\nc=1\r\n"));

    // UTF-8 with its mark.
    Put("\xEF\xBB\xBF" + body);
    EXPECT_EQ(GetProfileString("dict", "dictname", "", m_path), cp936Name);
    EXPECT_EQ(GetProfileString("User", "sign", "", m_path), "?");
    ASSERT_TRUE(WriteProfileString("Tip", "TimeStamp", cp936Name, m_path));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF" + body + "\r\n[Tip]\r\nTimeStamp=" + utf8Name + "\r\n");

    // No mark: code page 936 bytes as they are, even when they happen to be valid UTF-8.
    Put("[Dict]\r\nDictName=" + utf8Name + "\r\n");
    EXPECT_EQ(GetProfileString("Dict", "DictName", "", m_path), utf8Name);
    ASSERT_TRUE(WriteProfileString("Dict", "DictName", cp936Name, m_path));
    EXPECT_EQ(Bytes(), "[Dict]\r\nDictName=" + cp936Name + "\r\n");
}

} // namespace
