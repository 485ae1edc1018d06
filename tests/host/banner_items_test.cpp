// The banner's items and their list: what the feed appends must come out in order, with
// its style, and the list operations must keep working when a derived class overrides one.
#include "banner/canvas_items.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

uint32_t g_fakeButtonFace = 0x00112233;
uint32_t FakeButtonFace() { return g_fakeButtonFace; }

class BannerItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fakeButtonFace = 0x00112233;
        SetButtonFaceColorSource(FakeButtonFace);
    }
    void TearDown() override { SetButtonFaceColorSource(nullptr); }
};

// A list with a window that counts its full repaints and the repaints of appended items.
class WindowedItems : public CCanvasItems {
public:
    bool window = true;
    int invalidations = 0;
    int appends = 0;

protected:
    bool CanvasWindowExists() const override { return window; }
    void CanvasInvalidateAll() override { ++invalidations; }
    void CanvasInvalidateAppended() override { ++appends; }
};

std::vector<std::string> Texts(const CCanvasItems& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(list.GetItemAt(i).text);
    return texts;
}

CBannerItem Item(const char* text) { return CBannerItem(text, 0, 0); }

} // namespace

TEST_F(BannerItems, ConstructionResolvesButtonFaceOnce)
{
    const CBannerItem plain;
    EXPECT_EQ(plain.text, "");
    EXPECT_EQ(plain.style, 0u);
    EXPECT_EQ(plain.backColor, 0x00112233u);
    EXPECT_EQ(plain.tag, 0u);
    EXPECT_EQ(plain.fontKind, 0);

    const CBannerItem faced("word  ", 0x000000FF | BANNER_BOLD, BANNER_BUTTON_FACE);
    const CBannerItem fed(std::string("meaning  "), BANNER_FONT_PHONETIC, 77, BANNER_ITALIC | BANNER_UNDERLINE,
                          BANNER_BUTTON_FACE);
    const CBannerItem boxed(nullptr, 0, 0x0000FF00);
    // The user changes the system colours: items made earlier keep the old value.
    g_fakeButtonFace = 0x00445566;
    EXPECT_EQ(faced.backColor, 0x00112233u);
    EXPECT_EQ(fed.backColor, 0x00112233u);
    EXPECT_EQ(CBannerItem("x", 0, BANNER_BUTTON_FACE).backColor, 0x00445566u);
    EXPECT_EQ(boxed.backColor, 0x0000FF00u);
    EXPECT_EQ(boxed.text, "");

    EXPECT_EQ(fed.text, "meaning  ");
    EXPECT_EQ(fed.fontKind, BANNER_FONT_PHONETIC);
    EXPECT_EQ(fed.tag, 77u);
    const CBannerItem copy = fed;
    EXPECT_EQ(copy.text, fed.text);
    EXPECT_EQ(copy.style, fed.style);
    EXPECT_EQ(copy.backColor, fed.backColor);
    EXPECT_EQ(copy.tag, fed.tag);
    EXPECT_EQ(copy.fontKind, fed.fontKind);
}

TEST_F(BannerItems, StyleWordAndFontFaces)
{
    const CBannerItem boldRed("x", 0x01000000 | 0x000000FF, 0);
    EXPECT_TRUE(boldRed.IsBold());
    EXPECT_FALSE(boldRed.IsItalic());
    EXPECT_FALSE(boldRed.IsUnderline());
    EXPECT_EQ(boldRed.GetTextColor(), 0x000000FFu);
    const CBannerItem slanted("x", 0x06000000, 0);
    EXPECT_FALSE(slanted.IsBold());
    EXPECT_TRUE(slanted.IsItalic());
    EXPECT_TRUE(slanted.IsUnderline());
    EXPECT_EQ(slanted.GetTextColor(), 0u);

    EXPECT_STREQ(BannerFontFace(1), "\xCB\xCE\xCC\xE5"); // 宋体 in code page 936
    EXPECT_STREQ(BannerFontFace(2), "DFPhonetic");
    EXPECT_STREQ(BannerFontFace(3), "\xBA\xDA\xCC\xE5"); // 黑体
    EXPECT_STREQ(BannerFontFace(0), "");
    EXPECT_STREQ(BannerFontFace(4), "");
}

TEST_F(BannerItems, SetItemAtAppendsReplacesAndRefuses)
{
    WindowedItems list;
    EXPECT_TRUE(list.SetItemAt(0, Item("a")));
    EXPECT_TRUE(list.AddItem(Item("b")));
    EXPECT_TRUE(list.AddText("c", BANNER_BOLD, BANNER_BUTTON_FACE));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.GetItemAt(2).style, BANNER_BOLD);
    EXPECT_EQ(list.GetItemAt(2).backColor, 0x00112233u);
    EXPECT_EQ(list.appends, 3) << "each append repaints what it adds";
    EXPECT_EQ(list.invalidations, 0) << "and never the whole control";

    const int before = list.invalidations;
    EXPECT_FALSE(list.SetItemAt(4, Item("far"))) << "count + 1";
    EXPECT_FALSE(list.SetItemAt(-1, Item("neg")));
    EXPECT_FALSE(list.AddItem(Item("")));
    EXPECT_FALSE(list.AddText("", 0, 0));
    EXPECT_FALSE(list.SetItemAt(0, Item(""))) << "an empty text never replaces an item";
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.invalidations, before) << "refused calls repaint nothing";

    EXPECT_TRUE(list.SetItemAt(0, Item("A")));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_GT(list.invalidations, before);
    EXPECT_EQ(list.appends, 3) << "a replacement is no append";

    // Out of range: an empty default item.
    EXPECT_EQ(list.GetItemAt(3).text, "");
    EXPECT_EQ(list.GetItemAt(-1).text, "");
    EXPECT_EQ(list.GetItemAt(-1).backColor, 0x00112233u);

    EXPECT_FALSE(list.RemoveItemAt(3));
    EXPECT_FALSE(list.RemoveItemAt(-1));
    EXPECT_TRUE(list.RemoveItemAt(1));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"A", "c"}));
    const int beforeClearing = list.invalidations;
    list.RemoveAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.invalidations, beforeClearing + 1) << "clearing repaints once";
}

TEST_F(BannerItems, ChangesWithoutWindowRepaintNothing)
{
    WindowedItems list;
    list.window = false;
    EXPECT_TRUE(list.AddItem(Item("a")));
    EXPECT_TRUE(list.SetItemAt(0, Item("b")));
    EXPECT_TRUE(list.RemoveItemAt(0));
    list.AddItem(Item("c"));
    list.RemoveAllItems();
    EXPECT_EQ(list.invalidations, 0);
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(BannerItems, OperationsReachEachOtherThroughOverrides)
{
    // A derived class that watches the two primitives sees every route into them.
    class Watching : public CCanvasItems {
    public:
        std::vector<int> sets, removes;
        bool SetItemAt(int index, const CBannerItem& item) override
        {
            sets.push_back(index);
            return CCanvasItems::SetItemAt(index, item);
        }
        bool RemoveItemAt(int index) override
        {
            removes.push_back(index);
            return CCanvasItems::RemoveItemAt(index);
        }
    };
    Watching list;
    list.AddText("a", 0, 0);
    list.AddItem(Item("b"));
    list.AddItem(Item("c"));
    EXPECT_EQ(list.sets, (std::vector<int>{0, 1, 2}));
    list.SetItemAt(1, Item("B"));
    EXPECT_EQ(list.removes, (std::vector<int>{1})) << "a replacement removes first";
    list.removes.clear();
    list.RemoveAllItems();
    EXPECT_EQ(list.removes, (std::vector<int>{2, 1, 0})) << "last to first";
}

TEST_F(BannerItems, RemoveAllEndsWhenAnOverrideRefuses)
{
    class Stubborn : public CCanvasItems {
    public:
        bool RemoveItemAt(int) override { return false; }
    };
    Stubborn list;
    list.AddItem(Item("a"));
    list.RemoveAllItems(); // must return
    EXPECT_EQ(list.GetItemCount(), 1);
}
