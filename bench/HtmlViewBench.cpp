// Parse and layout times of the HTML display's core: an article as the article window writes it
// (40 translations), and a large page of paragraphs, lists and tables as the browser will show.
// Text is measured by a table of character widths, so the figures are the core's own.
#include "HtmlDocument.h"
#include "HtmlLayout.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

class TableMeasurer : public htmlview::TextMeasurer {
public:
    htmlview::FontMetrics Metrics(const htmlview::FontSpec& font) override { return {font.size + 9, 3}; }
    int Width(const htmlview::FontSpec& font, std::wstring_view text) override {
        int width = 0;
        for (wchar_t c : text)
            width += 4 + (c & 3) + font.size / 2;
        return width;
    }
};

std::wstring FontRun(const std::wstring& color, const std::wstring& text) {
    return L" <font color=\"" + color + L"\" size=\"9\">" + text + L"</font> ";
}

std::wstring Article(int translations) {
    std::wstring html = L"<table width=\"235px\" border=\"1\"><tr><td height=\"292px\" valign=\"top\">";
    html += FontRun(L"#000000", L"Существительное") + L"<br />" + FontRun(L"#000000", L"house") + L"<br />";
    for (int n = 1; n <= translations; ++n)
        html += L"&nbsp;&nbsp;&nbsp;&nbsp;" + FontRun(L"#000000", L"<b>" + std::to_wstring(n) + L".</b> ") +
                FontRun(L"#000000", L"<i>(разг.)</i>") + FontRun(L"#01EA00", L"дом, здание; жилище, кров") + L"<br />";
    return html + L"<br /></tr></td></table>";
}

std::wstring LargePage() {
    std::wstring html = L"<html><head><title>Page</title></head><body>";
    for (int section = 0; section < 200; ++section) {
        html += L"<h2>Section " + std::to_wstring(section) + L"</h2><p>";
        for (int word = 0; word < 200; ++word)
            html += word % 17 == 0 ? L"<b>bold words</b> " : L"text&nbsp;word слово ";
        html += L"</p><ul><li>one<li>two<li>three</ul><table border=1 width=100%><tr><th>a<th>b<th>c";
        for (int row = 0; row < 10; ++row)
            html += L"<tr><td>cell " + std::to_wstring(row) + L"<td><font color=red>red</font><td>x y z";
        html += L"</table>";
    }
    return html + L"</body></html>";
}

void LayOutArticle(benchmark::State& state) {
    std::wstring html = Article(40);
    TableMeasurer measurer;
    htmlview::LayoutOptions options;
    options.width = 235;
    options.shrinkToWidth = true;
    for (auto _ : state) {
        htmlview::Document document = htmlview::Document::Parse(html);
        htmlview::PageLayout page = htmlview::LayOutDocument(document, options, measurer);
        benchmark::DoNotOptimize(page.height);
    }
    state.SetBytesProcessed(state.iterations() * html.size() * sizeof(wchar_t));
}
BENCHMARK(LayOutArticle);

void ParseLargePage(benchmark::State& state) {
    std::wstring html = LargePage();
    for (auto _ : state) {
        htmlview::Document document = htmlview::Document::Parse(html);
        benchmark::DoNotOptimize(document.Root().children.size());
    }
    state.SetBytesProcessed(state.iterations() * html.size() * sizeof(wchar_t));
}
BENCHMARK(ParseLargePage)->Unit(benchmark::kMillisecond);

void LayOutLargePage(benchmark::State& state) {
    std::wstring html = LargePage();
    htmlview::Document document = htmlview::Document::Parse(html);
    TableMeasurer measurer;
    htmlview::LayoutOptions options;
    options.width = 480;
    for (auto _ : state) {
        htmlview::PageLayout page = htmlview::LayOutDocument(document, options, measurer);
        benchmark::DoNotOptimize(page.height);
    }
    state.SetBytesProcessed(state.iterations() * html.size() * sizeof(wchar_t));
}
BENCHMARK(LayOutLargePage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
