// The toolbar program itself over the stand-ins: its panel, a restart through the launcher, and the page
// file a browser helper hands over.
#include "TranslateDialogsFixture.h"

using namespace dialogtests;

TEST_F(TranslateDialogsTest, ToolbarProgram_PanelOpensTheResultWindowThenTheDirectionDialog) {
    InstalledToolbar installed(layout);
    HWND panelWindow = installed.Start();
    ASSERT_NE(panelWindow, nullptr);
    testsupport::CProgramProcess& toolbar = installed.Process();

    PostMessageW(panelWindow, WM_COMMAND, ID_TRANSLATE, 0);
    HWND result = testsupport::WaitForWindow(L"#32770", L"OVRIN", toolbar.Id());
    ASSERT_NE(result, nullptr);
    EXPECT_NE(GetWindowThreadProcessId(result, nullptr), GetWindowThreadProcessId(panelWindow, nullptr))
        << "the result window runs on a thread of its own";
    HWND edit = GetDlgItem(result, IDC_TRANSLATION_EDIT);
    EXPECT_EQ(desktop::TextOf(edit), L"") << "the empty text opens an empty window";
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"the big cat"));
    PostMessageW(result, WM_COMMAND, ID_RESULT_TRANSLATE, 0);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::TextOf(edit) == L"этот большой кошка"; }, 15000))
        << testing::PrintToString(desktop::TextOf(edit));

    HWND dialog = OpenDirectionDialog(panelWindow, toolbar.Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindow(result)) << "one child window at a time";
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_TRANS_DIRECTION_LIST), CB_GETCOUNT, 0, 0), 2);
    toolbar.End();
}

// The direction change end to end: another direction picked in the toolbar's direction dialog stores
// it with subject 0, the toolbar restarts through the real launcher in the Windows folder, and the new
// toolbar opens the direction dialog again on the new direction.
TEST_F(TranslateDialogsTest, ToolbarProgram_AnotherDirectionRestartsThroughTheLauncherAndReopensTheDialog) {
    InstalledLauncher launcherFile;
    ASSERT_TRUE(launcherFile.Copied());
    CEngineClient::SetSubjectSetting(1);
    InstalledToolbar installed(layout);
    HWND panelWindow = installed.Start();
    ASSERT_NE(panelWindow, nullptr);
    testsupport::CProgramProcess& toolbar = installed.Process();
    HWND dialog = OpenDirectionDialog(panelWindow, toolbar.Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_TRANS_SUBJECT_LIST), LB_GETCURSEL, 0, 0), 1);

    PickDirection(dialog, 1);
    EXPECT_EQ(WaitForSingleObject(toolbar.Handle(), 15000), WAIT_OBJECT_0) << "the old toolbar ends";
    DWORD restarted = 0;
    HWND again = WaitForRestartedDialog(toolbar.Id(), restarted);
    ASSERT_NE(again, nullptr) << "no direction dialog from a restarted toolbar";
    EXPECT_EQ(CEngineClient::GetDirectionSetting(), 1);
    EXPECT_EQ(CEngineClient::GetSubjectSetting(), 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(again, IDC_TRANS_DIRECTION_LIST), CB_GETCURSEL, 0, 0), 1);
    HWND subjects = GetDlgItem(again, IDC_TRANS_SUBJECT_LIST);
    EXPECT_EQ(SendMessageW(subjects, LB_GETCURSEL, 0, 0), 0);
    EndRunningToolbars();
}

// The toolbar program answering the browser helper's exchange: 0x405, WM_COPYDATA naming a page file
// (translated in place and written back as UTF-16 with its mark: answer 1), 0x406; a file that does not
// exist answers 0.
TEST_F(TranslateDialogsTest, ToolbarProgram_TranslatesThePageFileTheBrowserHelperHandsOver) {
    InstalledToolbar installed(layout);
    HWND panel = installed.Start();
    ASSERT_NE(panel, nullptr);
    testsupport::CProgramProcess& toolbar = installed.Process();

    testsupport::TempFolder folder;
    std::wstring page = folder.File(L"page.html");
    testsupport::WriteFileBytes(page, "\xEF\xBB\xBF<html><body><p>the big cat</p></body></html>");
    auto exchange = [&](const std::wstring& path) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(panel, ovrin::protocol::kPageAnalysisBegins, 0, 0, SMTO_NORMAL, 10000, &answer);
        std::string ansi(path.begin(), path.end());
        COPYDATASTRUCT copy{0, static_cast<DWORD>(ansi.size() + 1), ansi.data()};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(panel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 30000, &copied);
        SendMessageTimeoutW(panel, ovrin::protocol::kPageTranslationOver, 0, 0, SMTO_NORMAL, 10000, &answer);
        return copied;
    };
    EXPECT_EQ(exchange(page), 1u);
    std::string bytes = testsupport::ReadFileBytes(page);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "written back as UTF-16 little-endian with its mark";
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text +=
            static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    EXPECT_NE(text.find(L"этот большой кошка"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(L"<p>"), std::wstring::npos) << "the page's mark-up stays";

    EXPECT_EQ(exchange(folder.File(L"absent.html")), 0u);
    EXPECT_TRUE(IsWindow(panel));
    toolbar.End();
}
