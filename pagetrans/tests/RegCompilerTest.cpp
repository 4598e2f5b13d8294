// The compiler: the program it writes (node layout, links, repetition shapes), its errors, the size
// limit, ignore-case rewriting and the search hints.
#include "RegCompiler.h"
#include "RegProgram.h"
#include "pagetrans/Entities.h"
#include "pagetrans/RegPattern.h"

#include <gtest/gtest.h>

#include <string>

using namespace ovrin;

namespace {

std::string OpcodeName(int opcode) {
    static const char* const names[] = {"END",  "BOL",     "EOL",     "ANY",  "ANYOF", "ANYBUT", "BRANCH",
                                        "BACK", "EXACTLY", "NOTHING", "STAR", "PLUS",  "WORDA",  "WORDZ"};
    if (opcode >= 0 && opcode <= kOpWordEnd)
        return names[opcode];
    if (opcode > kOpOpen && opcode < kOpOpen + 10)
        return "OPEN" + std::to_string(opcode - kOpOpen);
    if (opcode > kOpClose && opcode < kOpClose + 10)
        return "CLOSE" + std::to_string(opcode - kOpClose);
    return "?" + std::to_string(opcode);
}

// Lists the nodes in program order as "position:OPCODE>next", operands in quotes.
std::string Dump(const CRegPattern& pattern) {
    const std::vector<char16_t>& units = pattern.GetProgram().units;
    CRegProgramAccessor program(units.data(), units.size());
    std::string dump;
    std::size_t position = 1;
    while (position + kRegNodeUnits <= units.size()) {
        int node = static_cast<int>(position);
        int opcode = program.Opcode(node);
        if (!dump.empty())
            dump += ' ';
        dump += std::to_string(node) + ":" + OpcodeName(opcode);
        position += kRegNodeUnits;
        if (opcode == kOpExactly || opcode == kOpAnyOf || opcode == kOpAnyBut) {
            dump += '"';
            for (; units[position] != 0; ++position)
                dump += static_cast<char>(units[position]);
            dump += '"';
            ++position;
        }
        dump += ">" + std::to_string(program.Next(node));
    }
    return dump;
}

} // namespace

TEST(RegCompilerTest, LiteralProgramHasMagicThreeUnitNodesAndForwardOffsets) {
    CRegPattern pattern(L"abc", false);
    ASSERT_TRUE(pattern.IsCompiled());
    const std::vector<char16_t> expected = {0xFF9C, kOpBranch, 10,   0, kOpExactly, 7, 0,
                                            u'a',   u'b',      u'c', 0, kOpEnd,     0, 0};
    EXPECT_EQ(pattern.GetProgram().units, expected);
}

TEST(RegCompilerTest, SingleCharacterRepetitionsBecomeStarAndPlus) {
    CRegPattern star(L"a*", false);
    const std::vector<char16_t> expected = {0xFF9C, kOpBranch, 11,   0, kOpStar, 8, 0, kOpExactly,
                                            0,      0,         u'a', 0, kOpEnd,  0, 0};
    EXPECT_EQ(star.GetProgram().units, expected);
    CRegPattern plus(L"[xy]+", false);
    EXPECT_EQ(plus.GetProgram().units[4], kOpPlus);
    EXPECT_EQ(plus.GetProgram().units[7], kOpAnyOf);
}

TEST(RegCompilerTest, ComplexRepetitionsLoopThroughBranchAndBack) {
    EXPECT_EQ(Dump(CRegPattern(L"(ab)*", false)),
              "1:BRANCH>31 4:BRANCH>25 7:OPEN1>10 10:BRANCH>19 13:EXACTLY\"ab\">19 19:CLOSE1>22 22:BACK>4 "
              "25:BRANCH>28 28:NOTHING>31 31:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"(a)+", false)),
              "1:BRANCH>30 4:OPEN1>7 7:BRANCH>15 10:EXACTLY\"a\">15 15:CLOSE1>18 18:BRANCH>24 21:BACK>4 "
              "24:BRANCH>27 27:NOTHING>30 30:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"a?", false)),
              "1:BRANCH>18 4:BRANCH>12 7:EXACTLY\"a\">15 12:BRANCH>15 15:NOTHING>18 18:END>0");
}

TEST(RegCompilerTest, AlternativesAndSplitRuns) {
    EXPECT_EQ(Dump(CRegPattern(L"a|b", false)), "1:BRANCH>9 4:EXACTLY\"a\">17 9:BRANCH>17 12:EXACTLY\"b\">17 17:END>0");
    // The operator takes only the run's last character.
    EXPECT_EQ(Dump(CRegPattern(L"ab*", false)), "1:BRANCH>17 4:EXACTLY\"a\">9 9:STAR>17 12:EXACTLY\"b\">0 17:END>0");
    // Escaped characters join the run; a newline starts a new one.
    EXPECT_EQ(Dump(CRegPattern(L"a\\.\\|b\nc", false)),
              "1:BRANCH>18 4:EXACTLY\"a.|b\">12 12:EXACTLY\"\nc\">18 18:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"^\\<.$\\>", false)),
              "1:BRANCH>19 4:BOL>7 7:WORDA>10 10:ANY>13 13:EOL>16 16:WORDZ>19 19:END>0");
}

TEST(RegCompilerTest, BracketListsExpandRangesAndKeepLiteralBracketAndDash) {
    EXPECT_EQ(Dump(CRegPattern(L"[a-d]", false)), "1:BRANCH>12 4:ANYOF\"abcd\">12 12:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"[]a-]", false)), "1:BRANCH>11 4:ANYOF\"]a-\">11 11:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"[^-x]", false)), "1:BRANCH>10 4:ANYBUT\"-x\">10 10:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"[a-a]", false)), "1:BRANCH>9 4:ANYOF\"a\">9 9:END>0");
    EXPECT_EQ(Dump(CRegPattern(L"[*+?.(|$]", false)), "1:BRANCH>15 4:ANYOF\"*+?.(|$\">15 15:END>0");
}

TEST(RegCompilerTest, EveryCompilerErrorHasItsText) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* error;
    } cases[] = {
        {L"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", L"too many ()"},
        {L"((((((((((a))))))))))", L"too many ()"},
        {L"(ab", L"unterminated ()"},
        {L"a(b|c", L"unterminated ()"},
        {L"ab)", L"unmatched ()"},
        {L")", L"unmatched ()"},
        {L"(a*)*", L"*+ operand could be empty"},
        {L"(^)+", L"*+ operand could be empty"},
        {L"(a?)*", L"*+ operand could be empty"},
        {L"a**", L"nested *?+"},
        {L"a+?", L"nested *?+"},
        {L"(ab)?*", L"nested *?+"},
        {L"[z-a]", L"invalid [] range"},
        {L"[abc", L"unmatched []"},
        {L"[]", L"unmatched []"},
        {L"*a", L"?+* follows nothing"},
        {L"a|+", L"?+* follows nothing"},
        {L"(?)", L"?+* follows nothing"},
        {L"ab\\", L"trailing \\"},
    };
    for (const Case& c : cases) {
        CRegPattern pattern(c.pattern, false);
        EXPECT_FALSE(pattern.IsCompiled()) << testing::PrintToString(std::wstring(c.pattern));
        EXPECT_EQ(pattern.GetErrorText(), c.error) << testing::PrintToString(std::wstring(c.pattern));
        EXPECT_TRUE(pattern.GetProgram().units.empty());
    }
    CRegPattern nine(L"(a)(b)(c)(d)(e)(f)(g)(h)(i)", false);
    EXPECT_TRUE(nine.IsCompiled());
    EXPECT_TRUE(CRegPattern(L"(a*)?", false).IsCompiled());
    CRegPattern null(static_cast<const wchar_t*>(nullptr), false);
    EXPECT_EQ(null.GetErrorText(), L"NULL argument to regcomp");
}

TEST(RegCompilerTest, ErrorTableCoversEveryCode) {
    const wchar_t* const texts[] = {L"",
                                    L"NULL argument to regexec",
                                    L"corrupted regexp",
                                    L"regexp corruption",
                                    L"corrupted pointers",
                                    L"internal error: bad call of regrepeat",
                                    L"corrupted opcode",
                                    L"NULL parm to regsub",
                                    L"damaged regexp fed to regsub",
                                    L"damaged match string",
                                    L"NULL argument to regcomp",
                                    L"regexp too big",
                                    L"too many ()",
                                    L"unterminated ()",
                                    L"unmatched ()",
                                    L"internal error: junk on end",
                                    L"*+ operand could be empty",
                                    L"nested *?+",
                                    L"invalid [] range",
                                    L"unmatched []",
                                    L"internal error: \\0|) unexpected",
                                    L"?+* follows nothing",
                                    L"trailing \\",
                                    L"internal error: strcspn 0",
                                    L"NULL regexp"};
    for (int code = 0; code <= kRegNoProgram; ++code)
        EXPECT_STREQ(RegErrorText(code), texts[code]) << code;
    EXPECT_STREQ(RegErrorText(-1), L"Unknown error");
    EXPECT_STREQ(RegErrorText(26), L"Unknown error");
    CRegErrorHandler handler;
    handler.SetError(kRegTooBig);
    EXPECT_EQ(handler.GetErrorText(), L"regexp too big");
    handler.Clear();
    EXPECT_TRUE(handler.GetErrorText().empty());
}

TEST(RegCompilerTest, ProgramsOf32767UnitsOrMoreAreTooBig) {
    // A literal of n characters needs 11 + n units: magic, BRANCH, EXACTLY, the characters and their
    // terminator, END.
    CRegPattern largest(std::wstring(32755, L'a'), false);
    ASSERT_TRUE(largest.IsCompiled());
    EXPECT_EQ(largest.GetProgram().units.size(), 32766u);
    CRegPattern tooBig(std::wstring(32756, L'a'), false);
    EXPECT_FALSE(tooBig.IsCompiled());
    EXPECT_EQ(tooBig.GetErrorText(), L"regexp too big");

    std::wstring wideRange = L"[";
    wideRange += static_cast<wchar_t>(1);
    wideRange += L'-';
    wideRange += static_cast<wchar_t>(0xFFFF);
    wideRange += L']';
    EXPECT_EQ(CRegPattern(wideRange, false).GetErrorText(), L"regexp too big");
    std::wstring manyRanges;
    for (int i = 0; i < 100000; ++i)
        manyRanges += wideRange;
    EXPECT_EQ(CRegPattern(manyRanges, false).GetErrorText(), L"regexp too big"); // in moments, not hours
    EXPECT_EQ(CRegPattern(manyRanges + L"(", false).GetErrorText(), L"unterminated ()");
    EXPECT_EQ(CRegPattern(std::wstring(20000, L'.'), false).GetErrorText(), L"regexp too big");
    // A syntax error found while counting comes before the size.
    EXPECT_EQ(CRegPattern(std::wstring(40000, L'a') + L"(", false).GetErrorText(), L"unterminated ()");
}

TEST(RegCompilerTest, IgnoreCaseRewritesLettersOutsideBrackets) {
    EXPECT_EQ(RewriteIgnoringCase(u"ab[cd]e1"), u"[Aa][Bb][cd][Ee]1");
    EXPECT_EQ(RewriteIgnoringCase(u"Жё-Ω"), u"[Жж][Ёё]-[Ωω]");
    EXPECT_EQ(RewriteIgnoringCase(u"\u00DF\u00FF"), u"[\u00DF\u00DF][\u0178\u00FF]");
    // Escapes are not considered: the letter after a backslash is rewritten too.
    EXPECT_EQ(RewriteIgnoringCase(u"\\w"), u"\\[Ww]");
}

TEST(RegCompilerTest, SearchHintsComeFromTheSingleTopLevelAlternative) {
    CRegPattern literal(L"abc|abc", false);
    EXPECT_EQ(literal.GetProgram().firstChar, 0);
    CRegPattern first(L"x[yz]", false);
    EXPECT_EQ(first.GetProgram().firstChar, u'x');
    EXPECT_FALSE(first.GetProgram().anchored);
    EXPECT_TRUE(first.GetProgram().mustContain.empty());
    EXPECT_TRUE(CRegPattern(L"^ab", false).GetProgram().anchored);
    EXPECT_FALSE(CRegPattern(L"a^b", false).GetProgram().anchored);
    // The longest literal of the top-level sequence, the last of equally long ones.
    EXPECT_EQ(CRegPattern(L"a*bcd*ef", false).GetProgram().mustContain, u"ef");
    EXPECT_EQ(CRegPattern(L"[ab]+xyz(qqqq)w", false).GetProgram().mustContain, u"xyz");
    EXPECT_EQ(CRegPattern(L"(ab)*c", false).GetProgram().mustContain, u"c");
    EXPECT_TRUE(CRegPattern(L"a?bcd", false).GetProgram().mustContain.empty());
    EXPECT_TRUE(CRegPattern(L"a*b|c", false).GetProgram().mustContain.empty());
    EXPECT_EQ(CRegPattern(kNumericReferencePattern, false).GetProgram().firstChar, u'#');
}
