// The browser's window in this process: the frame and its page area, a page loaded from a "file:" URL
// and scrolled to its anchor, and a page that cannot be read.
#include "BrowserWindow.h"

#include <gtest/gtest.h>
#include <testsupport/TempFolder.h>

#include <string>

namespace {

// A page long enough to scroll, with an anchor far down.
std::string LongPage() {
    std::string page = "<html><head><title>Long \xD1\x81\xD1\x82\xD1\x80\xD0\xB0\xD0\xBD\xD0\xB8\xD1\x86\xD0\xB0"
                       "</title></head><body>";
    for (int i = 0; i < 200; ++i)
        page += "<p>line " + std::to_string(i) + "</p>";
    page += "<a name=\"end\"></a><p>the end</p></body></html>";
    return page;
}

class BrowserWindowTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    CBrowserWindow browser;

    void SetUp() override { ASSERT_TRUE(browser.Create(GetModuleHandleW(nullptr), SW_HIDE)); }
    HWND Page() const { return FindWindowExW(browser.GetHwnd(), nullptr, CBrowserWindow::kPageClass, nullptr); }
    HWND Display() const { return FindWindowExW(Page(), nullptr, L"DISPLAYCLASS", nullptr); }
    int Top() const { return GetScrollPos(Display(), SB_VERT); }
    std::wstring Caption() const {
        wchar_t text[256] = {};
        GetWindowTextW(browser.GetHwnd(), text, 256);
        return text;
    }
};

} // namespace

TEST_F(BrowserWindowTest, FrameHoldsThePageAreaWithTheDisplay) {
    wchar_t className[64] = {};
    GetClassNameW(browser.GetHwnd(), className, 64);
    EXPECT_STREQ(className, L"IExplore");
    ASSERT_NE(Page(), nullptr);
    ASSERT_NE(Display(), nullptr);
    RECT frame, display;
    GetClientRect(browser.GetHwnd(), &frame);
    GetClientRect(Page(), &display);
    EXPECT_EQ(display.right, frame.right);
    EXPECT_EQ(display.bottom, frame.bottom);
}

TEST_F(BrowserWindowTest, PageIsShownAtItsAnchorAndAtTheTopWithout) {
    std::wstring path = folder.File(L"long page.htm"); // a space in the path, unquoted in the URL
    testsupport::WriteFileBytes(path, LongPage());
    ASSERT_TRUE(browser.LoadPage(L"file:" + path + L"#end"));
    EXPECT_EQ(Caption(), L"Long страница");
    int atAnchor = Top();
    EXPECT_GT(atAnchor, 0);
    ASSERT_TRUE(browser.LoadPage(L"file:" + path));
    EXPECT_EQ(Top(), 0);
    // An anchor the page lacks leaves the page at its top.
    ASSERT_TRUE(browser.LoadPage(L"file:" + path + L"#nowhere"));
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(browser.GetUrl(), L"file:" + path + L"#nowhere");
}

TEST_F(BrowserWindowTest, PagesThatCannotBeReadShowTheNotFoundPage) {
    EXPECT_FALSE(browser.LoadPage(L"file:" + folder.File(L"missing.htm")));
    EXPECT_FALSE(browser.LoadPage(L"http://example.org/"));
    EXPECT_FALSE(browser.LoadPage(L""));
    // Bytes that are no HTML at all still make a page.
    testsupport::WriteFileBytes(folder.File(L"binary.htm"), std::string("\0\xFF<\x01<<>&#", 10));
    EXPECT_TRUE(browser.LoadPage(L"file:" + folder.File(L"binary.htm")));
    EXPECT_TRUE(IsWindow(Display()));
}
