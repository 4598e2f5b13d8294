// The translation run, the result window and the settings, direction and About dialogs, as real
// windows on threads of their own beside a stand-in for the panel, over the engine stand-in: a
// selection in Wine's notepad translated into the result window, the panes, saving, the direction and
// subject settings, the start-up shortcut and the call key's restart question.
#include "ChildDialogs.h"
#include "ChildWindow.h"
#include "DesktopSession.h"
#include "DevicePlatform.h"
#include "DictionaryLauncher.h"
#include "OvrinAboutDlg.h"
#include "PageMessages.h"
#include "ResultFile.h"
#include "SetupDlg.h"
#include "TextCapture.h"
#include "ToolbarPrograms.h"
#include "TranslateResult.h"
#include "WaitWindow.h"
#include "base/FileSystem.h"
#include "base/Unicode.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "enginetest/EngineLayout.h"
#include "enginetest/SlowDirection.h"
#include "platform/Handles.h"
#include "platform/Resources.h"
#include "resource.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/Processes.h"

#include <commoncontrols.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace enginetest;
using namespace toolbarprograms;

namespace {

constexpr wchar_t kPanelClass[] = L"OvrinTestPanel";

// The panel's side of the child windows: the messages they post to it.
std::atomic<UINT> s_restartOptions{0};
std::atomic<int> s_restarts{0};
std::atomic<UINT> s_appliedKey{0};

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == childdialogs::kRestartMessage) {
        s_restartOptions = static_cast<UINT>(wParam);
        ++s_restarts;
        return 0;
    }
    if (message == childdialogs::kApplyKeyMessage) {
        s_appliedKey = static_cast<UINT>(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Waits while answering this thread's messages (the panel stand-in lives on it).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    return desktop::WaitFor(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            return condition();
        },
        timeoutMs);
}

// Whether window shows anything on the screen: visible, and not shaped to nothing.
bool OnScreen(HWND window) {
    if (!IsWindowVisible(window))
        return false;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, shape);
    DeleteObject(shape);
    return kind != NULLREGION;
}

// A dialog window of this process on the screen whose label (control id) reads text: message boxes
// (id 65535) and the wait window (1004).
HWND FindDialogShowing(int controlId, const std::wstring& text) {
    struct Search {
        int id;
        const std::wstring* text;
        HWND found;
    } search = {controlId, &text, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId() || desktop::ClassOf(window) != L"#32770" || !OnScreen(window))
                return TRUE;
            HWND label = GetDlgItem(window, s->id);
            if (label != nullptr && desktop::TextOf(label) == *s->text) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

constexpr int kMessageBoxText = 0xFFFF;

// Whether the text of label, broken into lines of its width in its font, fits its height.
bool TextFits(HWND label) {
    std::wstring text = desktop::TextOf(label);
    RECT client = {};
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    return needed.bottom <= client.bottom && needed.right <= client.right;
}

// Waits for the message box with string textId and answers it with button.
bool AnswerMessageBox(UINT textId, int button) {
    std::wstring text = platform::LoadResString(textId);
    HWND box = nullptr;
    if (!desktop::WaitFor([&] { return (box = FindDialogShowing(kMessageBoxText, text)) != nullptr; }))
        return false;
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return desktop::WaitFor([&] { return !IsWindow(box); });
}

std::string FileBytes(const std::wstring& path) {
    return testsupport::ReadFileBytes(path);
}

class TranslateDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        layout.WriteStandardCatalogue();
        layout.AddDirection(L"ER", EnglishRussian(), 0, {{L"TECH.tpl", L"[Техника]\nfile = файл\n"}},
                            {{L"TECH", L"Техника"}});
        layout.AddDirection(L"RE", RussianEnglish());
        UseEngine(layout);
        CEngineClient::SetDirectionSetting(0);
        CEngineClient::SetSubjectSetting(0);
        CEngineClient::WriteToolbarInt(CTranslateResult::kShowSourceSetting, 0);
        savedKey = CEngineClient::ReadToolbarInt(CSetupDlg::kKeySetting);

        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PanelProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kPanelClass;
        RegisterClassW(&windowClass);
        panel = CreateWindowW(kPanelClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        s_restarts = 0;
        s_restartOptions = 0;
        s_appliedKey = 0;
    }

    // The client on the engine a layout holds: the fixture's own, or a test's.
    void UseEngine(const EngineLayout& engine) {
        client.reset();
        translator = std::make_unique<CTranslator>(engine.Folder(), engine.Key());
        client = std::make_unique<CEngineClient>(*translator);
        client->RegisterStopFlag(&stopFlag);
    }

    void TearDown() override {
        child.End();
        DestroyWindow(panel);
        resultfile::SetNameAsker(nullptr);
        deviceplatform::SetRestartHandler(nullptr);
        CEngineClient::WriteToolbarInt(CSetupDlg::kKeySetting, savedKey);
        CEngineClient::WriteToolbarInt(CTranslateResult::kShowSourceSetting, 0);
    }

    childdialogs::PanelLink Link() { return {client.get(), &stopFlag, panel}; }

    HWND Open(std::unique_ptr<CToolbarChildDlg> dialog) {
        EXPECT_TRUE(child.Open(std::move(dialog)));
        HWND window = child.WaitForWindow(10000);
        EXPECT_NE(window, nullptr);
        return window;
    }

    HWND OpenResult(const std::wstring& source, const std::wstring& translation) {
        return Open(childdialogs::MakeResultWindow(Link(), source, translation));
    }

    // The result window with a translation, its save dialog answering saveAnswer (set to answer).
    HWND OpenResultSavingAs(const std::wstring& translation, const std::wstring& answer) {
        saveAnswer = answer;
        resultfile::SetNameAsker([this](HWND, std::wstring& name) {
            name = saveAnswer;
            return true;
        });
        return OpenResult(L"", translation);
    }
    // Saves from the result window and answers the message box with string textId by button.
    static bool SaveAndAnswer(HWND window, UINT textId, int button) {
        Command(window, ID_RESULT_SAVE_TRANSLATION);
        return AnswerMessageBox(textId, button);
    }

    static std::wstring Text(HWND dialog, int id) { return desktop::TextOf(GetDlgItem(dialog, id)); }
    static void Command(HWND dialog, WORD id, WORD code = 0, HWND control = nullptr) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }

    EngineLayout layout;
    std::unique_ptr<CTranslator> translator;
    std::unique_ptr<CEngineClient> client;
    int stopFlag = 0;
    HWND panel = nullptr;
    CChildWindow child;
    int savedKey = 0;
    std::wstring saveAnswer;
};

} // namespace

// The panel's purpose 1 end to end but for the held key: a selection made by arrow keys in Wine's
// notepad, translated under the wait window, shown in the result window.
TEST_F(TranslateDialogsTest, NotepadSelection_TranslatedIntoTheResultWindow) {
    desktop::FrontProgram notepad;
    ASSERT_TRUE(notepad.Start(L"notepad.exe"));
    ASSERT_TRUE(desktop::Xdotool("type --delay 20 'the cat'"));
    ASSERT_TRUE(desktop::WaitFor([&] { return desktop::TextOf(notepad.Edit()) == L"the cat"; }));
    ASSERT_TRUE(desktop::Xdotool("key Home"));
    ASSERT_TRUE(desktop::WaitFor([&] { return desktop::SelectionOf(notepad.Edit()).first == 0; }));

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
    ASSERT_TRUE(desktop::WaitFor([&] { return captureThread != 0; }));
    ASSERT_TRUE(started);
    EXPECT_TRUE(desktop::Xdotool("key Right Right Right Right Right Right Right"));
    EXPECT_TRUE(desktop::WaitFor([&] { return desktop::SelectionOf(notepad.Edit()) == std::make_pair(0L, 7L); }));
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
    desktop::Screenshot("toolbar_result_one_pane.png");
    Command(window, IDOK);
    EXPECT_TRUE(desktop::WaitFor([&] { return !IsWindow(window); }));
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
    ASSERT_TRUE(desktop::WaitFor([&] {
        waitSeen = waitSeen || FindDialogShowing(IDC_WAIT_LABEL, waiting) != nullptr;
        return (box = FindDialogShowing(kMessageBoxText, nothing)) != nullptr;
    }));
    EXPECT_FALSE(waitSeen);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    // With text, the translation replaces the edit's text.
    ASSERT_TRUE(desktop::WaitFor([&] { return !IsWindow(box); }));
    SetDlgItemTextW(window, IDC_TRANSLATION_EDIT, L"big dog");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(desktop::WaitFor([&] { return Text(window, IDC_TRANSLATION_EDIT) == L"большой собака"; }))
        << testing::PrintToString(Text(window, IDC_TRANSLATION_EDIT));
}

TEST_F(TranslateDialogsTest, TwoPanesAndBack_KeepTheTextAndItsSelection) {
    HWND window = OpenResult(L"the cat", L"этот кошка");
    ASSERT_NE(window, nullptr);
    HWND upper = GetDlgItem(window, IDC_SOURCE_EDIT), lower = GetDlgItem(window, IDC_TRANSLATION_EDIT);
    SendMessageW(lower, EM_SETSEL, 5, 10);
    Command(window, ID_RESULT_TWO_PANES);
    ASSERT_TRUE(desktop::WaitFor([&] { return IsWindowVisible(upper) != FALSE; }));
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
    ASSERT_TRUE(desktop::WaitFor([&] { return !IsWindowVisible(upper); }));
    EXPECT_EQ(desktop::TextOf(lower), L"этот кошка");
    EXPECT_EQ(desktop::SelectionOf(lower), std::make_pair(0L, 4L));
    EXPECT_EQ(desktop::TextOf(upper), L"");
    EXPECT_EQ(CEngineClient::ReadToolbarInt(CTranslateResult::kShowSourceSetting), 0);

    // Two panes translate the upper text into the lower edit.
    Command(window, ID_RESULT_TWO_PANES);
    ASSERT_TRUE(desktop::WaitFor([&] { return IsWindowVisible(upper) != FALSE; }));
    SetWindowTextW(upper, L"the big house");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(desktop::WaitFor([&] { return desktop::TextOf(lower) == L"этот большой дом"; }))
        << testing::PrintToString(desktop::TextOf(lower));
    EXPECT_EQ(desktop::TextOf(upper), L"the big house");
    desktop::Screenshot("toolbar_result_two_panes.png");
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
    EXPECT_TRUE(desktop::WaitFor([&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow == expected.size();
    }));
    // In place; read once the writer has let it go.
    EXPECT_TRUE(desktop::WaitFor([&] { return FileBytes(path) == expected; })) << FileBytes(path);
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
    ASSERT_TRUE(desktop::WaitFor([&] { return (box = FindDialogShowing(kMessageBoxText, question)) != nullptr; }));
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
    ASSERT_TRUE(desktop::WaitFor([&] {
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
    desktop::Screenshot("toolbar_direction_dialog.png");

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
    EXPECT_TRUE(desktop::WaitFor([&] { return (wait = FindDialogShowing(IDC_WAIT_LABEL, building)) != nullptr; }));
    desktop::Screenshot("toolbar_wait_window_directions.png");
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
    ASSERT_TRUE(desktop::WaitFor([&] { return !IsWindow(window); }));
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
    ASSERT_TRUE(desktop::WaitFor([&] { return !IsWindow(window); }));
    EXPECT_EQ(CEngineClient::GetDirectionSetting(), 99);
    EXPECT_EQ(CEngineClient::GetSubjectSetting(), -1);
    EXPECT_EQ(s_restarts, 0);
    std::wstring result;
    EXPECT_FALSE(client->TranslateText(L"cat", result));
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
}

// A shell link's target and arguments as the shell reads them (empty when it is not one).
std::pair<std::wstring, std::wstring> ShellLinkOf(const std::wstring& path) {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::pair<std::wstring, std::wstring> read;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        wchar_t target[MAX_PATH] = {}, arguments[1024] = {};
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
            SUCCEEDED(link->GetArguments(arguments, 1024)))
            read = {target, arguments};
        if (file != nullptr)
            file->Release();
        link->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return read;
}

// The start-up shortcut keeps a program path outside the ANSI code page whole.
TEST(StartupShortcutTest, AToolbarPathOutsideTheAnsiCodePage_IsKeptWhole) {
    testsupport::TempFolder folder;
    std::wstring shortcut = folder.File(L"OvrinToolbar.lnk");
    // "Übersetzer" and a Chinese character: neither is in the ANSI code page 1251.
    std::wstring program = L"C:\\Programme\\\x00DC"
                           L"bersetzer \x4E2D\\OvrinToolbar.exe";
    ASSERT_TRUE(deviceplatform::CreateStartupShortcut(shortcut, program));
    EXPECT_EQ(ShellLinkOf(shortcut),
              (std::pair<std::wstring, std::wstring>{launcher::LauncherPath(), L"\"" + program + L"\""}));
}

TEST_F(TranslateDialogsTest, SettingsDialog_StartupShortcutMadeAndRemoved) {
    std::wstring shortcut = deviceplatform::StartupShortcutPath();
    ASSERT_FALSE(shortcut.empty());
    DeleteFileW(shortcut.c_str());
    CEngineClient::WriteToolbarInt(CSetupDlg::kKeySetting, VK_RETURN);
    HWND window = Open(childdialogs::MakeSettingsDialog(Link()));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_SETUP_AUTOSTART), BST_UNCHECKED);
    HWND keys = GetDlgItem(window, IDC_SETUP_KEY_LIST);
    EXPECT_EQ(SendMessageW(keys, CB_GETCOUNT, 0, 0), 5);
    desktop::Screenshot("toolbar_settings_dialog.png");
    CheckDlgButton(window, IDC_SETUP_AUTOSTART, BST_CHECKED);
    SendMessageW(keys, CB_SETCURSEL, 1, 0);
    Command(window, ID_DIALOG_OK);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window) && s_appliedKey == VK_UP; }));
    // What the shell runs from the start-up folder: a shell link to the launcher with the toolbar's
    // quoted path, read back through the shell's own interface.
    EXPECT_EQ(ShellLinkOf(shortcut),
              (std::pair<std::wstring, std::wstring>{launcher::LauncherPath(), L"\"" + OwnPath() + L"\""}));
    child.End();

    window = Open(childdialogs::MakeSettingsDialog(Link()));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_SETUP_AUTOSTART), BST_CHECKED);
    CheckDlgButton(window, IDC_SETUP_AUTOSTART, BST_UNCHECKED);
    Command(window, ID_DIALOG_OK);
    ASSERT_TRUE(desktop::WaitFor([&] { return !IsWindow(window); }));
    EXPECT_FALSE(std::filesystem::exists(testsupport::ToPath(shortcut)));
}

// The integration list's images are destroyed once, by their owner, however the dialog closes. The
// test holds two references of its own to see how many the closing took.
TEST_F(TranslateDialogsTest, SettingsDialog_ImageListIsDestroyedOnceAtEveryClose) {
    for (WORD closing : {ID_DIALOG_CANCEL, ID_DIALOG_OK}) {
        SCOPED_TRACE(closing);
        HWND window = Open(childdialogs::MakeSettingsDialog(Link()));
        ASSERT_NE(window, nullptr);
        HIMAGELIST images = ListView_GetImageList(GetDlgItem(window, IDC_SETUP_INTEGRATION_LIST), LVSIL_SMALL);
        ASSERT_NE(images, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(images), 2);
        // The import library lacks the call; the DLL has it. {46EB5926-582E-4017-9FDF-E8998DAA0950}.
        using QueryInterfaceCall = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
        auto query = reinterpret_cast<QueryInterfaceCall>(
            GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "HIMAGELIST_QueryInterface"));
        ASSERT_NE(query, nullptr);
        constexpr GUID kIidImageList = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};
        IImageList* held = nullptr;
        ASSERT_EQ(query(images, kIidImageList, reinterpret_cast<void**>(&held)), S_OK);
        held->AddRef();
        Command(window, closing);
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
        child.End();
        ULONG left = held->Release();
        EXPECT_EQ(left, 1u) << "the dialog's close released more than its own reference";
        if (left > 0)
            held->Release();
    }
}

TEST_F(TranslateDialogsTest, SettingsDialog_RestartQuestionOnlyWhenLeavingBackOrF3) {
    int restarts = 0;
    deviceplatform::SetRestartHandler([&] { ++restarts; });
    EXPECT_TRUE(CSetupDlg::NeedsRestartQuestion(114, VK_RETURN));
    EXPECT_FALSE(CSetupDlg::NeedsRestartQuestion(VK_RETURN, VK_UP));
    EXPECT_FALSE(CSetupDlg::NeedsRestartQuestion(27, 27));

    // Leaving Back: asked; Yes stores the key and restarts the device.
    CEngineClient::WriteToolbarInt(CSetupDlg::kKeySetting, 27);
    HWND window = Open(childdialogs::MakeSettingsDialog(Link()));
    ASSERT_NE(window, nullptr);
    SendMessageW(GetDlgItem(window, IDC_SETUP_KEY_LIST), CB_SETCURSEL, 2, 0);
    Command(window, ID_DIALOG_OK);
    ASSERT_TRUE(AnswerMessageBox(IDS_RESTART_DEVICE, IDYES));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window) && s_appliedKey == VK_DOWN; }));
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(CEngineClient::ReadToolbarInt(CSetupDlg::kKeySetting), VK_DOWN);
    child.End();

    // Leaving another key: no question, the panel applies the new one.
    s_appliedKey = 0;
    window = Open(childdialogs::MakeSettingsDialog(Link()));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_SETUP_KEY_LIST), CB_GETCURSEL, 0, 0), 2) << "the stored key";
    SendMessageW(GetDlgItem(window, IDC_SETUP_KEY_LIST), CB_SETCURSEL, 4, 0);
    Command(window, ID_DIALOG_OK);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window) && s_appliedKey == VK_LEFT; }));
    EXPECT_EQ(FindDialogShowing(kMessageBoxText, platform::LoadResString(IDS_RESTART_DEVICE)), nullptr);
    EXPECT_EQ(restarts, 1);
}

TEST_F(TranslateDialogsTest, AboutWindow_DirectionInformationOrString33) {
    HWND window = Open(childdialogs::MakeAboutWindow(Link()));
    ASSERT_NE(window, nullptr);
    std::wstring info = Text(window, IDC_ABOUT_INFO);
    EXPECT_NE(info.find(L"Англо-русский перевод.\r\n"), std::wstring::npos) << testing::PrintToString(info);
    EXPECT_NE(info.find(L"Русско-английский\r\n"), std::wstring::npos);
    desktop::Screenshot("toolbar_about_window.png");

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
    ASSERT_TRUE(desktop::WaitFor([] { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }));
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
    desktop::Screenshot("toolbar_wait_window.png");
    EXPECT_TRUE(TextFits(GetDlgItem(window, IDC_WAIT_LABEL)));

    EXPECT_TRUE(desktop::Xdotool("keyup Escape"));
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(desktop::WaitFor([&] { return !wait.IgnoresNextBack(); }));
    EXPECT_EQ(stopFlag, 0) << "the release of the call key does not stop";
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(desktop::WaitFor([&] { return stopFlag == 1; })) << "the second release stops";
    wait.Close();
    // Whatever the caller shows next (the result window) must not lie under a wait window still shown.
    EXPECT_FALSE(OnScreen(window)) << "off the screen by the time Close returns";
    EXPECT_TRUE(desktop::WaitFor([&] { return !IsWindow(window); })) << "the window goes with its thread";

    // Opened without Back held, the first release stops.
    ASSERT_TRUE(wait.Open(platform::LoadResString(IDS_TRANSLATING), &stopFlag));
    EXPECT_FALSE(wait.IgnoresNextBack());
    PostMessageW(wait.GetHwnd(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(desktop::WaitFor([&] { return stopFlag == 1; }));
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
TEST_F(TranslateDialogsTest, ToolbarProgram_PanelOpensTheResultWindowThenTheDirectionDialog) {
    EngineForPrograms installed(layout);
    ASSERT_TRUE(installed.Copied());
    desktop::Process toolbar;
    HWND panelWindow = StartToolbarProgram(toolbar);
    ASSERT_NE(panelWindow, nullptr);

    PostMessageW(panelWindow, WM_COMMAND, ID_TRANSLATE, 0);
    HWND result = testsupport::WaitForWindow(L"#32770", L"OVRIN", toolbar.Id());
    ASSERT_NE(result, nullptr);
    EXPECT_NE(GetWindowThreadProcessId(result, nullptr), GetWindowThreadProcessId(panelWindow, nullptr))
        << "the result window runs on a thread of its own";
    HWND edit = GetDlgItem(result, IDC_TRANSLATION_EDIT);
    EXPECT_EQ(desktop::TextOf(edit), L"") << "the empty text opens an empty window";
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"the big cat"));
    PostMessageW(result, WM_COMMAND, ID_RESULT_TRANSLATE, 0);
    EXPECT_TRUE(desktop::WaitFor([&] { return desktop::TextOf(edit) == L"этот большой кошка"; }, 15000))
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
    EngineForPrograms installed(layout);
    ASSERT_TRUE(installed.Copied());
    InstalledLauncher launcherFile;
    ASSERT_TRUE(launcherFile.Copied());
    CEngineClient::SetSubjectSetting(1);
    desktop::Process toolbar;
    HWND panelWindow = StartToolbarProgram(toolbar);
    ASSERT_NE(panelWindow, nullptr);
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
    EngineForPrograms installed(layout);
    ASSERT_TRUE(installed.Copied());
    desktop::Process toolbar;
    HWND panel = StartToolbarProgram(toolbar);
    ASSERT_NE(panel, nullptr);

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

namespace {

// The ids of the processes running a file named Lexory.exe.
std::vector<DWORD> DictionaryProcesses() {
    return testsupport::ProcessIdsNamed(CDictionaryLauncher::kProgramFile);
}

// The dictionary stand-in installed as Lexory.exe in a folder of its own, named by the "path" setting
// (kept and put back).
class InstalledDictionary {
public:
    InstalledDictionary() : m_saved(CAppSettings::ReadString(L"Lexory", L"path")) {
        m_folder = testsupport::ToWide(m_temp.Path()) + L"\\";
        m_copied = CopyFileW((ovrin::GetProgramFolder() + L"dictionary_standin.exe").c_str(),
                             (m_folder + CDictionaryLauncher::kProgramFile).c_str(), FALSE) != FALSE;
        CAppSettings::WriteString(L"Lexory", L"path", m_folder);
    }
    ~InstalledDictionary() {
        testsupport::EndProcessesNamed(CDictionaryLauncher::kProgramFile);
        if (!m_saved.empty()) {
            CAppSettings::WriteString(L"Lexory", L"path", m_saved);
            return;
        }
        // It was not there: it goes again (an empty value would still read as an installed dictionary).
        CAppSettings::Remove(L"Lexory", L"path");
    }
    bool Copied() const { return m_copied; }
    const std::wstring& Folder() const { return m_folder; }
    // The word the running stand-in received ("" until it has written it), and forgetting it.
    std::wstring Word() const {
        std::wstring file = m_folder + L"word.txt";
        return ovrin::FileExists(file) ? ovrin::Utf8ToUtf16(FileBytes(file)) : L"";
    }
    void Forget() const { DeleteFileW((m_folder + L"word.txt").c_str()); }

private:
    testsupport::TempFolder m_temp;
    std::wstring m_folder, m_saved;
    bool m_copied = false;
};

} // namespace

// The dictionary launch: a word with spaces, quotation marks and backslashes reaches the program as
// its one word, read as the dictionary program reads its command line; a running dictionary is ended
// and started again with the new word; "path" without its trailing backslash, or a folder without the
// program, means not installed, and a look-up then starts nothing.
TEST_F(TranslateDialogsTest, DictionaryLookUp_OneIntactWord_RunningOneRestarted_MissingMeansNothing) {
    InstalledDictionary dictionary;
    ASSERT_TRUE(dictionary.Copied());
    EXPECT_TRUE(CDictionaryLauncher::IsInstalled());
    CDictionaryLauncher launcher;
    launcher.LookUp(L"big cat");
    ASSERT_TRUE(desktop::WaitFor([&] { return dictionary.Word() == L"big cat"; }, 10000))
        << testing::PrintToString(dictionary.Word());
    std::vector<DWORD> first = DictionaryProcesses();
    ASSERT_EQ(first.size(), 1u);

    dictionary.Forget();
    const std::wstring tricky = L"say \"hi\" to C:\\dir\\ and \\\"x\\";
    launcher.LookUp(tricky);
    ASSERT_TRUE(desktop::WaitFor([&] { return !dictionary.Word().empty(); }, 10000));
    EXPECT_EQ(dictionary.Word(), tricky);
    std::vector<DWORD> second = DictionaryProcesses();
    ASSERT_EQ(second.size(), 1u) << "the running dictionary is ended first";
    EXPECT_NE(second[0], first[0]);

    std::wstring folder = dictionary.Folder();
    CAppSettings::WriteString(L"Lexory", L"path", folder.substr(0, folder.size() - 1));
    EXPECT_FALSE(CDictionaryLauncher::IsInstalled()) << "no trailing backslash: not installed";
    CAppSettings::WriteString(L"Lexory", L"path", folder + L"missing\\");
    EXPECT_FALSE(CDictionaryLauncher::IsInstalled());
    launcher.LookUp(L"word");
    EXPECT_EQ(DictionaryProcesses(), second) << "nothing ended or started without the program";
    for (const wchar_t* garbage : {L"", L"\\\\?\\", L"::::", L"\"quoted\\\""}) {
        CAppSettings::WriteString(L"Lexory", L"path", garbage);
        EXPECT_FALSE(CDictionaryLauncher::IsInstalled()) << testing::PrintToString(garbage);
    }
    const BYTE binary[] = {0x5C, 0x00, 0xFF};
    RegSetKeyValueW(HKEY_CURRENT_USER, CAppSettings::SectionKey(L"Lexory").c_str(), L"path", REG_BINARY, binary,
                    sizeof binary);
    EXPECT_FALSE(CDictionaryLauncher::IsInstalled()) << "a value of the wrong kind";
    launcher.LookUp(L"word");
    EXPECT_EQ(DictionaryProcesses(), second);
}

// The engine stopped (Back on the wait window) in the middle of a text: the result window shows the
// lines done; failing in the middle: an empty result. The wait window is gone, the window translates
// again, and the engine unloads without waiting on a call left running.
TEST_F(TranslateDialogsTest, EngineStoppedMidTranslation_ShowsTheLinesDone_FailingShowsNothing) {
    EngineLayout slowLayout;
    slowLayout.WriteStandardCatalogue();
    SlowDirection slow(slowLayout);
    ASSERT_TRUE(slow.Ready());
    UseEngine(slowLayout);
    HWND window = OpenResult(L"", L"");
    ASSERT_NE(window, nullptr);
    HWND edit = GetDlgItem(window, IDC_TRANSLATION_EDIT);
    std::wstring translating = platform::LoadResString(IDS_TRANSLATING);
    auto settled = [&](const std::wstring& expected) {
        return desktop::WaitFor([&] {
            return desktop::TextOf(edit) == expected && FindDialogShowing(IDC_WAIT_LABEL, translating) == nullptr;
        });
    };

    SetWindowTextW(edit, L"quick one\nslow two");
    Command(window, ID_RESULT_TRANSLATE);
    ASSERT_TRUE(slow.WaitEntered(10000));
    HWND wait = nullptr;
    ASSERT_TRUE(desktop::WaitFor([&] { return (wait = FindDialogShowing(IDC_WAIT_LABEL, translating)) != nullptr; }));
    PostMessageW(wait, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    EXPECT_TRUE(settled(L"[quick one]\n")) << testing::PrintToString(desktop::TextOf(edit));

    // The engine's answer is that of the text's last run: here it fails after part of its output.
    SetWindowTextW(edit, L"quick one\nfail two");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(settled(L"")) << testing::PrintToString(desktop::TextOf(edit));

    slow.Release();
    SetWindowTextW(edit, L"quick again");
    Command(window, ID_RESULT_TRANSLATE);
    EXPECT_TRUE(settled(L"[quick again]")) << testing::PrintToString(desktop::TextOf(edit));
    child.End();
    auto begin = std::chrono::steady_clock::now();
    client.reset();
    translator.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10)) << "a call left running";
}

// A plain-text page stopped (Back on the wait window) while its second line is in the engine: the
// file gets the line done and the rest of the text as it was, never an empty text.
TEST_F(TranslateDialogsTest, PlainTextPageStopped_KeepsTheLinesDoneAndTheRestAsItWas) {
    EngineLayout slowLayout;
    slowLayout.WriteStandardCatalogue();
    SlowDirection slow(slowLayout);
    ASSERT_TRUE(slow.Ready());
    UseEngine(slowLayout);
    pagelink::CPageLink link(*client, &stopFlag);
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"page.txt");
    std::string page = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"quick one\r\nslow two\r\nquick three")) {
        page += static_cast<char>(c & 0xFF);
        page += static_cast<char>(c >> 8);
    }
    testsupport::WriteFileBytes(path, page);
    std::string bytes = ovrin::WideToMultiByte(ovrin::kCodePageAnsi, path);
    bytes += '\0';
    COPYDATASTRUCT copy = {0, static_cast<DWORD>(bytes.size()), bytes.data()};
    std::thread stopper = slow.StopOnEntry(stopFlag);
    LRESULT answer = 0;
    EXPECT_TRUE(link.Handle(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), answer));
    stopper.join();
    EXPECT_EQ(answer, 1);
    std::string expected = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"[quick one]\r\nslow two\r\nquick three")) {
        expected += static_cast<char>(c & 0xFF);
        expected += static_cast<char>(c >> 8);
    }
    EXPECT_EQ(FileBytes(path), expected);
    slow.Release();
}

// The panel's purpose 3 in the toolbar program: selection mode for the dictionary over Wine's notepad,
// a word selected by arrow keys, the held call key: the dictionary program starts with that word.
TEST_F(TranslateDialogsTest, ToolbarProgram_WordSelectedInNotepadOpensInTheDictionary) {
    EngineForPrograms installed(layout);
    ASSERT_TRUE(installed.Copied());
    InstalledDictionary dictionary;
    ASSERT_TRUE(dictionary.Copied());
    EndRunningToolbars();
    desktop::FrontProgram notepad;
    ASSERT_TRUE(notepad.Start(L"notepad.exe"));
    SendMessageW(notepad.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello world"));
    SendMessageW(notepad.Edit(), EM_SETSEL, 0, 0);
    desktop::Process toolbar;
    ASSERT_TRUE(toolbar.Start(L"\"" + ovrin::GetProgramFolder() + L"OvrinToolbar.exe\""));
    HWND panelWindow = nullptr;
    ASSERT_TRUE(desktop::WaitFor(
        [&] {
            panelWindow = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr);
            return panelWindow != nullptr && !Text(panelWindow, IDC_CAPTION_LABEL).empty();
        },
        15000));

    // The user is at notepad when the panel's command comes.
    ASSERT_TRUE(testsupport::FocusWindowForKeys(notepad.Window()));
    PostMessageW(panelWindow, WM_COMMAND, ID_SELECT_DICTIONARY, 0);
    ASSERT_TRUE(desktop::WaitFor([&] { return (GetWindowLongW(notepad.Edit(), GWL_STYLE) & ES_READONLY) != 0; }))
        << "selection mode did not start";
    ASSERT_TRUE(testsupport::FocusWindowForKeys(notepad.Window()));
    ASSERT_TRUE(desktop::Xdotool("key Right Right Right Right Right"));
    ASSERT_TRUE(desktop::WaitFor([&] { return desktop::SelectionOf(notepad.Edit()) == std::make_pair(0L, 5L); }));
    ASSERT_TRUE(desktop::Xdotool("keydown Return sleep 0.9 keyup Return"));
    EXPECT_TRUE(desktop::WaitFor([&] { return dictionary.Word() == L"hello"; }, 10000))
        << testing::PrintToString(dictionary.Word());
    EXPECT_EQ(desktop::TextOf(notepad.Edit()), L"hello world");
    EndRunningToolbars();
}
