// The lookup window made inside the test process, with the program's own resources: what only the
// window's own process can read (the soft-key bar's menus).
#include "../resource.h"
#include "LexoryApp.h"
#include "LexoryDlg.h"
#include "platform/SoftKeyBar.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring MenuText(HMENU menu, UINT id) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND);
    return text;
}

} // namespace

// The bookmark item shows its count from the moment the bar is built, and again after every rebuild
// (no dictionary lies beside the test program, so the count is 0).
TEST(LookupWindowTest, BookmarkItemShowsItsCountWheneverTheBarIsBuilt) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(CLexoryApp::RegisterWindowClass());
    CLexoryDlg window(L"");
    ASSERT_TRUE(window.Create(nullptr));
    CSoftKeyBar* bar = CSoftKeyBar::FromOwner(window.GetHwnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(MenuText(bar->GetSubMenu(1), ID_BOOKMARKS), L"Закладки (0)");
    window.CreateMenuBar();
    bar = CSoftKeyBar::FromOwner(window.GetHwnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(MenuText(bar->GetSubMenu(1), ID_BOOKMARKS), L"Закладки (0)");
}

// The window shows the program's icon at the system's big and small sizes.
TEST(LookupWindowTest, ProgramIconAtBothSizes) {
    CLexoryApp::RegisterWindowClass();
    CLexoryDlg window(L"");
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_NE(SendMessageW(window.GetHwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window.GetHwnd(), WM_GETICON, ICON_SMALL, 0), 0);
}
