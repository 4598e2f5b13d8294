// The page translator with a stand-in engine: the batch it sends, the page it rebuilds, and the
// pages it gives back unchanged.
#include "pagetrans/PageTranslator.h"
#include "FakeEngine.h"
#include "pagetrans/Entities.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using ovrin::CPageTranslator;

namespace {

// TranslateHtml over page; the result, or "(unchanged)" when it answered false (result untouched).
std::wstring Translate(const std::wstring& page, FakeEngine& engine) {
    CPageTranslator translator(engine.Function());
    translator.SetPage(page);
    std::wstring result = L"(unchanged)";
    if (!translator.TranslateHtml(result)) {
        EXPECT_EQ(result, L"(unchanged)");
    }
    return result;
}

std::wstring Batch(const std::vector<std::wstring>& runs) {
    return CPageTranslator::BuildBatch(ovrin::CTextRuns::FromVector(runs));
}

std::vector<std::wstring> Cut(const std::wstring& answer) {
    ovrin::CTextRuns runs;
    CPageTranslator::CutAnswer(answer, runs);
    return runs.ToVector();
}

} // namespace

TEST(PageTranslator, OneWord_BatchIsFramedAndTheAnswerKeepsTheLeadingSpace) {
    FakeEngine engine(FakeEngine::kFixed);
    engine.fixedAnswer = L"| Привет |";
    EXPECT_EQ(Translate(L"<p>Hello</p>", engine), L"<p> Привет</p>");
    EXPECT_EQ(engine.lastText, L"| Hello |");
}

TEST(PageTranslator, Batch_RunsInDocumentOrderWithBarsDoubled) {
    EXPECT_EQ(Batch({L"a", L"b", L"c"}), L"| a | b | c |");
    EXPECT_EQ(Batch({L"x|y", L"||"}), L"| x||y | |||| |");
}

TEST(PageTranslator, CutAnswer_EscapedBarsAndEmptySegments) {
    using Runs = std::vector<std::wstring>;
    EXPECT_EQ(Cut(L"| a | b | c |"), (Runs{L" a", L" b", L" c"}));
    // Text before the first bar is ignored; a segment that is only the framing space gives an empty run.
    EXPECT_EQ(Cut(L"junk| x||y | |||| |"), (Runs{L" x|y", L" ||"}));
    EXPECT_EQ(Cut(L"||"), Runs{});
    EXPECT_EQ(Cut(L"no bar"), Runs{});
    EXPECT_EQ(Cut(L"| a |\r\n"), (Runs{L" a", L"\r"}));
}

TEST(PageTranslator, BarInARun_ReachesTheEngineDoubledAndComesBackSingle) {
    FakeEngine engine;
    EXPECT_EQ(Translate(L"<p>left|right</p><p>|</p>", engine), L"<p> LEFT|RIGHT</p><p> |</p>");
    EXPECT_EQ(engine.lastText, L"| left||right | || |");
}

TEST(PageTranslator, BarWrittenAsReference_CutsIntoOneRunTooMany) {
    FakeEngine engine(FakeEngine::kEcho);
    EXPECT_EQ(Translate(L"<p>a&#124;b</p>", engine), L"(unchanged)");
    EXPECT_EQ(engine.lastText, L"| a|b |");
    EXPECT_EQ(ovrin::TranslatePage(L"<p>a&#124;b</p>", engine.Function()), L"<p>a&#124;b</p>");
}

TEST(PageTranslator, EntitiesDecodedForTheEngineAndEncodedAfter) {
    FakeEngine engine(FakeEngine::kEcho);
    EXPECT_EQ(Translate(L"<p>caf&eacute; &lt;b&gt; &#1076;&amp;</p>", engine), L"<p> caf&eacute; &lt;b&gt; д&amp;</p>");
    EXPECT_EQ(engine.lastText, L"| café <b> д&amp; |");
}

TEST(PageTranslator, WhiteSpaceBetweenTags_IsSentButNotWrittenBack) {
    FakeEngine engine;
    EXPECT_EQ(Translate(L"<ul>\r\n  <li>one</li>\r\n  <li>two</li>\r\n</ul>", engine),
              L"<ul><li> ONE</li><li> TWO</li></ul>");
    EXPECT_EQ(engine.lastText, L"| \r\n   | one | \r\n   | two | \r\n |");
}

TEST(PageTranslator, Scripts_OnlyScriptHasNoRunsAndScriptsAreDropped) {
    FakeEngine engine;
    EXPECT_EQ(Translate(L"<script>document.write('hi')</script>", engine), L"(unchanged)");
    EXPECT_EQ(engine.calls, 0);

    EXPECT_EQ(
        Translate(L"<body><p>hi</p><SCRIPT type=\"text/javascript\">var x = '<p>no</p>';</SCRIPT></body>", engine),
        L"<body><p> HI</p></body>");
    EXPECT_EQ(engine.lastText, L"| hi |");
}

TEST(PageTranslator, DeclarationsCommentsAndStrayEndTags_AreLeftOut) {
    FakeEngine engine;
    EXPECT_EQ(
        Translate(L"<!DOCTYPE html><?xml version=\"1.0\"?><html><!-- note --><body>text</div></body><% x %></html>",
                  engine),
        L"<html><body> TEXT</body></html>");
}

TEST(PageTranslator, Style_CopiedUnchangedAndNotTranslated) {
    FakeEngine engine;
    EXPECT_EQ(Translate(L"<head><style type=\"text/css\">p { color: red }</style></head><p>red</p>", engine),
              L"<head><style type=\"text/css\">p { color: red }</style></head><p> RED</p>");
    EXPECT_EQ(engine.lastText, L"| red |");
    EXPECT_EQ(Translate(L"<style></style><p>x</p>", engine), L"<style></style><p> X</p>");
}

TEST(PageTranslator, TitleAndTextarea_AreTranslated) {
    FakeEngine engine;
    EXPECT_EQ(Translate(L"<title>page</title><textarea name=t>some <b>text</textarea>", engine),
              L"<title> PAGE</title><textarea name=t> SOME &lt;B&gt;TEXT</textarea>");
}

TEST(PageTranslator, AnswerWithLineBreakAfterTheLastBar_LeavesThePage) {
    FakeEngine engine(FakeEngine::kFixed);
    engine.fixedAnswer = L"| Привет |\r\n";
    EXPECT_EQ(Translate(L"<p>Hello</p>", engine), L"(unchanged)");
}

TEST(PageTranslator, EngineFailureOrMissingSeparator_LeavesThePage) {
    FakeEngine failing(FakeEngine::kFail);
    EXPECT_EQ(Translate(L"<p>one</p><p>two</p>", failing), L"(unchanged)");
    FakeEngine merging(FakeEngine::kFixed);
    merging.fixedAnswer = L"| один два |";
    EXPECT_EQ(Translate(L"<p>one</p><p>two</p>", merging), L"(unchanged)");
    EXPECT_EQ(ovrin::TranslatePage(L"<p>one</p><p>two</p>", merging.Function()), L"<p>one</p><p>two</p>");
}

TEST(PageTranslator, OneEngineCallWhateverTheRunCount) {
    std::wstring page = L"<html><body>";
    std::wstring expected = page;
    for (int i = 0; i < 3000; ++i) {
        page += L"<p>word " + std::to_wstring(i) + L"</p>\n";
        expected += L"<p> WORD " + std::to_wstring(i) + L"</p>";
    }
    page += L"</body></html>";
    expected += L"</body></html>";
    FakeEngine engine;
    EXPECT_EQ(Translate(page, engine), expected);
    EXPECT_EQ(engine.calls, 1);
}

TEST(PageTranslator, NonAsciiAndUnclosedTags_SurviveTheRoundTrip) {
    FakeEngine engine(FakeEngine::kEcho);
    // Unclosed elements keep their place; the text after them is nested under them by the parser.
    // A character above U+FFFF is a surrogate pair in wide text on both builds.
    EXPECT_EQ(Translate(L"<p>один<br>два<img src=\"a.png\"><b>три \xD834\xDD1E", engine),
              L"<p> один<br> два<img src=\"a.png\"><b> три \xD834\xDD1E");
}

TEST(PageTranslator, BadInput_NoCrash) {
    FakeEngine engine(FakeEngine::kEcho);
    // Deep nesting: far more levels than a recursive walk or tear-down could take.
    std::wstring deep;
    for (std::size_t i = 0; i < 300000 / kLargeInputScale; ++i)
        deep += L"<b>";
    deep += L"x";
    for (int i = 0; i < 1000; ++i)
        deep += L"</i>";
    std::wstring result = ovrin::TranslatePage(deep, engine.Function());
    EXPECT_EQ(result.size(), deep.size() - 1000 * 4 + 1); // the stray end tags go, the run gains its space
    EXPECT_EQ(result.substr(result.size() - 3), L"> x");

    // Binary data and lone surrogates: whatever comes back, nothing crashes.
    std::wstring binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<wchar_t>((i * 7919) % 0x10000);
    EXPECT_FALSE(ovrin::TranslatePage(binary, engine.Function()).empty());

    // Unclosed tags, comments and quotes to the end of the page.
    for (const wchar_t* page : {L"<", L"<a", L"<a href=\"", L"</", L"<!--", L"<!-- x --", L"<script>", L"<style>",
                                L"</script", L"<p>x<", L"<?", L"<%", L"<textarea>a</textarea", L"|", L"&#124;"})
        ovrin::TranslatePage(page, engine.Function());
}

TEST(PageTranslator, LargePage_FiveMegabytes) {
    std::wstring page;
    const std::size_t size = (5u << 20) / kLargeInputScale;
    page.reserve(size);
    while (page.size() < size)
        page += L"<div class=\"c\"><p>Some text &amp; more</p><a href=\"x.html\">link</a></div>\n";
    FakeEngine engine(FakeEngine::kEcho);
    std::wstring result = ovrin::TranslatePage(page, engine.Function());
    EXPECT_EQ(engine.calls, 1);
    EXPECT_NE(result, page); // translated: every run gained its leading space
    EXPECT_NE(result.find(L"<p> Some text &amp; more</p><a href=\"x.html\"> link</a></div><div"), std::wstring::npos);
}

namespace {

// TranslateHtml as its steps are written: both walks, the batch, the codecs over the whole batch and
// the whole answer, the cut. False when the page would come back unchanged.
bool TranslateStepByStep(const std::wstring& page, const ovrin::TranslateFunction& engine, std::wstring& result) {
    CPageTranslator translator(nullptr);
    translator.SetPage(page);
    translator.Parse();
    translator.WalkTree(CPageTranslator::kCollect);
    const std::size_t count = translator.GetRuns().Count();
    if (count == 0)
        return false;
    std::wstring batch = CPageTranslator::BuildBatch(translator.GetRuns());
    ovrin::DecodeEntities(batch);
    std::wstring answer;
    if (!engine(batch, answer))
        answer.clear();
    ovrin::EncodeEntities(answer);
    ovrin::CTextRuns runs;
    CPageTranslator::CutAnswer(answer, runs);
    if (runs.Count() != count)
        return false;
    translator.SetRuns(std::move(runs));
    translator.WalkTree(CPageTranslator::kSubstitute);
    result = translator.GetPage();
    return true;
}

void ExpectSameAsStepByStep(const std::wstring& page, const ovrin::TranslateFunction& engine) {
    std::wstring expected, result;
    const bool expectTranslated = TranslateStepByStep(page, engine, expected);
    CPageTranslator translator(engine);
    translator.SetPage(page);
    ASSERT_EQ(translator.TranslateHtml(result), expectTranslated) << testing::PrintToString(page);
    EXPECT_EQ(result, expected) << testing::PrintToString(page);
    EXPECT_EQ(translator.GetPage(), expectTranslated ? std::wstring() : page);
}

} // namespace

// Engines that turn white space into entities and back, make references, lose or add separators,
// and pages of every kind of text the walks, the codecs and the cut treat specially.
TEST(PageTranslator, TranslateHtml_GivesThePageOfItsStepsOneAfterAnother) {
    const std::vector<ovrin::TranslateFunction> engines = {
        [](const std::wstring& text, std::wstring& result) {
            result = text;
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = text;
            for (wchar_t& c : result)
                c = c == L' ' ? L'\xA0' : c == L'e' ? L'\x2003' : c == L'x' ? L'<' : c;
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result.clear();
            for (wchar_t c : text) {
                if (c != L' ')
                    result += c;
            }
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = L"ab" + text.substr(0, text.size() / 2);
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = text + L"|x";
            return true;
        },
        [](const std::wstring& text, std::wstring& result) {
            result = L"answer";
            return false;
        },
    };
    const std::vector<std::wstring> pieces = {L"<p>",
                                              L"</p>",
                                              L"<div class=\"a\">",
                                              L"</div>",
                                              L"<b>",
                                              L"</b>",
                                              L"<br>",
                                              L"<a href='x'>",
                                              L"</a>",
                                              L"text ",
                                              L"слово ",
                                              L"é",
                                              L"\xD834\xDD1E",
                                              L"\xD800",
                                              L"\xFFFF",
                                              L" ",
                                              L"\r\n",
                                              L"\t",
                                              L"\xA0",
                                              L"\x2002",
                                              L"\x3000",
                                              L"\x85",
                                              L"|",
                                              L"||",
                                              L"&amp;",
                                              L"&lt;",
                                              L"&nbsp;",
                                              L"&eacute;",
                                              L"&quot;",
                                              L"\"",
                                              L"&#124;",
                                              L"&#35;x41;",
                                              L"&#8212;",
                                              L"&#0;",
                                              L"&#38;lt;",
                                              L"&#x,X;",
                                              L"#x",
                                              L"&",
                                              L"#",
                                              L";",
                                              L"x",
                                              L",",
                                              L"<",
                                              L">",
                                              L"<script>x<p>y</p></script>",
                                              L"<style>a{b}</style>",
                                              L"<STYLE>q</STYLE>",
                                              L"<style>",
                                              L"<script>",
                                              L"<!-- c -->",
                                              L"<!DOCTYPE html>",
                                              L"<?x?>",
                                              L"<% y %>",
                                              L"<textarea>a<b>c</textarea>",
                                              L"<title>t</title>"};
    std::mt19937 random(2026);
    for (int page = 0; page < 400; ++page) {
        std::wstring html;
        const std::size_t length = 1 + random() % (page < 390 ? 40 : 3000);
        for (std::size_t i = 0; i < length; ++i)
            html += pieces[random() % pieces.size()];
        for (const ovrin::TranslateFunction& engine : engines)
            ExpectSameAsStepByStep(html, engine);
    }
}
