// The whole suite as a user gets it, with real processes: the package made from this build,
// installed; the launcher starting the toolbar as the start-up shortcut does; the call key held in
// Wine's notepad showing the panel, selection mode, the selection translated by the engine stand-in
// into the result window, a selected word looked up in the dictionary program; then removal, which
// ends the running programs and leaves the device's folders and the registry as they were before the
// installation (listed before and after).
#include "testsupport/ConsoleProgram.h"
#include "testsupport/GuiProgram.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <future>
#include <set>

namespace {

std::wstring ThisFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The build tree's root, two folders above this program (outside\installer).
std::wstring BuildRoot() {
    std::wstring folder = ThisFolder();
    for (int i = 0; i < 2; ++i)
        folder = folder.substr(0, folder.find_last_of(L'\\'));
    return folder;
}

std::wstring SourceRoot() {
    std::string unix = OVRIN_SOURCE_DIR;
    std::wstring path = L"Z:";
    for (char c : unix)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void ListFiles(const std::wstring& folder, bool recursive, std::set<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        out.insert(folder + L"\\" + name);
        if (recursive && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            ListFiles(folder + L"\\" + name, true, out);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void ListKeys(HKEY root, const std::wstring& label, const std::wstring& path, std::set<std::wstring>& out) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    out.insert(label + path);
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        out.insert(label + path + L" = " + name);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring& subkey : subkeys)
        ListKeys(root, label, path + L"\\" + subkey, out);
}

// What an installation may touch: the program folders, the Windows folder's own files, the start
// menu, and the registry where the suite, its engine, its COM classes and the browser's helper list
// live.
std::set<std::wstring> DeviceState() {
    std::set<std::wstring> state;
    ListFiles(ShellFolder(CSIDL_PROGRAM_FILES), true, state);
    ListFiles(ShellFolder(CSIDL_WINDOWS), false, state);
    ListFiles(ShellFolder(CSIDL_STARTMENU), true, state);
    ListKeys(HKEY_CURRENT_USER, L"HKCU\\", L"Software\\Ovrinsoft", state);
    ListKeys(HKEY_LOCAL_MACHINE, L"HKLM\\", L"SOFTWARE\\Apps", state);
    ListKeys(HKEY_LOCAL_MACHINE, L"HKLM\\", L"Security\\AppInstall", state);
    ListKeys(HKEY_LOCAL_MACHINE, L"HKLM\\",
             L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects", state);
    ListKeys(HKEY_CLASSES_ROOT, L"HKCR\\", L"CLSID", state);
    ListKeys(HKEY_CLASSES_ROOT, L"HKCR\\", L"TypeLib", state);
    return state;
}

std::wstring Difference(const std::set<std::wstring>& before, const std::set<std::wstring>& after) {
    std::wstring text;
    for (const std::wstring& item : after)
        if (before.count(item) == 0)
            text += L"  added: " + item + L"\n";
    for (const std::wstring& item : before)
        if (after.count(item) == 0)
            text += L"  gone: " + item + L"\n";
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text)
        bytes += c < 0x80 ? static_cast<char>(c) : '?';
    return bytes;
}

// Removal through the installer, its parting message answered; the message box's window (or null when
// none showed) and the installer's outcome.
std::pair<HWND, testsupport::ProgramOutcome> RemoveSuite(const std::wstring& ovinstall,
                                                         const std::function<void(HWND)>& whileShown = nullptr) {
    auto removal =
        std::async(std::launch::async, [&] { return testsupport::RunConsoleProgram(ovinstall, L"uninstall"); });
    HWND box = testsupport::WaitForWindow(L"#32770", L"OVRIN Mobile");
    if (box != nullptr) {
        if (whileShown)
            whileShown(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return {box, removal.get()};
}

// Ends every process running a file of that name.
void EndProcessesNamed(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, name) != 0)
            continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

// A suite an earlier run left installed (or running) is removed first: the device starts clean.
void RemoveEarlierSuite(const std::wstring& ovinstall) {
    for (const wchar_t* name : {L"OvrinToolbar.exe", L"Lexory.exe", L"Ovloader.exe", L"notepad.exe"})
        EndProcessesNamed(name);
    if (GetFileAttributesW((ShellFolder(CSIDL_WINDOWS) + L"\\OVRIN Mobile.unload").c_str()) != INVALID_FILE_ATTRIBUTES)
        RemoveSuite(ovinstall);
}

// A screenshot of the display into the repository's out/ folder, for a person to look at.
void Shot(const std::string& name) {
    testsupport::RunUnixCommand(std::string("mkdir -p '") + OVRIN_SOURCE_DIR + "/out'");
    testsupport::Screenshot(std::string(OVRIN_SOURCE_DIR) + "/out/suite-" + name + ".png");
}

bool Xdotool(const std::string& arguments) {
    return testsupport::RunUnixCommand("xdotool " + arguments) == 0;
}

std::pair<DWORD, DWORD> SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// A user of the installed suite at Wine's notepad: the call key held over it, the panel's keys, the
// arrow keys in selection mode, all through the X server.
class NotepadUser {
public:
    NotepadUser(HWND panel, const std::wstring& text) : m_panel(panel), m_text(text) {
        if (!m_notepad.Start(L"C:\\windows\\system32\\notepad.exe"))
            return;
        m_window = testsupport::WaitForWindow(L"Notepad", nullptr, m_notepad.Id());
        m_edit = m_window != nullptr ? FindWindowExW(m_window, nullptr, L"Edit", nullptr) : nullptr;
        SendMessageW(m_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        // Below the place where the panel shows (the top middle of the screen), so that the pointer
        // put on the panel is over the panel alone.
        SetWindowPos(m_window, nullptr, 20, 200, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND Edit() const { return m_edit; }
    bool ReadOnly() const { return (GetWindowLongW(m_edit, GWL_STYLE) & ES_READONLY) != 0; }

    // The call key held with notepad in front.
    void HoldCallKey() {
        ASSERT_TRUE(testsupport::FocusWindowForKeys(m_window));
        ASSERT_TRUE(Xdotool("keydown Return sleep 0.7 keyup Return"));
    }
    // The panel called up, Enter on its current button 0 ("Режим выделения") opens the button's menu,
    // and its item'th entry is chosen: selection mode in notepad from the caret at start, extended
    // by Right over length characters.
    void Select(int item, DWORD start, DWORD length) {
        // A toolbar just started registers its call key a moment after its panel exists: the user
        // holds the key again when nothing showed (and the Enter notepad got meanwhile is undone).
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            SendMessageW(m_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_text.c_str()));
            SendMessageW(m_edit, EM_SETSEL, start, start);
            ASSERT_NO_FATAL_FAILURE(HoldCallKey());
            shown = testsupport::WaitUntil([&] { return IsWindowVisible(m_panel) != FALSE; },
                                           std::chrono::milliseconds(4000));
        }
        ASSERT_TRUE(shown) << "the call key shows no panel";
        // The pointer rests on the panel's caption label, clear of its buttons and of the menu that
        // opens below button 0 (the panel is in front already).
        ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_panel; }));
        RECT panel = {};
        GetWindowRect(m_panel, &panel);
        ASSERT_TRUE(Xdotool("mousemove " + std::to_string((panel.left + panel.right) / 2) + " " +
                            std::to_string(panel.bottom - 8)));
        // Left until button 0 is current (its caption in the panel's label).
        HWND label = GetDlgItem(m_panel, 1004);
        for (int i = 0; i < 5 && testsupport::ControlText(label) != L"Режим выделения"; ++i) {
            std::wstring before = testsupport::ControlText(label);
            ASSERT_TRUE(Xdotool("key Left"));
            ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::ControlText(label) != before; }))
                << Narrow(before);
        }
        ASSERT_EQ(testsupport::ControlText(label), L"Режим выделения");
        ASSERT_TRUE(Xdotool("key Return"));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::FindProgramWindow(L"#32768") != nullptr; }))
            << "button 0 opened no menu";
        Shot("menu" + std::to_string(item));
        for (int i = 0; i < item; ++i)
            ASSERT_TRUE(Xdotool("key Down"));
        ASSERT_TRUE(Xdotool("key Return"));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return ReadOnly() && !IsWindowVisible(m_panel); }))
            << "selection mode did not start";
        ASSERT_TRUE(testsupport::FocusWindowForKeys(m_window));
        for (DWORD i = 1; i <= length; ++i) {
            ASSERT_TRUE(Xdotool("key Right"));
            ASSERT_TRUE(testsupport::WaitUntil([&] { return SelectionOf(m_edit) == std::make_pair(start, start + i); },
                                               std::chrono::milliseconds(3000)))
                << "Right " << i << " did not extend the selection";
        }
    }

private:
    HWND m_panel;
    std::wstring m_text;
    testsupport::CProgramProcess m_notepad;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
};

// The result window of the toolbar: a dialog of its process holding the translation's edit (1013).
HWND ResultWindow(DWORD toolbarProcess) {
    HWND found = nullptr;
    testsupport::WaitUntil([&] {
        for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window != nullptr;
             window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
            if (testsupport::WindowProcess(window) == toolbarProcess && IsWindowVisible(window) &&
                GetDlgItem(window, 1013) != nullptr)
                return (found = window) != nullptr;
        }
        return false;
    });
    return found;
}

} // namespace

TEST(SuiteTest, InstalledSuiteRunsAndItsRemovalLeavesTheDeviceAsItWas) {
    std::wstring ovinstall = ThisFolder() + L"\\ovinstall.exe";
    std::wstring package = ThisFolder() + L"\\suite-package";
    RemoveEarlierSuite(ovinstall);
    // A device the suite was never installed on: no settings of its programs (other tests of this
    // prefix leave some).
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN");
    std::set<std::wstring> before = DeviceState();

    auto packed = testsupport::RunConsoleProgram(
        ovinstall, L"pack \"" + SourceRoot() + L"\\outside\\installer\\package\\suite.pkg\" \"" + package +
                       L"\" --build \"" + BuildRoot() + L"\" --source \"" + SourceRoot() + L"\" --samples \"" +
                       BuildRoot() + L"\\..\\samples\"");
    ASSERT_EQ(packed.exitCode, 0u) << packed.output;
    auto installed = testsupport::RunConsoleProgram(ovinstall, L"install \"" + package + L"\"");
    ASSERT_EQ(installed.exitCode, 0u) << installed.output;
    std::wstring folder = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\OVRIN Mobile";
    ASSERT_NE(GetFileAttributesW((folder + L"\\OvrinToolbar.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    // The start-up shortcut's command: the launcher with the toolbar's quoted path.
    testsupport::CProgramProcess launcher;
    ASSERT_TRUE(
        launcher.Start(ShellFolder(CSIDL_WINDOWS) + L"\\Ovloader.exe", L"\"" + folder + L"\\OvrinToolbar.exe\""));
    // A plain start leaves the panel hidden, with only its tray indicator.
    HWND toolbar = nullptr;
    testsupport::WaitUntil([&] { return (toolbar = FindWindowW(L"OvrinTBWndClass", nullptr)) != nullptr; });
    EXPECT_NE(toolbar, nullptr) << "the launcher did not start the toolbar";
    EXPECT_TRUE(launcher.WaitForExit());
    // Whatever fails below, no program of the suite is left running in the prefix.
    struct EndSuitePrograms {
        ~EndSuitePrograms() {
            for (const wchar_t* name : {L"OvrinToolbar.exe", L"Lexory.exe"})
                EndProcessesNamed(name);
        }
    } endSuitePrograms;
    // The toolbar is ready for the call key once its first refresh has given the panel's label its
    // caption.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !testsupport::ControlText(GetDlgItem(toolbar, 1004)).empty(); }));
    SendMessageW(toolbar, WM_NULL, 0, 0);

    // The road of a request: "the big cat" selected in notepad and translated; "house" looked up.
    {
        NotepadUser user(toolbar, L"the big cat is in my house");
        ASSERT_NE(user.Edit(), nullptr) << "notepad did not start";
        DWORD toolbarProcess = testsupport::WindowProcess(toolbar);
        ASSERT_NO_FATAL_FAILURE(user.Select(1, 0, 11)); // "Перевести"
        ASSERT_NO_FATAL_FAILURE(user.HoldCallKey());
        HWND result = ResultWindow(toolbarProcess);
        ASSERT_NE(result, nullptr) << "no result window";
        std::wstring translation;
        testsupport::WaitUntil(
            [&] { return !(translation = testsupport::ControlText(GetDlgItem(result, 1013))).empty(); });
        EXPECT_EQ(translation, L"большой кошка") << Narrow(translation);
        Shot("result");
        EXPECT_FALSE(user.ReadOnly());
        PostMessageW(result, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(result); }));

        ASSERT_NO_FATAL_FAILURE(user.Select(2, 21, 5)); // "Посмотреть в словаре"
        ASSERT_NO_FATAL_FAILURE(user.HoldCallKey());
    }
    HWND lookup = testsupport::WaitForWindow(L"LexoryWndClass");
    ASSERT_NE(lookup, nullptr) << "the dictionary program did not start";
    EXPECT_TRUE(testsupport::WaitUntil([&] { return testsupport::ControlText(GetDlgItem(lookup, 1000)) == L"house"; }))
        << "the dictionary program did not get the word";
    Shot("dictionary");

    // Removal ends both programs and says goodbye last.
    auto [box, removed] = RemoveSuite(ovinstall, [&](HWND) {
        EXPECT_FALSE(IsWindow(toolbar)) << "the toolbar still runs";
        EXPECT_FALSE(IsWindow(lookup)) << "the dictionary program still runs";
    });
    EXPECT_NE(box, nullptr) << "no parting message";

    EXPECT_EQ(removed.exitCode, 0u) << removed.output;

    std::wstring changed = Difference(before, DeviceState());
    EXPECT_TRUE(changed.empty()) << "the device changed:\n" << Narrow(changed);
    RemoveDirectoryW(package.c_str()); // the package itself is left for a look; nothing of the device
}
