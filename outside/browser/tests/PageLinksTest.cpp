// The links of a page, its base element and the resolution of relative addresses.
#include "PageLinks.h"

#include <gtest/gtest.h>

using browser::ResolveUrl;

TEST(PageLinksTest, LinksInPageOrderAndTheFirstBase) {
    const std::wstring page = L"<html><head><BASE HREF='file:///C:/site/'><base href=\"ignored/\"></head>"
                              L"<body><!-- <a href=\"commented.html\"> --><a name=top>top</a>"
                              L"<A class=x HREF = \"one.html?a=1&amp;b=2\">1</A><a href=two.html>2</a>"
                              L"<p><a title=\"a > b\" href=\" three.html \">3</a><a href=\"unclosed";
    EXPECT_EQ(browser::PageLinks(page),
              (std::vector<std::wstring>{L"one.html?a=1&b=2", L"two.html", L"three.html", L"unclosed"}));
    EXPECT_EQ(browser::PageBase(page), L"file:///C:/site/");
    EXPECT_EQ(browser::PageBase(L"<p>no base</p>"), L"");
    EXPECT_TRUE(browser::PageLinks(L"<a>no address</a><").empty());
}

TEST(PageLinksTest, RelativeAddressesResolveAgainstTheBase) {
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/index.html", L"next.html"), L"file:///C:/site/next.html");
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/", L"next.html"), L"file:///C:/site/next.html");
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/a/index.html", L"../b/./next.html#part"),
              L"file:///C:/site/b/next.html#part");
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/index.html", L"../../../up.html"), L"file:///C:/up.html")
        << "steps above the drive stop there";
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/index.html", L"/top.html"), L"file:///C:/top.html");
    EXPECT_EQ(ResolveUrl(L"file:C:\\Program Files\\help\\page.htm#x", L"other.htm"),
              L"file:C:\\Program Files\\help\\other.htm");
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/index.html#old", L"#new"), L"file:///C:/site/index.html#new");
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/index.html", L"http://host/x"), L"http://host/x");
    EXPECT_EQ(ResolveUrl(L"file:///C:/site/index.html", L"file:D:\\x.htm"), L"file:D:\\x.htm");
    EXPECT_EQ(ResolveUrl(L"http://host/dir/page", L"/root"), L"http://host/root");
}

TEST(PageLinksTest, SchemesAndPaths) {
    EXPECT_TRUE(browser::HasScheme(L"file:x"));
    EXPECT_TRUE(browser::HasScheme(L"HTTP://x"));
    EXPECT_FALSE(browser::HasScheme(L"C:\\x.htm")) << "a drive letter";
    EXPECT_FALSE(browser::HasScheme(L"page.html"));
    EXPECT_FALSE(browser::HasScheme(L"1x:y"));
    EXPECT_EQ(browser::FileUrlFromPath(L"C:\\a b\\x.htm"), L"file:C:\\a b\\x.htm");
}
