// The htmlcxx DOM parser, made safe for hostile pages: a deep tree is taken apart without recursion
// (the library's own clean-up recurses once per level, which a page of a million nested elements
// turns into a stack overflow), and an end tag that closes no open element is recognised without
// walking up through every open element (a long run of them under deep nesting would otherwise take
// quadratic time). The tree it builds is the library's, node for node.
#pragma once

#include <htmlcxx/html/ParserDom.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ovrin {

class CHtmlParser : public htmlcxx::HTML::ParserDom {
public:
    using Tree = tree<htmlcxx::HTML::Node>;
    using TreeNode = tree_node_<htmlcxx::HTML::Node>;

    CHtmlParser() = default;
    ~CHtmlParser() override;
    CHtmlParser(const CHtmlParser&) = delete;
    CHtmlParser& operator=(const CHtmlParser&) = delete;

    // Parses html (8-bit text) and gives the top node: the library's empty tag above the page.
    const TreeNode* Parse(const std::string& html);
    // The top node of the last parse; null before the first.
    const TreeNode* Top() const { return mHtmlTree.begin().node; }

protected:
    void beginParsing() override;
    void foundTag(htmlcxx::HTML::Node node, bool isEnd) override;

private:
    // How many open elements have a name in each bucket (names hashed without regard to case). An
    // end tag whose bucket is empty closes nothing; one whose bucket is not is looked for by name.
    static constexpr std::size_t kBuckets = 4096;
    std::vector<std::uint32_t> m_openCount = std::vector<std::uint32_t>(kBuckets, 0);

    // Trees no deeper than this are left to the library's recursive clean-up: flattening first costs
    // one more visit of every node, and most pages are a few dozen levels deep.
    static constexpr std::size_t kRecursiveTearDownDepth = 1000;
    // The depth of the innermost open element (the top node's is 0), and the deepest any element
    // has been: no node ever moves further from the top than where it was put, so no node of the
    // tree lies deeper than one below it.
    std::size_t m_depth = 0;
    std::size_t m_deepest = 0;

    static std::size_t Bucket(const std::string& name);
    void Flatten();
};

} // namespace ovrin
