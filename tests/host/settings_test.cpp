#include "base/fileio.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/value_conv.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using lex::CSettings;

TEST(ValueConv, ColorsReadLikeStrtoulBase16)
{
    EXPECT_EQ(lex::ParseColor("0x00ff00"), 0xFF00u);
    EXPECT_EQ(lex::ParseColor("00FF00"), 0xFF00u);
    EXPECT_EQ(lex::ParseColor("  0XaB"), 0xABu);
    EXPECT_EQ(lex::ParseColor("ffg1"), 0xFFu);
    EXPECT_EQ(lex::ParseColor("zz"), 0u);
    EXPECT_EQ(lex::ParseColor(""), 0u);
    EXPECT_EQ(lex::ParseColor("0xg"), 0u);
    EXPECT_EQ(lex::ParseColor("ffffffff"), 0xFFFFFFFFu);
    EXPECT_EQ(lex::ParseColor("100000000"), 0xFFFFFFFFu);
    EXPECT_EQ(lex::ParseColor("123456789abcdef0123"), 0xFFFFFFFFu);
    EXPECT_EQ(lex::ParseColor("-1"), 0xFFFFFFFFu);
}

TEST(ValueConv, ColorsWriteAsShortLowerCaseHex)
{
    EXPECT_EQ(lex::FormatColor(0), "0");
    EXPECT_EQ(lex::FormatColor(0xFF), "ff");
    EXPECT_EQ(lex::FormatColor(0xFF0000), "ff0000");
    EXPECT_EQ(lex::FormatColor(0xFFFFFF), "ffffff");
    EXPECT_EQ(lex::ParseColor(lex::FormatColor(0xC0FFEE)), 0xC0FFEEu);
}

TEST(ValueConv, DecimalsAndFlagsReadLikeAtoi)
{
    EXPECT_EQ(lex::ParseDecimal(" \t-12x"), -12);
    EXPECT_EQ(lex::ParseDecimal("+7"), 7);
    EXPECT_EQ(lex::ParseDecimal("- 7"), 0);
    EXPECT_EQ(lex::ParseDecimal("99999999999999999999"), INT_MAX);
    EXPECT_EQ(lex::ParseDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(lex::ParseDecimal("-99999999999"), INT_MIN);
    EXPECT_EQ(lex::FormatDecimal(-2147483647 - 1), "-2147483648");
    EXPECT_TRUE(lex::ParseFlag(" 2"));
    EXPECT_TRUE(lex::ParseFlag("-1"));
    EXPECT_FALSE(lex::ParseFlag("0"));
    EXPECT_FALSE(lex::ParseFlag("on"));
    EXPECT_FALSE(lex::ParseFlag(""));
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = ::testing::TempDir() + "lex_settings_" + std::to_string(getpid()) + "_"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_";
        std::remove(Path().c_str());
    }
    void TearDown() override { std::remove(Path().c_str()); }
    std::string Path() const { return CSettings::PathInFolder(m_folder); }
    std::string Bytes() const
    {
        std::string s;
        lex::ReadWholeFile(Path(), s);
        return s;
    }
    std::string m_folder;
};

TEST_F(Settings, NoFileGivesEveryDefault)
{
    const CSettings s(Path());
    for (uint32_t c : {s.BannerBKColor(), s.BannerWordColor(), s.BannerPhoneticColor(),
                       s.BannerDescColor(), s.InterfaceBKStartColor(), s.InterfaceBKEndColor()})
        EXPECT_EQ(c, 0xFFu);
    for (bool on : {s.BannerAutoSize(), s.BannerScroll(), s.BannerWordI(), s.BannerWordB(),
                    s.BannerWordU(), s.BannerPhoneticI(), s.BannerPhoneticB(), s.BannerPhoneticU(),
                    s.BannerDescI(), s.BannerDescB(), s.BannerDescU(), s.InterfaceBKImage()})
        EXPECT_TRUE(on);
    EXPECT_EQ(s.BannerScrollSpeed(), 2);
    EXPECT_FALSE(s.BannerPowerSaving());
    EXPECT_EQ(s.DictWordCount(), 1);
    EXPECT_EQ(s.InterfaceLeft(), 20);
    EXPECT_EQ(s.InterfaceTop(), 20);
    EXPECT_EQ(s.TipStartUp(), 0);
    EXPECT_EQ(s.TipFilePos(), 0);
    EXPECT_EQ(s.TipTimeStamp(), "");
    EXPECT_EQ(s.InterfaceBKImageFileName(), "2");
    EXPECT_TRUE(s.StudyHoverPause());
    EXPECT_FALSE(s.StudyRecallMode());
    EXPECT_FALSE(s.StudyPauseWhileHidden());
    // Ctrl+Alt+Shift (0x07 in the high byte) with L, P, K, U.
    EXPECT_EQ(s.StudyHotkeyShowHide(), 0x074C);
    EXPECT_EQ(s.StudyHotkeyPausePlay(), 0x0750);
    EXPECT_EQ(s.StudyHotkeyKnown(), 0x074B);
    EXPECT_EQ(s.StudyHotkeyUnknown(), 0x0755);
    EXPECT_EQ(s.StudyHotkeySpeak(), 0x0753);
    // A first run speaks nothing, in the system's voice at its normal rate.
    EXPECT_EQ(s.VoiceSpeakMode(), CSettings::kVoiceOff);
    EXPECT_EQ(s.VoiceTokenId(), "");
    EXPECT_EQ(s.VoiceRate(), 0);
    // Narrow literals are code page 936 bytes.
    EXPECT_EQ(s.DictName(), "\xC8\xB1\xCA\xA1\xD7\xD6\xB5\xE4");
    EXPECT_EQ(s.DictNameForPreselection(), "\xCE\xD2\xB5\xC4\xC8\xB1\xCA\xA1\xD6\xB5");
    EXPECT_FALSE(lex::FileExists(Path())) << "reading must not create the file";
}

TEST_F(Settings, StoredColorsAndFlagsInOtherSpellingsReadRight)
{
    ASSERT_TRUE(lex::ReplaceFileContents(Path(),
        "[Banner]\r\nBannerWordColor=0x00ff00\r\nBannerDescColor=00FF00\r\nBannerBKColor=zz\r\n"
        "BannerWordI=0\r\nBannerWordB=abc\r\nBannerWordU= 2\r\nBannerScroll=\r\n"));
    CSettings s(Path());
    EXPECT_EQ(s.BannerWordColor(), 0xFF00u);
    EXPECT_EQ(s.BannerDescColor(), 0xFF00u);
    EXPECT_EQ(s.BannerBKColor(), 0u);
    EXPECT_FALSE(s.BannerWordI());
    EXPECT_FALSE(s.BannerWordB());
    EXPECT_TRUE(s.BannerWordU());
    EXPECT_FALSE(s.BannerScroll());
    // Written back, a colour takes the one canonical form.
    ASSERT_TRUE(s.SetBannerWordColor(s.BannerWordColor()));
    ASSERT_TRUE(s.SetBannerBKColor(0xFFFFFF));
    ASSERT_TRUE(s.SetBannerWordI(true));
    EXPECT_NE(Bytes().find("\r\nBannerWordColor=ff00\r\n"), std::string::npos);
    EXPECT_NE(Bytes().find("\r\nBannerBKColor=ffffff\r\n"), std::string::npos);
    EXPECT_NE(Bytes().find("\r\nBannerWordI=1\r\n"), std::string::npos);

    // Hotkeys: 0 is none, a value no hotkey control gives is none too.
    ASSERT_TRUE(lex::ReplaceFileContents(Path(),
        "[Study]\r\nHotkeyShowHide=0\r\nHotkeyPausePlay=70000\r\nHotkeyKnown=-3\r\n"
        "HotkeyUnknown=1601\r\nHoverPause=0\r\nRecallMode=1\r\nPauseWhileHidden=1\r\n"));
    EXPECT_EQ(s.StudyHotkeyShowHide(), 0);
    EXPECT_EQ(s.StudyHotkeyPausePlay(), 0);
    EXPECT_EQ(s.StudyHotkeyKnown(), 0);
    EXPECT_EQ(s.StudyHotkeyUnknown(), 0x0641);
    EXPECT_FALSE(s.StudyHoverPause());
    EXPECT_TRUE(s.StudyRecallMode());
    EXPECT_TRUE(s.StudyPauseWhileHidden());
    ASSERT_TRUE(s.SetStudyHotkeyKnown(0x0348));
    ASSERT_TRUE(s.SetStudyHoverPause(true));
    EXPECT_NE(Bytes().find("\r\nHotkeyKnown=840\r\n"), std::string::npos);
    EXPECT_TRUE(s.StudyHoverPause());

    // Speech: a mode no page offers is off, a rate beyond the engine's range its end.
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), "[Voice]\r\nMode=7\r\nRate=99\r\n"));
    EXPECT_EQ(s.VoiceSpeakMode(), CSettings::kVoiceOff);
    EXPECT_EQ(s.VoiceRate(), 10);
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), "[Voice]\r\nMode=2\r\nRate=-40\r\nToken=HKEY_LOCAL_MACHINE\\V\r\n"));
    EXPECT_EQ(s.VoiceSpeakMode(), CSettings::kVoiceAuto);
    EXPECT_EQ(s.VoiceRate(), -10);
    EXPECT_EQ(s.VoiceTokenId(), "HKEY_LOCAL_MACHINE\\V");
    ASSERT_TRUE(s.SetVoiceSpeakMode(CSettings::kVoiceManual));
    EXPECT_NE(Bytes().find("\r\nMode=1\r\n"), std::string::npos);
}

TEST_F(Settings, ShutdownWritesLandInOrderAndAreSeenAtOnce)
{
    CSettings writer(Path());
    const CSettings reader(Path());
    ASSERT_TRUE(writer.SetDictWordCount(42));
    EXPECT_EQ(reader.DictWordCount(), 42);
    ASSERT_TRUE(writer.SetInterfaceLeft(-8));
    ASSERT_TRUE(writer.SetInterfaceTop(700));
    ASSERT_TRUE(writer.SetInterfaceCX(640));
    ASSERT_TRUE(writer.SetInterfaceCY(27));
    ASSERT_TRUE(writer.SetInterfaceBKImageFileName(reader.InterfaceBKImageFileName()));
    ASSERT_TRUE(writer.SetTipFilePos(1234));
    EXPECT_EQ(reader.InterfaceLeft(), -8);
    EXPECT_EQ(reader.TipFilePos(), 1234);
    EXPECT_EQ(Bytes(),
              "[Dict]\r\nDictWordCount=42\r\n\r\n"
              "[Interface]\r\nInterfaceLeft=-8\r\nInterfaceTop=700\r\nInterfaceCX=640\r\n"
              "InterfaceCY=27\r\nInterfaceBKImageFileName=2\r\n\r\n"
              "[Tip]\r\nFilePos=1234\r\n");
}

TEST_F(Settings, ChineseTextRoundTripsByteExact)
{
    CSettings s(Path());
    const std::string name = "\xD3\xA2\xBA\xBA\xB4\xCA\xB5\xE4"; // 英汉词典
    const std::string bitmap = "C:\\\x95\x5C\\\xD6\xD0\xCE\xC4.bmp"; // trail byte '\'
    ASSERT_TRUE(s.SetDictName(name));
    ASSERT_TRUE(s.SetInterfaceBKImageFileName(bitmap));
    ASSERT_TRUE(s.SetTipTimeStamp("Thu Jan  1 00:00:00 1970"));
    EXPECT_EQ(s.DictName(), name);
    EXPECT_EQ(s.DictNameForPreselection(), name);
    EXPECT_EQ(s.InterfaceBKImageFileName(), bitmap);
    EXPECT_EQ(s.TipTimeStamp(), "Thu Jan  1 00:00:00 1970");
    EXPECT_NE(Bytes().find("\r\nDictName=" + name + "\r\n"), std::string::npos);
}

TEST_F(Settings, GroupEndsLikeKeyByKeyWritingButReplacesTheFileOnce)
{
    const std::string start = "; mine\r\n[interface]\r\ninterfaceleft = 3\r\n[User]\r\nx=1";
    auto writeShutdownState = [](CSettings& s) {
        s.SetDictWordCount(42);
        s.SetInterfaceLeft(-8);
        s.SetInterfaceTop(700);
        s.SetInterfaceCX(640);
        s.SetInterfaceCY(27);
        s.SetInterfaceBKImageFileName("C:\\\x95\x5C.bmp");
    };
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), start));
    CSettings oneByOne(Path());
    writeShutdownState(oneByOne);
    const std::string expected = Bytes();

    ASSERT_TRUE(lex::ReplaceFileContents(Path(), start));
    CSettings s(Path());
    {
        lex::CSettingsGroup group(s);
        writeShutdownState(s);
        // Not on disk yet, but every reader of the file sees the group's values.
        EXPECT_EQ(Bytes(), start);
        EXPECT_EQ(CSettings(Path()).InterfaceLeft(), -8);
        EXPECT_EQ(s.DictWordCount(), 42);
        {
            lex::CSettingsGroup inner{CSettings(Path())};
            CSettings(Path()).SetTipFilePos(5);
            EXPECT_TRUE(inner.Commit());
            EXPECT_EQ(Bytes(), start) << "an inner group joins the outer one";
        }
        EXPECT_TRUE(group.Commit());
        EXPECT_EQ(Bytes(), expected + "\r\n[Tip]\r\nFilePos=5\r\n");
        // After the commit, writes go straight to the file again.
        ASSERT_TRUE(s.SetTipFilePos(6));
        EXPECT_NE(Bytes().find("FilePos=6"), std::string::npos);
    }

    // A read-only file: the group's commit says so and the file stays as it was.
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), start));
    chmod(Path().c_str(), 0444);
    {
        lex::CSettingsGroup group(s);
        writeShutdownState(s);
        EXPECT_FALSE(group.Commit());
    }
    EXPECT_EQ(Bytes(), start);
    chmod(Path().c_str(), 0644);
    // A group with no writes leaves the file alone, even its spelling.
    {
        lex::CSettingsGroup group(s);
        EXPECT_EQ(s.InterfaceLeft(), 3);
    }
    EXPECT_EQ(Bytes(), start);
}

TEST_F(Settings, NewOrResetFileGetsTheShippedLookAndAUsersFileIsLeftAlone)
{
    lex::CIniDocument shipped;
    ASSERT_TRUE(shipped.Load(std::string(LEX_SOURCE_DIR) + "/data/settings/Lexorin.ini"));
    auto expectShippedLook = [&](const CSettings& s) {
        EXPECT_EQ(s.BannerBKColor(), lex::ParseColor(shipped.Get("Banner", "BannerBKColor", "?")));
        EXPECT_EQ(s.BannerWordColor(), lex::ParseColor(shipped.Get("Banner", "BannerWordColor", "?")));
        EXPECT_EQ(s.BannerDescColor(), lex::ParseColor(shipped.Get("Banner", "BannerDescColor", "?")));
        EXPECT_EQ(s.BannerScrollSpeed(), lex::ParseDecimal(shipped.Get("Banner", "BannerScrollSpeed", "?")));
        EXPECT_EQ(s.BannerWordI(), lex::ParseFlag(shipped.Get("Banner", "BannerWordI", "?")));
        EXPECT_EQ(s.InterfaceBKEndColor(), lex::ParseColor(shipped.Get("Interface", "InterfaceBKEndColor", "?")));
        EXPECT_NE(s.BannerWordColor(), s.BannerBKColor()) << "words must show on the strip";
    };
    CSettings s(Path());
    // Missing, then empty: the whole shipped look, in one go.
    EXPECT_FALSE(s.HasAnyKnownKey());
    ASSERT_TRUE(s.WriteFirstRunLookIfNew());
    expectShippedLook(s);
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), ""));
    ASSERT_TRUE(s.WriteFirstRunLookIfNew());
    expectShippedLook(s);
    EXPECT_FALSE(s.WriteFirstRunLookIfNew()) << "once written, the file is the user's";

    // Only keys the program does not know: they stay, the look joins them.
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), "[Banner]\r\nOldKey=1\r\n[Other]\r\nBannerBKColor=0\r\n"));
    ASSERT_TRUE(s.WriteFirstRunLookIfNew());
    expectShippedLook(s);
    EXPECT_EQ(Bytes().find("[Banner]\r\nOldKey=1\r\nBannerBKColor="), 0u);
    EXPECT_NE(Bytes().find("[Other]\r\nBannerBKColor=0\r\n"), std::string::npos);

    // One known key makes it the user's file: untouched, other keys keep their defaults.
    const std::string users = "[tip]\r\nstartup=1\r\n";
    ASSERT_TRUE(lex::ReplaceFileContents(Path(), users));
    EXPECT_FALSE(s.WriteFirstRunLookIfNew());
    EXPECT_EQ(Bytes(), users);
    EXPECT_EQ(s.BannerWordColor(), 0xFFu);
}

} // namespace
