// Fuzzes the page translator: the input, read as UTF-8 (or, when its first byte is odd, as raw
// 16-bit units), is translated as a page through both tree walks with stand-in engines that answer
// the batch unchanged, upper-cased, cut short or with an extra separator. The parser's tree must be
// the library's own, node for node; TranslateHtml must give what its steps give one after the other
// (both walks, the batch, the codecs, the cut); and an unchanged answer must give a page (the runs
// cut back into as many as were sent unless a decoded reference made a bar).
#include "HtmlParser.h"
#include "base/Unicode.h"
#include "pagetrans/Entities.h"
#include "pagetrans/PageTranslator.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// TranslateHtml as its steps are written; false when the page would come back unchanged.
bool TranslateStepByStep(const std::wstring& page, const ovrin::TranslateFunction& engine, std::wstring& result) {
    ovrin::CPageTranslator translator(nullptr);
    translator.SetPage(page);
    translator.Parse();
    translator.WalkTree(ovrin::CPageTranslator::kCollect);
    const std::size_t count = translator.GetRuns().Count();
    if (count == 0)
        return false;
    std::wstring batch = ovrin::CPageTranslator::BuildBatch(translator.GetRuns());
    ovrin::DecodeEntities(batch);
    std::wstring answer;
    if (!engine(batch, answer))
        answer.clear();
    ovrin::EncodeEntities(answer);
    ovrin::CTextRuns runs;
    ovrin::CPageTranslator::CutAnswer(answer, runs);
    if (runs.Count() != count)
        return false;
    translator.SetRuns(std::move(runs));
    translator.WalkTree(ovrin::CPageTranslator::kSubstitute);
    result = translator.GetPage();
    return true;
}

template <typename TreeType>
std::string Describe(const TreeType& tree) {
    std::string description;
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        description += std::to_string(tree.depth(it));
        description += it->isTag() ? 'T' : it->isComment() ? 'C' : 'X';
        description += it->text() + '\x01' + it->closingText() + '\x01' + it->tagName() + '\x02';
    }
    return description;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 64 * 1024)
        return 0;
    std::wstring page;
    if (data[0] & 1) {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            page += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    } else {
        page = ovrin::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    }

    // The differential check on small pages only: the plain parser's tree is freed recursively, and
    // the description finds each node's depth by walking up.
    std::string html = ovrin::Utf16ToUtf8(page);
    if (html.size() <= 8192) {
        htmlcxx::HTML::ParserDom plain;
        plain.parseTree(html);
        ovrin::CHtmlParser ours;
        ours.Parse(html);
        if (Describe(plain.getTree()) != Describe(ours.getTree()))
            std::abort();
    }

    const ovrin::TranslateFunction engines[] = {
        [](const std::wstring& text, std::wstring& result) {
            result = text;
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = text;
            for (wchar_t& c : result)
                c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = text.substr(0, text.size() / 2);
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = text + L"|x";
            return true;
        },
    };
    for (const ovrin::TranslateFunction& engine : engines) {
        ovrin::CPageTranslator translator(engine);
        translator.SetPage(page);
        std::wstring result;
        bool translated = translator.TranslateHtml(result);
        std::wstring expected;
        if (TranslateStepByStep(page, engine, expected) != translated || result != expected)
            std::abort();
        if (&engine == &engines[0] && !translated) {
            // An unchanged answer fails only for want of runs or when a decoded reference made a bar.
            ovrin::CPageTranslator collector(nullptr);
            collector.SetPage(page);
            collector.Parse();
            collector.WalkTree(ovrin::CPageTranslator::kCollect);
            std::wstring batch = ovrin::CPageTranslator::BuildBatch(collector.GetRuns());
            std::wstring decoded = batch;
            ovrin::DecodeEntities(decoded);
            if (collector.GetRuns().Count() != 0 && decoded == batch)
                std::abort();
        }
    }
    return 0;
}
