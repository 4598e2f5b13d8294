// Translation of a whole HTML page in one engine call: the page is parsed into a tree, every text
// node's text becomes a run, the runs go to the engine as one batch framed by spaces and separated by
// "|", the answer is cut back into runs and the page is rebuilt around them. Scripts, comments,
// declarations and stray end tags are left out of the rebuilt page; style sheets pass unchanged.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ovrin {

// What translates the batch: the toolbar's engine client, or a stand-in in tests. False (and an
// empty result) when the engine gives no translation.
using TranslateFunction = std::function<bool(const std::wstring& text, std::wstring& result)>;

class CHtmlParser;

// The text runs of a page, in order, kept end to end in one buffer: a page has tens of thousands of
// runs, most of them a few characters long, and one buffer spares an allocation for each.
class CTextRuns {
public:
    std::size_t Count() const { return m_ends.size(); }
    std::size_t Characters() const { return m_text.size(); }
    std::wstring_view operator[](std::size_t i) const {
        std::size_t start = i == 0 ? 0 : m_ends[i - 1];
        return std::wstring_view(m_text).substr(start, m_ends[i] - start);
    }
    void Clear() {
        m_text.clear();
        m_ends.clear();
    }
    // The buffer the next run is appended to; EndRun closes it.
    std::wstring& Text() { return m_text; }
    void EndRun() { m_ends.push_back(m_text.size()); }
    void Reserve(std::size_t characters, std::size_t runs) {
        m_text.reserve(characters);
        m_ends.reserve(runs);
    }
    static CTextRuns FromVector(const std::vector<std::wstring>& texts) {
        CTextRuns runs;
        for (const std::wstring& text : texts) {
            runs.m_text += text;
            runs.EndRun();
        }
        return runs;
    }
    std::vector<std::wstring> ToVector() const {
        std::vector<std::wstring> runs;
        for (std::size_t i = 0; i < Count(); ++i)
            runs.emplace_back((*this)[i]);
        return runs;
    }

private:
    std::wstring m_text;
    std::vector<std::size_t> m_ends;
};

class CPageTranslator {
public:
    enum WalkMode { kCollect = 0, kSubstitute = 1 };

    // The engine is not owned and must outlive the translator. codePage is the 8-bit form the
    // parser reads (65001).
    explicit CPageTranslator(TranslateFunction engine, unsigned codePage = 65001);
    ~CPageTranslator();
    CPageTranslator(const CPageTranslator&) = delete;
    CPageTranslator& operator=(const CPageTranslator&) = delete;

    void SetPage(std::wstring page) { m_page = std::move(page); }
    // The page given, or the page rebuilt by the last substituting walk.
    const std::wstring& GetPage() const { return m_page; }
    const CTextRuns& GetRuns() const { return m_runs; }
    // The runs a substituting walk puts in place of the page's texts (a cut answer, say).
    void SetRuns(CTextRuns runs) { m_runs = std::move(runs); }

    // True and the translated page in result (the page is left empty); false and result untouched,
    // the page kept, when the page has no text run, the engine gives no usable answer, or the answer
    // does not cut into as many runs as sent. It gives the page the two walks, BuildBatch, the entity
    // codecs and CutAnswer would give, but keeps no runs: they go straight into the batch, and the
    // answer is cut as the page is rebuilt (GetRuns is left empty).
    bool TranslateHtml(std::wstring& result);

    // Parses the page (replacing any earlier tree); every walk after it goes over that tree.
    void Parse();
    // One walk over the parsed tree: collects the runs (the page is left as it is: nothing reads the
    // text-less page that walk would make), or rebuilds the page with the runs in place of the texts
    // they came from. Always true.
    bool WalkTree(WalkMode mode);

    // "|", then for every run a space, the run with each "|" doubled, a space, "|".
    static std::wstring BuildBatch(const CTextRuns& runs);
    // The runs of an engine answer: the segments between unescaped "|" (a "||" is an escaped "|"),
    // unescaped, each without its last character (the trailing framing space); empty segments dropped.
    static void CutAnswer(const std::wstring& answer, CTextRuns& runs);

private:
    TranslateFunction m_engine;
    unsigned m_codePage;
    std::wstring m_page;
    CTextRuns m_runs;
    WalkMode m_mode = kCollect;
    std::size_t m_nextRun = 0;
    std::unique_ptr<CHtmlParser> m_tree;

    std::string ParserText() const;
};

// White space as the page translator classes it: the characters of the Unicode White_Space property
// (tab to carriage return, space, next line, no-break spaces, the general punctuation spaces and the
// line and paragraph separators), in both builds alike.
bool IsPageWhiteSpace(wchar_t c);

// The translated page, or the page itself when it cannot be translated (no runs, no answer, counts
// differ).
std::wstring TranslatePage(const std::wstring& page, const TranslateFunction& engine);

} // namespace ovrin
