// The parser against the plain htmlcxx DOM parser: the same tree, node for node, on pages with
// stray end tags, overlapping elements, literal elements and unfinished mark-up.
#include "HtmlParser.h"
#include "FakeEngine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The tree in document order: depth, kind, text, closing text and tag name of every node.
template <typename TreeType>
std::string Describe(const TreeType& tree) {
    std::string description;
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        description += std::to_string(tree.depth(it)) +
                       (it->isTag()       ? "T"
                        : it->isComment() ? "C"
                                          : "X") +
                       "[" + it->text() + "|" + it->closingText() + "|" + it->tagName() + "]\n";
    }
    return description;
}

void ExpectSameTree(const std::string& html) {
    htmlcxx::HTML::ParserDom plain;
    plain.parseTree(html);
    ovrin::CHtmlParser ours;
    ours.Parse(html);
    ASSERT_EQ(Describe(ours.getTree()), Describe(plain.getTree())) << html;
}

} // namespace

TEST(HtmlParser, SameTreeAsTheLibrary_HandWrittenPages) {
    for (const char* html :
         {"", "text", "<p>a</p>", "<p>a</i>b</p>", "<b><i>x</b>y</i>", "<div><p>one<p>two</div>three</p>",
          "<P>upper</p>", "<ul><li>a<li>b</UL></ul>", "<script>if (a < b) x = '</p>';</script><p>t</p>",
          "<style>a{}</style ><textarea><b></textarea>", "</a></b><a></a></a>", "<!doctype html><!-- c --><a>",
          "<a href=\"x>y\">q</a>", "<br><br><br></br>", "<table><tr><td>1<td>2</tr></table>"})
        ExpectSameTree(html);
}

TEST(HtmlParser, SameTreeAsTheLibrary_RandomPages) {
    static const char* pieces[] = {"<a>",      "</a>",      "<b>",     "</b>",     "<I>",  "</i>",  "<p class=x>",
                                   "</p>",     "<div>",     "</div>",  "text",     " ",    "\n",    "<!-- c -->",
                                   "<script>", "</script>", "<style>", "</style>", "<br>", "</br>", "&amp;",
                                   "<",        ">",         "</",      "<!x>",     "\"",   "'="};
    std::mt19937 random(19);
    for (int page = 0; page < 400; ++page) {
        std::string html;
        int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i)
            html += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        ExpectSameTree(html);
    }
}

TEST(HtmlParser, DeepTree_IsTakenApartWithoutRecursion) {
    const std::size_t depth = 400000 / kLargeInputScale;
    std::string html;
    for (std::size_t i = 0; i < depth; ++i)
        html += "<i>";
    ovrin::CHtmlParser parser;
    const ovrin::CHtmlParser::TreeNode* top = parser.Parse(html);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(parser.getTree().size(), static_cast<int>(depth + 1));
    // A second parse on the same parser frees the first tree the same way.
    parser.Parse(html);

    // Deep below elements that end tags closed several at a time and stray end tags that closed none:
    // the depth the parser keeps for choosing the tear-down follows both.
    std::string mixed;
    for (std::size_t i = 0; i < depth / 4; ++i)
        mixed += "<b><i><u></b></p>";
    for (std::size_t i = 0; i < depth; ++i)
        mixed += i % 2 ? "<i>" : "<b>t";
    ovrin::CHtmlParser{}.Parse(mixed);
}
