// The whole suite as a user gets it, with real processes: the package made from this build,
// installed (a suite an earlier run left behind is removed first); the launcher starting the toolbar
// as the start-up shortcut does; the call key held in Wine's notepad showing the panel, selection
// mode, the selection translated by the engine stand-in into the result window, a selected word
// looked up in the dictionary program; a page in the installed browser translated in place; then
// removal, which ends the running programs and leaves the device's folders and the registry as they
// were before the installation (listed before and after). Screenshots go to out/suite-*.png.
#include "common/Protocol.h"
#include "enginetest/EngineLayout.h"
#include "platform/Device.h"
#include "platform/Handles.h"
#include "platform/RegistryKey.h"
#include "testsupport/ConsoleProgram.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/PageTest.h"
#include "testsupport/Processes.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

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

void ListFiles(const std::wstring& folder, bool recursive, std::set<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        out.insert(folder + L"\\" + name);
        if (recursive && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            ListFiles(folder + L"\\" + name, true, out);
    } while (FindNextFileW(find.Get(), &data));
}

void ListKeys(HKEY root, const std::wstring& label, const std::wstring& path, std::set<std::wstring>& out) {
    CRegistryKey key;
    if (!key.Open(root, path, KEY_READ, false))
        return;
    out.insert(label + path);
    for (const std::wstring& name : key.ValueNames())
        out.insert(label + path + L" = " + name);
    std::vector<std::wstring> subkeys;
    std::wstring name;
    key.ResetEnum();
    while (key.EnumSubkey(name))
        subkeys.push_back(name);
    key.Close();
    for (const std::wstring& subkey : subkeys)
        ListKeys(root, label, path + L"\\" + subkey, out);
}

// What an installation may touch: the program folders, the Windows folder's own files, the start
// menu, and the registry where the suite, its engine, its COM classes and the browser's helper list
// live.
std::set<std::wstring> DeviceState() {
    std::set<std::wstring> state;
    ListFiles(platform::ShellFolder(CSIDL_PROGRAM_FILES), true, state);
    ListFiles(platform::ShellFolder(CSIDL_WINDOWS), false, state);
    ListFiles(platform::ShellFolder(CSIDL_STARTMENU), true, state);
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

// A suite an earlier run left installed (or running) is removed first: the device starts clean. Its
// files without its installation record (another package of that name installed and removed over
// it) are taken away by installing the package over them and removing it.
void RemoveEarlierSuite(const std::wstring& ovinstall, const std::wstring& package) {
    for (const wchar_t* name : {L"OvrinToolbar.exe", L"Lexory.exe", L"Ovloader.exe", L"notepad.exe", L"iexplore.exe"})
        testsupport::EndProcessesNamed(name);
    auto exists = [](const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
    bool recorded = exists(platform::ShellFolder(CSIDL_WINDOWS) + L"\\OVRIN Mobile.unload");
    if (!recorded && !exists(platform::ShellFolder(CSIDL_PROGRAM_FILES) + L"\\OVRIN Mobile"))
        return;
    if (!recorded)
        testsupport::RunConsoleProgram(ovinstall, L"install \"" + package + L"\"");
    RemoveSuite(ovinstall);
}

// A screenshot of the display into the repository's out/ folder, for a person to look at.
void Shot(const std::string& name) {
    testsupport::ScreenshotIntoOut("suite-" + name + ".png");
}

bool Xdotool(const std::string& arguments) {
    return testsupport::RunUnixCommand("xdotool " + arguments) == 0;
}

std::pair<DWORD, DWORD> SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// A user of the installed suite with a program in front (front): the call key held over it, the
// panel's buttons and menus chosen with keys, all through the X server.
class PanelUser {
public:
    explicit PanelUser(HWND panel) : m_panel(panel) {}

    // The call key held with front in front.
    void HoldCallKey(HWND front) {
        ASSERT_TRUE(testsupport::FocusWindowForKeys(front));
        ASSERT_TRUE(Xdotool("keydown Return sleep 0.7 keyup Return"));
    }
    // The panel called up over front (prepare sets front up again before each try), the button whose
    // caption is caption made current with Left, Enter on it, and the item'th entry of its menu chosen.
    void Choose(HWND front, const std::function<void()>& prepare, const std::wstring& caption, int item) {
        // A toolbar just started registers its call key a moment after its panel exists: the user
        // holds the key again when nothing showed.
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            prepare();
            ASSERT_NO_FATAL_FAILURE(HoldCallKey(front));
            shown = testsupport::WaitUntil([&] { return IsWindowVisible(m_panel) != FALSE; },
                                           std::chrono::milliseconds(4000));
        }
        ASSERT_TRUE(shown) << "the call key shows no panel";
        // The pointer rests on the panel's caption label, clear of its buttons and of the menus that
        // open below them (the panel is in front already).
        ASSERT_TRUE(testsupport::WaitUntil([&] { return GetForegroundWindow() == m_panel; }));
        ASSERT_TRUE(testsupport::FocusWindowForKeys(m_panel));
        RECT panel = {};
        GetWindowRect(m_panel, &panel);
        ASSERT_TRUE(Xdotool("mousemove " + std::to_string((panel.left + panel.right) / 2) + " " +
                            std::to_string(panel.bottom - 8)));
        HWND label = GetDlgItem(m_panel, 1004);
        for (int i = 0; i < 5 && testsupport::ControlText(label) != caption; ++i) {
            std::wstring before = testsupport::ControlText(label);
            ASSERT_TRUE(Xdotool("key Left"));
            ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::ControlText(label) != before; }))
                << Narrow(before);
        }
        ASSERT_EQ(testsupport::ControlText(label), caption);
        ASSERT_TRUE(Xdotool("key Return"));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return testsupport::FindProgramWindow(L"#32768") != nullptr; }))
            << "the button opened no menu";
        static int menus = 0;
        Shot("menu-" + std::to_string(++menus));
        for (int i = 0; i < item; ++i)
            ASSERT_TRUE(Xdotool("key Down"));
        ASSERT_TRUE(Xdotool("key Return"));
    }

private:
    HWND m_panel;
};

// The user at Wine's notepad holding text.
class NotepadUser : public PanelUser {
public:
    NotepadUser(HWND panel, const std::wstring& text) : PanelUser(panel), m_panel(panel), m_text(text) {
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
    void HoldCallKey() { PanelUser::HoldCallKey(m_window); }

    // Button 0 ("Режим выделения") and its item'th menu entry: selection mode in notepad from the
    // caret at start, extended by Right over length characters. The text is set anew before each
    // call of the panel (an Enter that reached notepad is undone).
    void Select(int item, DWORD start, DWORD length) {
        auto prepare = [&] {
            SendMessageW(m_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_text.c_str()));
            SendMessageW(m_edit, EM_SETSEL, start, start);
        };
        ASSERT_NO_FATAL_FAILURE(Choose(m_window, prepare, L"Режим выделения", item));
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
    // The package's dictionaries: small ones of our own, so that the test neither needs nor depends on
    // the samples made from the Debian data (the engine stand-in opens a direction only with one).
    testsupport::TempFolder samples;
    std::wstring samplesFolder = testsupport::ToWide(samples.Path());
    enginetest::WriteWordsDictionary(samplesFolder + L"\\mueller-er.dic", L"ER", enginetest::EnglishRussian());
    enginetest::WriteWordsDictionary(samplesFolder + L"\\mueller-re.dic", L"RE", enginetest::RussianEnglish());

    auto packed = testsupport::RunConsoleProgram(
        ovinstall, L"pack \"" + SourceRoot() + L"\\outside\\installer\\package\\suite.pkg\" \"" + package +
                       L"\" --build \"" + BuildRoot() + L"\" --source \"" + SourceRoot() + L"\" --samples \"" +
                       samplesFolder + L"\"");
    ASSERT_EQ(packed.exitCode, 0u) << packed.output;
    RemoveEarlierSuite(ovinstall, package);
    // A device the suite was never installed on: no settings of its programs (other tests of this
    // prefix leave some).
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN");
    // The device's browser keeps its list of helper objects whether or not one is registered (a new
    // Wine prefix has none until a helper is registered; the list itself is not the suite's to remove).
    ASSERT_TRUE(CRegistryKey().Open(HKEY_LOCAL_MACHINE,
                                    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects",
                                    KEY_READ, true));
    std::set<std::wstring> before = DeviceState();
    auto installed = testsupport::RunConsoleProgram(ovinstall, L"install \"" + package + L"\"");
    ASSERT_EQ(installed.exitCode, 0u) << installed.output;
    std::wstring folder = platform::ShellFolder(CSIDL_PROGRAM_FILES) + L"\\OVRIN Mobile";
    ASSERT_NE(GetFileAttributesW((folder + L"\\OvrinToolbar.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    // The command-line translator beside the engine, which it opens from its own folder.
    std::wstring engine = platform::ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Ovrinsoft\\Pocket OVRIN";
    auto byCommand = testsupport::RunConsoleProgram(engine + L"\\ovtrans.exe", L"translate ER \"the big cat\"");
    EXPECT_EQ(byCommand.exitCode, 0u) << byCommand.output;
    EXPECT_NE(byCommand.output.find("большой кошка"), std::string::npos) << byCommand.output;

    // The start-up shortcut's command: the launcher with the toolbar's quoted path.
    testsupport::CProgramProcess launcher;
    ASSERT_TRUE(launcher.Start(platform::ShellFolder(CSIDL_WINDOWS) + L"\\Ovloader.exe",
                               L"\"" + folder + L"\\OvrinToolbar.exe\""));
    // A plain start leaves the panel hidden, with only its tray indicator.
    HWND toolbar = nullptr;
    testsupport::WaitUntil(
        [&] { return (toolbar = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr)) != nullptr; });
    EXPECT_NE(toolbar, nullptr) << "the launcher did not start the toolbar";
    EXPECT_TRUE(launcher.WaitForExit());
    // Whatever fails below, no program of the suite is left running in the prefix.
    struct EndSuitePrograms {
        ~EndSuitePrograms() {
            for (const wchar_t* name : {L"OvrinToolbar.exe", L"Lexory.exe"})
                testsupport::EndProcessesNamed(name);
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

    // A page in the installed browser translated in place: the call key held over the browser, the
    // translate button's "Перевести страницу".
    testsupport::TempFolder pageFolder;
    std::wstring page = testsupport::ToWide(pageFolder.Path()) + L"\\page.html";
    testsupport::WriteFileBytes(page, "<html><head><title>the big city</title></head>"
                                      "<body><p>the big cat</p><a href=\"next.html\">next</a></body></html>");
    testsupport::CProgramProcess browser;
    ASSERT_TRUE(browser.Start(folder + L"\\iexplore.exe", L"\"" + page + L"\""));
    HWND frame = testsupport::WaitForWindow(L"IExplore", nullptr, browser.Id());
    ASSERT_NE(frame, nullptr) << "the browser shows no window";
    HWND area = FindWindowExW(frame, nullptr, L"PIEHTML", nullptr);
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] { return testsupport::ControlText(area).find(L"the big cat") != std::wstring::npos; }));
    {
        PanelUser user(toolbar);
        ASSERT_NO_FATAL_FAILURE(user.Choose(
            frame, [] {}, L"Перевод", 2)); // "Перевести страницу"
    }
    std::wstring translated;
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] { return (translated = testsupport::ControlText(area)).find(L"большой кошка") != std::wstring::npos; },
        std::chrono::milliseconds(30000)))
        << Narrow(translated);
    EXPECT_NE(translated.find(L"<a href=\"next.html\">"), std::wstring::npos) << "the mark-up stays";
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !testsupport::HasDialog(testsupport::WindowProcess(toolbar)); }))
        << "the wait window stays";
    testsupport::Redrawn(frame);
    Shot("page");
    // The browser is not the suite's to end: closed by its user, as its file goes with the suite.
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(browser.WaitForExit());

    // Removal ends the programs and says goodbye last.
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
