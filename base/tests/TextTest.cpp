#include "base/Text.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace ovrin;

TEST(TextTest, AsciiLowerChangesOnlyAsciiCapitals) {
    EXPECT_EQ(AsciiLowered(std::string("HREF=\"A\" \xC0\xDF")), "href=\"a\" \xC0\xDF");
    EXPECT_EQ(AsciiLowered(std::wstring_view(L"/OPTIONS Дом ÀZ")), L"/options Дом Àz");
    static_assert(AsciiLower('@') == '@' && AsciiLower('[') == '[' && AsciiLower(L'Q') == L'q');
}

TEST(TextTest, FoldedCaseLowersTheCapitalsOfTheSuitesAlphabets) {
    EXPECT_EQ(FoldedCase(L"LEXORY.EXE"), L"lexory.exe");
    EXPECT_EQ(FoldedCase(L"ДОМ Ёлка ЎІЇЄҐ"), L"дом ёлка ўіїєґ");
    EXPECT_EQ(FoldedCase(L"ÀÉÖØÞ ×ß ÄÖÜ"), L"àéöøþ ×ß äöü");
    EXPECT_EQ(FoldedCase(L"ŁÓDŹ ŽĽ Ÿ İ"), L"łódź žľ ÿ İ");
    EXPECT_EQ(FoldedCase(L"ΑΘΉΝΑ Ώ"), L"αθήνα ώ");
    EXPECT_EQ(FoldedCase(L"ӀӁҐ"), L"ӏӂґ");
    EXPECT_EQ(FoldedCase(L"1-2 №€…"), L"1-2 №€…");
}

#ifdef _WIN32
// Within the alphabets it covers, the folding is the system's own lowering.
TEST(TextTest, FoldedCaseAgreesWithTheSystemOverItsAlphabets) {
    auto covered = [](unsigned code) {
        return code < 0x180 || (code >= 0x386 && code <= 0x3AB) || (code >= 0x400 && code < 0x530);
    };
    for (unsigned code = 1; code < 0x530; ++code) {
        if (!covered(code))
            continue;
        wchar_t system = static_cast<wchar_t>(code);
        CharLowerBuffW(&system, 1);
        EXPECT_EQ(static_cast<unsigned>(FoldedCase(static_cast<wchar_t>(code))), static_cast<unsigned>(system))
            << "U+" << std::hex << code;
    }
}
#endif

TEST(TextTest, ComparisonsIgnoreCaseAndLength) {
    EXPECT_TRUE(EqualIgnoringCase(L"Ovloader.EXE", L"ovloader.exe"));
    EXPECT_TRUE(EqualIgnoringCase(L"Словарь", L"СЛОВАРЬ"));
    EXPECT_FALSE(EqualIgnoringCase(L"ovloader.ex", L"ovloader.exe"));
    EXPECT_FALSE(EqualIgnoringCase(L"е", L"ё"));
    EXPECT_TRUE(EndsWithIgnoringCase(L"C:\\Dicts\\ER.DIC", L".dic"));
    EXPECT_TRUE(EndsWithIgnoringCase(L".dic", L".DIC"));
    EXPECT_FALSE(EndsWithIgnoringCase(L"dic", L".dic"));
    EXPECT_TRUE(EndsWithIgnoringCase(L"anything", L""));
}

TEST(TextTest, WhiteSpaceTrimmedAndBlank) {
    EXPECT_EQ(Trimmed(std::wstring_view(L" \t\r\n слово  два \x00A0\x3000")), L"слово  два");
    EXPECT_EQ(Trimmed(std::wstring_view(L"\x2003x\x2028")), L"x");
    EXPECT_EQ(Trimmed(std::wstring_view(L"   ")), L"");
    EXPECT_EQ(Trimmed(std::string_view(" \v key = value\f ")), "key = value");
    EXPECT_EQ(Trimmed(std::string_view("\xA0x")), "\xA0x") << "bytes above ASCII are not white space";
    EXPECT_TRUE(IsBlank(L""));
    EXPECT_TRUE(IsBlank(L" \r\n\t\x00A0\x202F"));
    EXPECT_FALSE(IsBlank(L"  .  "));
    EXPECT_FALSE(IsSpace(L'\x200B')) << "a zero-width space is not white space";
}

TEST(TextTest, EscapedForHtmlWritesTheMarkupCharactersAsReferences) {
    EXPECT_EQ(EscapedForHtml(L"a < b && c > d"), L"a &lt; b &amp;&amp; c &gt; d");
    EXPECT_EQ(EscapedForHtml(L"\"кот\" 'x'\n&amp;"), L"\"кот\" 'x'\n&amp;amp;") << "quotes and line ends stay";
    EXPECT_EQ(EscapedForHtml(L""), L"");
}
