// The htmlcxx DOM parser with a flat tear-down and a quick test for stray end tags.
#include "HtmlParser.h"

#include "base/Text.h"

#include <algorithm>
#include <strings.h>

namespace ovrin {

std::size_t CHtmlParser::Bucket(const std::string& name) {
    std::uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<std::uint32_t>(static_cast<unsigned char>(AsciiLower(c)));
        hash *= 16777619u;
    }
    return hash % kBuckets;
}

CHtmlParser::~CHtmlParser() {
    Flatten();
}

const CHtmlParser::TreeNode* CHtmlParser::Parse(const std::string& html) {
    parse(html);
    return mHtmlTree.begin().node;
}

void CHtmlParser::beginParsing() {
    Flatten();
    m_openCount.assign(kBuckets, 0);
    m_depth = m_deepest = 0;
    ParserDom::beginParsing();
}

// Every node in document order is made a sibling of its children's new place: each node's children
// move up beside it, and the walk goes on with the first of them, so every node is visited once and
// the tree ends up one level deep, which the library then frees without deep recursion. A shallow
// tree is left as it is.
void CHtmlParser::Flatten() {
    if (m_deepest < kRecursiveTearDownDepth)
        return;
    for (Tree::pre_order_iterator it = mHtmlTree.begin(); it != mHtmlTree.end(); ++it)
        mHtmlTree.flatten(it);
}

// The library's own handling of tags, node for node, with the stray end tag found without a walk.
// (Calling the library's handler would copy every node once more: a node has no move constructor.)
void CHtmlParser::foundTag(htmlcxx::HTML::Node node, bool isEnd) {
    if (!isEnd) {
        ++m_openCount[Bucket(node.tagName())];
        mCurrentState = mHtmlTree.append_child(mCurrentState, node);
        m_deepest = std::max(m_deepest, ++m_depth);
        return;
    }
    if (m_openCount[Bucket(node.tagName())] != 0) {
        // The innermost open element of that name closes, and every element still open inside it
        // closes with it: their children move up beside them.
        const char* name = node.tagName().c_str();
        Tree::iterator open = mCurrentState;
        std::size_t closing = 1;
        while (open != mHtmlTree.begin() && strcasecmp(open->tagName().c_str(), name) != 0) {
            open = mHtmlTree.parent(open);
            ++closing;
        }
        if (open != mHtmlTree.begin()) {
            open->length(node.offset() + node.length() - open->offset());
            open->closingText(node.text());
            --m_openCount[Bucket(open->tagName())];
            Tree::iterator inner = mCurrentState;
            mCurrentState = mHtmlTree.parent(open);
            m_depth -= closing;
            while (inner != open) {
                Tree::iterator parent = mHtmlTree.parent(inner);
                --m_openCount[Bucket(inner->tagName())];
                mHtmlTree.flatten(inner);
                inner = parent;
            }
            return;
        }
    }
    // An end tag that closes no open element becomes a comment.
    node.isTag(false);
    node.isComment(true);
    mHtmlTree.append_child(mCurrentState, node);
}

} // namespace ovrin
