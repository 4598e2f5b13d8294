// Fuzzes the HTML display's tokenizer, tree builder and layout. The first byte chooses the width,
// shrinking and how the rest becomes text: each byte picks a piece of markup from a list (so that
// tables, fonts and references meet in odd orders), or stands for itself, or bytes pair up into
// arbitrary 16-bit units. The layout must come out the same twice, and its table cells must hold
// together: the cells of one row share their top and height, and the text laid out in a cell lies
// inside it.
#include "BlockFlow.h"
#include "HtmlDocument.h"
#include "HtmlLayout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Widths that differ by character and font, so that wrapping and columns vary.
class VaryingMeasurer : public htmlview::TextMeasurer {
public:
    htmlview::FontMetrics Metrics(const htmlview::FontSpec& font) override {
        return {font.size * 2 + 4 + (font.bold ? 1 : 0), font.size / 2 + 1};
    }
    int Width(const htmlview::FontSpec& font, std::wstring_view text) override {
        int width = 0;
        for (wchar_t c : text)
            width += 1 + (c % 7) + font.size + (font.italic ? 1 : 0);
        return width;
    }
};

const wchar_t* const kPieces[] = {L"<table",
                                  L"<table width=\"200px\" border=\"1\">",
                                  L"<tr>",
                                  L"<td",
                                  L"<td height=\"300px\" valign=\"top\">",
                                  L"<th colspan=3>",
                                  L"</td>",
                                  L"</tr>",
                                  L"</table>",
                                  L"<tbody>",
                                  L"<caption>",
                                  L"<font color=\"#01EA00\" size=\"9\">",
                                  L"<font size=-2>",
                                  L"</font>",
                                  L"<b>",
                                  L"</b>",
                                  L"<i>",
                                  L"</i>",
                                  L"<br />",
                                  L"<p>",
                                  L"</p>",
                                  L"<div align=center>",
                                  L"</div>",
                                  L"<ul><li>",
                                  L"<ol start=5><li>",
                                  L"<li>",
                                  L"<pre>",
                                  L"</pre>",
                                  L"<hr>",
                                  L"<a name=x>",
                                  L"<a href=y>",
                                  L"</a>",
                                  L"<!--",
                                  L"-->",
                                  L"<script>",
                                  L"</script>",
                                  L"&nbsp;",
                                  L"&amp;",
                                  L"&#1078;",
                                  L"&#x1F600;",
                                  L"&lt",
                                  L" ",
                                  L"\n",
                                  L"\t",
                                  L"word ",
                                  L"слово ",
                                  L"longlonglonglonglongword",
                                  L"<",
                                  L">",
                                  L"=",
                                  L"\"",
                                  L"'",
                                  L"/",
                                  L"width=",
                                  L"50%",
                                  L"cellspacing=0 ",
                                  L"cellpadding=9 ",
                                  L"<img alt=\"pic\">",
                                  L"<center>",
                                  L"<h1>",
                                  L"</h2>"};
constexpr std::size_t kPieceCount = sizeof(kPieces) / sizeof(kPieces[0]);

bool SameLayout(const htmlview::PageLayout& a, const htmlview::PageLayout& b) {
    if (a.width != b.width || a.height != b.height || a.texts.size() != b.texts.size() ||
        a.frames.size() != b.frames.size() || a.fills.size() != b.fills.size())
        return false;
    for (std::size_t i = 0; i < a.texts.size(); ++i) {
        if (a.texts[i].x != b.texts[i].x || a.texts[i].y != b.texts[i].y || a.texts[i].text != b.texts[i].text)
            return false;
    }
    return true;
}

// A list item's marker: "\x2022", or a number and a full stop.
bool IsListMarker(const std::wstring& text) {
    if (text == L"\x2022")
        return true;
    if (text.size() < 2 || text.back() != L'.')
        return false;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    }
    return true;
}

// The cells' geometry; false at the first cell that breaks it. A cell whose bottom reached the page's
// height limit is passed over: positions stop growing there, and the boxes in it no longer fit.
// List markers hang outside their item (to its left, and above or below it when the item's text is
// smaller or absent), so they are not held to their cell.
bool CellsHoldTogether(const htmlview::PageLayout& page) {
    struct RowExtent {
        bool seen = false;
        int y = 0, height = 0;
    };
    std::vector<RowExtent> rows;
    for (const htmlview::CellBox& cell : page.cells) {
        if (cell.row < 0 || cell.firstText > cell.endText || cell.endText > page.texts.size() || cell.height < 0)
            return false;
        if (static_cast<std::size_t>(cell.row) >= rows.size())
            rows.resize(cell.row + 1);
        RowExtent& row = rows[cell.row];
        if (row.seen && (row.y != cell.y || row.height != cell.height))
            return false;
        row = {true, cell.y, cell.height};
        long long bottom = static_cast<long long>(cell.y) + cell.height;
        if (bottom >= htmlview::kMaxPosition)
            continue;
        for (std::size_t i = cell.firstText; i < cell.endText; ++i) {
            const htmlview::TextBox& box = page.texts[i];
            if (IsListMarker(box.text))
                continue;
            if (box.x < cell.x || box.y < cell.y || static_cast<long long>(box.y) + box.height > bottom)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    std::wstring html;
    switch (data[0] % 3) {
    case 0:
        for (std::size_t i = 2; i < size; ++i)
            html += kPieces[data[i] % kPieceCount];
        break;
    case 1:
        for (std::size_t i = 2; i < size; ++i)
            html += static_cast<wchar_t>(data[i]);
        break;
    default:
        for (std::size_t i = 2; i + 1 < size; i += 2)
            html += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        break;
    }
    htmlview::LayoutOptions options;
    options.width = 1 + data[1] % 128 * 4;
    options.shrinkToWidth = (data[0] / 3) % 2 == 1;

    htmlview::Document document = htmlview::Document::Parse(html);
    VaryingMeasurer measurer;
    htmlview::PageLayout first = htmlview::LayOutDocument(document, options, measurer);
    htmlview::PageLayout second = htmlview::LayOutDocument(document, options, measurer);
    if (!SameLayout(first, second) || !CellsHoldTogether(first))
        std::abort();
    for (const htmlview::TextBox& box : first.texts) {
        if (box.text.empty() || box.width < 0)
            std::abort();
    }
    document.Title();
    return 0;
}
