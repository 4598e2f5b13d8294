// The browser's reading of its command line, of "file:" URLs and of page files.
#include "PageSource.h"

#include <gtest/gtest.h>

using browser::FileUrl;

TEST(PageSourceTest, FileUrlsSplitIntoPathAndAnchor) {
    FileUrl url;
    ASSERT_TRUE(browser::ParseFileUrl(L"file:C:\\Program Files\\OVRIN Mobile\\lexory.htm#keys", url));
    EXPECT_EQ(url.path, L"C:\\Program Files\\OVRIN Mobile\\lexory.htm") << "spaces are kept as they are";
    EXPECT_EQ(url.anchor, L"keys");
    ASSERT_TRUE(browser::ParseFileUrl(L"FILE:///C:/Help/a%20b.htm", url));
    EXPECT_EQ(url.path, L"C:/Help/a b.htm");
    EXPECT_EQ(url.anchor, L"");
    ASSERT_TRUE(browser::ParseFileUrl(L"file://C:/x.htm#", url));
    EXPECT_EQ(url.path, L"C:/x.htm");
    EXPECT_EQ(url.anchor, L"");
    // A stray "%" that is no escape stays.
    ASSERT_TRUE(browser::ParseFileUrl(L"file:C:\\100%.htm", url));
    EXPECT_EQ(url.path, L"C:\\100%.htm");
    EXPECT_FALSE(browser::ParseFileUrl(L"http://example.org/", url));
    EXPECT_FALSE(browser::ParseFileUrl(L"file:", url));
    EXPECT_FALSE(browser::ParseFileUrl(L"", url));
}

TEST(PageSourceTest, UrlIsTheWholeCommandLineAfterTheProgram) {
    EXPECT_EQ(browser::UrlFromCommandLine(L"\"C:\\b\\iexplore.exe\" file:C:\\Program Files\\x.htm#a"),
              L"file:C:\\Program Files\\x.htm#a");
    EXPECT_EQ(browser::UrlFromCommandLine(L"iexplore.exe  \"file:C:\\a b.htm\"  "), L"file:C:\\a b.htm");
    EXPECT_EQ(browser::UrlFromCommandLine(L"iexplore.exe"), L"");
    EXPECT_EQ(browser::UrlFromCommandLine(L"\"unclosed"), L"");
    EXPECT_EQ(browser::UrlFromCommandLine(nullptr), L"");
}

TEST(PageSourceTest, PagesDecodeFromTheirEncodingAndGiveTheirTitle) {
    // "Справка" in UTF-8, with and without a byte-order mark, in UTF-16 and in code page 1251.
    const std::wstring help = L"\x0421\x043F\x0440\x0430\x0432\x043A\x0430";
    EXPECT_EQ(browser::DecodePage("\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0"), help);
    EXPECT_EQ(browser::DecodePage("\xEF\xBB\xBF\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0"), help);
    EXPECT_EQ(browser::DecodePage(std::string("\xFF\xFE\x21\x04\x3F\x04", 6)), L"\x0421\x043F");
    EXPECT_EQ(browser::DecodePage(std::string("\xFE\xFF\x04\x21\x04\x3F\x00", 7)), L"\x0421\x043F")
        << "an odd last byte is dropped";
    EXPECT_EQ(browser::DecodePage("\xD1\xEF\xF0\xE0\xE2\xEA\xE0"), help) << "not UTF-8: the ANSI code page (1251)";
    EXPECT_EQ(browser::DecodePage(""), L"");

    EXPECT_EQ(browser::PageTitle(L"<html><HEAD><Title lang=ru>\n  Lexory:\t help </title>"), L"Lexory: help");
    EXPECT_EQ(browser::PageTitle(L"<title>unclosed"), L"unclosed");
    EXPECT_EQ(browser::PageTitle(L"<p>no title</p>"), L"");
    EXPECT_EQ(browser::PageTitle(L"<title"), L"");
}
