// The browser's window in this process: the frame and its page area, a page loaded from a "file:" URL
// and scrolled to its anchor, a page that cannot be read, the site and document a helper object is
// given, and links chosen and followed.
#include "BrowserWindow.h"
#include "PageObjects.h"
#include "PieDocument.h"
#include "platform/Handles.h"

#include <exdisp.h>

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>
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
    HWND status = GetDlgItem(browser.GetHwnd(), CBrowserWindow::kStatusId);
    ASSERT_NE(status, nullptr);
    RECT frame, display, strip;
    GetClientRect(browser.GetHwnd(), &frame);
    GetClientRect(Page(), &display);
    GetClientRect(status, &strip);
    EXPECT_EQ(display.right, frame.right);
    EXPECT_GT(strip.bottom, 0);
    EXPECT_EQ(display.bottom + strip.bottom, frame.bottom) << "the status strip below the page area";
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

// What a helper object does through its site: the document's item 0 gives the whole mark-up, write
// with an array of one text replaces the shown page (title included), the address stays.
TEST_F(BrowserWindowTest, SiteAndDocumentReadAndReplaceTheShownPage) {
    std::wstring path = folder.File(L"page.html");
    testsupport::WriteFileBytes(path, "<html><head><title>One</title></head><body><p>one</p></body></html>");
    ASSERT_TRUE(browser.LoadPage(L"file:" + path));
    auto site = CComPtr<IUnknown>::Adopt(browser::CreateWebBrowserSite(Page()));
    CComPtr<IWebBrowser2> web;
    ASSERT_EQ(site->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(web.Put())), S_OK);
    BSTR url = nullptr;
    ASSERT_EQ(web->get_LocationURL(&url), S_OK);
    EXPECT_EQ(std::wstring(url, SysStringLen(url)), L"file:" + path);
    SysFreeString(url);
    EXPECT_EQ(web->Navigate(nullptr, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);

    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(web->get_Document(dispatch.Put()), S_OK);
    CComPtr<IPIEHTMLDocument2> document;
    ASSERT_EQ(dispatch->QueryInterface(IID_IPIEHTMLDocument2, reinterpret_cast<void**>(document.Put())), S_OK);
    CComPtr<IPIEHTMLElementCollection> all;
    ASSERT_EQ(document->get_all(all.Put()), S_OK);
    VARIANT zero;
    VariantInit(&zero);
    zero.vt = VT_I4;
    zero.lVal = 0;
    CComPtr<IDispatch> item;
    ASSERT_EQ(all->item(zero, zero, item.Put()), S_OK);
    CComPtr<IPIEHTMLElement> root;
    ASSERT_EQ(item->QueryInterface(IID_IPIEHTMLElement, reinterpret_cast<void**>(root.Put())), S_OK);
    BSTR html = nullptr;
    ASSERT_EQ(root->get_outerHTML(&html), S_OK);
    EXPECT_EQ(std::wstring(html, SysStringLen(html)), browser.GetMarkup());
    EXPECT_NE(browser.GetMarkup().find(L"<p>one</p>"), std::wstring::npos);
    SysFreeString(html);
    VARIANT one = zero;
    one.lVal = 1;
    EXPECT_EQ(all->item(one, one, item.Put()), E_INVALIDARG);

    SAFEARRAY* texts = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"<title>Два</title><p>два</p>");
    LONG index = 0;
    ASSERT_EQ(SafeArrayPutElement(texts, &index, &text), S_OK);
    VariantClear(&text);
    ASSERT_EQ(document->write(texts), S_OK);
    SafeArrayDestroy(texts);
    EXPECT_EQ(browser.GetMarkup(), L"<title>Два</title><p>два</p>");
    EXPECT_EQ(Caption(), L"Два");
    EXPECT_EQ(testsupport::ControlText(Page()), browser.GetMarkup()) << "the page area's text is the mark-up";
    EXPECT_EQ(browser.GetUrl(), L"file:" + path);
    EXPECT_EQ(document->write(nullptr), E_INVALIDARG);
}

// Links are chosen in page order and followed against the page's base element, which wins over the
// address the page came from.
TEST_F(BrowserWindowTest, ChosenLinkFollowedThroughTheBaseElement) {
    testsupport::WriteFileBytes(folder.File(L"next.html"), "<title>Next</title><a href=\"start.html\">back</a>");
    testsupport::WriteFileBytes(folder.File(L"start.html"), "<title>Start</title><p>no links</p>");
    std::wstring elsewhere = folder.File(L"elsewhere\\index.html");
    EXPECT_FALSE(browser.LoadPage(L"file:" + elsewhere)) << "the address names another folder";
    std::wstring base = L"file:" + folder.File(L"index.html");
    browser.ShowMarkup(L"<base href=\"" + base + L"\"><a href=\"next.html\">next</a><a href=\"#x\">x</a>");
    EXPECT_FALSE(browser.FollowChosenLink()) << "no link chosen yet";
    ASSERT_TRUE(browser.ChooseLink(false));
    EXPECT_EQ(browser.ChosenLinkUrl(), L"file:" + folder.File(L"next.html"));
    EXPECT_EQ(testsupport::ControlText(GetDlgItem(browser.GetHwnd(), CBrowserWindow::kStatusId)),
              browser.ChosenLinkUrl());
    ASSERT_TRUE(browser.ChooseLink(false));
    ASSERT_TRUE(browser.ChooseLink(true));
    ASSERT_TRUE(browser.FollowChosenLink());
    EXPECT_EQ(Caption(), L"Next");
    // Enter and Tab reach the display as keys.
    SendMessageW(Display(), WM_KEYDOWN, VK_TAB, 0);
    SendMessageW(Display(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Caption(), L"Start");
    EXPECT_FALSE(browser.ChooseLink(false)) << "a page without links";
}
