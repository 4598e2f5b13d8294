// The element tree: the suite's own article HTML, character references, and the forgiving repairs
// real pages need (unclosed and misnested tags, content directly in tables, junk markup).
#include "HtmlDocument.h"
#include "HtmlTokenizer.h"

#include <gtest/gtest.h>

#include <string>

using htmlview::Document;
using htmlview::Node;

namespace {

// The tree as compact text: elements as name[attr=value](children), text as "quoted".
std::wstring Dump(const Node& node) {
    std::wstring out;
    for (const auto& child : node.children) {
        if (child->kind == Node::Kind::Text) {
            out += L"\"" + child->text + L"\"";
            continue;
        }
        out += child->name;
        for (const auto& attribute : child->attributes)
            out += L"[" + attribute.name + L"=" + attribute.value + L"]";
        if (!child->children.empty())
            out += L"(" + Dump(*child) + L")";
        out += L" ";
    }
    return out;
}

std::wstring Parse(std::wstring_view html) {
    return Dump(Document::Parse(html).Root());
}

std::size_t Depth(const Node& node) {
    std::size_t deepest = 0;
    for (const auto& child : node.children)
        deepest = std::max(deepest, Depth(*child));
    return deepest + 1;
}

void CollectText(const Node& node, std::wstring& out) {
    out += node.text;
    for (const auto& child : node.children)
        CollectText(*child, out);
}

TEST(HtmlDocument, SuiteArticle_MisorderedClosingTagsGiveOneRowOneCell) {
    std::wstring html = L"<table width=\"200px\" border=\"1\"><tr><td height=\"300px\" valign=\"top\">"
                        L" <font color=\"#000000\" size=\"9\">Глагол</font> <br />"
                        L"&nbsp;&nbsp; <font color=\"#000000\" size=\"9\"><b>1.</b> </font> "
                        L" <font color=\"#01EA00\" size=\"9\">бежать</font> <br /><br /></tr></td></table>";
    EXPECT_EQ(Parse(html), L"table[width=200px][border=1](tr(td[height=300px][valign=top](\" \"font[color=#000000]"
                           L"[size=9](\"Глагол\") \" \"br \"\xA0\xA0 \"font[color=#000000][size=9](b(\"1.\") \" \") "
                           L"\"  \"font[color=#01EA00][size=9](\"бежать\") \" \"br br ) ) ) ");
}

TEST(HtmlDocument, CharacterReferences_DecodedInTextAndAttributes) {
    EXPECT_EQ(htmlview::DecodeCharacterReferences(L"&lt;a&gt; &amp; &quot;&#1078;&#x416;&copy;&laquo;&mdash;"),
              L"<a> & \"жЖ©«—");
    EXPECT_EQ(htmlview::DecodeCharacterReferences(L"&bogus; &amp &nbspx &copy &#; &#x; & &"),
              L"&bogus; & \xA0x &copy &#; &#x; & &");
    EXPECT_EQ(htmlview::DecodeCharacterReferences(L"&#0;&#xD800;&#99999999;&#x1F600;&#65"),
              L"\xFFFD\xFFFD\xFFFD\xD83D\xDE00"
              L"A");
    EXPECT_EQ(Parse(L"<a title='&lt;x&gt;' href=a&amp;b>t</a>"), L"a[title=<x>][href=a&b](\"t\") ");
}

TEST(HtmlDocument, Attributes_QuotedUnquotedBareRepeatedAndUpperCase) {
    EXPECT_EQ(Parse(L"<DIV ALIGN=Center nowrap width = \"50%\" align=left class='x y'>"),
              L"div[align=Center][nowrap=][width=50%][class=x y] ");
    EXPECT_EQ(Parse(L"<p a=\"unterminated>text"), L"p[a=unterminated>text] ");
    EXPECT_EQ(Parse(L"<br/><img src=x.png/>"), L"br img[src=x.png/] ");
}

TEST(HtmlDocument, UnclosedElements_CloseWithTheirContainer) {
    EXPECT_EQ(Parse(L"<div><b>x<i>y</div>z"), L"div(b(\"x\"i(\"y\") ) ) \"z\"");
    EXPECT_EQ(Parse(L"<p>one<p>two<ul><li>a<li>b</ul>"), L"p(\"one\") p(\"two\") ul(li(\"a\") li(\"b\") ) ");
    EXPECT_EQ(Parse(L"<table><tr><td><b>cell</table>after"), L"table(tr(td(b(\"cell\") ) ) ) \"after\"");
}

TEST(HtmlDocument, StrayAndMisnestedEndTags_AreDropped) {
    EXPECT_EQ(Parse(L"</p></td></table>text</b>"), L"\"text\"");
    EXPECT_EQ(Parse(L"<b>1<i>2</b>3</i>"), L"b(\"1\"i(\"2\") ) \"3\"");
    // A formatting element does not close across a cell boundary.
    EXPECT_EQ(Parse(L"<b><table><tr><td>x</b>y</td></tr></table>"), L"b(table(tr(td(\"xy\") ) ) ) ");
    EXPECT_EQ(Parse(L"a</br>b"), L"\"a\"br \"b\"");
}

TEST(HtmlDocument, ContentDirectlyInATable_GoesIntoImpliedCells) {
    EXPECT_EQ(Parse(L"<table> <td>a<td>b<tr><th>c</table>"), L"table(tr(td(\"a\") td(\"b\") ) tr(th(\"c\") ) ) ");
    EXPECT_EQ(Parse(L"<table>loose<tr>row text</table>"), L"table(tr(td(\"loose\") ) tr(td(\"row text\") ) ) ");
    EXPECT_EQ(Parse(L"<td>no table</td><tr>"), L"\"no table\"");
    EXPECT_EQ(Parse(L"<table><tbody><tr><td>1</tbody><tr><td>2</table>"),
              L"table(tbody(tr(td(\"1\") ) ) tr(td(\"2\") ) ) ");
}

TEST(HtmlDocument, CommentsDeclarationsScriptsAndStyles_LeaveNoText) {
    Document document = Document::Parse(L"<!DOCTYPE html><html><head><title> The \n title </title>"
                                        L"<style>p{color:red}</style><script>if (a<b) x();</script></head>"
                                        L"<body><!-- <b>hidden</b> -->shown<?xml junk?></body></html>");
    EXPECT_EQ(Dump(document.Root()), L"head(title(\" The \n title \") style script ) \"shown\"");
    EXPECT_EQ(document.Title(), L"The title");
}

TEST(HtmlDocument, LoneAngleBracketsAndBrokenMarkup_StayText) {
    EXPECT_EQ(Parse(L"a < b > c <3 <"), L"\"a < b > c <3 <\"");
    EXPECT_EQ(Parse(L"x<!-- never closed"), L"\"x\"");
    EXPECT_EQ(Parse(L"x</ y>z</>w"), L"\"xzw\"");
    EXPECT_EQ(Parse(L"<b"), L"b ");
    EXPECT_EQ(Parse(L""), L"");
}

TEST(HtmlDocument, DeepNesting_StopsDeepeningAndKeepsEveryText) {
    std::wstring html;
    for (int i = 0; i < 5000; ++i)
        html += L"<div><font size=2>" + std::to_wstring(i);
    Document document = Document::Parse(html);
    EXPECT_LE(Depth(document.Root()), htmlview::kMaxTreeDepth + 2);
    std::wstring text;
    CollectText(document.Root(), text);
    std::wstring expected;
    for (int i = 0; i < 5000; ++i)
        expected += std::to_wstring(i);
    EXPECT_EQ(text, expected);
}

} // namespace
