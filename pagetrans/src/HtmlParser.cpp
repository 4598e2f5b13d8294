// The htmlcxx DOM parser with a flat tear-down and a quick test for stray end tags.
#include "HtmlParser.h"

#include <cctype>

namespace ovrin {

namespace {

std::string LowerAscii(const std::string& name) {
    std::string lower(name);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace

CHtmlParser::~CHtmlParser() {
    Flatten();
}

const CHtmlParser::TreeNode* CHtmlParser::Parse(const std::string& html) {
    parse(html);
    return mHtmlTree.begin().node;
}

void CHtmlParser::beginParsing() {
    Flatten();
    m_open.clear();
    m_openCount.clear();
    ParserDom::beginParsing();
}

// Every node in document order is made a sibling of its children's new place: each node's children
// move up beside it, and the walk goes on with the first of them, so every node is visited once and
// the tree ends up one level deep, which the library then frees without deep recursion.
void CHtmlParser::Flatten() {
    for (Tree::pre_order_iterator it = mHtmlTree.begin(); it != mHtmlTree.end(); ++it)
        mHtmlTree.flatten(it);
}

void CHtmlParser::foundTag(htmlcxx::HTML::Node node, bool isEnd) {
    std::string name = LowerAscii(node.tagName());
    if (!isEnd) {
        ++m_openCount[name];
        m_open.push_back(std::move(name));
        ParserDom::foundTag(std::move(node), false);
        return;
    }
    auto open = m_openCount.find(name);
    if (open == m_openCount.end() || open->second == 0) {
        // What the library does with an end tag that matches no open element, without its walk.
        node.isTag(false);
        node.isComment(true);
        mHtmlTree.append_child(mCurrentState, node);
        return;
    }
    // The library closes the innermost open element of that name and everything inside it.
    while (!m_open.empty()) {
        std::string closed = std::move(m_open.back());
        m_open.pop_back();
        --m_openCount[closed];
        if (closed == name)
            break;
    }
    ParserDom::foundTag(std::move(node), true);
}

} // namespace ovrin
