// The toolbar's hold on the browser: the named event that wakes the browser helpers, and the test for
// the browser's window, on hidden windows of this process.
#include "pagetrans/BrowserPage.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

namespace {

// A hidden top-level window of className with child windows of the given classes, in that order.
class TestWindows {
public:
    TestWindows(const wchar_t* className, std::initializer_list<const wchar_t*> children) {
        Register(className);
        top = CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
        for (const wchar_t* child : children) {
            Register(child);
            CreateWindowExW(0, child, L"", WS_CHILD, 0, 0, 10, 10, top, nullptr, GetModuleHandleW(nullptr), nullptr);
        }
    }
    ~TestWindows() { DestroyWindow(top); }
    HWND top = nullptr;

private:
    static void Register(const wchar_t* className) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass); // fails harmlessly when already registered
    }
};

} // namespace

TEST(BrowserPage, SignalPageTranslation_SetsTheEventOnlyWhenAHelperMadeIt) {
    EXPECT_FALSE(ovrin::SignalPageTranslation());
    CHandle event(CreateEventW(nullptr, TRUE, FALSE, ovrin::kPageTranslateEvent));
    ASSERT_TRUE(event);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ovrin::SignalPageTranslation());
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(BrowserPage, IsBrowserWindow_NeedsTheClassAndAnHtmlChild) {
    TestWindows browser(L"IExplore", {L"OvrinTestBar", L"PIEHTML"});
    EXPECT_TRUE(ovrin::IsBrowserWindow(browser.top));
    TestWindows bare(L"IExplore", {L"OvrinTestBar"});
    EXPECT_FALSE(ovrin::IsBrowserWindow(bare.top));
    TestWindows other(L"OvrinNotBrowser", {L"PIEHTML"});
    EXPECT_FALSE(ovrin::IsBrowserWindow(other.top));
    EXPECT_FALSE(ovrin::IsBrowserWindow(nullptr));
}
