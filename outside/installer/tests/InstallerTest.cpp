// The installer: its manifest and record in the test's process; making, installing and removing a
// small package with the real setup library as real processes, with the device's real folders and
// registry (the package's own names carry this process's id).
#include "InstallRecord.h"
#include "Manifest.h"

#include "StandInDrive.h"
#include "platform/Handles.h"
#include "platform/RegistryKey.h"
#include "testsupport/ConsoleProgram.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <future>

using namespace installer;
using testsupport::TempFolder;

namespace {

std::wstring BesideTests(const std::wstring& name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ReadSetting(const std::wstring& section, const std::wstring& name) {
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\" + section, KEY_READ, false) ||
        key.GetValueType(name) != REG_SZ)
        return L"(none)";
    return key.ReadString(name, L"(none)");
}

const std::wstring kId = std::to_wstring(GetCurrentProcessId());

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring build = Folder(L"build");
        CreateDirectoryW(build.c_str(), nullptr);
        CreateDirectoryW((build + L"\\bin").c_str(), nullptr);
        testsupport::WriteFileBytes(build + L"\\bin\\Lexory.exe", "program bytes");
        testsupport::WriteFileBytes(build + L"\\help.htm", "<p>help</p>");
        ASSERT_TRUE(CopyFileW(BesideTests(L"Setrix.dll").c_str(), (build + L"\\Setrix.dll").c_str(), FALSE));
        testsupport::WriteFileBytes(Folder(L"suite.pkg"),
                                    "# a test package\r\n"
                                    "name | OVRIN Mobile\r\n"
                                    "folder | InstallDir | %ProgramFiles%\\OVRIN Mobile\r\n"
                                    "folder | Data | %ProgramFiles%\\OVRIN Data\r\n"
                                    "setup | %InstallDir%\\Setrix.dll\r\n"
                                    "file | %InstallDir% | %build%/bin/Lexory.exe\r\n"
                                    "file | %InstallDir%\\help | %build%/help.htm | lexory.htm\r\n"
                                    "file | %InstallDir% | %build%/Setrix.dll\r\n"
                                    "file | %Data%\\tables | %build%/help.htm | data.txt\r\n"
                                    "file? | %InstallDir% | %build%/absent.dic\r\n"
                                    "file | %Windows% | %build%/help.htm | " +
                                        Narrow(m_windowsFileName) +
                                        "\r\n"
                                        "shortcut | %StartMenu%\\" +
                                        Narrow(m_menuName) +
                                        "\\Lexory.lnk | %InstallDir%\\Lexory.exe\r\n"
                                        "setting | " +
                                        Narrow(m_section) +
                                        " | path | %InstallDir%\\\r\n"
                                        "key | HKCU\\Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\" +
                                        Narrow(m_section) + "\r\n");
        ASSERT_EQ(
            Run(L"pack \"" + Folder(L"suite.pkg") + L"\" \"" + Package() + L"\" --build \"" + build + L"\"").exitCode,
            0u);
    }
    void TearDown() override {
        if (Exists(MarkerFile()))
            RemoveDismissingMessage();
        DeleteFileW((m_windows + L"\\" + m_windowsFileName).c_str());
    }

    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    std::wstring Folder(const std::wstring& name) const { return testsupport::ToWide(m_temp.Path()) + L"\\" + name; }
    std::wstring Package() const { return Folder(L"package"); }
    std::wstring InstallFolder() const { return Folder(L"device\\OVRIN Mobile"); }
    std::wstring DataFolder() const { return Folder(L"device\\OVRIN Data"); }
    std::wstring MarkerFile() const { return m_windows + L"\\OVRIN Mobile.unload"; }
    std::wstring Shortcut() const { return ShellFolder(CSIDL_STARTMENU) + L"\\" + m_menuName + L"\\Lexory.lnk"; }

    testsupport::ProgramOutcome Run(const std::wstring& arguments) {
        return testsupport::RunConsoleProgram(BesideTests(L"ovinstall.exe"), arguments);
    }
    testsupport::ProgramOutcome Install() {
        return Run(L"install \"" + Package() + L"\" --folder \"InstallDir=" + InstallFolder() + L"\" --folder \"Data=" +
                   DataFolder() + L"\"");
    }
    // Removal ends with the setup library's parting message, answered here with its OK button.
    testsupport::ProgramOutcome RemoveDismissingMessage() {
        auto removal = std::async(std::launch::async, [this] { return Run(L"uninstall"); });
        HWND box = testsupport::WaitForWindow(L"#32770", L"OVRIN Mobile");
        EXPECT_NE(box, nullptr) << "no parting message";
        if (box != nullptr)
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        return removal.get();
    }

    TempFolder m_temp;
    std::wstring m_windows = ShellFolder(CSIDL_WINDOWS);
    std::wstring m_windowsFileName = L"ovinstall-test-" + kId + L".txt";
    std::wstring m_menuName = L"OvinstallTest-" + kId;
    std::wstring m_section = L"OvinstallTest-" + kId;
};

} // namespace

TEST(ManifestTest, ReadsEveryDirectiveAndNamesTheLineItCannotRead) {
    Manifest manifest;
    std::wstring error;
    ASSERT_TRUE(ParseManifest(L"# comment\n name|Suite \nfolder | Dir | %ProgramFiles%\\Suite\n"
                              L"file | %Dir%\\sub | %build%/x/a.exe\nfile? | %Dir% | %samples%/b.dic | c.dic\n"
                              L"shortcut | %StartMenu%\\A.lnk | %Dir%\\sub\\a.exe\nsetting | S | path | %Dir%\\\n"
                              L"install | %Dir%\\setup.exe | install \"%Dir%\"\n",
                              manifest, error))
        << error;
    EXPECT_EQ(manifest.name, L"Suite");
    ASSERT_EQ(manifest.files.size(), 2u);
    EXPECT_EQ(manifest.files[0].name, L"a.exe");
    EXPECT_FALSE(manifest.files[0].optional);
    EXPECT_EQ(manifest.files[1].name, L"c.dic");
    EXPECT_TRUE(manifest.files[1].optional);
    EXPECT_EQ(manifest.settings.at(0).value, L"%Dir%\\");
    EXPECT_EQ(manifest.onInstall.at(0).arguments, L"install \"%Dir%\"");
    Manifest again;
    ASSERT_TRUE(ParseManifest(FormatManifest(manifest), again, error)) << error;
    EXPECT_EQ(FormatManifest(again), FormatManifest(manifest));

    EXPECT_FALSE(ParseManifest(L"name | A\nfolder | D | C:\\A\nfile | %D%\n", manifest, error));
    EXPECT_EQ(error.rfind(L"line 3 ", 0), 0u) << error;
    EXPECT_FALSE(ParseManifest(L"name | A\nfolder | D | C:\\A\nfile | %D% | a/b/ | \n", manifest, error));
    EXPECT_FALSE(ParseManifest(L"folder | D | C:\\A\n", manifest, error));
    EXPECT_FALSE(ParseManifest(L"name | A\ncopy | x\n", manifest, error));
}

TEST(ManifestTest, FoldersExpandAndUnknownOrUnclosedNamesFail) {
    std::map<std::wstring, std::wstring> folders = {{L"Dir", L"C:\\A B"}, {L"Windows", L"C:\\windows"}};
    std::wstring out, error;
    ASSERT_TRUE(ExpandFolders(L"%Dir%\\x %Windows%", folders, out, error));
    EXPECT_EQ(out, L"C:\\A B\\x C:\\windows");
    EXPECT_FALSE(ExpandFolders(L"%Other%\\x", folders, out, error));
    EXPECT_NE(error.find(L"%Other%"), std::wstring::npos);
    EXPECT_FALSE(ExpandFolders(L"%Dir", folders, out, error));
}

TEST(InstallRecordTest, WrittenInOneStepAndReadBack) {
    TempFolder temp;
    std::wstring path = temp.File(L"Suite.unload");
    InstallRecord record;
    record.package = L"Suite";
    record.installFolder = L"C:\\Program Files\\Suite";
    record.setupLibrary = L"C:\\Program Files\\Suite\\Setrix.dll";
    record.folders = {L"C:\\Program Files\\Suite"};
    record.files = {L"C:\\Program Files\\Suite\\Лексика.exe", L"C:\\windows\\x.exe"};
    record.keys = {L"HKCU\\Software\\Suite"};
    record.onUninstall = {{L"C:\\e\\setup.exe", L"uninstall"}};
    ASSERT_TRUE(WriteRecord(path, record));
    EXPECT_FALSE(Exists(path + L".new"));
    InstallRecord read;
    ASSERT_TRUE(ReadRecord(path, read));
    EXPECT_EQ(read.installFolder, record.installFolder);
    EXPECT_EQ(read.setupLibrary, record.setupLibrary);
    EXPECT_EQ(read.files, record.files);
    EXPECT_EQ(read.folders, record.folders);
    EXPECT_EQ(read.keys, record.keys);
    ASSERT_EQ(read.onUninstall.size(), 1u);
    EXPECT_EQ(read.onUninstall[0].arguments, L"uninstall");
    EXPECT_FALSE(ReadRecord(temp.File(L"absent.unload"), read));
}

TEST_F(InstallerTest, InstallThenRemove_PutsEverythingInPlaceAndLeavesNothingBehind) {
    EXPECT_FALSE(Exists(Package() + L"\\InstallDir\\absent.dic"));
    ASSERT_TRUE(CreateDirectoryW(Folder(L"device").c_str(), nullptr)); // there before the installation
    auto installed = Install();
    ASSERT_EQ(installed.exitCode, 0u) << installed.output;
    EXPECT_TRUE(Exists(InstallFolder() + L"\\Lexory.exe"));
    EXPECT_TRUE(Exists(InstallFolder() + L"\\help\\lexory.htm"));
    EXPECT_TRUE(Exists(InstallFolder() + L"\\Setrix.dll"));
    EXPECT_TRUE(Exists(m_windows + L"\\" + m_windowsFileName));
    EXPECT_TRUE(Exists(Shortcut()));
    EXPECT_TRUE(Exists(MarkerFile()));
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile"));
    EXPECT_EQ(ReadSetting(m_section, L"path"), InstallFolder() + L"\\");

    // Something the programs leave in their folder at run time goes too.
    testsupport::WriteFileBytes(InstallFolder() + L"\\_history.dat", "[data]\r\n");
    auto removed = RemoveDismissingMessage();
    EXPECT_EQ(removed.exitCode, 0u) << removed.output;
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(Exists(DataFolder()));
    EXPECT_TRUE(Exists(Folder(L"device"))); // not made by the installation, so kept
    EXPECT_FALSE(Exists(m_windows + L"\\" + m_windowsFileName));
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(Exists(ShellFolder(CSIDL_STARTMENU) + L"\\" + m_menuName));
    EXPECT_FALSE(Exists(MarkerFile()));
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile"));
    EXPECT_EQ(ReadSetting(m_section, L"path"), L"(none)");

    auto again = Run(L"uninstall");
    EXPECT_EQ(again.exitCode, 1u);
    EXPECT_NE(again.output.find("is not installed"), std::string::npos) << again.output;
}

// A file put into a folder of the package by someone else (a user's copy of a tool beside the
// engine, say) is not the package's: named and kept with its folders, and the removal succeeds.
// A file of the package held open by a program is in use: named, and the removal fails; once the file
// is free, removing again takes the rest.
TEST_F(InstallerTest, Removal_KeepsFilesThatAreNotThePackages_FailsOnFilesInUse) {
    ASSERT_EQ(Install().exitCode, 0u);
    std::wstring tool = DataFolder() + L"\\tables\\tool.exe";
    testsupport::WriteFileBytes(tool, "someone else's program");
    std::wstring data = DataFolder() + L"\\tables\\data.txt";
    CFileHandle held(CreateFileW(data.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    auto refused = RemoveDismissingMessage();
    held.Reset();
    EXPECT_EQ(refused.exitCode, 1u) << refused.output;
    EXPECT_NE(refused.output.find("could not remove " + Narrow(data) + ": in use"), std::string::npos)
        << refused.output;
    EXPECT_NE(refused.output.find("kept " + Narrow(tool) + ": not the package's"), std::string::npos) << refused.output;

    EXPECT_TRUE(Exists(MarkerFile())) << "removing again must find what is left";
    auto removed = Run(L"uninstall"); // the setup library went with the first removal: no message now
    EXPECT_EQ(removed.exitCode, 0u) << removed.output;
    EXPECT_NE(removed.output.find("kept " + Narrow(tool) + ": not the package's"), std::string::npos) << removed.output;
    EXPECT_EQ(removed.output.find("in use"), std::string::npos) << removed.output;
    EXPECT_EQ(testsupport::ReadFileBytes(tool), "someone else's program");
    EXPECT_FALSE(Exists(data));
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(Exists(MarkerFile()));
}

TEST_F(InstallerTest, InstallingAgainRepairsWhatIsMissing) {
    ASSERT_EQ(Install().exitCode, 0u);
    ASSERT_TRUE(DeleteFileW((InstallFolder() + L"\\Lexory.exe").c_str()));
    ASSERT_TRUE(DeleteFileW(Shortcut().c_str()));
    auto repaired = Install();
    EXPECT_EQ(repaired.exitCode, 0u) << repaired.output;
    EXPECT_TRUE(Exists(InstallFolder() + L"\\Lexory.exe"));
    EXPECT_TRUE(Exists(Shortcut()));
    // The folder made by the first installation is still removed at the end.
    EXPECT_EQ(RemoveDismissingMessage().exitCode, 0u);
    EXPECT_FALSE(Exists(InstallFolder()));
}

TEST_F(InstallerTest, FailuresFoundBeforehandChangeNothing) {
    // The installation folder's place is taken by a file: not writable.
    CreateDirectoryW(Folder(L"device").c_str(), nullptr);
    testsupport::WriteFileBytes(InstallFolder(), "a file");
    auto blocked = Install();
    EXPECT_EQ(blocked.exitCode, 1u);
    EXPECT_NE(blocked.output.find("cannot write to the folder"), std::string::npos) << blocked.output;
    EXPECT_FALSE(Exists(MarkerFile()));
    EXPECT_FALSE(Exists(m_windows + L"\\" + m_windowsFileName));
    DeleteFileW(InstallFolder().c_str());

    // A package that lost a file.
    ASSERT_TRUE(DeleteFileW((Package() + L"\\InstallDir\\help\\lexory.htm").c_str()));
    auto incomplete = Install();
    EXPECT_EQ(incomplete.exitCode, 1u);
    EXPECT_NE(incomplete.output.find("incomplete"), std::string::npos) << incomplete.output;
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(Exists(MarkerFile()));
}

// A failure at any step before the package is in place (a name that does not expand in a later line of
// the manifest, a setup library that cannot be loaded once the record is written) leaves the device as
// it was: no folder, file, record, key, setting or shortcut of the package.
TEST_F(InstallerTest, AFailureAtAnyStepLeavesTheDeviceAsItWas) {
    const std::wstring manifestPath = Package() + L"\\package.txt";
    const std::string manifest = testsupport::ReadFileBytes(manifestPath);
    auto expectDeviceAsBefore = [&] {
        EXPECT_FALSE(Exists(Folder(L"device")));
        EXPECT_FALSE(Exists(MarkerFile()));
        EXPECT_FALSE(Exists(m_windows + L"\\" + m_windowsFileName));
        EXPECT_FALSE(Exists(ShellFolder(CSIDL_STARTMENU) + L"\\" + m_menuName));
        EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));
        EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile"));
        EXPECT_FALSE(
            CRegistryKey::Exists(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\" + m_section));
    };
    const std::string lines[] = {
        "register | %Nowhere%\\Pagelift.dll\r\n",
        "key | HKCU\\Software\\%Nowhere%\r\n",
        "uninstall | %Nowhere%\\mtsetup.exe | uninstall\r\n",
        "install | %Nowhere%\\mtsetup.exe | install\r\n",
        "setting | " + Narrow(m_section) + " | other | %Nowhere%\r\n",
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        testsupport::WriteFileBytes(manifestPath, manifest + line);
        auto failed = Install();
        EXPECT_EQ(failed.exitCode, 1u) << failed.output;
        EXPECT_NE(failed.output.find("Nowhere"), std::string::npos) << failed.output;
        expectDeviceAsBefore();
    }
    testsupport::WriteFileBytes(manifestPath, manifest);
    const std::wstring setupLibrary = Package() + L"\\InstallDir\\Setrix.dll";
    const std::string library = testsupport::ReadFileBytes(setupLibrary);
    testsupport::WriteFileBytes(setupLibrary, "not a library");
    auto failed = Install();
    EXPECT_EQ(failed.exitCode, 1u) << failed.output;
    expectDeviceAsBefore();

    // The same failure over an installation: its record and keys stay as they were.
    testsupport::WriteFileBytes(setupLibrary, library);
    ASSERT_EQ(Install().exitCode, 0u);
    const std::string record = testsupport::ReadFileBytes(MarkerFile());
    testsupport::WriteFileBytes(setupLibrary, "not a library");
    EXPECT_EQ(Install().exitCode, 1u);
    EXPECT_EQ(testsupport::ReadFileBytes(MarkerFile()), record);
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));
    EXPECT_TRUE(Exists(InstallFolder() + L"\\Lexory.exe"));
}

// A drive whose root is a throwaway tree stands in for C:: an installation folder that resolves to a
// root is refused before anything is changed, whatever its spelling; dot segments elsewhere resolve.
TEST_F(InstallerTest, AnInstallationFolderThatResolvesToARootIsRefused) {
    TempFolder tree;
    testsupport::WriteFileBytes(tree.File(L"someone's.txt"), "kept");
    setrixtest::CStandInDrive drive(testsupport::ToWide(tree.Path()));
    ASSERT_FALSE(drive.Root().empty()) << "no drive letter could be made";
    const std::wstring letter = drive.Root().substr(0, 2);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Exists(letter + L"\\someone's.txt"); }));
    // (A final "\\" before a closing quote is written twice on a command line.)
    const std::wstring forms[] = {letter + L"\\x\\..", letter + L"\\x\\..\\\\", letter + L"/x/../.",
                                  L"\\\\?\\" + letter + L"\\x\\.."};
    for (const std::wstring& folder : forms) {
        auto refused = Run(L"install \"" + Package() + L"\" --folder \"InstallDir=" + folder + L"\" --folder \"Data=" +
                           DataFolder() + L"\"");
        EXPECT_EQ(refused.exitCode, 1u) << refused.output;
        EXPECT_NE(refused.output.find("below a drive's root"), std::string::npos) << refused.output;
        EXPECT_FALSE(Exists(MarkerFile())) << Narrow(folder);
        EXPECT_FALSE(Exists(letter + L"\\Lexory.exe")) << Narrow(folder);
        EXPECT_FALSE(Exists(DataFolder())) << Narrow(folder);
    }
    std::vector<std::wstring> entries;
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path()))
        entries.push_back(entry.path().filename().wstring());
    EXPECT_EQ(entries, std::vector<std::wstring>{L"someone's.txt"});

    auto installed = Run(L"install \"" + Package() + L"\" --folder \"InstallDir=" + Folder(L"device\\x\\..") +
                         L"\\OVRIN Mobile\\.\" --folder \"Data=" + DataFolder() + L"\"");
    ASSERT_EQ(installed.exitCode, 0u) << installed.output;
    EXPECT_TRUE(Exists(InstallFolder() + L"\\Lexory.exe"));
    EXPECT_FALSE(Exists(Folder(L"device\\x")));
    EXPECT_EQ(ReadSetting(m_section, L"path"), InstallFolder() + L"\\");
}

TEST_F(InstallerTest, AFileInUseIsNamedAndTheInstalledSuiteStaysAsItWas) {
    ASSERT_EQ(Install().exitCode, 0u);
    std::wstring program = InstallFolder() + L"\\Lexory.exe";
    testsupport::WriteFileBytes(program, "the user's copy");
    CFileHandle held(CreateFileW(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    auto refused = Install();
    held.Reset();
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_NE(refused.output.find("in use"), std::string::npos) << refused.output;
    EXPECT_EQ(testsupport::ReadFileBytes(program), "the user's copy");
    EXPECT_TRUE(Exists(MarkerFile()));
}

// The disk filling up while the files are copied (the copy layer given 20 bytes of room: the first
// small file fits, the next one is cut off part-way): the installation says so and is incomplete,
// no half-written file lies anywhere, and installing again with room repairs it.
TEST_F(InstallerTest, DiskFullDuringTheCopy_LeavesNoPartialFileAndTheNextInstallRepairs) {
    SetEnvironmentVariableW(L"OVRIN_INSTALL_SPACE_LEFT", L"20");
    auto full = Install();
    SetEnvironmentVariableW(L"OVRIN_INSTALL_SPACE_LEFT", nullptr);
    EXPECT_EQ(full.exitCode, 1u);
    EXPECT_NE(full.output.find("error 112"), std::string::npos) << full.output; // ERROR_DISK_FULL
    EXPECT_NE(full.output.find("incomplete"), std::string::npos) << full.output;
    EXPECT_TRUE(Exists(MarkerFile())) << "removal must know what was begun";
    for (const std::wstring& file : {InstallFolder() + L"\\Lexory.exe", InstallFolder() + L"\\Setrix.dll",
                                     InstallFolder() + L"\\help\\lexory.htm", m_windows + L"\\" + m_windowsFileName}) {
        EXPECT_FALSE(Exists(file + L".ovnew")) << Narrow(file);
        if (Exists(file)) {
            EXPECT_NE(testsupport::ReadFileBytes(file).size(), 0u) << Narrow(file) << " is cut off";
        }
    }
    EXPECT_FALSE(Exists(InstallFolder() + L"\\Setrix.dll")) << "a file larger than the room left was put in place";

    auto repaired = Install();
    EXPECT_EQ(repaired.exitCode, 0u) << repaired.output;
    EXPECT_EQ(testsupport::ReadFileBytes(InstallFolder() + L"\\Lexory.exe"), "program bytes");
    EXPECT_EQ(testsupport::ReadFileBytes(InstallFolder() + L"\\help\\lexory.htm"), "<p>help</p>");
    EXPECT_EQ(testsupport::ReadFileBytes(InstallFolder() + L"\\Setrix.dll"),
              testsupport::ReadFileBytes(BesideTests(L"Setrix.dll")));
    EXPECT_TRUE(Exists(Shortcut()));
    auto removed = RemoveDismissingMessage();
    EXPECT_EQ(removed.exitCode, 0u) << removed.output;
    EXPECT_FALSE(Exists(InstallFolder()));
}
