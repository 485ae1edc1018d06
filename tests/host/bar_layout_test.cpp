// Main-bar arithmetic: toolbar resource, keeping on screen, tooltips.
#include "mainbar/bar_layout.h"

#include <gtest/gtest.h>

TEST(ToolbarResource, ParsesWordsAndRejectsShortData)
{
    const unsigned char data[] = {1, 0, 16, 0, 15, 0, 3, 0, 0x18, 0x80, 0, 0, 0x41, 0xE1};
    ToolbarResource r;
    ASSERT_TRUE(ParseToolbarResource(data, sizeof data, r));
    EXPECT_EQ(r.version, 1);
    EXPECT_EQ(r.imageWidth, 16);
    EXPECT_EQ(r.imageHeight, 15);
    EXPECT_EQ(r.ids, (std::vector<uint16_t>{32792, 0, 57665}));
    EXPECT_FALSE(ParseToolbarResource(data, sizeof data - 1, r));
    EXPECT_FALSE(ParseToolbarResource(data, 7, r));
}

TEST(KeepOnScreen, PullsTheBarBackInside)
{
    BarRect desktop{0, 0, 1024, 768};
    int x, y;
    KeepOnScreenPosition(desktop, {-100, 20, 540, 47}, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 20);
    KeepOnScreenPosition(desktop, {600, 760, 1240, 787}, x, y);
    EXPECT_EQ(x, 384) << "moved left just enough";
    EXPECT_EQ(y, 741);
    KeepOnScreenPosition(desktop, {20, 20, 660, 47}, x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 20);
}

TEST(Tooltip, TakesThePartAfterTheFirstNewline)
{
    EXPECT_EQ(TooltipPart("下一条\n下条"), "下条");
    EXPECT_EQ(TooltipPart("a\nb\nc"), "b");
    EXPECT_EQ(TooltipPart("no tooltip"), "");
}
