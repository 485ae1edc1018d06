// The banner page's OK with all seventeen "Banner" keys changed: written in the page's
// order, and as one group the same file as key by key.
#include "base/fileio.h"
#include "options/banner_page_values.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using lex::BannerPageValues;
using lex::CSettings;

std::string TempPath(const char* tag)
{
    return ::testing::TempDir() + "lex_bannerpage_" + std::to_string(getpid()) + "_" + tag + ".ini";
}

std::string Bytes(const std::string& path)
{
    std::string s;
    lex::ReadWholeFile(path, s);
    return s;
}

BannerPageValues AllChanged(BannerPageValues v)
{
    v.autoSize ^= 1;
    v.scroll ^= 1;
    v.bkColor = 0x808000;
    v.speed = v.speed == 4 ? 5 : 4;
    for (int& s : v.styles)
        s ^= 1;
    v.wordColor = 0x00FFFF;
    v.phoneticColor = 0xFFFFFF;
    v.descColor = 0xFF0000;
    v.powerSaving ^= 1;
    return v;
}

} // namespace

TEST(BannerPageValues, AllSeventeenInOrderAndAsOneGroupTheSameFile)
{
    const std::string byKey = TempPath("bykey"), grouped = TempPath("group");
    std::remove(byKey.c_str());
    std::remove(grouped.c_str());
    CSettings a(byKey), b(grouped);
    const BannerPageValues start = ReadBannerPageValues(a);
    const BannerPageValues now = AllChanged(start);
    EXPECT_EQ(WriteChangedBannerKeys(a, start, now), 17);
    {
        lex::CSettingsGroup group(b);
        EXPECT_EQ(WriteChangedBannerKeys(b, start, now), 17);
        EXPECT_TRUE(group.Commit());
    }
    const std::string text = Bytes(byKey);
    EXPECT_EQ(text, Bytes(grouped));
    const char* order[] = {"BannerAutoSize=0", "BannerScroll=0", "BannerBKColor=808000", "BannerScrollSpeed=4",
                           "BannerWordI=0", "BannerWordB=0", "BannerWordU=0", "BannerPhoneticI=0",
                           "BannerPhoneticB=0", "BannerPhoneticU=0", "BannerDescI=0", "BannerDescB=0",
                           "BannerDescU=0", "BannerWordColor=ffff", "BannerPhoneticColor=ffffff",
                           "BannerDescColor=ff0000", "BannerPowerSaving=1"};
    size_t at = 0;
    for (const char* line : order) {
        size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found;
    }
    const BannerPageValues back = ReadBannerPageValues(b);
    EXPECT_EQ(back.bkColor, now.bkColor);
    EXPECT_EQ(back.speed, now.speed);
    EXPECT_EQ(back.styles[8], 0);
    EXPECT_EQ(back.powerSaving, 1);
    std::remove(byKey.c_str());
    std::remove(grouped.c_str());
}
