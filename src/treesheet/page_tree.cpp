#include "treesheet/page_tree.h"
#include "base/dbcs.h"

#include <vector>

namespace lex {

namespace {

// The byte offsets of the characters of text that are single-byte backslashes.
std::vector<bool> BackslashMap(const std::string& text)
{
    std::vector<bool> map(text.size(), false);
    for (size_t i = 0; i < text.size();) {
        size_t n = Cp936CharLength(text, i);
        if (n == 1 && text[i] == '\\')
            map[i] = true;
        i += n;
    }
    return map;
}

// "\::" -> "::", then "\\" -> "\", one character at a time.
std::string Unescape(const std::string& text)
{
    std::string pass;
    for (size_t i = 0; i < text.size();) {
        size_t n = Cp936CharLength(text, i);
        if (n == 1 && text.compare(i, 3, "\\::") == 0) {
            pass += "::";
            i += 3;
            continue;
        }
        pass.append(text, i, n);
        i += n;
    }
    std::string out;
    for (size_t i = 0; i < pass.size();) {
        size_t n = Cp936CharLength(pass, i);
        if (n == 1 && pass.compare(i, 2, "\\\\") == 0) {
            out += '\\';
            i += 2;
            continue;
        }
        out.append(pass, i, n);
        i += n;
    }
    return out;
}

IPageTree::Node LastDescendant(const IPageTree& tree, IPageTree::Node node)
{
    for (;;) {
        IPageTree::Node child = tree.FirstChild(node);
        if (!child)
            return node;
        for (IPageTree::Node next = tree.NextSibling(child); next; next = tree.NextSibling(next))
            child = next;
        node = child;
    }
}

} // namespace

std::string SplitPagePath(std::string& path)
{
    // ':' is below the trail-byte range, so a byte search finds only real colons.
    const std::vector<bool> backslash = BackslashMap(path);
    size_t from = 0;
    for (;;) {
        size_t at = path.find("::", from);
        if (at == std::string::npos)
            break;
        size_t count = 0;
        while (count < at && backslash[at - count - 1])
            ++count;
        if (count % 2 == 1) {
            from = at + 1;
            continue;
        }
        std::string component = Unescape(path.substr(0, at));
        path.erase(0, at + 2);
        return component;
    }
    std::string component;
    component.swap(path);
    return component;
}

IPageTree::Node InsertPagePath(IPageTree& tree, std::string path, IPageTree::Node parent)
{
    for (;;) {
        std::string component = SplitPagePath(path);
        if (component.empty() && !path.empty())
            continue; // a leading "::" (or "::::") names no level
        IPageTree::Node node = nullptr;
        for (IPageTree::Node child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
            if (tree.Text(child) == component) {
                node = child;
                break;
            }
        }
        if (!node)
            node = tree.AppendChild(parent, component, !path.empty());
        if (!node || path.empty())
            return node;
        parent = node;
    }
}

IPageTree::Node FindPageNode(const IPageTree& tree, long index, long pageCount, IPageTree::Node start)
{
    if (index < 0 || index >= pageCount)
        return nullptr;
    for (IPageTree::Node node = tree.FirstChild(start); node; node = tree.NextSibling(node)) {
        if (tree.FirstChild(node)) {
            if (IPageTree::Node found = FindPageNode(tree, index, pageCount, node))
                return found;
        }
        if (tree.ItemValue(node) == index)
            return node;
    }
    return nullptr;
}

IPageTree::Node NextPageNode(const IPageTree& tree, IPageTree::Node node)
{
    if (!node)
        return tree.FirstChild(tree.Root());
    if (IPageTree::Node child = tree.FirstChild(node))
        return child;
    for (IPageTree::Node at = node; at; at = tree.Parent(at)) {
        if (IPageTree::Node next = tree.NextSibling(at))
            return next;
    }
    return tree.FirstChild(tree.Root());
}

IPageTree::Node PreviousPageNode(const IPageTree& tree, IPageTree::Node node)
{
    if (!node)
        return LastDescendant(tree, tree.Root());
    if (IPageTree::Node previous = tree.PreviousSibling(node))
        return LastDescendant(tree, previous);
    if (IPageTree::Node parent = tree.Parent(node))
        return parent;
    IPageTree::Node last = LastDescendant(tree, tree.Root());
    return last == tree.Root() ? nullptr : last;
}

} // namespace lex
