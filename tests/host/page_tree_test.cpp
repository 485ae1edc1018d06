// Page captions become the settings sheet's tree: path splitting with its escapes,
// shared group nodes, and the Ctrl+Tab order.
#include "treesheet/page_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace lex;

namespace {

// A plain tree standing in for the tree control.
class VectorTree : public IPageTree {
public:
    struct Item {
        std::string text;
        long value;
        bool group;
        Item* parent;
        std::vector<std::unique_ptr<Item>> children;
    };
    Item root{"", -1, false, nullptr, {}};
    int appended = 0;

    Node Root() const override { return &root; }
    Node FirstChild(Node n) const override
    {
        const Item* i = static_cast<const Item*>(n);
        return i->children.empty() ? nullptr : i->children.front().get();
    }
    Node NextSibling(Node n) const override { return Sibling(n, +1); }
    Node PreviousSibling(Node n) const override { return Sibling(n, -1); }
    Node Parent(Node n) const override
    {
        const Item* p = static_cast<const Item*>(n)->parent;
        return p == &root ? nullptr : p;
    }
    std::string Text(Node n) const override { return static_cast<const Item*>(n)->text; }
    long ItemValue(Node n) const override { return static_cast<const Item*>(n)->value; }
    Node AppendChild(Node parent, const std::string& text, bool group) override
    {
        Item* p = const_cast<Item*>(static_cast<const Item*>(parent));
        p->children.push_back(std::make_unique<Item>(Item{text, -1, group, p, {}}));
        ++appended;
        return p->children.back().get();
    }
    // Inserts a page caption as the sheet does and gives the node its page index.
    Item* AddPage(const std::string& caption, long index)
    {
        Item* node = const_cast<Item*>(static_cast<const Item*>(InsertPagePath(*this, caption, Root())));
        if (node)
            node->value = index;
        return node;
    }

private:
    Node Sibling(Node n, int step) const
    {
        const Item* i = static_cast<const Item*>(n);
        const auto& list = i->parent->children;
        for (size_t k = 0; k < list.size(); ++k)
            if (list[k].get() == i) {
                long at = static_cast<long>(k) + step;
                return at < 0 || at >= static_cast<long>(list.size()) ? nullptr : list[static_cast<size_t>(at)].get();
            }
        return nullptr;
    }
};

std::vector<std::string> Components(std::string path)
{
    std::vector<std::string> out;
    do
        out.push_back(SplitPagePath(path));
    while (!path.empty());
    return out;
}

using Parts = std::vector<std::string>;

} // namespace

TEST(PagePath, SeparatorsAndEscapes)
{
    EXPECT_EQ(Components("基本设置::滚动条"), (Parts{"基本设置", "滚动条"}));
    EXPECT_EQ(Components("杂项"), (Parts{"杂项"}));
    // An escaped separator inside a component that ends at a real one is unescaped.
    EXPECT_EQ(Components("A\\::B::C"), (Parts{"A::B", "C"}));
    // The last component is taken as written: the backslash stays.
    EXPECT_EQ(Components("A\\::B"), (Parts{"A\\::B"}));
    // Two backslashes escape each other, not the separator.
    EXPECT_EQ(Components("A\\\\::B"), (Parts{"A\\", "B"}));
    EXPECT_EQ(Components("A\\\\\\::B::C"), (Parts{"A\\::B", "C"}));
    // 0x5C as the trail byte of a double-byte character is no backslash: "表" is B1 ED,
    // but "\x95\x5C" (a character ending in 0x5C) before "::" must still split.
    EXPECT_EQ(Components("\x95\x5C::B"), (Parts{"\x95\x5C", "B"}));
}

TEST(PagePath, PagesShareGroupNodesAndALeadingSeparatorDoesNotStall)
{
    VectorTree tree;
    auto* y = tree.AddPage("X::Y", 0);
    auto* z = tree.AddPage("X::Z", 1);
    ASSERT_TRUE(y && z);
    EXPECT_EQ(y->parent, z->parent) << "one group node X";
    EXPECT_EQ(tree.root.children.size(), 1u);
    EXPECT_TRUE(y->parent->group);
    EXPECT_EQ(y->parent->value, -1);
    EXPECT_EQ(tree.appended, 3);
    // Text comparison is exact: "x" is another group.
    tree.AddPage("x::Y", 2);
    EXPECT_EQ(tree.root.children.size(), 2u);
    // A caption starting with "::" ends, and puts its page under the next component.
    auto* lead = tree.AddPage("::X::W", 3);
    ASSERT_NE(lead, nullptr);
    EXPECT_EQ(lead->parent, y->parent);
    auto* only = tree.AddPage("::", 4);
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(only->text, "");
    EXPECT_FALSE(only->group);
    // Escaped captions: "A\::B::C" gives the node "A::B" with the child C.
    auto* c = tree.AddPage("A\\::B::C", 5);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->parent->text, "A::B");
    EXPECT_EQ(FindPageNode(tree, 5, 6, tree.Root()), c);
    EXPECT_EQ(FindPageNode(tree, 6, 6, tree.Root()), nullptr);
    EXPECT_EQ(FindPageNode(tree, -1, 6, tree.Root()), nullptr);
}

TEST(PagePath, NextAndPreviousWalkTheTreeAndWrap)
{
    // The program's tree: 基本设置{滚动条, 字典}, 界面设置{杂项}, 语音设置{声音}.
    VectorTree tree;
    tree.AddPage("基本设置::滚动条", 0);
    tree.AddPage("基本设置::字典", 1);
    tree.AddPage("界面设置::杂项", 2);
    tree.AddPage("语音设置::声音", 3);
    std::vector<std::string> forward;
    IPageTree::Node node = tree.FirstChild(tree.Root());
    for (int i = 0; i < 8; ++i) {
        forward.push_back(tree.Text(node));
        node = NextPageNode(tree, node);
    }
    EXPECT_EQ(forward, (Parts{"基本设置", "滚动条", "字典", "界面设置", "杂项", "语音设置", "声音", "基本设置"}));
    std::vector<std::string> backward;
    node = tree.FirstChild(tree.Root());
    for (int i = 0; i < 8; ++i) {
        node = PreviousPageNode(tree, node);
        backward.push_back(tree.Text(node));
    }
    EXPECT_EQ(backward, (Parts{"声音", "语音设置", "杂项", "界面设置", "字典", "滚动条", "基本设置", "声音"}));
    // Deeper trees: back from a top-level node goes to the previous one's deepest last node.
    tree.AddPage("界面设置::杂项::更多", 4);
    node = tree.FirstChild(tree.Root());
    node = tree.NextSibling(tree.NextSibling(node)); // 语音设置
    EXPECT_EQ(tree.Text(PreviousPageNode(tree, node)), "更多");
    EXPECT_EQ(tree.Text(NextPageNode(tree, PreviousPageNode(tree, node))), "语音设置");
}
