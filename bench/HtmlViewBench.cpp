// Parse and layout times of the HTML display's core: an article as the article window writes it
// (40 translations), a large page of paragraphs, lists and tables as the browser will show, and a
// long numbered list (800 KB, about 80,000 items), whose layout is printed against parsing the same
// page (the page is parsed once but laid out again at every resize: the target is 1.5 times the parse).
// Text is measured by a table of character widths, so the figures are the core's own.
#include "HtmlDocument.h"
#include "HtmlLayout.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

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

// An ordered list of 800 KB of text as a page file holds it (one byte a character): about ten
// characters an item, so about 80,000 items.
std::wstring LongList() {
    std::wstring html = L"<html><body><ol>";
    for (int item = 1; html.size() < 800 * 1024; ++item)
        html += L"<li>" + std::to_wstring(item) + L" ";
    return html + L"</ol></body></html>";
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

void LayOutLongList(benchmark::State& state) {
    std::wstring html = LongList();
    htmlview::Document document = htmlview::Document::Parse(html);
    TableMeasurer measurer;
    htmlview::LayoutOptions options;
    options.width = 240;
    for (auto _ : state) {
        htmlview::PageLayout page = htmlview::LayOutDocument(document, options, measurer);
        benchmark::DoNotOptimize(page.height);
    }
    state.SetBytesProcessed(state.iterations() * html.size() * sizeof(wchar_t));
}
BENCHMARK(LayOutLongList)->Unit(benchmark::kMillisecond);

// Registered after the layout on purpose. The C library hands a large freed heap back to the system
// until a large block has been freed (which raises that threshold), and a parse that must fault its
// memory in again each time takes about three times as long here. After the layout has run, the
// parse reuses its memory and runs at its fastest, so the ratio below is not flattered.
void ParseLongList(benchmark::State& state) {
    std::wstring html = LongList();
    for (auto _ : state) {
        htmlview::Document document = htmlview::Document::Parse(html);
        benchmark::DoNotOptimize(document.Root().children.size());
    }
    state.SetBytesProcessed(state.iterations() * html.size() * sizeof(wchar_t));
}
BENCHMARK(ParseLongList)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's processor time per iteration for the ratio printed at the end (processor
// time: the machine is shared, and another program's load stays out of it). Each case runs its
// iterations back to back, so both sides of the ratio reuse the memory their previous iteration
// gave back.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> cpuTimes; // seconds
};

void PrintRatio(const std::map<std::string, double>& times, const char* name, const char* floor, double target) {
    auto measured = times.find(name);
    auto base = times.find(floor);
    if (measured == times.end() || base == times.end())
        return;
    double ratio = measured->second / base->second;
    std::printf("%-16s %10.2f ms   floor %-16s %10.2f ms   ratio %.2f (target %.1f) %s\n", name, measured->second * 1e3,
                floor, base->second * 1e3, ratio, target, ratio <= target ? "met" : "NOT MET");
}

} // namespace

int main(int argc, char** argv) {
    std::wstring list = LongList();
    std::size_t items = 0;
    for (std::size_t at = list.find(L"<li>"); at != std::wstring::npos; at = list.find(L"<li>", at + 1))
        ++items;
    std::printf("long list: %zu characters, %zu items\n", list.size(), items);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    PrintRatio(reporter.cpuTimes, "LayOutLongList", "ParseLongList", 1.5);
    benchmark::Shutdown();
    return 0;
}
