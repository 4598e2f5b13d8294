// Fuzzes the HTML display's tokenizer, tree builder and layout. The first byte chooses the width,
// shrinking and how the rest becomes text: each byte picks a piece of markup from a list (so that
// tables, fonts and references meet in odd orders), or stands for itself, or bytes pair up into
// arbitrary 16-bit units. The layout must come out the same twice.
#include "HtmlDocument.h"
#include "HtmlLayout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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
    if (!SameLayout(first, second))
        std::abort();
    for (const htmlview::TextBox& box : first.texts) {
        if (box.text.empty() || box.width < 0)
            std::abort();
    }
    document.Title();
    return 0;
}
