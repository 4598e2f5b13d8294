// OvrinToolbar.exe as a user meets it, beside Wine's notepad as the program in front: real processes,
// the call key held through the X server, the panel found by its window class and read through its
// controls, the toolbar ended by its process (or its exit command).
#include "DesktopSession.h"
#include "base/FileSystem.h"
#include "base/Path.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "platform/Handles.h"
#include "resource.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/Processes.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr const wchar_t* kPanelClass = ovrin::protocol::kToolbarWindowClass;
constexpr const wchar_t* kToolbarSection = ovrin::protocol::kToolbarSection;

std::wstring ToolbarPath() {
    return ovrin::GetProgramFolder() + L"OvrinToolbar.exe";
}

std::vector<HWND> PanelsOf(DWORD processId) {
    std::vector<HWND> panels;
    for (HWND window = FindWindowExW(nullptr, nullptr, kPanelClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, kPanelClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId)
            panels.push_back(window);
    }
    return panels;
}

void DeleteSetting(const wchar_t* name, const wchar_t* sectionName = kToolbarSection) {
    CAppSettings::Remove(sectionName, name);
}

// A message box of the toolbar: its text.
std::wstring MessageBoxText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (desktop::ClassOf(child) == L"Static" && GetDlgCtrlID(child) == 0xFFFF)
            return desktop::TextOf(child);
    }
    return {};
}

class ToolbarGuiTest : public testing::Test {
protected:
    void SetUp() override {
        // Toolbars a failed earlier test left running in the prefix would take the call key.
        testsupport::EndProcessesNamed(L"OvrinToolbar.exe");
        m_savedKey = CAppSettings::ReadString(kToolbarSection, ovrin::protocol::kCallKeySetting);
        DeleteSetting(ovrin::protocol::kCallKeySetting);
        // Without the dictionary program's "path" (which an installed suite or another test may have
        // left) button 0 starts selection mode at once instead of opening its menu.
        m_savedDictionaryPath =
            CAppSettings::ReadString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting);
        DeleteSetting(ovrin::protocol::kDictionaryPathSetting, ovrin::protocol::kDictionarySection);
    }

    void TearDown() override {
        m_toolbar.End();
        if (m_savedKey.empty())
            DeleteSetting(ovrin::protocol::kCallKeySetting);
        else
            CAppSettings::WriteString(kToolbarSection, ovrin::protocol::kCallKeySetting, m_savedKey);
        if (!m_savedDictionaryPath.empty())
            CAppSettings::WriteString(ovrin::protocol::kDictionarySection, ovrin::protocol::kDictionaryPathSetting,
                                      m_savedDictionaryPath);
    }

    bool StartNotepad(const std::wstring& text, long caret) {
        if (!m_notepad.Start(L"notepad.exe"))
            return false;
        SendMessageW(Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(Edit(), EM_SETSEL, caret, caret);
        return true;
    }

    // Starts the toolbar and waits until its panel has set itself up (the first refresh gives the label
    // its caption) and has handled what it posted to itself meanwhile.
    bool StartToolbar(const std::wstring& parameters = L"") { return StartToolbarFrom(ToolbarPath(), parameters); }
    bool StartToolbarFrom(const std::wstring& path, const std::wstring& parameters) {
        if (!m_toolbar.Start(path, parameters))
            return false;
        bool ready = testsupport::WaitUntil(
            [&] {
                std::vector<HWND> panels = PanelsOf(m_toolbar.Id());
                m_panel = panels.empty() ? nullptr : panels[0];
                return m_panel != nullptr && !Label().empty();
            },
            15000);
        Flush();
        return ready;
    }

    void Flush() {
        if (m_panel != nullptr) {
            SendMessageW(m_panel, WM_NULL, 0, 0);
            SendMessageW(m_panel, WM_NULL, 0, 0);
        }
    }

    HWND Edit() const { return m_notepad.Edit(); }
    std::wstring NotepadText() const { return desktop::TextOf(Edit()); }
    std::wstring Label() const { return desktop::TextOf(GetDlgItem(m_panel, IDC_CAPTION_LABEL)); }
    bool PanelVisible() const { return IsWindowVisible(m_panel) != FALSE; }
    bool ReadOnly() const { return (GetWindowLongW(Edit(), GWL_STYLE) & ES_READONLY) != 0; }

    // Holds the key for a fixed time with notepad in front (a short press, or one whose effect is that
    // nothing happens); what the press does is waited for by the caller.
    void Hold(const char* key, const char* seconds) {
        ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
        ASSERT_TRUE(desktop::Xdotool(std::string("keydown ") + key + " sleep " + seconds + " keyup " + key));
        Flush();
    }

    // Holds the call key over notepad until the panel shows, as a user does.
    void CallPanel() {
        ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()))
            << "in front: " << testing::PrintToString(desktop::ClassOf(GetForegroundWindow()));
        ASSERT_TRUE(desktop::HoldKeyUntil("Return", [&] { return PanelVisible(); })) << "the panel did not show";
        ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_panel; }));
    }
    // The panel's label once it says caption (a key typed on the panel takes effect on its own thread).
    bool LabelBecomes(const std::wstring& caption) {
        return testsupport::WaitUntil([&] { return Label() == caption; });
    }

    // A key typed on the panel (the pointer over it).
    void PanelKey(const char* key) {
        ASSERT_TRUE(testsupport::FocusWindowForKeys(m_panel));
        ASSERT_TRUE(desktop::Xdotool(std::string("key ") + key));
        Flush();
    }

    HWND WaitForMessageBox() {
        HWND box = nullptr;
        testsupport::WaitUntil(
            [&] {
                box = FindWindowW(L"#32770", L"OVRIN Mobile");
                return box != nullptr && IsWindowVisible(box);
            },
            5000);
        return box;
    }

    std::wstring m_savedKey;
    std::wstring m_savedDictionaryPath;
    desktop::FrontProgram m_notepad;
    testsupport::CProgramProcess m_toolbar;
    HWND m_panel = nullptr;
};

} // namespace

// A plain start leaves no panel on the screen; a second start ends at once and leaves the first alone.
// The engine is not installed beside the toolbar in the build tree, so it fails to start: the toolbar
// runs all the same.
TEST_F(ToolbarGuiTest, PlainStart_ShowsNoPanel_ASecondStartLeavesOneCopy) {
    ASSERT_FALSE(ovrin::FileExists(ovrin::GetProgramFolder() + L"dircat.dll")) << "the engine must be missing here";
    ASSERT_TRUE(StartNotepad(L"hello world", 5));
    ASSERT_TRUE(StartToolbar());
    EXPECT_FALSE(PanelVisible());
    EXPECT_EQ(CAppSettings::ReadInt(kToolbarSection, ovrin::protocol::kCallKeySetting), VK_RETURN)
        << "no key stored: Enter is stored";

    testsupport::CProgramProcess second;
    ASSERT_TRUE(second.Start(ToolbarPath(), L"/options"));
    EXPECT_EQ(WaitForSingleObject(second.Handle(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(PanelsOf(0).size(), 1u);
    EXPECT_EQ(WaitForSingleObject(m_toolbar.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(PanelVisible());
}

// "/options" leaves the panel visible. "TBShowOptions", sent over and over from the moment the panel's
// window exists, answers 0 until the buttons exist and 1 from then on, making button 2 current.
TEST_F(ToolbarGuiTest, OptionsStart_LeavesThePanelVisible_TBShowOptionsAnswersOnceTheButtonsExist) {
    UINT showOptions = RegisterWindowMessageW(ovrin::protocol::kShowOptionsMessage);
    std::vector<LRESULT> answers;
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        while (!stop) {
            HWND panel = FindWindowW(kPanelClass, nullptr);
            DWORD_PTR answer = 0;
            if (panel != nullptr && SendMessageTimeoutW(panel, showOptions, 0, 0, SMTO_NORMAL, 5000, &answer)) {
                answers.push_back(static_cast<LRESULT>(answer));
                if (answer == 1)
                    return;
            }
            Sleep(1);
        }
    });
    bool started = StartToolbar(L"/options");
    testsupport::WaitUntil([&] { return !answers.empty() && answers.back() == 1; }, 10000);
    stop = true;
    sender.join();
    ASSERT_TRUE(started);
    EXPECT_TRUE(PanelVisible());
    ASSERT_FALSE(answers.empty());
    EXPECT_EQ(answers.back(), 1);
    for (std::size_t i = 0; i + 1 < answers.size(); ++i)
        EXPECT_EQ(answers[i], 0) << "answer " << i;
    EXPECT_TRUE(LabelBecomes(L"Выбор направления перевода"));
    DWORD_PTR again = 0;
    SendMessageTimeoutW(m_panel, showOptions, 0, 0, SMTO_NORMAL, 5000, &again);
    EXPECT_EQ(again, 1u);
}

// 100 ms of the call key reaches notepad as one Enter and shows nothing; held longer it shows the panel over
// notepad with button 0 current; Left from button 0 goes to button 4, Right back to 0, Down minimises
// and notepad has the keyboard again.
// A restart's "/options" start that comes after the old toolbar's window is gone but while its
// instance mutex is still held (the old one is ending) waits for the mutex and comes up; here the test
// holds the mutex as the ending toolbar does and lets it go once the new start waits for it.
TEST_F(ToolbarGuiTest, OptionsStart_WhileTheEndingToolbarStillHoldsItsMutex_WaitsAndComesUp) {
    CHandle mutex(CreateMutexW(nullptr, TRUE, ovrin::protocol::kToolbarInstanceMutex));
    ASSERT_TRUE(mutex);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(m_toolbar.Start(ToolbarPath(), L"/options"));
    // Released and taken back at once while nobody waits; a waiting start takes it over on release.
    bool handedOver = false;
    while (!handedOver && WaitForSingleObject(m_toolbar.Handle(), 50) == WAIT_TIMEOUT) {
        ReleaseMutex(mutex.Get());
        handedOver = WaitForSingleObject(mutex.Get(), 0) == WAIT_TIMEOUT;
    }
    if (!handedOver)
        ReleaseMutex(mutex.Get());
    mutex.Reset();
    EXPECT_TRUE(handedOver) << "the start ended while the mutex was held";
    EXPECT_NE(testsupport::WaitForWindow(kPanelClass, nullptr, GetProcessId(m_toolbar.Handle())), nullptr);
}

TEST_F(ToolbarGuiTest, CallKey_ShortPressReachesNotepad_LongPressShowsThePanel_KeysMoveAndMinimise) {
    ASSERT_TRUE(StartNotepad(L"hello world", 5));
    ASSERT_TRUE(StartToolbar());
    Hold("Return", "0.1");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return NotepadText() == L"hello\r\n world"; }));
    EXPECT_FALSE(PanelVisible());

    CallPanel();
    EXPECT_EQ(NotepadText(), L"hello\r\n world") << "a long press keeps the key from notepad";
    EXPECT_TRUE(LabelBecomes(L"Режим выделения"));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(m_panel, IDC_BUTTON_SELECT)));
    testsupport::ScreenshotIntoOut("toolbar-panel-over-notepad.png");
    PanelKey("Left");
    EXPECT_TRUE(LabelBecomes(L"Дополнительно"));
    EXPECT_EQ(GetFocus(), nullptr); // the focus belongs to the toolbar's thread, not to this one
    PanelKey("Right");
    EXPECT_TRUE(LabelBecomes(L"Режим выделения"));
    PanelKey("Right");
    EXPECT_TRUE(LabelBecomes(L"Перевод"));
    PanelKey("Down");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !PanelVisible(); }));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_notepad.Window(); }));
}

// Without text in notepad button 0 is disabled: not shown, skipped by Left and Right, and the four
// shown buttons follow the layout formula.
TEST_F(ToolbarGuiTest, DisabledButton_IsSkippedAndNotShown) {
    ASSERT_TRUE(StartNotepad(L"", 0));
    ASSERT_TRUE(StartToolbar());
    CallPanel();
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_panel, IDC_BUTTON_SELECT)));
    EXPECT_TRUE(LabelBecomes(L"Перевод"));
    PanelKey("Left");
    EXPECT_TRUE(LabelBecomes(L"Дополнительно"));
    PanelKey("Right");
    EXPECT_TRUE(LabelBecomes(L"Перевод"));
    PanelKey("Left");
    PanelKey("Left");
    PanelKey("Left");
    EXPECT_TRUE(LabelBecomes(L"Выбор направления перевода"));

    RECT panel = {}, first = {}, second = {};
    GetWindowRect(m_panel, &panel);
    GetWindowRect(GetDlgItem(m_panel, IDC_BUTTON_TRANSLATE), &first);
    GetWindowRect(GetDlgItem(m_panel, IDC_BUTTON_DIRECTION), &second);
    int width = first.right - first.left;
    int gap = (panel.right - panel.left - 4 * width) / 4;
    EXPECT_EQ(first.left - panel.left, gap);
    EXPECT_EQ(second.left - panel.left, gap + (gap + width - 1));
    EXPECT_EQ(first.top - panel.top, 40);
}

// Button 0 starts selection mode in notepad; Left right after the start with the caret at 5 selects 4
// to 5 with notepad read-only meanwhile; the next held key ends selection mode and notepad is writable
// again (the selection then goes to a translation).
TEST_F(ToolbarGuiTest, SelectionMode_ByArrowKeysInNotepad_EndsWithTheNextHeldKey) {
    ASSERT_TRUE(StartNotepad(L"hello world", 5));
    ASSERT_TRUE(StartToolbar());
    CallPanel();
    PanelKey("Return");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !PanelVisible() && ReadOnly(); }))
        << "selection mode did not start";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_notepad.Window(); }));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
    ASSERT_TRUE(desktop::Xdotool("key Left"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(Edit()) == std::make_pair(4L, 5L); }));
    ASSERT_TRUE(desktop::Xdotool("key Left"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(Edit()) == std::make_pair(3L, 5L); }));
    testsupport::ScreenshotIntoOut("toolbar-selection-in-notepad.png");
    EXPECT_EQ(NotepadText(), L"hello world");
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
    EXPECT_TRUE(desktop::HoldKeyUntil("Return", [&] { return !ReadOnly(); }));
    EXPECT_EQ(NotepadText(), L"hello world");
    EXPECT_FALSE(PanelVisible());
}

// Selection mode ended without a move: nothing is selected, and the held key tells so (string 11).
TEST_F(ToolbarGuiTest, SelectionMode_NothingSelected_TheHeldKeySaysSo) {
    ASSERT_TRUE(StartNotepad(L"hello world", 5));
    ASSERT_TRUE(StartToolbar());
    CallPanel();
    PanelKey("Return");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return ReadOnly(); }));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
    desktop::HoldKeyUntil("Return", [&] {
        HWND shown = FindWindowW(L"#32770", L"OVRIN Mobile");
        return shown != nullptr && IsWindowVisible(shown);
    });
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"Отсутствует выделенный текст.");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(ReadOnly());
}

// The held key over the dictionary program (any process running a file named Lexory.exe; here a copy
// of notepad under that name) does nothing, and the held key does not reach it either.
TEST_F(ToolbarGuiTest, HeldKeyOverTheDictionaryProgram_DoesNothing) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"ovrin-toolbar-lexory-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\Lexory.exe";
    wchar_t notepad[MAX_PATH] = {};
    ExpandEnvironmentStringsW(L"%SystemRoot%\\system32\\notepad.exe", notepad, MAX_PATH);
    ASSERT_TRUE(CopyFileW(notepad, copy.c_str(), FALSE));
    ASSERT_TRUE(m_notepad.Start(L"\"" + copy + L"\""));
    ASSERT_TRUE(StartToolbar());
    Hold("Return", "1.5");
    // The user presses again a moment later. (A press that starts within about 0.2 s of the last one's
    // end is, now and then, taken for a short press and replayed into the program in front: a fault of
    // the toolbar's held-key detection, left to its own issue.)
    Sleep(500);
    Hold("Return", "1.5");
    EXPECT_FALSE(PanelVisible());
    EXPECT_EQ(NotepadText(), L"");
    m_notepad.GetProcess().End();
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

// With the Back key (27) as the call key a short press deletes one character in notepad, and the exit
// question is string 43; answered No, the toolbar stays.
TEST_F(ToolbarGuiTest, BackKeyAsCallKey_ShortPressDeletes_ExitAsksToSwitchThePanelOff) {
    CAppSettings::WriteInt(kToolbarSection, ovrin::protocol::kCallKeySetting, VK_ESCAPE);
    ASSERT_TRUE(StartNotepad(L"hello", 5));
    ASSERT_TRUE(StartToolbar());
    Hold("Escape", "0.1");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return NotepadText() == L"hell"; }))
        << testing::PrintToString(NotepadText());
    PostMessageW(m_panel, WM_COMMAND, ID_APP_EXIT, 0);
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"Вы действительно хотите отключить панель OVRIN?");
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
    Flush();
    EXPECT_EQ(WaitForSingleObject(m_toolbar.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// Garbage in the stored key reads as no key: Enter is stored and calls the panel.
TEST_F(ToolbarGuiTest, GarbageInTheStoredKey_FallsBackToEnter) {
    for (const wchar_t* garbage : {L"garbage", L"99999999", L"-13"}) {
        CAppSettings::WriteString(kToolbarSection, ovrin::protocol::kCallKeySetting, garbage);
        ASSERT_TRUE(StartNotepad(L"text", 0));
        ASSERT_TRUE(StartToolbar());
        EXPECT_EQ(CAppSettings::ReadString(kToolbarSection, ovrin::protocol::kCallKeySetting), L"13")
            << testing::PrintToString(garbage);
        CallPanel();
        m_toolbar.End();
        m_notepad.GetProcess().End();
    }
}

// Exit in selection mode, answered Yes: the process ends, notepad is writable, its arrow keys move its
// caret again, and the call key is notepad's own (no hot key, no keyboard hook left behind).
TEST_F(ToolbarGuiTest, ExitInSelectionMode_LeavesNoHookAndAWritableControl) {
    ASSERT_TRUE(StartNotepad(L"hello world", 5));
    ASSERT_TRUE(StartToolbar());
    CallPanel();
    PanelKey("Return");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return ReadOnly(); }));
    PostMessageW(m_panel, WM_COMMAND, ID_APP_EXIT, 0);
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"Закрыть приложение?");
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    ASSERT_EQ(WaitForSingleObject(m_toolbar.Handle(), 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(ReadOnly());
    SetForegroundWindow(m_notepad.Window());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_notepad.Window(); }));
    ASSERT_TRUE(testsupport::FocusWindowForKeys(m_notepad.Window()));
    SendMessageW(Edit(), EM_SETSEL, 5, 5);
    ASSERT_TRUE(desktop::Xdotool("key Left"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return desktop::SelectionOf(Edit()) == std::make_pair(4L, 4L); }));
    ASSERT_TRUE(desktop::Xdotool("keydown Return sleep 0.6 keyup Return"));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return NotepadText().find(L"\r\n") != std::wstring::npos; }));
}

// Button 4 opens its menu directly below itself; its "Справка" starts the browser with the help file's
// address and topic 0 as its anchor.
TEST_F(ToolbarGuiTest, MoreMenuOpensBelowItsButton_HelpStartsTheBrowserWithTheTopic) {
    ASSERT_TRUE(StartNotepad(L"hello", 0));
    ASSERT_TRUE(StartToolbar(L"/options"));
    PostMessageW(m_panel, WM_COMMAND, IDC_BUTTON_MORE, 0);
    HWND menu = nullptr;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    }));
    RECT button = {}, popup = {};
    GetWindowRect(GetDlgItem(m_panel, IDC_BUTTON_MORE), &button);
    GetWindowRect(menu, &popup);
    EXPECT_EQ(popup.left, button.left);
    EXPECT_EQ(popup.top, button.bottom);
    testsupport::ScreenshotIntoOut("toolbar-more-menu.png");
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindowVisible(menu); }));

    // Whichever browser the shell finds, its command line shows on the Linux side of the harness.
    m_toolbar.End();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"ovrin-toolbar-help-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring build = ovrin::GetProgramFolder();
    for (const wchar_t* name : {L"OvrinToolbar.exe", L"XLATCP.dll", L"povrin.htm"})
        ASSERT_TRUE(CopyFileW((build + name).c_str(), (folder + L"\\" + name).c_str(), FALSE));
    ASSERT_TRUE(StartToolbarFrom(folder + L"\\OvrinToolbar.exe", L""));
    PostMessageW(m_panel, WM_COMMAND, ID_HELP_TOPICS, 0);
    std::wstring argument = L"file:" + folder + L"\\povrin.htm#0";
    std::string pattern(argument.begin(), argument.end());
    bool started = testsupport::WaitUntil(
        [&] {
            return testsupport::RunUnixCommand("ps -eo args | grep -F 'iexplore' | grep -qF '" + pattern + "'") == 0;
        },
        10000);
    testsupport::EndProcessesNamed(L"iexplore.exe", m_toolbar.Id());
    EXPECT_TRUE(started) << "no browser started with " << pattern;
    EXPECT_EQ(FindWindowW(L"#32770", L"OVRIN Mobile"), nullptr) << "help was reported missing";

    // Without the help file the toolbar says so (string 15).
    m_toolbar.End();
    DeleteFileW((folder + L"\\povrin.htm").c_str());
    ASSERT_TRUE(StartToolbarFrom(folder + L"\\OvrinToolbar.exe", L""));
    PostMessageW(m_panel, WM_COMMAND, ID_HELP_TOPICS, 0);
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"Справка не найдена.");
    m_toolbar.End();
    for (const wchar_t* name : {L"OvrinToolbar.exe", L"XLATCP.dll"})
        DeleteFileW((folder + L"\\" + name).c_str());
    RemoveDirectoryW(folder.c_str());
}
