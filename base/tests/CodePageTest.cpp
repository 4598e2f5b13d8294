// Code page conversions, and (Windows) our tables against the platform's own conversion.
#include "base/CodePage.h"

#include "CodePageTables.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace ovrin;

TEST(CodePageTest, CyrillicAndWesternLettersRoundTrip) {
    const std::wstring russian = L"\x0401\x0436\x0438\x0434\x043A\x043E\x0441\x0442\x044C \x0451\x2116";
    EXPECT_EQ(WideToMultiByte(1251, russian), "\xA8\xE6\xE8\xE4\xEA\xEE\xF1\xF2\xFC \xB8\xB9");
    EXPECT_EQ(MultiByteToWide(1251, WideToMultiByte(1251, russian)), russian);
    const std::wstring french = L"\x00C7"
                                L"a \x00E9t\x00E9 \x0153uvre \x20AC";
    EXPECT_EQ(WideToMultiByte(1252, french), "\xC7"
                                             "a \xE9t\xE9 \x9Cuvre \x80");
    EXPECT_EQ(MultiByteToWide(1252, WideToMultiByte(1252, french)), french);
    // Code page 0 is the ANSI code page: 1251 natively and on the harness, whose locale is Russian.
    EXPECT_EQ(MultiByteToWide(0, "\xC0"), L"\x0410");
    EXPECT_EQ(WideToMultiByte(0, L"\x0451"), "\xB8");
}

TEST(CodePageTest, EveryByteConvertsAndComesBack) {
    for (unsigned codePage : {1251u, 1252u}) {
        for (int byte = 1; byte < 256; ++byte) {
            std::string text(1, static_cast<char>(byte));
            std::wstring wide = MultiByteToWide(codePage, text);
            ASSERT_EQ(wide.size(), 1u) << codePage << " byte " << byte;
            EXPECT_EQ(WideToMultiByte(codePage, wide), text) << codePage << " byte " << byte;
        }
    }
}

TEST(CodePageTest, UnmappableCharacterBecomesQuestionMark) {
    EXPECT_EQ(WideToMultiByte(1251, L"a\x4E2D"
                                    L"b"),
              "a?b");
    EXPECT_EQ(WideToMultiByte(1252, L"\x0416"), "?");
}

#ifdef _WIN32
TEST(CodePageTest, TablesAgreeWithThePlatform) {
    for (auto [codePage, table] : {std::pair{1251u, detail::kCodePage1251}, std::pair{1252u, detail::kCodePage1252}}) {
        for (int byte = 0x80; byte < 0x100; ++byte) {
            char in = static_cast<char>(byte);
            wchar_t out = 0;
            ASSERT_EQ(MultiByteToWideChar(codePage, 0, &in, 1, &out, 1), 1);
            EXPECT_EQ(static_cast<unsigned>(out), static_cast<unsigned>(table[byte - 0x80]))
                << "code page " << codePage << " byte " << byte;
        }
    }
}
#else
TEST(CodePageTest, Utf8AndUnsupportedCodePages) {
    EXPECT_EQ(MultiByteToWide(65001, "\xD0\x96"), L"\x0416");
    EXPECT_EQ(WideToMultiByte(65001, L"\x0416"), "\xD0\x96");
    EXPECT_FALSE(IsCodePageSupported(866));
    EXPECT_EQ(MultiByteToWide(866, "abc"), L"");
    EXPECT_EQ(WideToMultiByte(866, L"abc"), "");
}
#endif
