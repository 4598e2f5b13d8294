// Cutting the selected text out of a control's whole text: positions of plain and rich edit controls,
// and every line break coming back as CR LF.
#include "TextCapture.h"

#include <gtest/gtest.h>

TEST(SelectedTextTest, PlainEdit_CountsCrLfAsTwoPositions_AndKeepsIt) {
    const std::wstring text = L"ab\r\ncd";
    EXPECT_EQ(CTextCapture::CutSelectedText(text, false, 1, 5), L"b\r\nc");
    EXPECT_EQ(CTextCapture::CutSelectedText(text, false, 0, 6), text);
    EXPECT_EQ(CTextCapture::CutSelectedText(text, false, 2, 2), L"");
}

TEST(SelectedTextTest, RichEdit_CountsALineBreakAsOnePosition_AndGivesCrLf) {
    const std::wstring text = L"ab\r\ncd\r\nef";
    EXPECT_EQ(CTextCapture::CutSelectedText(text, true, 1, 4), L"b\r\nc");
    EXPECT_EQ(CTextCapture::CutSelectedText(text, true, 3, 8), L"cd\r\nef");
}

TEST(SelectedTextTest, BareLineBreaks_BecomeCrLf) {
    EXPECT_EQ(CTextCapture::CutSelectedText(L"a\nb\rc", false, 0, 5), L"a\r\nb\r\nc");
    EXPECT_EQ(CTextCapture::CutSelectedText(L"a\rb", true, 0, 3), L"a\r\nb");
    // A range that starts or ends inside a CR LF pair still gives whole pairs.
    EXPECT_EQ(CTextCapture::CutSelectedText(L"ab\r\ncd", false, 3, 5), L"\r\nc");
    EXPECT_EQ(CTextCapture::CutSelectedText(L"ab\r\ncd", false, 1, 3), L"b\r\n");
}

TEST(SelectedTextTest, NegativeOrOutOfRangeEnds) {
    EXPECT_EQ(CTextCapture::CutSelectedText(L"hello", false, -1, 3), L"");
    EXPECT_EQ(CTextCapture::CutSelectedText(L"hello", false, 2, -1), L"");
    EXPECT_EQ(CTextCapture::CutSelectedText(L"hello", false, 3, 99), L"lo");
    EXPECT_EQ(CTextCapture::CutSelectedText(L"hello", false, 4, 1), L"ell");
    EXPECT_EQ(CTextCapture::CutSelectedText(L"", true, 0, 10), L"");
}
