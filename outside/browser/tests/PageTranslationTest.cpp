// A page translated end to end with real processes: Pagelift.dll registered, the toolbar program
// running over the engine stand-in, the browser stand-in showing a page of a few hundred kilobytes;
// the page event set → the helper hands the page to the toolbar and writes the Russian translation
// back, headed by the base element, and a link of the translated page still opens its page. Also two
// browser windows at once, the toolbar absent and a blank page (page unchanged, no exchange file). Screenshots before
// and after go to out/.
#include "../../../toolbar/resource.h"
#include "base/Path.h"
#include "common/EngineClient.h"
#include "common/Protocol.h"
#include "enginetest/EngineForPrograms.h"
#include "enginetest/EngineLayout.h"
#include "pagetrans/BrowserPage.h"
#include "platform/Handles.h"
#include "platform/RegistryKey.h"

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>
#include <testsupport/PageTest.h>
#include <testsupport/Processes.h>
#include <testsupport/TempFolder.h>

#include <memory>
#include <set>
#include <string>

using namespace enginetest;
using testsupport::WaitUntil;

namespace {

constexpr wchar_t kHelperList[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
// A listed class that no server provides: the browser passes it over.
constexpr wchar_t kBrokenEntry[] = L"{0BAD0BAD-0000-4000-8000-000000000019}";

std::wstring Beside(const wchar_t* name) {
    return ovrin::GetProgramFolder() + name;
}

// Pagelift.dll beside the test registered through its own export (and unregistered at the end), with
// one broken entry in the browser's helper list.
class RegisteredHelper {
public:
    RegisteredHelper() {
        m_module.Reset(LoadLibraryW(Beside(L"Pagelift.dll").c_str()));
        m_registered = Call("DllRegisterServer") == S_OK;
        CRegistryKey().Open(HKEY_LOCAL_MACHINE, std::wstring(kHelperList) + L"\\" + kBrokenEntry, KEY_WRITE, true);
    }
    ~RegisteredHelper() {
        CRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, std::wstring(kHelperList) + L"\\" + kBrokenEntry);
        Call("DllUnregisterServer");
    }
    bool Registered() const { return m_registered; }

private:
    CModuleHandle m_module;
    bool m_registered = false;
    HRESULT Call(const char* name) {
        using Function = HRESULT(STDAPICALLTYPE*)();
        auto function = !m_module
                            ? nullptr
                            : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module.Get(), name)));
        return function == nullptr ? E_FAIL : function();
    }
};

// A layout with English to Russian where the toolbar program looks for it, that direction chosen.
class EngineForToolbar {
public:
    EngineForToolbar() {
        m_layout.WriteStandardCatalogue();
        m_layout.AddDirection(L"ER", EnglishRussian());
        m_installed = std::make_unique<EngineForPrograms>(m_layout);
        CEngineClient::SetDirectionSetting(0);
        CEngineClient::SetSubjectSetting(0);
    }
    bool Ready() const { return m_installed->Copied(); }

private:
    EngineLayout m_layout;
    std::unique_ptr<EngineForPrograms> m_installed;
};

// The toolbar program over the engine, started with "/options" so that its panel is made at once.
struct RunningToolbar {
    EngineForToolbar engine;
    testsupport::CProgramProcess process;
    bool Start() {
        // A toolbar an earlier test ended can keep its window a moment after its process is gone, and a
        // new toolbar that finds it ends at once.
        bool noToolbar =
            WaitUntil([] { return FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr) == nullptr; });
        return noToolbar && engine.Ready() && process.Start(Beside(L"OvrinToolbar.exe"), L"/options") &&
               testsupport::WaitForWindow(ovrin::protocol::kToolbarWindowClass, nullptr, process.Id()) != nullptr;
    }
};

// The page: a link to the next page first, then paragraphs of words the engine knows, some 300 KB.
std::string LargePage() {
    std::string page = "<html><head><title>the big city</title></head><body>\r\n"
                       "<p><a href=\"next.html\">the dog</a></p>\r\n";
    for (int i = 0; page.size() < 300000; ++i)
        page += "<p>The big cat " + std::to_string(i) + " and the dog run to the house.</p>\r\n";
    return page + "</body></html>\r\n";
}

// The browser stand-in as its own process, showing one page.
class BrowserProgram {
public:
    bool Start(const std::wstring& page) {
        if (!m_process.Start(Beside(L"iexplore.exe"), L"\"" + page + L"\""))
            return false;
        frame = testsupport::WaitForWindow(L"IExplore", nullptr, m_process.Id());
        area = frame != nullptr ? FindWindowExW(frame, nullptr, L"PIEHTML", nullptr) : nullptr;
        return area != nullptr && WaitUntil([&] { return !Markup().empty(); });
    }
    std::wstring Markup() const { return testsupport::ControlText(area); }
    std::wstring Title() const { return testsupport::ControlText(frame); }
    // Closing the window lets the helpers go; the program then ends by itself with 0.
    bool CloseCleanly() {
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return m_process.WaitForExit(20000) && m_process.ExitCode() == 0;
    }
    HWND frame = nullptr;
    HWND area = nullptr;

private:
    testsupport::CProgramProcess m_process;
};

void Screenshot(const std::string& name) {
    EXPECT_TRUE(testsupport::ScreenshotIntoOut(name));
}

class PageTranslation : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EndProgramsWithWindowsOf(L"IExplore");
        testsupport::EndProgramsWithWindowsOf(ovrin::protocol::kToolbarWindowClass);
        ASSERT_TRUE(helper.Registered());
        page = folder.File(L"index.html");
        testsupport::WriteFileBytes(page, LargePage());
        testsupport::WriteFileBytes(folder.File(L"next.html"), "<html><title>Next page</title><p>next</p></html>");
        filesBefore = testsupport::ExchangeFiles();
    }
    // Sets the page event and waits until the browser's helper has woken (it resets the event); the
    // page then stays as it is, and once the browser is closed (which waits for the helper's page) no
    // exchange file is left.
    void ExpectPageGivenUp(BrowserProgram& browser) {
        const std::wstring original = browser.Markup();
        ASSERT_TRUE(ovrin::SignalPageTranslation());
        CHandle event(OpenEventW(SYNCHRONIZE, FALSE, ovrin::protocol::kPageTranslateEvent));
        ASSERT_TRUE(event);
        EXPECT_TRUE(WaitUntil([&] { return WaitForSingleObject(event.Get(), 0) == WAIT_TIMEOUT; }));
        event.Reset();
        EXPECT_EQ(browser.Markup(), original);
        EXPECT_TRUE(browser.CloseCleanly()) << "the worker's page is done before the helper goes";
        EXPECT_EQ(testsupport::ExchangeFiles(), filesBefore);
    }

    RegisteredHelper helper;
    testsupport::TempFolder folder;
    std::wstring page;
    std::set<std::wstring> filesBefore;
};

} // namespace

TEST_F(PageTranslation, PageEvent_PageShownInRussianWithItsLinksWorkingThroughTheBase) {
    RunningToolbar toolbar;
    ASSERT_TRUE(toolbar.Start());

    BrowserProgram browser;
    ASSERT_TRUE(browser.Start(page)); // a path, not a URL: the browser makes the "file:" URL
    const std::wstring original = browser.Markup();
    ASSERT_GT(original.size(), 300000u);
    EXPECT_EQ(browser.Title(), L"the big city");
    testsupport::Redrawn(browser.frame);
    Screenshot("page-before-translation.png");

    ASSERT_TRUE(ovrin::SignalPageTranslation()) << "the browser's helper waits on the event";
    ASSERT_TRUE(WaitUntil([&] { return browser.Markup().rfind(L"<base href=", 0) == 0; }, std::chrono::seconds(90)));
    const std::wstring translated = browser.Markup();
    EXPECT_EQ(translated.rfind(L"<base href=\"file:" + page + L"\">", 0), 0u) << translated.substr(0, 200);
    EXPECT_NE(translated.find(L"большой кошка"), std::wstring::npos);
    EXPECT_NE(translated.find(L"<a href=\"next.html\">"), std::wstring::npos) << "the mark-up stays";
    EXPECT_EQ(translated.find(L"The big cat"), std::wstring::npos) << "every paragraph translated";
    EXPECT_EQ(browser.Title(), L"этот большой город");
    EXPECT_TRUE(WaitUntil([&] { return !testsupport::HasDialog(toolbar.process.Id()); })) << "the wait window closes";
    testsupport::Redrawn(browser.frame);
    Screenshot("page-after-translation.png");

    // Tab chooses the first link of the translated page, Enter opens it through the base element.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(browser.frame));
    ASSERT_TRUE(testsupport::TypeKeys({"Tab", "Return"}));
    ASSERT_TRUE(WaitUntil([&] { return browser.Title() == L"Next page"; }));
    EXPECT_EQ(testsupport::ExchangeFiles(), filesBefore) << "the exchange file is gone";
    EXPECT_TRUE(browser.CloseCleanly());
}

// Every helper waits on the one event: two browser windows are translated at once, each its own page
// through its own exchange file.
TEST_F(PageTranslation, TwoBrowserWindows_EachTranslatesItsOwnPage) {
    RunningToolbar toolbar;
    ASSERT_TRUE(toolbar.Start());
    testsupport::WriteFileBytes(folder.File(L"cat.html"), "<p>the cat</p>");
    testsupport::WriteFileBytes(folder.File(L"dog.html"), "<p>the dog</p>");
    BrowserProgram cat, dog;
    ASSERT_TRUE(cat.Start(L"file:" + folder.File(L"cat.html")));
    ASSERT_TRUE(dog.Start(L"file:" + folder.File(L"dog.html")));
    ASSERT_TRUE(ovrin::SignalPageTranslation());
    ASSERT_TRUE(WaitUntil([&] { return cat.Markup().rfind(L"<base", 0) == 0 && dog.Markup().rfind(L"<base", 0) == 0; },
                          std::chrono::seconds(30)));
    EXPECT_NE(cat.Markup().find(L"кошка"), std::wstring::npos) << testing::PrintToString(cat.Markup());
    EXPECT_NE(dog.Markup().find(L"собака"), std::wstring::npos) << testing::PrintToString(dog.Markup());
    EXPECT_NE(cat.Markup().find(L"cat.html\">"), std::wstring::npos) << "each page's own address in its base";
    EXPECT_TRUE(WaitUntil([&] { return testsupport::ExchangeFiles() == filesBefore; }));
    EXPECT_TRUE(cat.CloseCleanly());
    EXPECT_TRUE(dog.CloseCleanly());
}

// The exchange as the browser's helper makes it, message by message, with the toolbar program: the
// analysis message opens the wait window with its text, the page file comes back translated, the last
// message closes the window.
TEST_F(PageTranslation, ExchangeMessages_TheWaitWindowNamesTheAnalysisThenTheFileIsTranslated) {
    RunningToolbar toolbar;
    ASSERT_TRUE(toolbar.Start());
    HWND panel = nullptr;
    for (HWND found = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr); found != nullptr && panel == nullptr;
         found = FindWindowExW(nullptr, found, ovrin::protocol::kToolbarWindowClass, nullptr)) {
        if (testsupport::WindowProcess(found) == toolbar.process.Id())
            panel = found;
    }
    ASSERT_NE(panel, nullptr);
    DWORD_PTR answer = 1;
    ASSERT_TRUE(SendMessageTimeoutW(panel, 0x405, 0, 0, SMTO_NORMAL, 15000, &answer));
    EXPECT_EQ(answer, 0u);
    HWND wait = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        return (wait = testsupport::FindDialogShowing(toolbar.process.Id(), IDC_WAIT_LABEL, L"Анализ HTML")) != nullptr;
    })) << "the wait window's label: "
        << testing::PrintToString(testsupport::ControlText(
               GetDlgItem(testsupport::FindProgramWindow(L"#32770", nullptr, toolbar.process.Id()), IDC_WAIT_LABEL)));
    if (wait != nullptr) {
        testsupport::Redrawn(wait);
        Screenshot("page-analysis-wait.png");
    }

    const std::wstring exchange = folder.File(L"exchange.html");
    const std::wstring html = L"<p>the cat</p>";
    testsupport::WriteFileBytes(exchange,
                                std::string("\xFF\xFE") + std::string(reinterpret_cast<const char*>(html.data()),
                                                                      html.size() * sizeof(wchar_t)));
    std::string ansiPath(exchange.begin(), exchange.end()); // the temporary folder's path is ASCII
    COPYDATASTRUCT copy = {0, static_cast<DWORD>(ansiPath.size() + 1), ansiPath.data()};
    ASSERT_TRUE(
        SendMessageTimeoutW(panel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 60000, &answer));
    EXPECT_EQ(answer, 1u);
    std::string bytes = testsupport::ReadFileBytes(exchange);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::wstring translated(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
    EXPECT_NE(translated.find(L"кошка"), std::wstring::npos) << testing::PrintToString(translated);
    ASSERT_TRUE(SendMessageTimeoutW(panel, 0x406, 0, 0, SMTO_NORMAL, 15000, &answer));
    EXPECT_TRUE(WaitUntil([&] { return !testsupport::HasDialog(toolbar.process.Id()); })) << "the wait window closes";
}

TEST_F(PageTranslation, ToolbarNotRunning_PageUnchangedAndNoFileLeft) {
    BrowserProgram browser;
    ASSERT_TRUE(browser.Start(L"file:" + page));
    ExpectPageGivenUp(browser);
}

// A page of white space only is not handed over: the toolbar only opens and closes its wait window.
TEST_F(PageTranslation, BlankPage_NothingHandedOverAndTheWaitWindowCloses) {
    RunningToolbar toolbar;
    ASSERT_TRUE(toolbar.Start());
    testsupport::WriteFileBytes(folder.File(L"blank.html"), " \r\n\t \r\n");
    BrowserProgram browser;
    ASSERT_TRUE(browser.Start(L"file:" + folder.File(L"blank.html")));
    ExpectPageGivenUp(browser);
    EXPECT_TRUE(WaitUntil([&] { return !testsupport::HasDialog(toolbar.process.Id()); }));
}
