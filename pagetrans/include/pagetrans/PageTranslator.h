// Translation of a whole HTML page in one engine call: the page is parsed into a tree, every text
// node's text becomes a run, the runs go to the engine as one batch framed by spaces and separated by
// "|", the answer is cut back into runs and the page is rebuilt around them. Scripts, comments,
// declarations and stray end tags are left out of the rebuilt page; style sheets pass unchanged.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrin {

// What translates the batch: the toolbar's engine client, or a stand-in in tests. False (and an
// empty result) when the engine gives no translation.
using TranslateFunction = std::function<bool(const std::wstring& text, std::wstring& result)>;

class CHtmlParser;

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
    // The page given, or the page rebuilt by the last walk.
    const std::wstring& GetPage() const { return m_page; }
    const std::vector<std::wstring>& GetRuns() const { return m_runs; }

    // True and the translated page in result; false and result untouched when the page has no text
    // run, the engine gives no usable answer, or the answer does not cut into as many runs as were sent.
    bool TranslateHtml(std::wstring& result);

    // Parses the page (replacing any earlier tree); every walk after it goes over that tree.
    void Parse();
    // One walk over the parsed tree: collects the runs, or rebuilds the page with the runs in place of
    // the texts they came from. Always true.
    bool WalkTree(WalkMode mode);

    // "|", then for every run a space, the run with each "|" doubled, a space, "|".
    static std::wstring BuildBatch(const std::vector<std::wstring>& runs);
    // The runs of an engine answer: the segments between unescaped "|" (a "||" is an escaped "|"),
    // unescaped, each without its last character (the trailing framing space); empty segments dropped.
    static std::vector<std::wstring> CutAnswer(const std::wstring& answer);

private:
    TranslateFunction m_engine;
    unsigned m_codePage;
    std::wstring m_page;
    std::vector<std::wstring> m_runs;
    WalkMode m_mode = kCollect;
    std::size_t m_nextRun = 0;
    std::unique_ptr<CHtmlParser> m_tree;

    void AppendText(std::wstring& out, const std::string& text) const;
    void VisitText(std::wstring& out, const std::string& text);
};

// White space as the page translator classes it: the characters of the Unicode White_Space property
// (tab to carriage return, space, next line, no-break spaces, the general punctuation spaces and the
// line and paragraph separators), in both builds alike.
bool IsPageWhiteSpace(wchar_t c);

// The translated page, or the page itself when it cannot be translated (no runs, no answer, counts
// differ).
std::wstring TranslatePage(const std::wstring& page, const TranslateFunction& engine);

} // namespace ovrin
