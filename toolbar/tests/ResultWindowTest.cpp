// The result window of a translation run over notepad's selection: its panes, saving, and the result
// file's names.
#include "TranslateDialogsFixture.h"

using namespace dialogtests;

// The panel's purpose 1 end to end but for the held key: a selection made by arrow keys in Wine's
// notepad, translated under the wait window, shown in the result window.
TEST_F(TranslateDialogsTest, NotepadSelection_TranslatedIntoTheResultWindow) {
    desktop::FrontProgram notepad;
    ASSERT_TRUE(notepad.Start(L"notepad.exe"));
    ASSERT_TRUE(desktop::Xdotool("type --delay 20 'the cat'"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return desktop::TextOf(notepad.Edit()) == L"the cat"; }));
    ASSERT_TRUE(desktop::Xdotool("key Home"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(notepad.Edit()).first == 0; }));

    // Selection mode's hook lives on a thread with a message loop, as on the panel's thread.
    std::wstring selected;
    std::atomic<DWORD> captureThread{0};
    std::atomic<bool> started{false};
    std::thread capture([&] {
        CTextCapture textCapture;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        started = textCapture.StartSelection();
        captureThread = GetCurrentThreadId();
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        selected = textCapture.EndSelection();
    });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return captureThread != 0; }));
    ASSERT_TRUE(started);
    EXPECT_TRUE(desktop::Xdotool("key Right Right Right Right Right Right Right"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(notepad.Edit()) == std::make_pair(0L, 7L); }));
    PostThreadMessageW(captureThread, WM_QUIT, 0, 0);
    capture.join();
    ASSERT_EQ(selected, L"the cat");

    std::wstring result = translationrun::TranslateWithWaitWindow(*client, &stopFlag, selected);
    EXPECT_EQ(result, L"этот кошка");
    EXPECT_EQ(FindDialogShowing(IDC_WAIT_LABEL, platform::LoadResString(IDS_TRANSLATING)), nullptr)
        << "the wait window is off the screen before the result window comes";
    HWND window = OpenResult(selected, result);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, IDC_TRANSLATION_EDIT), L"этот кошка");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_SOURCE_EDIT))) << "one pane by default";
    testsupport::ScreenshotIntoOut("toolbar_result_one_pane.png");
    Command(window, IDOK);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(window); }));
}

TEST_F(TranslateDialogsTest, OnePane_NothingTyped_GivesString39AndNoWaitWindow) {
    HWND window = OpenResult(L"", L"");
    ASSERT_NE(window, nullptr);
    SetDlgItemTextW(window, IDC_TRANSLATION_EDIT, L"  \r\n ");
    Command(window, ID_RESULT_TRANSLATE);
    std::wstring waiting = platform::LoadResString(IDS_TRANSLATING);
    bool waitSeen = false;
    std::wstring nothing = platform::LoadResString(IDS_NOTHING_TO_TRANSLATE);
    HWND box = nullptr;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        waitSeen = waitSeen || FindDialogShowing(IDC_WAIT_LABEL, waiting) != nullptr;
        return (box = FindDialogShowing(kMessageBoxText, nothing)) != nullptr;
    }));
    EXPECT_FALSE(waitSeen);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    // With text, the translation replaces the edit's text.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
    SetDlgItemTextW(window, IDC_TRANSLATION_EDIT, L"big dog");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Text(window, IDC_TRANSLATION_EDIT) == L"большой собака"; }))
        << testing::PrintToString(Text(window, IDC_TRANSLATION_EDIT));
}

TEST_F(TranslateDialogsTest, TwoPanesAndBack_KeepTheTextAndItsSelection) {
    HWND window = OpenResult(L"the cat", L"этот кошка");
    ASSERT_NE(window, nullptr);
    HWND upper = GetDlgItem(window, IDC_SOURCE_EDIT), lower = GetDlgItem(window, IDC_TRANSLATION_EDIT);
    SendMessageW(lower, EM_SETSEL, 5, 10);
    Command(window, ID_RESULT_TWO_PANES);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return IsWindowVisible(upper) != FALSE; }));
    EXPECT_EQ(desktop::TextOf(upper), L"этот кошка");
    EXPECT_EQ(desktop::SelectionOf(upper), std::make_pair(5L, 10L));
    EXPECT_EQ(desktop::TextOf(lower), L"");
    EXPECT_EQ(CEngineClient::ReadToolbarInt(CTranslateResult::kShowSourceSetting), 1);
    RECT upperRect, lowerRect;
    GetWindowRect(upper, &upperRect);
    GetWindowRect(lower, &lowerRect);
    EXPECT_LT(upperRect.bottom, lowerRect.top) << "the upper pane sits above the lower one";

    SendMessageW(upper, EM_SETSEL, 0, 4);
    Command(window, ID_RESULT_TWO_PANES);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindowVisible(upper); }));
    EXPECT_EQ(desktop::TextOf(lower), L"этот кошка");
    EXPECT_EQ(desktop::SelectionOf(lower), std::make_pair(0L, 4L));
    EXPECT_EQ(desktop::TextOf(upper), L"");
    EXPECT_EQ(CEngineClient::ReadToolbarInt(CTranslateResult::kShowSourceSetting), 0);

    // Two panes translate the upper text into the lower edit.
    Command(window, ID_RESULT_TWO_PANES);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return IsWindowVisible(upper) != FALSE; }));
    SetWindowTextW(upper, L"the big house");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::TextOf(lower) == L"этот большой дом"; }))
        << testing::PrintToString(desktop::TextOf(lower));
    EXPECT_EQ(desktop::TextOf(upper), L"the big house");
    testsupport::ScreenshotIntoOut("toolbar_result_two_panes.png");
}

TEST_F(TranslateDialogsTest, TwoPanesStored_SourceShownAbove) {
    CEngineClient::WriteToolbarInt(CTranslateResult::kShowSourceSetting, 1);
    HWND window = OpenResult(L"the cat", L"этот кошка");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_SOURCE_EDIT)));
    EXPECT_EQ(Text(window, IDC_SOURCE_EDIT), L"the cat");
    EXPECT_EQ(Text(window, IDC_TRANSLATION_EDIT), L"этот кошка");
}

TEST_F(TranslateDialogsTest, SaveOverAnExistingFile_NoLeavesIt_YesWritesUtf8) {
    testsupport::TempFolder folder;
    std::wstring path = testsupport::ToWide(folder.Path() / "result.txt");
    testsupport::WriteFileBytes(path, "old text");
    HWND window = OpenResultSavingAs(L"этот кошка", testsupport::ToWide(folder.Path() / "result"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SaveAndAnswer(window, IDS_REPLACE_FILE, IDNO));
    EXPECT_EQ(FileBytes(path), "old text");

    ASSERT_TRUE(SaveAndAnswer(window, IDS_REPLACE_FILE, IDYES));
    // Watched by its size, not read meanwhile: an open file cannot be replaced.
    std::string expected = "\xEF\xBB\xBF" + Utf8(L"этот кошка");
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow == expected.size();
    }));
    // In place; read once the writer has let it go.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return FileBytes(path) == expected; })) << FileBytes(path);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "the new file written beside it is gone";
}

// The panel ends the result window while the window's thread sits in a modal loop of its own (the
// question "Файл уже существует. Заменить?", then the system's save dialog): End returns, the box or
// dialog goes with the window, and nothing is saved.
TEST_F(TranslateDialogsTest, EndWhileAMessageBoxOrTheSaveDialogIsOpen_Returns) {
    testsupport::TempFolder folder;
    std::wstring path = testsupport::ToWide(folder.Path() / "result.txt");
    testsupport::WriteFileBytes(path, "old text");
    // release lets a stuck End go, so that the test can end.
    auto endOnAThread = [&](const std::function<void()>& release) {
        std::atomic<bool> ended{false};
        std::thread ender([&] {
            child.End();
            ended = true;
        });
        bool returned = PumpUntil([&] { return ended.load(); }, 10000);
        if (!returned)
            release();
        ender.join();
        return returned;
    };

    HWND window = OpenResultSavingAs(L"этот кошка", testsupport::ToWide(folder.Path() / "result"));
    ASSERT_NE(window, nullptr);
    Command(window, ID_RESULT_SAVE_TRANSLATION);
    std::wstring question = platform::LoadResString(IDS_REPLACE_FILE);
    HWND box = nullptr;
    ASSERT_TRUE(
        testsupport::WaitUntil([&] { return (box = FindDialogShowing(kMessageBoxText, question)) != nullptr; }));
    EXPECT_TRUE(endOnAThread([] { AnswerMessageBox(IDS_REPLACE_FILE, IDNO); })) << "End waited for the message box";
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FileBytes(path), "old text");

    resultfile::SetNameAsker(nullptr); // the system's save dialog
    window = OpenResult(L"", L"этот кошка");
    ASSERT_NE(window, nullptr);
    DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    Command(window, ID_RESULT_SAVE_TRANSLATION);
    HWND saveDialog = nullptr;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        EnumThreadWindows(
            windowThread,
            [](HWND candidate, LPARAM found) -> BOOL {
                if (desktop::ClassOf(candidate) == L"#32770" && IsWindowVisible(candidate) &&
                    GetDlgItem(candidate, IDC_TRANSLATION_EDIT) == nullptr) {
                    *reinterpret_cast<HWND*>(found) = candidate;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&saveDialog));
        return saveDialog != nullptr;
    }));
    EXPECT_TRUE(endOnAThread([&] { PostMessageW(saveDialog, WM_COMMAND, IDCANCEL, 0); }))
        << "End waited for the save dialog";
    EXPECT_FALSE(IsWindow(saveDialog));
}

TEST_F(TranslateDialogsTest, SaveThatFails_KeepsTheOldFileAndSaysSo) {
    testsupport::TempFolder folder;
    // The new text is written beside the name, but what stands there cannot be replaced: a folder
    // holding a file.
    std::filesystem::create_directories(folder.Path() / "kept.txt");
    std::wstring inside = testsupport::ToWide(folder.Path() / "kept.txt" / "inside");
    testsupport::WriteFileBytes(inside, "old text");
    HWND window = OpenResultSavingAs(L"этот кошка", testsupport::ToWide(folder.Path() / "kept.txt"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SaveAndAnswer(window, IDS_SAVE_FAILED, IDOK));
    EXPECT_EQ(FileBytes(inside), "old text");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "the new file written beside it is removed";

    // A name of 300 characters: said so, nothing written.
    saveAnswer = testsupport::ToWide(folder.Path()) + L"\\" + std::wstring(300, L'a');
    ASSERT_TRUE(SaveAndAnswer(window, IDS_SAVE_FAILED, IDOK));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "only kept.txt";

    // Nothing to save.
    SetDlgItemTextW(window, IDC_TRANSLATION_EDIT, L" ");
    EXPECT_TRUE(SaveAndAnswer(window, IDS_NO_TEXT_TO_SAVE, IDOK));
}

TEST(ResultFileTest, WritesThatCannotBeMade_FailAndLeaveNothing) {
    testsupport::TempFolder folder;
    std::wstring missing = testsupport::ToWide(folder.Path() / "missing" / "x.txt");
    EXPECT_FALSE(resultfile::WriteUtf8(missing, L"текст"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));
    std::wstring tooLong = testsupport::ToWide(folder.Path()) + L"\\" + std::wstring(300, L'a') + L".txt";
    EXPECT_FALSE(resultfile::WriteUtf8(tooLong, L"текст"));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    std::wstring fine = testsupport::ToWide(folder.Path() / "fine.txt");
    ASSERT_TRUE(resultfile::WriteUtf8(fine, L"a\r\nб"));
    EXPECT_EQ(testsupport::ReadFileBytes(fine), "\xEF\xBB\xBF" + Utf8(L"a\r\nб"));
}

// Names up to the 255 characters a name may have are written, new and over an old file, and nothing
// else is left beside them (the new text goes first to a file whose name must fit too).
TEST(ResultFileTest, NamesOfUpTo255Characters_AreWrittenAndLeaveNothingElse) {
    testsupport::TempFolder folder;
    for (std::size_t length : {241u, 242u, 246u, 251u}) {
        std::wstring name = std::wstring(length, L'x') + L".txt";
        std::wstring path = testsupport::ToWide(folder.Path()) + L"\\" + name;
        EXPECT_TRUE(resultfile::WriteUtf8(path, L"новый")) << name.size() << " characters";
        EXPECT_TRUE(resultfile::WriteUtf8(path, L"второй")) << name.size() << " characters, over the old file";
        EXPECT_EQ(testsupport::ReadFileBytes(path), "\xEF\xBB\xBF" + Utf8(L"второй")) << name.size();
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            EXPECT_EQ(entry.path().filename().wstring(), name);
            ++files;
        }
        EXPECT_EQ(files, 1u);
        DeleteFileW(path.c_str());
    }
}

TEST(ResultFileTest, TxtIsAppendedAsTheSaveDialogAnswers) {
    EXPECT_EQ(resultfile::WithTxtExtension(L"C:\\a\\result."), L"C:\\a\\result.txt");
    EXPECT_EQ(resultfile::WithTxtExtension(L"C:\\a\\result"), L"C:\\a\\result.txt");
    EXPECT_EQ(resultfile::WithTxtExtension(L"C:\\a\\result.TXT"), L"C:\\a\\result.TXT");
}
