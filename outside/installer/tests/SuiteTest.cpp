// The whole suite as a user gets it, with real processes: the package made from this build,
// installed; the launcher starting the toolbar as the start-up shortcut does; the dictionary program
// looking a word up; then removal, which ends the running programs and leaves the device's folders
// and the registry as they were before the installation (listed before and after).
#include "testsupport/ConsoleProgram.h"
#include "testsupport/GuiProgram.h"

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

} // namespace

TEST(SuiteTest, InstalledSuiteRunsAndItsRemovalLeavesTheDeviceAsItWas) {
    std::wstring ovinstall = ThisFolder() + L"\\ovinstall.exe";
    std::wstring package = ThisFolder() + L"\\suite-package";
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
    testsupport::CProgramProcess dictionary;
    ASSERT_TRUE(dictionary.Start(folder + L"\\Lexory.exe", L"\"hello\""));
    EXPECT_NE(testsupport::WaitForWindow(nullptr, nullptr, dictionary.Id()), nullptr)
        << "the dictionary program shows no window";

    // Removal ends both programs and says goodbye last.
    auto removal =
        std::async(std::launch::async, [&] { return testsupport::RunConsoleProgram(ovinstall, L"uninstall"); });
    HWND box = testsupport::WaitForWindow(L"#32770", L"OVRIN Mobile");
    EXPECT_NE(box, nullptr) << "no parting message";
    EXPECT_FALSE(toolbar != nullptr && IsWindow(toolbar)) << "the toolbar still runs";
    EXPECT_TRUE(dictionary.WaitForExit(0)) << "the dictionary program still runs";
    if (box != nullptr)
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    auto removed = removal.get();
    EXPECT_EQ(removed.exitCode, 0u) << removed.output;

    std::wstring changed = Difference(before, DeviceState());
    EXPECT_TRUE(changed.empty()) << "the device changed:\n" << Narrow(changed);
    RemoveDirectoryW(package.c_str()); // the package itself is left for a look; nothing of the device
}
