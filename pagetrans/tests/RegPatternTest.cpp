// Searching: leftmost matches, group positions, anchors, word boundaries, brackets, repetition
// order, ignore case, the numeric reference pattern against a direct reading of its definition,
// and inputs that must end cleanly however large or pathological.
#include "pagetrans/RegPattern.h"
#include "RegMatcher.h"
#include "pagetrans/Entities.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

using namespace ovrin;

namespace {

// "start,length" of group n after searching text, or "none".
std::string Find(const wchar_t* pattern, const std::wstring& text, int group = 0, bool ignoreCase = false) {
    CRegPattern regex(pattern, ignoreCase);
    EXPECT_TRUE(regex.IsCompiled()) << testing::PrintToString(std::wstring(pattern));
    if (!regex.Search(text))
        return "none";
    return std::to_string(regex.GetMatchStart(group)) + "," + std::to_string(regex.GetMatchLength(group));
}

} // namespace

namespace {

// Shortens the time a search may run, for the tests of searches that must give up.
struct ShortTimeLimit {
    ShortTimeLimit() : previous(ovrin::CRegMatcher::TimeLimit()) {
        ovrin::CRegMatcher::SetTimeLimit(std::chrono::milliseconds(150));
    }
    ~ShortTimeLimit() { ovrin::CRegMatcher::SetTimeLimit(previous); }
    ovrin::CRegMatcher::Clock::duration previous;
};

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer build runs searches some thirty times slower than the product; the searches that
// must run to their end get the time they would have there.
const bool g_slowBuild = (ovrin::CRegMatcher::SetTimeLimit(std::chrono::seconds(90)), true);
#endif

} // namespace

TEST(RegPatternTest, NumericReferencePatternFindsTheReference) {
    CRegPattern pattern(kNumericReferencePattern, false);
    ASSERT_TRUE(pattern.IsCompiled());
    ASSERT_TRUE(pattern.Search(L"caf&#233;!"));
    EXPECT_EQ(pattern.GetMatchStart(0), 4);
    EXPECT_EQ(pattern.GetMatchLength(0), 5);
    EXPECT_EQ(pattern.GetGroupCount(), 2);
    EXPECT_EQ(pattern.GetMatchLength(1), 0);
    EXPECT_EQ(pattern.GetMatchStart(2), 5);
    EXPECT_EQ(pattern.GetMatchLength(2), 3);
    EXPECT_EQ(pattern.GetSearchedText(), L"caf&#233;!");
    EXPECT_TRUE(pattern.GetErrorText().empty());

    EXPECT_EQ(Find(kNumericReferencePattern, L"&#x41;", 1), "2,1");
    EXPECT_EQ(Find(kNumericReferencePattern, L"&#x41;", 2), "3,2");
    // The run gives back its last x to the body when ";" follows directly.
    EXPECT_EQ(Find(kNumericReferencePattern, L"#xx;", 1), "1,1");
    EXPECT_EQ(Find(kNumericReferencePattern, L"#xx;", 2), "2,1");
    EXPECT_EQ(Find(kNumericReferencePattern, L"#X;"), "none");
    EXPECT_EQ(Find(kNumericReferencePattern, L"#12345;"), "none");
    EXPECT_EQ(Find(kNumericReferencePattern, L"#12345;#,;"), "7,3");
}

TEST(RegPatternTest, GroupsReportTheMatchingPathAndLastIteration) {
    EXPECT_EQ(Find(L"(a|ab)(c|bcd)(d*)", L"abcd", 1), "0,1");
    EXPECT_EQ(Find(L"(a|ab)(c|bcd)(d*)", L"abcd", 2), "1,3");
    EXPECT_EQ(Find(L"(a|ab)(c|bcd)(d*)", L"abcd", 3), "4,0");
    EXPECT_EQ(Find(L"(a|b)*c", L"abac", 1), "2,1");
    EXPECT_EQ(Find(L"(ab)+", L"xababab", 0), "1,6");
    EXPECT_EQ(Find(L"(ab)+", L"xababab", 1), "5,2");
    // A group that took part in an earlier iteration only keeps that iteration.
    EXPECT_EQ(Find(L"((a)|b)*", L"abb", 2), "0,1");
    EXPECT_EQ(Find(L"(|a)b", L"ab", 1), "0,1");
    EXPECT_EQ(Find(L"(ab)?c", L"abc", 1), "0,2");
    EXPECT_EQ(Find(L"(ab)?c", L"xc", 1), "-1,-1");

    CRegPattern alternatives(L"(a)|(b)", false);
    ASSERT_TRUE(alternatives.Search(L"b"));
    EXPECT_EQ(alternatives.GetMatchStart(1), -1);
    EXPECT_EQ(alternatives.GetMatchStart(2), 0);
    EXPECT_EQ(alternatives.GetGroupCount(), 0); // groups counted from 0 while recorded
    EXPECT_EQ(alternatives.GetMatchStart(10), -1);
    EXPECT_EQ(alternatives.GetMatchLength(-1), -1);
    ASSERT_FALSE(alternatives.Search(L"c"));
    EXPECT_EQ(alternatives.GetMatchStart(0), -1);
}

TEST(RegPatternTest, AnchorsMeanTheEndsOfTheTextWhereverTheyStand) {
    EXPECT_EQ(Find(L"x*^a", L"ab"), "0,1");
    EXPECT_EQ(Find(L"x*^a", L"ba"), "none");
    EXPECT_EQ(Find(L"(^a|b)", L"cab"), "2,1");
    EXPECT_EQ(Find(L"a$", L"aba"), "2,1");
    EXPECT_EQ(Find(L"a$b", L"ab"), "none");
    EXPECT_EQ(Find(L"(a$|b)c*", L"abc"), "1,2");
    EXPECT_EQ(Find(L"$", L"abc"), "3,0");
    // A newline is an ordinary character, not a line end.
    EXPECT_EQ(Find(L"a$", L"a\nb"), "none");
    EXPECT_EQ(Find(L"^b", L"a\nb"), "none");
    EXPECT_EQ(Find(L"a\nb", L"xa\nb"), "1,3");
}

TEST(RegPatternTest, EmptyTextsAndEmptyMatches) {
    EXPECT_EQ(Find(L"x*", L""), "0,0");
    EXPECT_EQ(Find(L"", L""), "0,0");
    EXPECT_EQ(Find(L"a|", L"b"), "0,0");
    EXPECT_EQ(Find(L"a", L""), "none");
    EXPECT_EQ(Find(L".", L""), "none");
    EXPECT_EQ(Find(L"[^a]", L""), "none");
}

TEST(RegPatternTest, WordBoundaries) {
    EXPECT_EQ(Find(L"\\<cat", L"concat cat"), "7,3");
    EXPECT_EQ(Find(L"cat\\>", L"cats cat"), "5,3");
    EXPECT_EQ(Find(L"\\<кот\\>", L"скот коты кот"), "10,3");
    EXPECT_EQ(Find(L"\\<1", L"a1 _1 1"), "6,1");
    EXPECT_EQ(Find(L"\\<", L"  "), "none");
    // The end of a word only asks that no word character stands at the position.
    EXPECT_EQ(Find(L"\\>", L" a"), "0,0");
    EXPECT_EQ(Find(L"a\\>", L"ab a"), "3,1");
}

TEST(RegPatternTest, BracketRangesNegationAndLiteralBracketAndDash) {
    EXPECT_EQ(Find(L"[a-c]+", L"xxbcay"), "2,3");
    EXPECT_EQ(Find(L"[^a-c]+", L"abxyc"), "2,2");
    EXPECT_EQ(Find(L"[]a]+", L"x]a]"), "1,3");
    EXPECT_EQ(Find(L"[-a]+", L"b-a-"), "1,3");
    EXPECT_EQ(Find(L"[a-]+", L"b-a-"), "1,3");
    EXPECT_EQ(Find(L"[^]]", L"]]x"), "2,1");
    EXPECT_EQ(Find(L"[^-]", L"--x"), "2,1");
    EXPECT_EQ(Find(L"[%--]", L"a+"), "1,1");
    EXPECT_EQ(Find(L"[а-я]+", L"abc слово"), "4,5");
    EXPECT_EQ(Find(L"a[^b]", L"a"), "none");
    EXPECT_EQ(Find(L"[.]", L"a.b"), "1,1");
}

TEST(RegPatternTest, RepetitionsAndEscapes) {
    EXPECT_EQ(Find(L"ab*", L"abbbc"), "0,4");
    EXPECT_EQ(Find(L"ab*", L"ac"), "0,1");
    EXPECT_EQ(Find(L"ab+", L"abab"), "0,2");
    EXPECT_EQ(Find(L"colou?r", L"color colour"), "0,5");
    EXPECT_EQ(Find(L"a*ab", L"aaab"), "0,4");
    EXPECT_EQ(Find(L"[ab]*b", L"abab"), "0,4");
    EXPECT_EQ(Find(L".*c", L"abcabc"), "0,6");
    EXPECT_EQ(Find(L"x+y", L"xxxz xy"), "5,2");
    EXPECT_EQ(Find(L"(a|b)+c", L"ababd abc"), "6,3");
    EXPECT_EQ(Find(L"a\\.b", L"axb a.b"), "4,3");
    EXPECT_EQ(Find(L"\\*\\(", L"a*("), "1,2");
}

TEST(RegPatternTest, IgnoreCaseMatchesBothCasesOutsideBrackets) {
    EXPECT_EQ(Find(L"привет", L"ПРИВЕТ", 0, true), "0,6");
    EXPECT_EQ(Find(L"привет", L"ПРИВЕТ", 0, false), "none");
    EXPECT_EQ(Find(L"Hello", L"say hELLo", 0, true), "4,5");
    EXPECT_EQ(Find(L"[a-c]x", L"Bx", 0, true), "none");
    EXPECT_EQ(Find(L"[a-c]x", L"bX", 0, true), "0,2");
}

TEST(RegPatternTest, NullArgumentsAndMissingProgram) {
    CRegPattern pattern(L"a", false);
    EXPECT_FALSE(pattern.Search(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(pattern.GetErrorText(), L"NULL argument to regexec");
    EXPECT_TRUE(pattern.Search(L"ba"));
    EXPECT_TRUE(pattern.GetErrorText().empty());

    CRegPattern broken(L"(", false);
    EXPECT_FALSE(broken.Search(L"("));
    EXPECT_EQ(broken.GetErrorText(), L"unterminated ()"); // the compilation error stays
    EXPECT_EQ(broken.GetMatchStart(0), -1);
    EXPECT_EQ(broken.GetErrorText(), L"NULL regexp");
    EXPECT_EQ(broken.GetMatchLength(0), -1);
}

TEST(RegPatternTest, CountedTextsMayHoldZeroCharacters) {
    std::wstring text(L"a\0b", 3);
    EXPECT_EQ(Find(L"b", text), "2,1");
    EXPECT_EQ(Find(L"a.b", text), "0,3");
    EXPECT_EQ(Find(L"[^a]", text), "1,1");
    CRegPattern pattern(L"b", false);
    EXPECT_FALSE(pattern.Search(text.c_str())); // the zero-terminated form stops at the zero
}

// The numeric reference pattern read directly: at the leftmost "#" where it can, the run of x,
// comma and X as long as possible, then the shortest body of one to four class characters before ";".
TEST(RegPatternTest, NumericReferencePatternAgreesWithItsDefinitionOnRandomTexts) {
    const std::wstring alphabet = L"#;xX,0aF9g&";
    auto inRun = [](wchar_t c) { return c == L'x' || c == L',' || c == L'X'; };
    auto inBody = [](wchar_t c) { return std::wstring(L"0123456789abcdefABCDEF,x").find(c) != std::wstring::npos; };
    std::mt19937 random(8);
    CRegPattern pattern(kNumericReferencePattern, false);
    for (int round = 0; round < 20000; ++round) {
        std::wstring text;
        for (int i = random() % 14; i > 0; --i)
            text += alphabet[random() % alphabet.size()];
        std::string expected = "none";
        for (std::size_t s = 0; s < text.size() && expected == "none"; ++s) {
            if (text[s] != L'#')
                continue;
            std::size_t run = 0;
            while (s + 1 + run < text.size() && inRun(text[s + 1 + run]))
                ++run;
            for (std::size_t k = run + 1; k-- > 0 && expected == "none";) {
                for (std::size_t m = 1; m <= 4; ++m) {
                    std::size_t body = s + 1 + k;
                    if (body + m >= text.size())
                        break;
                    bool ok = true;
                    for (std::size_t i = body; i < body + m; ++i)
                        ok = ok && inBody(text[i]);
                    if (ok && text[body + m] == L';') {
                        expected = std::to_string(s) + "," + std::to_string(m + k + 2) + "/" + std::to_string(body) +
                                   "," + std::to_string(m);
                        break;
                    }
                }
            }
        }
        std::string found = "none";
        if (pattern.Search(text))
            found = std::to_string(pattern.GetMatchStart(0)) + "," + std::to_string(pattern.GetMatchLength(0)) + "/" +
                    std::to_string(pattern.GetMatchStart(2)) + "," + std::to_string(pattern.GetMatchLength(2));
        ASSERT_EQ(found, expected) << testing::PrintToString(text);
    }
}

namespace {

// A random pattern of literals, ".", brackets, groups, alternatives and repetitions.
std::wstring RandomPattern(std::mt19937& random, int depth) {
    static const wchar_t* const atoms[] = {L"a", L"b", L"ab", L".", L"[ab]", L"[^a]", L"c"};
    static const wchar_t* const operators[] = {L"", L"", L"*", L"+", L"?"};
    std::wstring pattern;
    for (int branch = random() % 4 == 0 ? 2 : 1; branch > 0; --branch) {
        for (int piece = 1 + random() % 3; piece > 0; --piece) {
            if (depth > 0 && random() % 3 == 0)
                pattern += L"(" + RandomPattern(random, depth - 1) + L")";
            else
                pattern += atoms[random() % 7];
            pattern += operators[random() % 5];
        }
        if (branch > 1)
            pattern += L"|";
    }
    return pattern;
}

} // namespace

// Leftmost match, alternatives in order, greedy repetitions with backtracking: the standard
// library's ECMAScript engine follows the same rules for this subset (whose repeated operands
// never match the empty string), so the whole matches must agree.
TEST(RegPatternTest, WholeMatchesAgreeWithAnOrderedBacktrackingEngine) {
    std::mt19937 random(11);
    int compared = 0;
    for (int round = 0; round < 3000; ++round) {
        std::wstring source = RandomPattern(random, 2);
        CRegPattern pattern(source, false);
        if (!pattern.IsCompiled())
            continue;
        std::wregex standard(source, std::regex::ECMAScript);
        for (int t = 0; t < 5; ++t) {
            std::wstring text;
            for (int i = random() % 9; i > 0; --i)
                text += L"abcx"[random() % 4];
            std::wsmatch match;
            bool expected = std::regex_search(text, match, standard);
            ASSERT_EQ(pattern.Search(text), expected) << testing::PrintToString(source + L" / " + text);
            if (expected) {
                EXPECT_EQ(pattern.GetMatchStart(0), match.position(0))
                    << testing::PrintToString(source + L" / " + text);
                EXPECT_EQ(pattern.GetMatchLength(0), match.length(0)) << testing::PrintToString(source + L" / " + text);
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 5000);
}

TEST(RegPatternTest, MillionCharacterTextsWithNestedRepetitionsEndCleanly) {
    std::wstring pairs;
    for (int i = 0; i < 500000; ++i)
        pairs += L"ab";
    // Each iteration of the loops leaves a choice point; none of them lives on the call stack.
    CRegPattern nested(L"^((ab)+)*$", false);
    ASSERT_TRUE(nested.Search(pairs));
    EXPECT_EQ(nested.GetMatchLength(0), 1000000);
    EXPECT_EQ(nested.GetMatchStart(2), 999998);
    CRegPattern loop(L"(ab)*c", false);
    ASSERT_TRUE(loop.Search(pairs + L"c"));
    EXPECT_EQ(loop.GetMatchLength(0), 1000001);
    EXPECT_EQ(loop.GetMatchStart(1), 999998);

    // No match exists; the search gives up instead of running for hours (the limit is shortened
    // here so that the test does not wait out the real one).
    ShortTimeLimit shortLimit;
    CRegPattern noEnd(L"((a|b)+)*[xy]", false);
    EXPECT_FALSE(noEnd.Search(pairs));
    EXPECT_EQ(noEnd.GetErrorText(), L"regexp match too complex");
    EXPECT_FALSE(noEnd.Search(L"abab"));
    EXPECT_TRUE(noEnd.GetErrorText().empty());
}

TEST(RegPatternTest, ExponentialBacktrackingGivesUp) {
    ShortTimeLimit shortLimit;
    CRegPattern pattern(L"(a+)+b", false);
    std::wstring text = L"b" + std::wstring(60, L'a');
    EXPECT_FALSE(pattern.Search(text));
    EXPECT_EQ(pattern.GetErrorText(), L"regexp match too complex");
    EXPECT_TRUE(pattern.Search(L"aaab"));
    EXPECT_EQ(pattern.GetMatchLength(0), 4);
}

TEST(RegPatternTest, QuadraticSearchesOfOrdinaryTextsRunToTheirEnd) {
    // Every start position walks the rest of the text and backtracks over it: about a million and a
    // half steps' worth of pairs, which ends in well under a second and must not be given up.
    std::wstring text;
    for (int i = 0; i < 757; ++i)
        text += L"ab";
    CRegPattern pattern(L"(a|b)*c", false);
    ASSERT_TRUE(pattern.Search(text + L"dc")) << pattern.GetErrorText();
    EXPECT_EQ(pattern.GetMatchStart(0), 1515);
    EXPECT_EQ(pattern.GetMatchLength(0), 1);
    EXPECT_TRUE(pattern.GetErrorText().empty());
    ASSERT_TRUE(pattern.Search(text + L"c"));
    EXPECT_EQ(pattern.GetMatchStart(0), 0);
    EXPECT_EQ(pattern.GetMatchLength(0), 1515);
    EXPECT_EQ(pattern.GetMatchStart(1), 1513);
}
