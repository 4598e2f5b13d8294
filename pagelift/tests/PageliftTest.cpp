// The browser helper in a test process: helper objects made through the server's class object, each
// given a stand-in browser as its site, woken through the named event, and a stand-in toolbar as a
// real process of its own.
#include "Pagelift.h"
#include "FakeDocument.h"
#include "PageExchange.h"
#include "base/Path.h"
#include "pagetrans/BrowserPage.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>
#include <testsupport/PageTest.h>
#include <testsupport/TempFolder.h>

#include <ocidl.h>

#include <atomic>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using testsupport::WaitUntil;

namespace {

std::wstring TestFolder() {
    return ovrin::GetProgramFolder();
}

// The server DLL, loaded once for the whole run.
HMODULE Server() {
    static HMODULE module = LoadLibraryW((TestFolder() + L"..\\Pagelift.dll").c_str());
    return module;
}

CComPtr<IObjectWithSite> CreateHelper() {
    CComPtr<IObjectWithSite> helper;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(Server(), "DllGetClassObject")));
    if (getClassObject == nullptr)
        return helper;
    CComPtr<IClassFactory> factory;
    if (SUCCEEDED(getClassObject(CLSID_IEHlprObj, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()))))
        factory->CreateInstance(nullptr, IID_IObjectWithSite, reinterpret_cast<void**>(helper.Put()));
    return helper;
}

// A stand-in browser's site showing html at url (a reference of the test's own), and what was done to
// its page.
struct BrowserSite {
    std::shared_ptr<FakePage> page = std::make_shared<FakePage>();
    CComPtr<IUnknown> site;

    BrowserSite(const std::wstring& html, const wchar_t* url) {
        page->html = html;
        auto document = CComPtr<IPIEHTMLDocument2>::Adopt(CreateFakeDocument(page));
        site = CComPtr<IUnknown>::Adopt(CreateFakeBrowser(document.Get(), url));
    }
    std::vector<std::wstring> Writes() {
        std::lock_guard<std::mutex> lock(page->lock);
        return page->writes;
    }
    int Reads() {
        std::lock_guard<std::mutex> lock(page->lock);
        return page->reads;
    }
    int ReadsBegun() {
        std::lock_guard<std::mutex> lock(page->lock);
        return page->readsBegun;
    }
    // The document objects alive: 0 once the site is let go by everyone.
    int Documents() {
        std::lock_guard<std::mutex> lock(page->lock);
        return page->documents;
    }
    void HoldReads(bool hold) {
        {
            std::lock_guard<std::mutex> lock(page->lock);
            page->holdReads = hold;
        }
        page->readsReleased.notify_all();
    }
};

// One helper with a stand-in browser showing html at url; the helper holds the only reference to
// the site.
struct Browser : BrowserSite {
    CComPtr<IObjectWithSite> helper;

    Browser(const std::wstring& html, const wchar_t* url) : BrowserSite(html, url) {
        helper = CreateHelper();
        if (helper)
            helper->SetSite(site.Get());
        site.Reset();
    }
    // Releasing the helper stops its worker, after the page in progress.
    void Close() { helper.Reset(); }
};

// A stand-in toolbar under the program name given, logging the exchange messages it receives.
class FakeToolbar {
public:
    FakeToolbar(const wchar_t* program, const wchar_t* mode = L"") {
        m_log = m_folder.File(L"toolbar.log");
        std::wstring parameters = L"\"" + m_log + L"\"" + (*mode ? std::wstring(L" ") + mode : L"");
        if (m_process.Start(TestFolder() + L"programs\\" + program, parameters))
            window = testsupport::WaitUntil([&] { return FindOwnWindow() != nullptr; }) ? FindOwnWindow() : nullptr;
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::istringstream in(testsupport::ReadFileBytes(m_log));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool LogEndsWith(const std::string& last) const {
        std::vector<std::string> lines = Log();
        return !lines.empty() && lines.back() == last;
    }
    // Lets a toolbar started with "hold" go on with the exchange it holds.
    void Release() const { testsupport::WriteFileBytes(m_log + L".release", "go"); }
    // Ends the toolbar's process (a send it never answers then fails).
    void End() { m_process.End(); }
    HWND window = nullptr;

private:
    testsupport::TempFolder m_folder;
    std::wstring m_log;
    testsupport::CProgramProcess m_process;

    HWND FindOwnWindow() const {
        for (HWND found = FindWindowW(pagelift::kToolbarWindowClass, nullptr); found != nullptr;
             found = FindWindowExW(nullptr, found, pagelift::kToolbarWindowClass, nullptr)) {
            if (testsupport::WindowProcess(found) == m_process.Id())
                return found;
        }
        return nullptr;
    }
};

// A message box of this process showing text, without caption; null when there is none.
HWND FindFailureBox(const std::wstring& text) {
    HWND box = testsupport::FindDialogShowing(GetCurrentProcessId(), 0xFFFF, text);
    return box != nullptr && GetWindowTextLengthW(box) == 0 ? box : nullptr;
}

constexpr wchar_t kPage[] = L"<html><body><p>hello world</p>\r\n<a href=\"next.html\">next</a></body></html>";
constexpr wchar_t kTranslated[] = L"<html><body><p> HELLO WORLD</p><a href=\"next.html\"> NEXT</a></body></html>";

class Pagelift : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Server(), nullptr);
        // No toolbar or stand-in left by an earlier test may answer.
        ASSERT_EQ(FindWindowW(pagelift::kToolbarWindowClass, nullptr), nullptr);
        m_filesBefore = testsupport::ExchangeFiles();
    }
    void ExpectNoExchangeFileLeft() { EXPECT_EQ(testsupport::ExchangeFiles(), m_filesBefore); }
    bool NoExchangeFileLeft() { return testsupport::ExchangeFiles() == m_filesBefore; }

private:
    std::set<std::wstring> m_filesBefore;
};

} // namespace

TEST_F(Pagelift, PageTranslated_WrittenBackHeadedByTheBaseElement) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    ASSERT_NE(toolbar.window, nullptr);
    Browser browser(kPage, L"file:///C:/pages/site/index.html");
    ASSERT_TRUE(browser.helper);
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    ASSERT_EQ(browser.Writes(), std::vector<std::wstring>{
                                    std::wstring(L"<base href=\"file:///C:/pages/site/index.html\">") + kTranslated});
    std::vector<std::string> log = toolbar.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "0x405");
    EXPECT_EQ(log[1].substr(0, 9), "copydata ");
    EXPECT_EQ(log[2], "0x406");
    EXPECT_EQ(log[1].substr(log[1].size() - 5), ".html");
    browser.Close();
    ExpectNoExchangeFileLeft();
}

TEST_F(Pagelift, AddressWithQuotationMark_DoesNotBreakTheBaseElement) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    Browser browser(kPage, L"file:///C:/a\"b/index.html");
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    ASSERT_EQ(browser.Writes(),
              std::vector<std::wstring>{std::wstring(L"<base href=\"file:///C:/a&quot;b/index.html\">") + kTranslated});
}

TEST_F(Pagelift, ToolbarAbsent_PageUnchangedAndNoFile) {
    Browser browser(kPage, L"file:///C:/index.html");
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return browser.Reads() == 1; }));
    browser.Close(); // waits for the worker to finish the page
    EXPECT_TRUE(browser.Writes().empty());
    ExpectNoExchangeFileLeft();
}

TEST_F(Pagelift, BlankPage_OnlyTheTwoWaitMessages) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    Browser browser(L" \r\n\t ", L"file:///C:/blank.html");
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    EXPECT_EQ(toolbar.Log(), (std::vector<std::string>{"0x405", "0x406"}));
    browser.Close();
    EXPECT_TRUE(browser.Writes().empty());
    ExpectNoExchangeFileLeft();
}

TEST_F(Pagelift, EmptyAnswer_SecondAttemptWithTheSameFileThenDeleted) {
    FakeToolbar toolbar(L"OvrinToolbar.exe", L"empty");
    Browser browser(kPage, L"file:///C:/index.html");
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    std::vector<std::string> log = toolbar.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1].substr(0, 9), "copydata ");
    EXPECT_EQ(log[1], log[2]);
    browser.Close();
    EXPECT_TRUE(browser.Writes().empty());
    EXPECT_EQ(GetFileAttributesA(log[1].substr(9).c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectNoExchangeFileLeft();
}

TEST_F(Pagelift, WindowOfTheClassOwnedByAnotherProgram_IsPassedOver) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    FakeToolbar impostor(L"OtherProgram.exe");
    ASSERT_NE(impostor.window, nullptr);
    // The impostor, made last, is the first window of the class in Z-order.
    ASSERT_EQ(FindWindowW(pagelift::kToolbarWindowClass, nullptr), impostor.window);
    EXPECT_EQ(pagelift::FindToolbarWindow(), toolbar.window);
    Browser browser(kPage, L"file:///C:/index.html");
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    EXPECT_EQ(browser.Writes().size(), 1u);
    EXPECT_TRUE(impostor.Log().empty());
}

TEST_F(Pagelift, TwoBrowsersWokenAtOnce_EachTranslatedThroughItsOwnFile) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    Browser first(L"<p>first</p>", L"file:///C:/one.html");
    Browser second(L"<p>second</p>", L"file:///C:/two.html");
    // The event wakes the helpers waiting for it, and the first one awake resets it: a worker that has
    // said it started but is not yet waiting misses it. That gap is a few instructions; on a loaded
    // machine the second worker was once not waiting yet (seen in a full test run). A margin far
    // above the gap lets both reach their wait.
    Sleep(500);
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return first.Writes().size() == 1 && second.Writes().size() == 1; }))
        << testing::PrintToString(toolbar.Log());
    EXPECT_EQ(first.Writes()[0], L"<base href=\"file:///C:/one.html\"><p> FIRST</p>");
    EXPECT_EQ(second.Writes()[0], L"<base href=\"file:///C:/two.html\"><p> SECOND</p>");
    first.Close();
    second.Close();
    std::vector<std::string> copies;
    for (const std::string& line : toolbar.Log()) {
        if (line.rfind("copydata ", 0) == 0)
            copies.push_back(line);
    }
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_NE(copies[0], copies[1]);
    ExpectNoExchangeFileLeft();
}

// Each failure to read the document shows its message box (no caption, the text naming the step) and
// abandons the page once the box is answered: nothing is handed to the toolbar, nothing written.
TEST_F(Pagelift, DocumentThatCannotBeRead_ShowsTheStepsMessageBoxAndAbandonsThePage) {
    const std::pair<FakePage::Failure, std::wstring> failures[] = {
        {FakePage::Failure::NoDocumentInterface, L"'QueryInterface' - IPIEHTMLDocument2"},
        {FakePage::Failure::NoCollection, L"pColl = NULL"},
        {FakePage::Failure::NoRootElement, L"pDisp = NULL"},
    };
    for (const auto& [failure, text] : failures) {
        SCOPED_TRACE(testing::PrintToString(text));
        FakeToolbar toolbar(L"OvrinToolbar.exe");
        Browser browser(kPage, L"file:///C:/index.html");
        browser.page->failure = failure;
        ASSERT_TRUE(ovrin::SignalPageTranslation());
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindFailureBox(text)) != nullptr; }));
        EXPECT_EQ(toolbar.Log(), std::vector<std::string>{"0x405"}) << "the page waits for the box";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
        EXPECT_EQ(toolbar.Log().size(), 2u);
        browser.Close();
        EXPECT_TRUE(browser.Writes().empty());
        EXPECT_EQ(browser.Reads(), 0);
    }
    ExpectNoExchangeFileLeft();
}

// The browser closing (a null site, then its release, as the browser stand-in closes a window) while
// the toolbar does not answer: the helper goes within a few seconds all the same, and the browser with
// it. The worker finishes the page without them once the toolbar answers or is gone, writing nothing
// and leaving no exchange file.
TEST_F(Pagelift, ToolbarNotAnswering_TheHelperStillGoesAtOnce_TheWorkerFinishesWithoutIt) {
    const std::pair<const wchar_t*, size_t> modes[] = {{L"hang-analysis", 1}, {L"hang-copydata", 2}, {L"hold", 2}};
    for (const auto& [mode, messagesBeforeTheHang] : modes) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(mode)));
        FakeToolbar toolbar(L"OvrinToolbar.exe", mode);
        Browser browser(kPage, L"file:///C:/index.html");
        ASSERT_TRUE(ovrin::SignalPageTranslation());
        ASSERT_TRUE(WaitUntil([&] { return toolbar.Log().size() == messagesBeforeTheHang; }));
        std::atomic<bool> closed{false};
        std::thread closing([&] {
            browser.helper->SetSite(nullptr);
            browser.Close();
            closed = true;
        });
        const bool closedInTime = WaitUntil([&] { return closed.load(); }, std::chrono::seconds(20));
        if (!closedInTime)
            toolbar.End(); // so that the test itself can end
        closing.join();
        EXPECT_TRUE(closedInTime) << "the helper waited for the toolbar";
        EXPECT_EQ(browser.Documents(), 0);
        if (std::wstring(mode) == L"hold") {
            toolbar.Release();
            EXPECT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
        } else {
            toolbar.End();
        }
        EXPECT_TRUE(WaitUntil([&] { return NoExchangeFileLeft(); }));
        EXPECT_TRUE(browser.Writes().empty());
    }
}

// A toolbar that stops answering holds the worker only for the limit of one send: the worker then goes
// on with the page, finds the toolbar window anew (a working one now comes first) and the page is
// translated.
TEST_F(Pagelift, ToolbarStopsAnswering_TheWorkerGivesUpTheSendAndGoesOn) {
    FakeToolbar hung(L"OvrinToolbar.exe", L"hang-analysis");
    Browser browser(kPage, L"file:///C:/pages/index.html");
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return hung.Log().size() == 1; }));
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    ASSERT_NE(toolbar.window, nullptr);
    ASSERT_EQ(pagelift::FindToolbarWindow(), toolbar.window);
    ASSERT_TRUE(WaitUntil([&] { return !browser.Writes().empty(); }, std::chrono::seconds(60)));
    EXPECT_EQ(browser.Writes(),
              std::vector<std::wstring>{std::wstring(L"<base href=\"file:///C:/pages/index.html\">") + kTranslated});
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    EXPECT_EQ(toolbar.Log().size(), 2u) << "its copy and the close";
    EXPECT_EQ(hung.Log(), std::vector<std::string>{"0x405"});
    browser.Close();
    ExpectNoExchangeFileLeft();
}

// A null site lets the browser go at once (a host tears its helpers down with SetSite(NULL) and then
// their release, and a helper that kept the browser would keep it alive). A page asked for afterwards
// reads and writes nothing and only opens and closes the wait window; a new site is then served.
TEST_F(Pagelift, NullSite_ReleasesTheBrowser_LaterPagesTouchNothingUntilANewSite) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    Browser browser(kPage, L"file:///C:/one.html");
    ASSERT_EQ(browser.Documents(), 1);
    ASSERT_EQ(browser.helper->SetSite(nullptr), S_OK);
    EXPECT_EQ(browser.Documents(), 0) << "the site and its document are released";
    CComPtr<IUnknown> held;
    EXPECT_EQ(browser.helper->GetSite(IID_IUnknown, reinterpret_cast<void**>(held.Put())), E_FAIL);
    EXPECT_FALSE(held);

    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    EXPECT_EQ(toolbar.Log(), (std::vector<std::string>{"0x405", "0x406"}));
    EXPECT_EQ(browser.Reads(), 0);
    EXPECT_TRUE(browser.Writes().empty());

    BrowserSite second(L"<p>second</p>", L"file:///C:/two.html");
    ASSERT_EQ(browser.helper->SetSite(second.site.Get()), S_OK);
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return toolbar.Log().size() == 5 && toolbar.LogEndsWith("0x406"); }));
    EXPECT_EQ(second.Writes(), std::vector<std::wstring>{L"<base href=\"file:///C:/two.html\"><p> SECOND</p>"});
    EXPECT_TRUE(browser.Writes().empty());
    browser.Close();
    EXPECT_EQ(second.Documents(), 1) << "the test's own reference is all that is left";
    ExpectNoExchangeFileLeft();
}

// The site changes while the page is with the toolbar: the old browser is released at once, not when
// the toolbar answers, and the translation is written neither into it nor into the new site's page.
TEST_F(Pagelift, SiteChangedWhileThePageIsWithTheToolbar_OldBrowserReleasedAndTheTranslationDropped) {
    for (bool toNewSite : {false, true}) {
        SCOPED_TRACE(toNewSite ? "a new site" : "a null site");
        FakeToolbar toolbar(L"OvrinToolbar.exe", L"hold");
        Browser browser(kPage, L"file:///C:/one.html");
        BrowserSite second(L"<p>second</p>", L"file:///C:/two.html");
        ASSERT_TRUE(ovrin::SignalPageTranslation());
        ASSERT_TRUE(WaitUntil([&] { return toolbar.Log().size() == 2; }));
        ASSERT_EQ(browser.helper->SetSite(toNewSite ? second.site.Get() : nullptr), S_OK);
        EXPECT_EQ(browser.Documents(), 0) << "released while the toolbar still holds the page";
        toolbar.Release();
        ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
        EXPECT_EQ(browser.Reads(), 1);
        EXPECT_TRUE(browser.Writes().empty());
        EXPECT_TRUE(second.Writes().empty());
        EXPECT_EQ(second.Reads(), 0);
        browser.Close();
    }
    ExpectNoExchangeFileLeft();
}

// A null site given while the worker is inside a call on the browser's document returns only once that
// call is over; from then on nothing of that browser is called, and its page is not handed on.
TEST_F(Pagelift, NullSiteDuringACallOnTheDocument_ReturnsWhenTheCallIsOver_NothingCalledAfter) {
    FakeToolbar toolbar(L"OvrinToolbar.exe");
    Browser browser(kPage, L"file:///C:/one.html");
    browser.HoldReads(true);
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return browser.ReadsBegun() == 1; }));
    std::atomic<bool> returned{false};
    std::thread letGo([&] {
        browser.helper->SetSite(nullptr);
        returned = true;
    });
    EXPECT_FALSE(WaitUntil([&] { return returned.load(); }, std::chrono::milliseconds(300)));
    browser.HoldReads(false);
    letGo.join();
    EXPECT_EQ(browser.Documents(), 0);
    ASSERT_TRUE(WaitUntil([&] { return toolbar.LogEndsWith("0x406"); }));
    EXPECT_EQ(toolbar.Log(), (std::vector<std::string>{"0x405", "0x406"}));
    EXPECT_TRUE(browser.Writes().empty());
    browser.Close();
    ExpectNoExchangeFileLeft();
}

TEST(PageliftServer, ClassObjectRefusesAggregation_TypeInfoFromTheModule_UnloadWhenNoneLive) {
    ASSERT_NE(Server(), nullptr);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(Server(), "DllGetClassObject")));
    auto canUnloadNow =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(Server(), "DllCanUnloadNow")));
    ASSERT_NE(canUnloadNow, nullptr);
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_IEHlprObj, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    EXPECT_EQ(getClassObject(IID_IIEHlprObj, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClassObject(CLSID_IEHlprObj, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);

    CComPtr<IUnknown> outer = CComPtr<IUnknown>::Adopt(CreateFakeBrowser(nullptr, L""));
    CComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(aggregated.Put())),
              CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(aggregated);

    CComPtr<IIEHlprObj> helper;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IIEHlprObj, reinterpret_cast<void**>(helper.Put())), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(helper->GetTypeInfo(0, 0, info.Put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_IIEHlprObj));
    info->ReleaseTypeAttr(attributes);
    CComPtr<ITypeLib> library;
    UINT index = 0;
    ASSERT_EQ(info->GetContainingTypeLib(library.Put(), &index), S_OK);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
    EXPECT_EQ(libraryAttributes->wMajorVerNum, 1);
    EXPECT_EQ(libraryAttributes->wMinorVerNum, 0);
    library->ReleaseTLibAttr(libraryAttributes);
    info.Reset();
    library.Reset();
    helper.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST(PageliftExchange, FileNames_KeepTheirFormAndNeverRepeatWithinAMillisecond) {
    std::minstd_rand generator(7);
    std::wstring name = pagelift::MakeExchangeFileName(L"C:\\Temp\\", generator);
    ASSERT_EQ(name.size(), std::wstring(L"C:\\Temp\\").size() + 13);
    EXPECT_EQ(name.find_first_not_of(L"abdYqzmxkcn123", 8), 16u);
    EXPECT_EQ(name.substr(16), L".html");
    EXPECT_EQ(pagelift::MakeExchangeFileName(L"C:\\Temp", generator).substr(0, 8), L"C:\\Temp\\");

    // Many names made at once (most within one millisecond, so from one seed) are all different.
    std::set<std::wstring> names;
    for (int i = 0; i < 40; ++i)
        names.insert(pagelift::ReserveExchangeFile());
    EXPECT_EQ(names.size(), 40u);
    EXPECT_EQ(names.count(L""), 0u);
    for (const std::wstring& path : names)
        DeleteFileW(path.c_str());
}

TEST(PageliftExchange, BaseElement_QuotationMarkWrittenAsReference) {
    EXPECT_EQ(pagelift::BaseElement(L"http://host/dir/"), L"<base href=\"http://host/dir/\">");
    EXPECT_EQ(pagelift::BaseElement(L"http://host/a\"b\"/"), L"<base href=\"http://host/a&quot;b&quot;/\">");
    EXPECT_EQ(pagelift::BaseElement(L""), L"<base href=\"\">");
}
