// The panel's parts that need no other program: the layout formula and the selection moves, the command
// line, the shape cut from a bitmap, a child window on its own thread, and the launcher's start.
#include "BitmapDialog.h"
#include "ChildWindow.h"
#include "Launcher.h"
#include "MyCommandLineInfo.h"
#include "PanelLayout.h"
#include "PanelUnitTestResources.h"
#include "SimpleLocker.h"
#include "platform/CommandLine.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using panel::EnabledButtons;

} // namespace

TEST(PanelLayoutTest, ButtonLefts_FollowTheGapFormula) {
    // Five buttons 36 wide on a 240 pixel panel: gap (240 - 180) / 5 = 12, step 12 + 36 - 1 = 47.
    EXPECT_EQ(panel::ButtonLefts(5, 36, 240), (std::vector<int>{12, 59, 106, 153, 200}));
    // Four: gap (240 - 144) / 4 = 24, step 59.
    EXPECT_EQ(panel::ButtonLefts(4, 36, 240), (std::vector<int>{24, 83, 142, 201}));
    // Integer division: (100 - 3 * 30) / 3 = 3.
    EXPECT_EQ(panel::ButtonLefts(3, 30, 100), (std::vector<int>{3, 35, 67}));
    EXPECT_TRUE(panel::ButtonLefts(0, 36, 240).empty());
}

TEST(PanelLayoutTest, LeftAndRight_WrapOverEnabledButtons) {
    EnabledButtons all = {true, true, true, true, true};
    EXPECT_EQ(panel::NextEnabledButton(all, 0, -1), 4);
    EXPECT_EQ(panel::NextEnabledButton(all, 4, 1), 0);
    EXPECT_EQ(panel::NextEnabledButton(all, 2, 1), 3);
    EnabledButtons withoutSelect = {false, true, true, true, true};
    EXPECT_EQ(panel::NextEnabledButton(withoutSelect, 1, -1), 4);
    EXPECT_EQ(panel::NextEnabledButton(withoutSelect, 4, 1), 1);
    EnabledButtons gaps = {true, false, true, false, false};
    EXPECT_EQ(panel::NextEnabledButton(gaps, 0, 1), 2);
    EXPECT_EQ(panel::NextEnabledButton(gaps, 2, 1), 0);
    EXPECT_EQ(panel::NextEnabledButton(gaps, 0, -1), 2);
    EnabledButtons one = {false, false, true, false, false};
    EXPECT_EQ(panel::NextEnabledButton(one, 2, 1), 2);
}

TEST(PanelLayoutTest, SelectableButton_OutOfRangeIsOne_DisabledPassesOn) {
    EnabledButtons all = {true, true, true, true, true};
    EXPECT_EQ(panel::SelectableButton(all, 7), 1);
    EXPECT_EQ(panel::SelectableButton(all, -1), 1);
    EXPECT_EQ(panel::SelectableButton(all, 3), 3);
    EnabledButtons withoutSelect = {false, true, true, true, true};
    EXPECT_EQ(panel::SelectableButton(withoutSelect, 0), 1);
    EnabledButtons lastTwoOff = {true, true, true, false, false};
    EXPECT_EQ(panel::SelectableButton(lastTwoOff, 3), 0);
    EXPECT_EQ(panel::SelectableButton(EnabledButtons{}, 2), -1);
}

TEST(CommandLineTest, OptionsFlag_InAnyCaseWithSlashOrHyphen_OthersIgnored) {
    auto parse = [](const wchar_t* line) {
        CMyCommandLineInfo info;
        platform::ParseCommandLine(info, line);
        return info.m_options;
    };
    EXPECT_TRUE(parse(L"OvrinToolbar.exe /options"));
    EXPECT_TRUE(parse(L"OvrinToolbar.exe -OPTIONS"));
    EXPECT_TRUE(parse(L"\"C:\\Program Files\\OvrinToolbar.exe\" word /Options"));
    EXPECT_FALSE(parse(L"OvrinToolbar.exe"));
    EXPECT_FALSE(parse(L"OvrinToolbar.exe options"));
    EXPECT_FALSE(parse(L"OvrinToolbar.exe /options1"));
    EXPECT_FALSE(parse(L"OvrinToolbar.exe /"));
}

TEST(SimpleLockerTest, ClearsTheFlagOnEveryWayOut) {
    int guard = 1;
    {
        CSimpleLocker locker(&guard);
        EXPECT_EQ(guard, 1);
    }
    EXPECT_EQ(guard, 0);
    guard = 1;
    try {
        CSimpleLocker locker(&guard);
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(guard, 0);
}

// A 6 by 3 bitmap: magenta corners and a magenta hole in the middle of the second row.
TEST(BitmapDialogTest, RegionFromBitmap_LeavesOutTheMagentaPixels) {
    const COLORREF m = CBitmapDialog::kTransparentColour, w = RGB(255, 255, 255), b = RGB(0, 0, 128);
    const COLORREF pixels[3][6] = {{m, w, w, w, w, m}, {b, b, m, m, b, b}, {m, w, w, w, w, m}};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 6, 3);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixel(dc, x, y, pixels[y][x]);
    SelectObject(dc, previous);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    HRGN region = CBitmapDialog::RegionFromBitmap(bitmap, m);
    ASSERT_NE(region, nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PtInRegion(region, x, y) != FALSE, pixels[y][x] != m) << "pixel " << x << "," << y;
    EXPECT_FALSE(PtInRegion(region, 6, 1));
    DeleteObject(region);
    DeleteObject(bitmap);
    EXPECT_EQ(CBitmapDialog::RegionFromBitmap(nullptr, m), nullptr);
}

namespace {

class CTrivialChild : public CToolbarChildDlg {
public:
    CTrivialChild() : CToolbarChildDlg(IDD_TRIVIAL_CHILD) {}
    DWORD threadId = 0;

protected:
    BOOL OnInitDialog() override {
        threadId = GetCurrentThreadId();
        return TRUE;
    }
};

} // namespace

// The child runs its modal loop on a thread of its own while this thread stays free; End closes it
// with result 0, and a user's OK closes it with IDOK.
TEST(ChildWindowTest, RunsOnItsOwnThread_EndClosesItWithResultZero) {
    CChildWindow child;
    auto dialog = std::make_unique<CTrivialChild>();
    CTrivialChild* trivial = dialog.get();
    ASSERT_TRUE(child.Open(std::move(dialog)));
    EXPECT_FALSE(child.Open(std::make_unique<CTrivialChild>())) << "one child at a time";
    HWND window = child.WaitForWindow(10000);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(trivial->threadId, GetCurrentThreadId());
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), trivial->threadId);
    // This thread answers while the child's loop runs.
    EXPECT_TRUE(IsWindowVisible(window));
    child.End();
    EXPECT_FALSE(child.IsOpen());
    EXPECT_EQ(child.GetResult(), 0);
    EXPECT_FALSE(IsWindow(window));

    ASSERT_TRUE(child.Open(std::make_unique<CTrivialChild>()));
    window = child.WaitForWindow(10000);
    ASSERT_NE(window, nullptr);
    // The child's thread, held before the window can go with it.
    CHandle thread(OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(window, nullptr)));
    ASSERT_TRUE(thread);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    DWORD ended = WaitForSingleObject(thread.Get(), 10000);
    ASSERT_EQ(ended, WAIT_OBJECT_0);
    child.End();
    EXPECT_EQ(child.GetResult(), IDOK);
    child.End(); // harmless when none is open
}

TEST(ChildWindowTest, ADialogThatCannotBeMade_EndsItsThread) {
    CChildWindow child;
    ASSERT_TRUE(child.Open(std::make_unique<CToolbarChildDlg>(9999u)));
    EXPECT_EQ(child.WaitForWindow(5000), nullptr);
    child.End();
    EXPECT_EQ(child.GetResult(), -1);
}

TEST(LauncherTest, ParametersAndAMissingLauncher) {
    EXPECT_EQ(launcher::LauncherParameters(L"C:\\OVRIN\\OvrinToolbar.exe", 1),
              L"\"C:\\OVRIN\\OvrinToolbar.exe\" /options1");
    EXPECT_EQ(launcher::LauncherParameters(L"C:\\OVRIN\\OvrinToolbar.exe", 0), L"\"C:\\OVRIN\\OvrinToolbar.exe\"");
    std::wstring path = launcher::LauncherPath();
    EXPECT_GE(path.size(), 14u);
    EXPECT_EQ(path.substr(path.size() - 13), L"\\Ovloader.exe");
    EXPECT_FALSE(launcher::StartLauncher(L"C:\\no such folder\\Ovloader.exe", L"\"x\" /options1"));
}
