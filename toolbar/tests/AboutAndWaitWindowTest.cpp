// The About window and the wait window.
#include "TranslateDialogsFixture.h"

using namespace dialogtests;

TEST_F(TranslateDialogsTest, AboutWindow_DirectionInformationOrString33) {
    HWND window = Open(childdialogs::MakeAboutWindow(Link()));
    ASSERT_NE(window, nullptr);
    std::wstring info = Text(window, IDC_ABOUT_INFO);
    EXPECT_NE(info.find(L"Англо-русский перевод.\r\n"), std::wstring::npos) << testing::PrintToString(info);
    EXPECT_NE(info.find(L"Русско-английский\r\n"), std::wstring::npos);
    testsupport::ScreenshotIntoOut("toolbar_about_window.png");

    EngineLayout empty;
    empty.WriteStandardCatalogue();
    CTranslator none(empty.Folder(), empty.Key());
    CEngineClient noDirections(none);
    EXPECT_EQ(COvrinAboutDlg::InformationText(noDirections), platform::LoadResString(IDS_NO_DIRECTIONS));
}

// Back as the call key: the release that follows the wait window's opening does not stop the
// translation; the next release does. The key is really down (through the X server) as the window
// opens; the releases are posted to the window, since the X focus stays with the window that had it
// before the wait window came up (the window manager moves it only when asked).
TEST_F(TranslateDialogsTest, WaitWindow_FirstBackReleaseIgnoredWhenHeldAtOpening_SecondStops) {
    HWND result = OpenResult(L"", L"");
    ASSERT_NE(result, nullptr);
    ASSERT_TRUE(testsupport::FocusWindowForKeys(result));
    ASSERT_TRUE(desktop::Xdotool("keydown Escape"));
    ASSERT_TRUE(testsupport::WaitUntil([] { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }));
    CWaitWindow wait;
    stopFlag = 5;
    ASSERT_TRUE(wait.Open(platform::LoadResString(IDS_TRANSLATING), &stopFlag));
    EXPECT_EQ(stopFlag, 0) << "handed over as 0";
    EXPECT_TRUE(wait.IgnoresNextBack());
    HWND window = wait.GetHwnd();
    RECT area;
    GetWindowRect(window, &area);
    EXPECT_EQ(area.left, 12);
    EXPECT_EQ(area.top, 45);
    EXPECT_EQ(desktop::TextOf(GetDlgItem(window, IDC_WAIT_LABEL)), platform::LoadResString(IDS_TRANSLATING));
    testsupport::ScreenshotIntoOut("toolbar_wait_window.png");
    EXPECT_TRUE(TextFits(GetDlgItem(window, IDC_WAIT_LABEL)));

    EXPECT_TRUE(desktop::Xdotool("keyup Escape"));
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !wait.IgnoresNextBack(); }));
    EXPECT_EQ(stopFlag, 0) << "the release of the call key does not stop";
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return stopFlag == 1; })) << "the second release stops";
    wait.Close();
    // Whatever the caller shows next (the result window) must not lie under a wait window still shown.
    EXPECT_FALSE(OnScreen(window)) << "off the screen by the time Close returns";
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(window); })) << "the window goes with its thread";

    // Opened without Back held, the first release stops.
    ASSERT_TRUE(wait.Open(platform::LoadResString(IDS_TRANSLATING), &stopFlag));
    EXPECT_FALSE(wait.IgnoresNextBack());
    PostMessageW(wait.GetHwnd(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return stopFlag == 1; }));
}

// A wait window whose thread is held up past the 10 s that Open waits for it: Open answers false, and
// Close still takes the window down when the thread makes it later (no topmost window is left up).
TEST_F(TranslateDialogsTest, WaitWindow_MadeAfterOpenGaveUp_IsTakenDownByClose) {
    CHandle go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<DWORD> windowThread{0};
    CWaitWindow::SetCreationHookForTests([&] {
        windowThread = GetCurrentThreadId();
        WaitForSingleObject(go.Get(), 60000);
    });
    CWaitWindow wait;
    EXPECT_FALSE(wait.Open(L"late", &stopFlag));
    CWaitWindow::SetCreationHookForTests(nullptr);
    ASSERT_NE(windowThread.load(), 0u);
    CHandle thread(OpenThread(SYNCHRONIZE, FALSE, windowThread));
    ASSERT_TRUE(thread);
    wait.Close();
    SetEvent(go.Get());
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "the window's thread stayed";
    EXPECT_EQ(FindDialogShowing(IDC_WAIT_LABEL, L"late"), nullptr) << "a wait window is left on the screen";
}

// The toolbar program itself: its panel's "Перевести" opens the result window on a thread of its own, the
// text typed there is translated by the engine the program started, and the request for the direction
// dialog ends the result window and lists the directions.
