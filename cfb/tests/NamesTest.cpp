// The upper-casing and ordering rule of element names.
#include "Names.h"

#include <gtest/gtest.h>

using namespace cfb::detail;

TEST(NamesTest, UpperCase_CoversTheAlphabetsOfTheSuite) {
    EXPECT_EQ(NameKey(L"abz"), L"ABZ");
    EXPECT_EQ(NameKey(L"\x00E0\x00FE\x00F7\x00FF"), L"\x00C0\x00DE\x00F7\x0178"); // division sign stays
    EXPECT_EQ(NameKey(L"\x0101\x013A\x017E"), L"\x0100\x0139\x017D");             // Latin Extended-A pairs
    EXPECT_EQ(NameKey(L"\x03B1\x03C2\x03AC"), L"\x0391\x03A3\x0386");             // Greek, final sigma
    EXPECT_EQ(NameKey(L"абвгдеёжя\x0491"), L"АБВГДЕЁЖЯ\x0490");                   // Cyrillic
    EXPECT_EQ(NameKey(L"09_!{"), L"09_!{");
}

TEST(NamesTest, Order_IsLengthFirstThenUpperCasedUnits) {
    EXPECT_LT(CompareNameKeys(NameKey(L"z"), NameKey(L"aa")), 0);
    EXPECT_LT(CompareNameKeys(NameKey(L"ab"), NameKey(L"AC")), 0);
    EXPECT_EQ(CompareNameKeys(NameKey(L"Слово"), NameKey(L"сЛОВО")), 0);
    EXPECT_GT(CompareNameKeys(NameKey(L"я"), NameKey(L"z")), 0);
}

TEST(NamesTest, CreatableNames_ExcludeSeparatorsAndLongNames) {
    EXPECT_TRUE(IsCreatableName(L"DD_INFO"));
    EXPECT_FALSE(IsCreatableName(L"a:b"));
    EXPECT_FALSE(IsCreatableName(L"a\\b"));
    EXPECT_TRUE(IsUsableName(L"a:b")); // files made elsewhere may hold such names; they still open
    EXPECT_FALSE(IsUsableName(std::wstring(32, L'x')));
    EXPECT_FALSE(IsUsableName(std::wstring(L"a\0b", 3)));
}
