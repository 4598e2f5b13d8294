// UTF-16 and UTF-8 conversions, well-formed and not.
#include "base/Unicode.h"

#include <gtest/gtest.h>

using namespace ovrin;

TEST(UnicodeTest, WellFormedTextRoundTrips) {
    std::wstring text = L"a\x00E9\x0416\x20AC";
    text += static_cast<wchar_t>(0xD83D);
    text += static_cast<wchar_t>(0xDE00);
    EXPECT_EQ(Utf16ToUtf8(text), "a\xC3\xA9\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

TEST(UnicodeTest, MalformedInputBecomesReplacementCharacters) {
    std::wstring lone(1, static_cast<wchar_t>(0xDC00));
    EXPECT_EQ(Utf16ToUtf8(lone + L"x"), "\xEF\xBF\xBDx");
    const std::wstring replacement(1, static_cast<wchar_t>(0xFFFD));
    EXPECT_EQ(Utf8ToUtf16("\x80"), replacement);
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), replacement + replacement);                   // overlong form
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), replacement + replacement + replacement); // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), replacement + replacement);                   // cut short
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), std::wstring(4, static_cast<wchar_t>(0xFFFD)));
}
