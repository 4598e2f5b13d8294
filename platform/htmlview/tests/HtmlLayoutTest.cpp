// Layout boxes for a fixed-width fake measurer: the suite's article table, wrapping, white space,
// line breaks, fonts and colours, tables (widths, columns, alignment), shrinking wide content.
#include "HtmlLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace htmlview;

namespace {

// Every character is (size + 3) pixels wide, one more in bold; ascent size + 7, descent 3.
class FixedMeasurer : public TextMeasurer {
public:
    FontMetrics Metrics(const FontSpec& font) override { return {font.size + 7, 3}; }
    int Width(const FontSpec& font, std::wstring_view text) override {
        return static_cast<int>(text.size()) * (font.size + 3 + (font.bold ? 1 : 0));
    }
};

PageLayout LayOut(std::wstring_view html, int width, bool shrink = false, int margin = 0) {
    FixedMeasurer measurer;
    LayoutOptions options;
    options.width = width;
    options.shrinkToWidth = shrink;
    options.margin = margin;
    return LayOutDocument(Document::Parse(html), options, measurer);
}

const TextBox* FindText(const PageLayout& page, std::wstring_view text) {
    for (const TextBox& box : page.texts) {
        if (box.text == text)
            return &box;
    }
    return nullptr;
}

std::wstring Font(const std::wstring& color, const std::wstring& text) {
    return L" <font color=\"" + color + L"\" size=\"9\">" + text + L"</font> ";
}

// An article as the article window builds it: one part, a headword line, one translation.
std::wstring SuiteArticle(int width, int height) {
    std::wstring html = L"<table width=\"" + std::to_wstring(width) + L"px\" border=\"1\"><tr><td height=\"" +
                        std::to_wstring(height) + L"px\" valign=\"top\">";
    html += Font(L"#000000", L"Сущ") + L"<br />";
    html += Font(L"#000000", L"cat") + Font(L"#000000", L"") + L"<br />";
    html += L"&nbsp;&nbsp;&nbsp;&nbsp;" + Font(L"#000000", L"<b>1.</b> ") + Font(L"#000000", L"<i></i>") +
            Font(L"#01EA00", L"кот") + L"<br />";
    html += L"<br /></tr></td></table>";
    return html;
}

TEST(HtmlLayout, SuiteArticleTable_BoxesAtItsWidth) {
    PageLayout page = LayOut(SuiteArticle(200, 300), 240, true, 2);

    // The table's border at the margin, the cell's inside it after the spacing of 2.
    ASSERT_EQ(page.frames.size(), 2u);
    const FrameBox& cell = page.frames[0];
    const FrameBox& table = page.frames[1];
    EXPECT_EQ(table.x, 2);
    EXPECT_EQ(table.y, 2);
    EXPECT_EQ(table.width, 200);
    EXPECT_EQ(table.height, 1 + 2 + 300 + 2 + 1);
    EXPECT_EQ(table.thickness, 1);
    EXPECT_EQ(cell.x, 5);
    EXPECT_EQ(cell.y, 5);
    EXPECT_EQ(cell.width, 194);
    EXPECT_EQ(cell.height, 300);

    // Size 9 is the largest size, 7: letters 10 pixels wide, lines 17 high; content inset by the
    // cell's border and padding; valign top.
    const TextBox* part = FindText(page, L"Сущ");
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->x, 7);
    EXPECT_EQ(part->y, 7);
    EXPECT_EQ(part->width, 30);
    EXPECT_EQ(part->baseline, 7 + 14);
    EXPECT_EQ(part->font.size, 7);

    const TextBox* headword = FindText(page, L"cat");
    ASSERT_NE(headword, nullptr);
    EXPECT_EQ(headword->y, 24);

    // The translation line: four no-break spaces and a space in the normal size (6 pixels each),
    // the bold number, a space, the translation in its colour.
    const TextBox* indent = FindText(page, L"\xA0\xA0\xA0\xA0 ");
    ASSERT_NE(indent, nullptr);
    EXPECT_EQ(indent->x, 7);
    EXPECT_EQ(indent->width, 30);
    const TextBox* number = FindText(page, L"1.");
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->font.bold);
    EXPECT_EQ(number->x, 37);
    EXPECT_EQ(number->y, 41);
    const TextBox* translation = FindText(page, L"кот");
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->color, 0x01EA00u);
    EXPECT_EQ(translation->x, 37 + 22 + 10);
    EXPECT_EQ(translation->baseline, number->baseline);
    EXPECT_EQ(indent->baseline, number->baseline);

    EXPECT_EQ(page.height, 2 + 306 + 2);
    EXPECT_EQ(page.width, 2 + 200 + 2);
}

TEST(HtmlLayout, SuiteArticleTable_WrapsLongTranslationsInsideTheCell) {
    std::wstring html = L"<table width=\"120px\" border=\"1\"><tr><td height=\"10px\" valign=\"top\">" +
                        Font(L"#01EA00", L"один два три четыре пять шесть") + L"<br /></tr></td></table>";
    PageLayout page = LayOut(html, 240, true);
    // Cell content: 120 - 2 * (1 + 2) - 2 * (1 + 1) = 110 pixels, 11 letters of size 7.
    ASSERT_EQ(page.texts.size(), 3u);
    EXPECT_EQ(page.texts[0].text, L"один два");
    EXPECT_EQ(page.texts[1].text, L"три четыре");
    EXPECT_EQ(page.texts[2].text, L"пять шесть");
    for (const TextBox& box : page.texts) {
        EXPECT_GE(box.x, 5);
        EXPECT_LE(box.x + box.width, 7 + 110);
    }
    EXPECT_EQ(page.texts[1].y - page.texts[0].y, 17);
    // The row grows past its asked height to hold the lines.
    EXPECT_EQ(page.frames[0].height, 3 * 17 + 4);
}

TEST(HtmlLayout, WhiteSpace_CollapsesExceptNoBreakSpacesAndPreformattedText) {
    PageLayout page = LayOut(L"  a \n\t  b  <b> </b> c", 1000);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0].text, L"a b c");

    page = LayOut(L"x&nbsp;&nbsp;y", 1000);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0].text, L"x\xA0\xA0y");

    page = LayOut(L"<pre>\n a  b\n\tc</pre>", 1000);
    ASSERT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(page.texts[0].text, L" a  b");
    EXPECT_EQ(page.texts[1].text, L"        c");
    EXPECT_TRUE(page.texts[0].font.monospace);
}

TEST(HtmlLayout, Wrapping_MovesWholeWordsAndDropsTheSpaceAtTheBreak) {
    // 6 pixels a letter: "aaa bbb" is 42 pixels; the third word goes below.
    PageLayout page = LayOut(L"aaa bbb ccc", 50);
    ASSERT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(page.texts[0].text, L"aaa bbb");
    EXPECT_EQ(page.texts[1].text, L"ccc");
    EXPECT_EQ(page.texts[1].x, 0);
    EXPECT_EQ(page.texts[1].y, 13);

    // A word made of several styles moves as one.
    page = LayOut(L"aaaaaa b<b>c</b>d", 50);
    ASSERT_EQ(page.texts.size(), 4u);
    EXPECT_EQ(page.texts[1].text, L"b");
    EXPECT_EQ(page.texts[1].y, 13);
    EXPECT_EQ(page.texts[2].text, L"c");
    EXPECT_EQ(page.texts[2].y, 13);
}

TEST(HtmlLayout, LongWord_OverflowsUnlessShrinking) {
    PageLayout page = LayOut(L"abcdefghijklmnopqrst", 60);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.width, 120);

    page = LayOut(L"abcdefghijklmnopqrst", 60, true);
    ASSERT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(page.texts[0].text, L"abcdefghij");
    EXPECT_EQ(page.texts[1].text, L"klmnopqrst");
    EXPECT_LE(page.width, 60);
}

TEST(HtmlLayout, LineBreaks_EndLinesAndMakeEmptyOnes) {
    PageLayout page = LayOut(L"a<br>b<br><br>c<br>", 100);
    ASSERT_EQ(page.texts.size(), 3u);
    EXPECT_EQ(page.texts[0].y, 0);
    EXPECT_EQ(page.texts[1].y, 13);
    EXPECT_EQ(page.texts[2].y, 39);
    EXPECT_EQ(page.height, 52);
}

TEST(HtmlLayout, FontsAndColours_FromFontBoldItalicUnderlineAndLinks) {
    PageLayout page = LayOut(L"<font color=red size=+2>r</font><i>i<b>ib</b></i><u>u</u><a href=x>l</a>"
                             L"<font color=\"#0a0\" size=1>g</font>",
                             1000);
    ASSERT_EQ(page.texts.size(), 6u);
    EXPECT_EQ(page.texts[0].color, 0xFF0000u);
    EXPECT_EQ(page.texts[0].font.size, 5);
    EXPECT_TRUE(page.texts[1].font.italic);
    EXPECT_FALSE(page.texts[1].font.bold);
    EXPECT_TRUE(page.texts[2].font.italic && page.texts[2].font.bold);
    EXPECT_TRUE(page.texts[3].font.underline);
    EXPECT_TRUE(page.texts[4].font.underline);
    EXPECT_EQ(page.texts[4].color, 0x0000EEu);
    EXPECT_EQ(page.texts[5].color, 0x00AA00u);
    EXPECT_EQ(page.texts[5].font.size, 1);
    // One baseline for the line, set by its largest font.
    for (const TextBox& box : page.texts)
        EXPECT_EQ(box.baseline, 12);
}

TEST(HtmlLayout, AttributeValues_ColoursAndSizes) {
    std::uint32_t color = 7;
    EXPECT_TRUE(ParseColor(L"#01EA00", color));
    EXPECT_EQ(color, 0x01EA00u);
    EXPECT_TRUE(ParseColor(L" Navy ", color));
    EXPECT_EQ(color, 0x000080u);
    EXPECT_TRUE(ParseColor(L"fff", color));
    EXPECT_EQ(color, 0xFFFFFFu);
    color = 7;
    EXPECT_FALSE(ParseColor(L"#12345", color));
    EXPECT_FALSE(ParseColor(L"#GGHHII", color));
    EXPECT_FALSE(ParseColor(L"", color));
    EXPECT_EQ(color, 7u);

    EXPECT_EQ(ParseFontSize(L"9", 3), 7);
    EXPECT_EQ(ParseFontSize(L"0", 3), 1);
    EXPECT_EQ(ParseFontSize(L"+1", 3), 4);
    EXPECT_EQ(ParseFontSize(L"-5", 3), 1);
    EXPECT_EQ(ParseFontSize(L"99999999999999", 3), 7);
    EXPECT_EQ(ParseFontSize(L"big", 5), 5);
}

TEST(HtmlLayout, Tables_ColumnsFromContentPercentWidthsAndAlignment) {
    // Auto width: each column as wide as its widest content plus padding.
    PageLayout page = LayOut(L"<table cellspacing=0 cellpadding=0><tr><td>aa<td>bbbb<tr><td>c<td>d</table>", 200);
    const TextBox* b = FindText(page, L"bbbb");
    const TextBox* d = FindText(page, L"d");
    ASSERT_TRUE(b != nullptr && d != nullptr);
    EXPECT_EQ(b->x, 12);
    EXPECT_EQ(d->x, 12);
    EXPECT_EQ(d->y, 13);
    EXPECT_EQ(page.width, 36);

    // Percent of the available width; cell text centred with align; valign middle by default.
    page =
        LayOut(L"<table width=50% border=0 cellspacing=0 cellpadding=0><tr><td align=center height=33>ab</table>", 200);
    const TextBox* ab = FindText(page, L"ab");
    ASSERT_NE(ab, nullptr);
    EXPECT_EQ(ab->x, (100 - 12) / 2);
    EXPECT_EQ(ab->y, (33 - 13) / 2);

    // Colspan across two columns; a centred table.
    page = LayOut(L"<table align=center cellspacing=0 cellpadding=0><tr><td colspan=2>wide cell<tr><td>x<td>y"
                  L"</table>",
                  200);
    const TextBox* wide = FindText(page, L"wide cell");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->x, (200 - 54) / 2);
}

TEST(HtmlLayout, WideTable_ShrinksToTheWidthWhenAsked) {
    std::wstring html = L"<table width=1000 border=2><tr><td>words that wrap inside</td><td>x</td></tr></table>";
    PageLayout page = LayOut(html, 240, false, 2);
    EXPECT_EQ(page.frames.back().width, 1000);
    page = LayOut(html, 240, true, 2);
    EXPECT_EQ(page.frames.back().width, 236);
    EXPECT_LE(page.width, 240);
    for (const TextBox& box : page.texts)
        EXPECT_LE(box.x + box.width, 240);
}

TEST(HtmlLayout, ListsRulesAndAnchors) {
    PageLayout page = LayOut(L"<a name=top></a><ol start=3><li>one<li>two</ol><hr><p id=end>last</p>", 200);
    const TextBox* three = FindText(page, L"3.");
    const TextBox* four = FindText(page, L"4.");
    const TextBox* one = FindText(page, L"one");
    ASSERT_TRUE(three != nullptr && four != nullptr && one != nullptr);
    EXPECT_EQ(three->baseline, one->baseline);
    EXPECT_LT(three->x + three->width, one->x);
    EXPECT_EQ(one->x, 20);
    ASSERT_EQ(page.fills.size(), 1u);
    ASSERT_EQ(page.anchors.size(), 2u);
    EXPECT_EQ(page.anchors[0].name, L"top");
    EXPECT_EQ(page.anchors[0].y, 0);
    EXPECT_EQ(page.anchors[1].name, L"end");
    EXPECT_GT(page.anchors[1].y, page.fills[0].y);
    EXPECT_EQ(FindText(page, L"last")->y, page.anchors[1].y);
}

TEST(HtmlLayout, NestedTables_EachLevelInsideTheOneAround) {
    // Thirty levels (as deep as the tree goes): measuring a level must not lay every deeper level
    // out again, or this would not finish.
    std::wstring html;
    for (int level = 0; level < 30; ++level)
        html += L"<table border=1 cellspacing=1 cellpadding=1><tr><td>" + std::to_wstring(level) + L" ";
    html += L"innermost";
    PageLayout page = LayOut(html, 400, true);
    const TextBox* innermost = FindText(page, L"29 innermost");
    ASSERT_NE(innermost, nullptr);
    int previousX = -1;
    for (const FrameBox& frame : page.frames) {
        EXPECT_LE(frame.x, innermost->x);
        EXPECT_GE(frame.x + frame.width, innermost->x + innermost->width);
        previousX = std::max(previousX, frame.x);
    }
    EXPECT_GT(previousX, 0);
    // The page stops growing at a fixed height, however many tall rows it has.
    std::wstring tall = L"<table>";
    for (int row = 0; row < 3000; ++row)
        tall += L"<tr><td height=99999>x";
    page = LayOut(tall, 100);
    EXPECT_GT(page.height, 1 << 27);
    EXPECT_LE(page.height, (1 << 28) + 2);
}

TEST(HtmlLayout, MalformedMarkup_LaysOutEveryTextItKeeps) {
    PageLayout page = LayOut(L"<table><td>a<table><tr>b<td>c</tr></td><b>d</table>e<tr>f</table>g", 300, true);
    std::wstring all;
    for (const TextBox& box : page.texts)
        all += box.text;
    for (std::wstring_view word : {L"a", L"b", L"c", L"d", L"e", L"f", L"g"})
        EXPECT_NE(all.find(word), std::wstring::npos) << std::wstring(word);
    for (const TextBox& box : page.texts)
        EXPECT_LE(box.x + box.width, 300);
}

// The frames of the cells of a table's rows, in document order (the table's own frame comes last).
std::vector<FrameBox> CellFrames(const PageLayout& page) {
    return std::vector<FrameBox>(page.frames.begin(), page.frames.end() - 1);
}

bool Inside(const TextBox& box, const FrameBox& frame) {
    return box.x >= frame.x && box.x + box.width <= frame.x + frame.width && box.y >= frame.y &&
           box.y + box.height <= frame.y + frame.height;
}

TEST(HtmlLayout, RowOfUnequalCells_FramesShareTheRowAndTextStaysInItsCell) {
    // The help page's key table: a short cell before a tall one. Border 1 and no spacing or padding:
    // the row starts at y 1, is four lines (13 each) and the cells' borders high.
    PageLayout page = LayOut(L"<table border=1 cellspacing=0 cellpadding=0><tr><td>A<td>B1<br>B2<br>B3<br>B4</table>"
                             L"<p>after",
                             240);
    ASSERT_EQ(page.frames.size(), 3u);
    std::vector<FrameBox> cells = CellFrames(page);
    for (const FrameBox& cell : cells) {
        EXPECT_EQ(cell.y, 1);
        EXPECT_EQ(cell.height, 4 * 13 + 2);
    }
    EXPECT_EQ(page.frames.back().height, 1 + 54 + 1);
    const TextBox* a = FindText(page, L"A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->y, 2 + (52 - 13) / 2); // in the middle of its cell
    EXPECT_TRUE(Inside(*a, cells[0]));
    for (int line = 1; line <= 4; ++line) {
        const TextBox* b = FindText(page, L"B" + std::to_wstring(line));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->y, 2 + 13 * (line - 1));
        EXPECT_TRUE(Inside(*b, cells[1])) << line;
    }
    const TextBox* after = FindText(page, L"after");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->y, 56 + 13 / 2);

    // The cells' areas: their frames' rectangles in one row, each with the text it holds.
    ASSERT_EQ(page.cells.size(), 2u);
    const wchar_t* const held[2][4] = {{L"A"}, {L"B1", L"B2", L"B3", L"B4"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const CellBox& area = page.cells[i];
        EXPECT_EQ(area.row, page.cells[0].row);
        EXPECT_EQ(area.x, cells[i].x);
        EXPECT_EQ(area.y, cells[i].y);
        EXPECT_EQ(area.width, cells[i].width);
        EXPECT_EQ(area.height, cells[i].height);
        std::size_t count = i == 0 ? 1 : 4;
        ASSERT_EQ(area.endText - area.firstText, count);
        for (std::size_t k = 0; k < count; ++k)
            EXPECT_EQ(page.texts[area.firstText + k].text, held[i][k]);
    }
}

TEST(HtmlLayout, RowOfUnequalCells_EachVerticalAlignment) {
    // A tall cell in the middle of the row, short cells on both sides of it. The row's content is
    // 52 high, a short cell's 13: top leaves the 39 pixels below, bottom above, middle splits them.
    // Values the layout does not know (baseline among them) take the default, the middle.
    PageLayout page = LayOut(L"<table border=1 cellspacing=0 cellpadding=0><tr><td valign=top>t<td valign=middle>m"
                             L"<td valign=baseline>s<td>T1<br>T2<br>T3<br>T4<td valign=bottom>b<td>d<td valign=TOP>u"
                             L"<tr valign=bottom><td>r<td valign=top>o<td>P1<br>P2</table>",
                             400);
    ASSERT_EQ(page.frames.size(), 11u);
    std::vector<FrameBox> cells = CellFrames(page);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(cells[i].y, 1) << i;
        EXPECT_EQ(cells[i].height, 54) << i;
    }
    struct Expected {
        const wchar_t* text;
        std::size_t cell;
        int y;
    };
    const Expected expected[] = {{L"t", 0, 2},       {L"m", 1, 2 + 19}, {L"s", 2, 2 + 19}, {L"T1", 3, 2},
                                 {L"T4", 3, 41},     {L"b", 4, 2 + 39}, {L"d", 5, 2 + 19}, {L"u", 6, 2},
                                 {L"r", 7, 56 + 13}, {L"o", 8, 56},     {L"P2", 9, 69}};
    for (const Expected& e : expected) {
        const TextBox* box = FindText(page, e.text);
        ASSERT_NE(box, nullptr) << e.text;
        EXPECT_EQ(box->y, e.y) << e.text;
        EXPECT_TRUE(Inside(*box, cells[e.cell])) << e.text;
    }
    // The second row starts where the first ends; its valign is its cells' default.
    for (std::size_t i = 7; i < 10; ++i) {
        EXPECT_EQ(cells[i].y, 55) << i;
        EXPECT_EQ(cells[i].height, 28) << i;
    }
}

TEST(HtmlLayout, ManyShortCellsBesideATallOne_AllInTheMiddleOfOneRow) {
    std::wstring html = L"<table border=1 cellspacing=0 cellpadding=0><tr><td>";
    for (int line = 0; line < 10; ++line)
        html += L"x<br>";
    for (int cell = 0; cell < 200; ++cell)
        html += L"<td>c" + std::to_wstring(cell);
    html += L"</table>after";
    PageLayout page = LayOut(html, 240);
    ASSERT_EQ(page.frames.size(), 202u);
    std::vector<FrameBox> cells = CellFrames(page);
    int rowHeight = 10 * 13 + 2;
    for (const FrameBox& cell : cells) {
        EXPECT_EQ(cell.y, 1);
        EXPECT_EQ(cell.height, rowHeight);
    }
    for (int cell = 0; cell < 200; ++cell) {
        const TextBox* box = FindText(page, L"c" + std::to_wstring(cell));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->y, 2 + (rowHeight - 2 - 13) / 2) << cell;
        EXPECT_TRUE(Inside(*box, cells[cell + 1])) << cell;
    }
    EXPECT_EQ(FindText(page, L"after")->y, 1 + rowHeight + 1);
}

TEST(HtmlLayout, OrderedLists_NumberTheirItemsFromStartAndNestedListsAfresh) {
    std::wstring html = L"<ol>";
    for (int item = 1; item <= 100; ++item)
        html += L"<li>item" + std::to_wstring(item);
    html +=
        L"</ol><ol start=7><li>seven</li>text<p>not an item</p><li>eight<ol><li>inner one<ul><li>dot</ul><li>inner two"
        L"</ol><li>nine</ol><table><tr><td><ol start=3><li>in a cell<li>and on</ol></table>";
    PageLayout page = LayOut(html, 400);
    // Each marker sits on the baseline of its item's first line, in document order after its item.
    auto markerOf = [&](std::wstring_view itemText) -> std::wstring {
        for (std::size_t i = 0; i < page.texts.size(); ++i) {
            if (page.texts[i].text != itemText)
                continue;
            for (std::size_t j = i + 1; j < page.texts.size(); ++j) {
                if (page.texts[j].baseline == page.texts[i].baseline && page.texts[j].x < page.texts[i].x)
                    return page.texts[j].text;
            }
        }
        return L"(none)";
    };
    for (int item = 1; item <= 100; ++item)
        EXPECT_EQ(markerOf(L"item" + std::to_wstring(item)), std::to_wstring(item) + L".");
    EXPECT_EQ(markerOf(L"seven"), L"7.");
    EXPECT_EQ(markerOf(L"eight"), L"8.");
    EXPECT_EQ(markerOf(L"inner one"), L"1.");
    EXPECT_EQ(markerOf(L"dot"), L"\x2022");
    EXPECT_EQ(markerOf(L"inner two"), L"2.");
    EXPECT_EQ(markerOf(L"nine"), L"9.");
    EXPECT_EQ(markerOf(L"in a cell"), L"3.");
    EXPECT_EQ(markerOf(L"and on"), L"4.");
}

} // namespace
