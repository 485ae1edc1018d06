// Main-bar arithmetic: toolbar resource, tooltips.
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

TEST(Tooltip, TakesThePartAfterTheFirstNewline)
{
    EXPECT_EQ(TooltipPart("下一条\n下条"), "下条");
    EXPECT_EQ(TooltipPart("a\nb\nc"), "b");
    EXPECT_EQ(TooltipPart("no tooltip"), "");
}
