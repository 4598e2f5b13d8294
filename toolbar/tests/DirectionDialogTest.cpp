// The direction dialog: another direction restarts the toolbar, the first use waits for its lists, and
// stored numbers out of range choose nothing.
#include "TranslateDialogsFixture.h"

using namespace dialogtests;

TEST_F(TranslateDialogsTest, DirectionDialog_AnotherDirectionRestartsWithSubjectZero_CancelReturns) {
    InstalledLauncher launcherFile;
    ASSERT_TRUE(launcherFile.Copied());
    CEngineClient::SetSubjectSetting(1);
    HWND window = Open(childdialogs::MakeDirectionDialog(Link()));
    ASSERT_NE(window, nullptr);
    HWND directions = GetDlgItem(window, IDC_TRANS_DIRECTION_LIST);
    HWND subjects = GetDlgItem(window, IDC_TRANS_SUBJECT_LIST);
    EXPECT_EQ(SendMessageW(directions, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(directions, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(subjects, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(subjects, LB_GETCURSEL, 0, 0), 1);
    testsupport::ScreenshotIntoOut("toolbar_direction_dialog.png");

    // A cancelled drop-down list goes back to the stored direction and restarts nothing.
    SendMessageW(directions, CB_SETCURSEL, 1, 0);
    Command(window, IDC_TRANS_DIRECTION_LIST, CBN_SELENDCANCEL, directions);
    Command(window, IDC_TRANS_DIRECTION_LIST, CBN_SELENDOK, directions);
    Command(window, IDC_TRANS_DIRECTION_LIST, CBN_CLOSEUP, directions);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(directions, CB_GETCURSEL, 0, 0) == 0; }));
    EXPECT_EQ(s_restarts, 0);
    EXPECT_EQ(CEngineClient::GetDirectionSetting(), 0);

    // An accepted one stores the direction with subject 0 and asks the panel to restart.
    SendMessageW(directions, CB_SETCURSEL, 1, 0);
    Command(window, IDC_TRANS_DIRECTION_LIST, CBN_SELENDOK, directions);
    EXPECT_TRUE(PumpUntil([&] { return s_restarts == 1; }));
    EXPECT_EQ(s_restartOptions, 1u);
    EXPECT_EQ(CEngineClient::GetDirectionSetting(), 1);
    EXPECT_EQ(CEngineClient::GetSubjectSetting(), 0);
}

// Without the launcher no restart can happen: the old direction and subject stay stored, the list
// goes back to the old direction, and the dialog says why.
TEST_F(TranslateDialogsTest, DirectionDialog_WithoutTheLauncher_KeepsTheOldDirectionAndSaysSo) {
    ASSERT_FALSE(ovrin::FileExists(launcher::LauncherPath())) << "the launcher must be missing here";
    CEngineClient::SetSubjectSetting(1);
    HWND window = Open(childdialogs::MakeDirectionDialog(Link()));
    ASSERT_NE(window, nullptr);
    HWND directions = GetDlgItem(window, IDC_TRANS_DIRECTION_LIST);
    HWND subjects = GetDlgItem(window, IDC_TRANS_SUBJECT_LIST);
    SendMessageW(directions, CB_SETCURSEL, 1, 0);
    Command(window, IDC_TRANS_DIRECTION_LIST, CBN_SELENDOK, directions);
    EXPECT_TRUE(AnswerMessageBox(IDS_NO_LAUNCHER, IDOK));
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(directions, CB_GETCURSEL, 0, 0) == 0; }));
    EXPECT_EQ(s_restarts, 0);
    EXPECT_EQ(CEngineClient::GetDirectionSetting(), 0);
    EXPECT_EQ(CEngineClient::GetSubjectSetting(), 1);
    EXPECT_EQ(SendMessageW(subjects, LB_GETCURSEL, 0, 0), 1) << "the old direction's subjects stay listed";
}

// The first listing of the engine's directions (it opens the engines and takes a while) shows the
// wait window with string 32; here the engine is held busy until the window has been seen.
TEST_F(TranslateDialogsTest, DirectionDialog_FirstUse_WaitWindowWithString32UntilTheListsAreFilled) {
    translationrun::ForgetEngineUse();
    std::unique_lock<std::recursive_mutex> busy(translator->Lock());
    ASSERT_TRUE(child.Open(childdialogs::MakeDirectionDialog(Link())));
    HWND wait = nullptr;
    std::wstring building = platform::LoadResString(IDS_BUILDING_LIST);
    EXPECT_TRUE(
        testsupport::WaitUntil([&] { return (wait = FindDialogShowing(IDC_WAIT_LABEL, building)) != nullptr; }));
    testsupport::ScreenshotIntoOut("toolbar_wait_window_directions.png");
    EXPECT_TRUE(TextFits(GetDlgItem(wait, IDC_WAIT_LABEL))) << "the whole message shows";
    busy.unlock();
    HWND window = child.WaitForWindow(10000);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(OnScreen(wait)) << "gone once the lists are filled";
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_TRANS_DIRECTION_LIST), CB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(translationrun::EngineUsed());
}

TEST_F(TranslateDialogsTest, DirectionDialog_OkWithoutSubjectStoresMinusOne_ThenTranslationFails) {
    HWND window = Open(childdialogs::MakeDirectionDialog(Link()));
    ASSERT_NE(window, nullptr);
    SendMessageW(GetDlgItem(window, IDC_TRANS_SUBJECT_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Command(window, ID_DIALOG_OK);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(CEngineClient::GetSubjectSetting(), -1);
    EXPECT_EQ(s_restarts, 0);
    std::wstring result;
    EXPECT_FALSE(client->TranslateText(L"cat", result));
}

// Stored numbers outside the engine's lists: the dialog opens with nothing chosen, OK keeps the stored
// direction with no subject, and translating fails instead of reaching past the lists.
TEST_F(TranslateDialogsTest, DirectionDialog_StoredNumbersOutOfRange_NothingChosenAndTranslationFails) {
    CEngineClient::SetDirectionSetting(99);
    CEngineClient::SetSubjectSetting(42);
    HWND window = Open(childdialogs::MakeDirectionDialog(Link()));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_TRANS_DIRECTION_LIST), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_TRANS_DIRECTION_LIST), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_TRANS_SUBJECT_LIST), LB_GETCOUNT, 0, 0), 0);
    Command(window, ID_DIALOG_OK);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(CEngineClient::GetDirectionSetting(), 99);
    EXPECT_EQ(CEngineClient::GetSubjectSetting(), -1);
    EXPECT_EQ(s_restarts, 0);
    std::wstring result;
    EXPECT_FALSE(client->TranslateText(L"cat", result));
}
