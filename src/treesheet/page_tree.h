// The rules of the settings sheet's page tree, apart from the tree control: splitting
// a page caption into its path components, inserting a path with shared group nodes,
// finding a page's node, and the order Ctrl+Tab and Ctrl+Shift+Tab walk.
//
// A caption such as "基本设置::字典" is a path: "::" separates the components. A
// separator preceded by an odd number of backslashes is escaped and belongs to the
// component; in a component that ends at a real separator, "\::" becomes "::" and then
// "\\" becomes "\". Backslashes are counted as characters of code page 936 text, so
// the trail byte 0x5C of a double-byte character is never taken for one.
#pragma once

#include <string>

namespace lex {

// Takes the first component off path and returns it; path keeps the rest (empty after
// the last component).
std::string SplitPagePath(std::string& path);

// The tree as the rules see it. Node is an opaque handle; nullptr is "no node". Root()
// is the invisible parent of the top-level nodes.
class IPageTree {
public:
    using Node = const void*;
    virtual ~IPageTree() = default;
    virtual Node Root() const = 0;
    virtual Node FirstChild(Node node) const = 0;
    virtual Node NextSibling(Node node) const = 0;
    virtual Node PreviousSibling(Node node) const = 0;
    // nullptr for a top-level node.
    virtual Node Parent(Node node) const = 0;
    virtual std::string Text(Node node) const = 0;
    // The page index of a page node, -1 for a group node.
    virtual long ItemValue(Node node) const = 0;
    // Appends a child with item value -1; group says more components follow, so the
    // node stands for a group. nullptr when it cannot be inserted.
    virtual Node AppendChild(Node parent, const std::string& text, bool group) = 0;
};

// Inserts the nodes of path below parent, reusing a child with the same text (exact,
// case-sensitive) at every level, and returns the last one, or nullptr. A path
// beginning with an unescaped "::" has an empty first component, which is skipped.
IPageTree::Node InsertPagePath(IPageTree& tree, std::string path, IPageTree::Node parent);

// The node of page index below start (Root() for the whole tree), searching children
// before later siblings; nullptr for an index outside 0..pageCount-1.
IPageTree::Node FindPageNode(const IPageTree& tree, long index, long pageCount, IPageTree::Node start);

// Ctrl+Tab: the first child, else the next sibling, else the next sibling of the
// nearest ancestor that has one, else the first top-level node.
IPageTree::Node NextPageNode(const IPageTree& tree, IPageTree::Node node);
// Ctrl+Shift+Tab: the previous sibling's deepest last descendant, else the parent,
// else (from the first top-level node) the deepest last node of the whole tree.
IPageTree::Node PreviousPageNode(const IPageTree& tree, IPageTree::Node node);

} // namespace lex
