// Plain windows of our own classes: the object a window is made for sees its messages from the first
// to the last, a factory's class gives every window made by name an object of its own, and nothing
// reaches an object after its window is gone.
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr wchar_t kBoundClass[] = L"OvrinWindowTestBound";
constexpr wchar_t kFactoryClass[] = L"OvrinWindowTestFactory";
constexpr UINT kAsk = WM_APP + 7;

class CRecordingWindow : public CWindow {
public:
    std::vector<UINT> messages;
    bool lastSeen = false;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        messages.push_back(message);
        if (message == kAsk) {
            result = static_cast<LRESULT>(wParam) * 2;
            return true;
        }
        return false;
    }
    void OnNcDestroy() override { lastSeen = true; }
};

// Objects a factory made, and how many of them deleted themselves.
int g_made = 0;
int g_deleted = 0;

class CSelfOwnedWindow : public CWindow {
public:
    static CWindow* Make() {
        ++g_made;
        return new CSelfOwnedWindow;
    }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != kAsk)
            return false;
        result = 41;
        return true;
    }
    void OnNcDestroy() override {
        ++g_deleted;
        delete this;
    }
};

WNDCLASSEXW ClassNamed(const wchar_t* name) {
    WNDCLASSEXW windowClass = {};
    windowClass.lpszClassName = name;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return windowClass;
}

} // namespace

TEST(WindowTest, TheObjectSeesItsWindowsMessagesFromFirstToLastAndAnswersThem) {
    ASSERT_TRUE(CWindow::RegisterWindowClass(ClassNamed(kBoundClass)));
    ASSERT_TRUE(CWindow::RegisterWindowClass(ClassNamed(kBoundClass))) << "a second registration is harmless";

    CRecordingWindow window;
    ASSERT_TRUE(window.Create(kBoundClass, L"bound", WS_OVERLAPPED, 0, 0, 0, 100, 80, nullptr));
    HWND hwnd = window.GetHwnd();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(window.Create(kBoundClass, L"again", WS_OVERLAPPED, 0, 0, 0, 10, 10, nullptr))
        << "one window per object";
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_NCCREATE)) << "the object is there from the first message";
    EXPECT_EQ(CWindow::FromHandle(hwnd), &window);

    EXPECT_EQ(SendMessageW(hwnd, kAsk, 21, 0), 42) << "a handled message answers with the object's result";
    wchar_t title[16] = {};
    GetWindowTextW(hwnd, title, 16);
    EXPECT_STREQ(title, L"bound") << "what the object leaves goes to the default procedure";

    window.DestroyWindow();
    EXPECT_TRUE(window.lastSeen);
    EXPECT_EQ(window.GetHwnd(), nullptr);
    EXPECT_EQ(window.messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CWindow::FromHandle(GetDesktopWindow()), nullptr) << "a window of another class has no object";
}

TEST(WindowTest, AWindowDestroyedByItsParentLeavesItsObjectWithoutAWindow) {
    ASSERT_TRUE(CWindow::RegisterWindowClass(ClassNamed(kBoundClass)));
    CRecordingWindow parent, child;
    ASSERT_TRUE(parent.Create(kBoundClass, L"parent", WS_OVERLAPPED, 0, 0, 0, 100, 80, nullptr));
    ASSERT_TRUE(child.Create(kBoundClass, L"child", WS_CHILD, 0, 0, 0, 10, 10, parent.GetHwnd()));
    ::DestroyWindow(parent.GetHwnd());
    EXPECT_TRUE(child.lastSeen);
    EXPECT_EQ(child.GetHwnd(), nullptr);
    std::size_t seen = child.messages.size();
    child.DestroyWindow(); // nothing left to destroy
    EXPECT_EQ(child.messages.size(), seen);
}

TEST(WindowTest, AFactorysClassGivesEveryWindowMadeByNameAnObjectThatGoesWithIt) {
    ASSERT_TRUE(CWindow::RegisterWindowClass(ClassNamed(kFactoryClass), &CSelfOwnedWindow::Make));
    g_made = g_deleted = 0;
    HWND first = CreateWindowExW(0, kFactoryClass, L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    HWND second = CreateWindowExW(0, kFactoryClass, L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(g_made, 2);
    ASSERT_NE(CWindow::FromHandle(first), nullptr);
    EXPECT_NE(CWindow::FromHandle(first), CWindow::FromHandle(second));
    EXPECT_EQ(SendMessageW(first, kAsk, 0, 0), 41);
    DestroyWindow(first);
    DestroyWindow(second);
    EXPECT_EQ(g_deleted, 2);
}

TEST(WindowTest, AClassOfTheSameNameWithAnotherProcedureIsReplaced) {
    constexpr wchar_t kName[] = L"OvrinWindowTestLeftBehind";
    WNDCLASSEXW foreign = ClassNamed(kName);
    foreign.cbSize = sizeof foreign;
    foreign.lpfnWndProc = DefWindowProcW;
    foreign.hInstance = GetModuleHandleW(nullptr);
    ASSERT_NE(RegisterClassExW(&foreign), 0);

    ASSERT_TRUE(CWindow::RegisterWindowClass(ClassNamed(kName)));
    CRecordingWindow window;
    ASSERT_TRUE(window.Create(kName, L"", WS_OVERLAPPED, 0, 0, 0, 10, 10, nullptr));
    EXPECT_EQ(SendMessageW(window.GetHwnd(), kAsk, 5, 0), 10);
}
