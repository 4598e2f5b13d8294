// The service functions and the removal steps, called in the test's own process with the device
// services replaced: the platform type as the test says, messages recorded instead of shown, the
// device's Windows, start-menu and start-up folders in temporary folders.
#include "SetrixTestSupport.h"

#include "FolderClear.h"
#include "ShortcutSweep.h"
#include "Uninstaller.h"
#include "platform/Device.h"
#include "platform/Handles.h"
#include "testsupport/GuiProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

using namespace setrixtest;
using testsupport::TempFolder;

namespace {

struct CShownMessage {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};

class CFakeDevice : public platform::CDeviceServices {
public:
    std::wstring GetPlatformType() override { return platformType; }
    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) override {
        messages.push_back({owner, text, caption, style});
        return IDOK;
    }
    std::wstring GetFolder(platform::DeviceFolder folder) override {
        switch (folder) {
        case platform::DeviceFolder::Windows:
            return testsupport::ToWide(windows.Path());
        case platform::DeviceFolder::StartMenu:
            return testsupport::ToWide(startMenu.Path());
        case platform::DeviceFolder::StartUp:
            return testsupport::ToWide(startUp.Path());
        }
        return {};
    }

    std::wstring platformType = L"PocketPC";
    std::vector<CShownMessage> messages;
    TempFolder windows, startMenu, startUp;
};

class SetrixTest : public ::testing::Test {
protected:
    void SetUp() override { m_previous = platform::SetDeviceServices(&m_device); }
    void TearDown() override {
        platform::SetDeviceServices(m_previous);
        for (const wchar_t* key : {L"SOFTWARE\\Apps\\OVRIN Mobile", L"Security\\AppInstall\\OVRIN Mobile",
                                   L"SOFTWARE\\Apps\\OVRIN Mobile 2"})
            CRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, key);
        CRegistryKey::DeleteTree(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\SetrixTest");
    }

    CFakeDevice m_device;
    TempFolder m_install;
    platform::CDeviceServices* m_previous = nullptr;
};

void CopyText(wchar_t (&field)[setrix::kRecordTextLength], const std::wstring& text) {
    text.copy(field, setrix::kRecordTextLength);
}

// -- Service functions ---------------------------------------------------------------------------------

TEST_F(SetrixTest, IsSmartphone_AnswersOneForSmartphoneInAnyCaseAndZeroForPocketPc) {
    const std::pair<const wchar_t*, BYTE> cases[] = {{L"Smartphone", 1}, {L"SMARTPHONE", 1},  {L"smartPhone", 1},
                                                     {L"PocketPC", 0},   {L"Smartphone2", 0}, {L"", 0}};
    for (const auto& [type, expected] : cases) {
        m_device.platformType = type;
        COutput output;
        EXPECT_EQ(IsSmartphone(0, nullptr, &output.size, &output.buffer), S_OK);
        ASSERT_EQ(output.size, 1u) << type;
        ASSERT_NE(output.buffer, nullptr);
        EXPECT_EQ(output.buffer[0], expected) << type;
        EXPECT_NE(LocalSize(output.buffer), 0u) << "the buffer comes from the local heap";
    }
    EXPECT_EQ(IsSmartphone(0, nullptr, nullptr, nullptr), S_OK);
}

TEST_F(SetrixTest, MessageDialog_ShowsTextCaptionAndStyleWithoutOwner) {
    setrix::tagMessageRecord record = {};
    CopyText(record.text, L"Установка завершена");
    CopyText(record.caption, L"OVRIN");
    record.style = MB_YESNO | MB_ICONWARNING;
    CGuardedInput input(&record, sizeof record);
    COutput output;
    EXPECT_EQ(MessageDialog(input.Size(), input.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_EQ(output.size, 0u);
    EXPECT_EQ(output.buffer, nullptr);
    ASSERT_EQ(m_device.messages.size(), 1u);
    EXPECT_EQ(m_device.messages[0].owner, nullptr);
    EXPECT_EQ(m_device.messages[0].text, L"Установка завершена");
    EXPECT_EQ(m_device.messages[0].caption, L"OVRIN");
    EXPECT_EQ(m_device.messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
}

TEST_F(SetrixTest, MessageDialog_IgnoresShortNullAndUnterminatedRecords) {
    setrix::tagMessageRecord record = {};
    CopyText(record.text, L"text");
    CopyText(record.caption, L"caption");
    CGuardedInput shortInput(&record, sizeof record - 1); // a read of the style would fault
    COutput output;
    EXPECT_EQ(MessageDialog(shortInput.Size(), shortInput.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_EQ(output.size, 0u);
    EXPECT_EQ(MessageDialog(sizeof record, nullptr, &output.size, &output.buffer), S_OK);
    EXPECT_EQ(MessageDialog(0, nullptr, nullptr, nullptr), S_OK);

    setrix::tagMessageRecord unterminated = record;
    std::fill(std::begin(unterminated.caption), std::end(unterminated.caption), L'x');
    CGuardedInput unterminatedInput(&unterminated, sizeof unterminated);
    EXPECT_EQ(MessageDialog(unterminatedInput.Size(), unterminatedInput.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_TRUE(m_device.messages.empty());
}

TEST_F(SetrixTest, GetDiskFreeSpace_GivesTheSystemsFigures) {
    setrix::tagDiskRecord record = {};
    std::wstring folder = testsupport::ToWide(m_install.Path());
    CopyText(record.path, folder);
    CGuardedInput input(&record, sizeof record);
    COutput output;
    ULARGE_INTEGER before = {}, total = {}, totalFree = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(folder.c_str(), &before, &total, &totalFree));
    EXPECT_EQ(GetDiskFreeSpace(input.Size(), input.Data(), &output.size, &output.buffer), S_OK);
    ULARGE_INTEGER after = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(folder.c_str(), &after, &total, &totalFree));
    ASSERT_EQ(output.size, sizeof(setrix::tagDiskRecord));
    const auto* answer = reinterpret_cast<const setrix::tagDiskRecord*>(output.buffer);
    EXPECT_EQ(answer->totalBytes, total.QuadPart);
    // Other programs write to the disk meanwhile: the free figures lie between the two readings.
    ULONGLONG low = std::min(before.QuadPart, after.QuadPart), high = std::max(before.QuadPart, after.QuadPart);
    EXPECT_GE(answer->freeBytesToCaller, low - (64u << 20));
    EXPECT_LE(answer->freeBytesToCaller, high + (64u << 20));
    EXPECT_GE(answer->totalFreeBytes, answer->freeBytesToCaller);
    EXPECT_LE(answer->totalFreeBytes, answer->totalBytes);
    for (wchar_t c : answer->path)
        ASSERT_EQ(c, L'\0') << "the path part of the answer is zero";
}

TEST_F(SetrixTest, GetDiskFreeSpace_BadInputGivesNoAnswerAndAMissingFolderZeros) {
    setrix::tagDiskRecord record = {};
    std::fill(std::begin(record.path), std::end(record.path), L'a'); // a path of 300 does not fit: unterminated
    CGuardedInput unterminated(&record, sizeof record);
    COutput output;
    EXPECT_EQ(GetDiskFreeSpace(unterminated.Size(), unterminated.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_EQ(output.size, 0u);
    EXPECT_EQ(output.buffer, nullptr);
    CGuardedInput shortInput(&record, 520);
    EXPECT_EQ(GetDiskFreeSpace(shortInput.Size(), shortInput.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_EQ(output.size, 0u);

    setrix::tagDiskRecord missing = {};
    CopyText(missing.path, L"Q:\\no such folder\\");
    COutput zeros;
    EXPECT_EQ(GetDiskFreeSpace(sizeof missing, reinterpret_cast<BYTE*>(&missing), &zeros.size, &zeros.buffer), S_OK);
    ASSERT_EQ(zeros.size, 544u);
    const auto* answer = reinterpret_cast<const setrix::tagDiskRecord*>(zeros.buffer);
    EXPECT_EQ(answer->freeBytesToCaller + answer->totalBytes + answer->totalFreeBytes, 0u);
}

TEST_F(SetrixTest, KillProcess_EndsARunningProgramByNameInAnyCaseAndIgnoresOthers) {
    std::wstring copy = m_install.File(L"setrix-victim-" + std::to_wstring(GetCurrentProcessId()) + L".exe");
    ASSERT_TRUE(CopyFileW(BesideTests(L"setrix_test_program.exe").c_str(), copy.c_str(), FALSE));
    testsupport::CProgramProcess program;
    ASSERT_TRUE(program.Start(copy));

    std::string missing = "setrix-not-running.exe"; // not terminated: the size bounds it
    CGuardedInput missingInput(missing.data(), missing.size());
    COutput output;
    EXPECT_EQ(KillProcess(missingInput.Size(), missingInput.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_EQ(output.size, 0u);
    EXPECT_EQ(KillProcess(0, nullptr, nullptr, nullptr), S_OK);
    EXPECT_TRUE(program.Running());

    std::string name = "SETRIX-VICTIM-" + std::to_string(GetCurrentProcessId()) + ".EXE";
    EXPECT_EQ(KillProcess(static_cast<DWORD>(name.size() + 1), reinterpret_cast<BYTE*>(name.data()), &output.size,
                          &output.buffer),
              S_OK);
    ASSERT_TRUE(program.WaitForExit(5000));
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(SetrixTest, RegisterDLL_CallsTheLibrarysRegistrationEntries) {
    constexpr wchar_t kServerKey[] = L"Software\\Ovrinsoft\\SetrixTestServer";
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kServerKey);
    std::string path = Narrow(BesideTests(L"setrix_test_server.dll"));
    COutput output;
    auto registered = [&] {
        CRegistryKey key;
        return key.Open(HKEY_CURRENT_USER, kServerKey, KEY_READ, false) &&
               key.GetValueType(L"Registered") == REG_DWORD && key.GetValueSize(L"Registered") == sizeof(DWORD);
    };
    EXPECT_EQ(RegisterDLL(static_cast<DWORD>(path.size() + 1), reinterpret_cast<BYTE*>(path.data()), &output.size,
                          &output.buffer),
              S_OK);
    EXPECT_EQ(output.size, 0u);
    EXPECT_TRUE(registered());
    EXPECT_EQ(UnRegisterDLL(static_cast<DWORD>(path.size() + 1), reinterpret_cast<BYTE*>(path.data()), &output.size,
                            &output.buffer),
              S_OK);
    EXPECT_FALSE(registered());

    std::string missing = "C:\\no such\\library.dll";
    EXPECT_EQ(
        RegisterDLL(static_cast<DWORD>(missing.size()), reinterpret_cast<BYTE*>(missing.data()), nullptr, nullptr),
        S_OK);
    EXPECT_EQ(UnRegisterDLL(0, nullptr, nullptr, nullptr), S_OK);
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kServerKey);
}

TEST_F(SetrixTest, ProcessConfigXML_AppliesTheRegistryPartAndRejectsABrokenDocument) {
    std::string document = "<wap-provisioningdoc><characteristic type=\"Registry\">"
                           "<characteristic type=\"HKCU\\Software\\Ovrinsoft\\SetrixTest\">"
                           "<parm name=\"Name\" value=\"a &amp; b\" datatype=\"string\"/>"
                           "<parm name=\"Count\" value=\"42\" datatype=\"integer\"/>"
                           "</characteristic></characteristic></wap-provisioningdoc>";
    CGuardedInput input(document.data(), document.size());
    COutput output;
    EXPECT_EQ(ProcessConfigXML(input.Size(), input.Data(), &output.size, &output.buffer), S_OK);
    EXPECT_EQ(output.size, 0u);
    {
        CRegistryKey applied;
        ASSERT_TRUE(applied.Open(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\SetrixTest", KEY_READ, false));
        EXPECT_EQ(applied.GetValueType(L"Name"), static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(applied.ReadString(L"Name", L"(none)"), L"a & b");
        EXPECT_EQ(applied.GetValueType(L"Count"), static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(applied.ReadDword(L"Count", 0), 42u);
    }

    std::string removal = "<wap-provisioningdoc><characteristic type=\"Registry\">"
                          "<nocharacteristic type=\"HKCU\\Software\\Ovrinsoft\\SetrixTest\"/>"
                          "</characteristic></wap-provisioningdoc>";
    EXPECT_EQ(
        ProcessConfigXML(static_cast<DWORD>(removal.size()), reinterpret_cast<BYTE*>(removal.data()), nullptr, nullptr),
        S_OK);
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\SetrixTest"));

    std::string broken = document.substr(0, document.size() / 2 + 7); // cut inside a tag
    EXPECT_EQ(
        ProcessConfigXML(static_cast<DWORD>(broken.size()), reinterpret_cast<BYTE*>(broken.data()), nullptr, nullptr),
        S_OK);
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_CURRENT_USER, L"Software\\Ovrinsoft\\SetrixTest"));
    EXPECT_EQ(GetProcessList(0, nullptr, nullptr, nullptr), S_OK);
}

// -- Removal steps ---------------------------------------------------------------------------------

TEST_F(SetrixTest, ClearInstallFolder_EmptiesSubfoldersBeforeRemovingThemAndKeepsTheFolder) {
    std::filesystem::path root = m_install.Path();
    std::filesystem::create_directories(root / "dict" / "user" / "deep");
    WriteTextFile(m_install.File(L"Lexory.exe"));
    WriteTextFile(m_install.File(L"dict\\er.dic"));
    WriteTextFile(m_install.File(L"dict\\user\\deep\\u.dic"));
    setrix::CUninstaller(testsupport::ToWide(root).c_str()).ClearInstallFolder();
    EXPECT_TRUE(std::filesystem::is_directory(root));
    EXPECT_TRUE(std::filesystem::is_empty(root));
}

TEST_F(SetrixTest, ClearInstallFolder_KeepsAFileInUseWithItsFoldersAndAReadOnlyFile) {
    std::filesystem::path root = m_install.Path();
    std::filesystem::create_directories(root / "busy" / "inner");
    std::filesystem::create_directories(root / "free");
    std::wstring busy = m_install.File(L"busy\\inner\\open.dat");
    std::wstring readOnly = m_install.File(L"readonly.txt");
    WriteTextFile(busy);
    WriteTextFile(m_install.File(L"busy\\other.dat"));
    WriteTextFile(m_install.File(L"free\\gone.dat"));
    WriteTextFile(readOnly);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CFileHandle open(CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);

    // Trailing separators are the same folder.
    setrix::CUninstaller((testsupport::ToWide(root) + L"\\\\").c_str()).ClearInstallFolder();
    open.Reset();
    EXPECT_TRUE(Exists(busy));
    EXPECT_FALSE(Exists(m_install.File(L"busy\\other.dat")));
    EXPECT_FALSE(Exists(m_install.File(L"free")));
    EXPECT_TRUE(Exists(readOnly));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SetrixFolderTest, EmptyAndRootFoldersAreNeverCleared) {
    for (const wchar_t* folder :
         {L"", L"\\", L"/", L"\\\\", L"C:", L"C:\\", L"c:/", L"\\\\server\\share\\", L"\\\\server", L"\\\\?\\C:\\"})
        EXPECT_FALSE(setrix::IsRemovableFolder(folder)) << folder;
    for (const wchar_t* folder : {L"\\Program Files\\OVRIN Mobile", L"C:\\Program Files\\OVRIN Mobile\\", L"C:\\a",
                                  L"\\\\server\\share\\suite"})
        EXPECT_TRUE(setrix::IsRemovableFolder(folder)) << folder;
}

// The current folder for one test, given back when it ends.
class CCurrentFolder {
public:
    explicit CCurrentFolder(const std::wstring& folder) {
        wchar_t previous[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
        m_set = SetCurrentDirectoryW(folder.c_str()) != FALSE;
    }
    ~CCurrentFolder() { SetCurrentDirectoryW(m_previous.c_str()); }
    CCurrentFolder(const CCurrentFolder&) = delete;
    CCurrentFolder& operator=(const CCurrentFolder&) = delete;
    bool Set() const { return m_set; }

private:
    std::wstring m_previous;
    bool m_set = false;
};

// Only the guard is asked here: nothing is emptied.
TEST(SetrixFolderTest, FormsThatResolveToARootAreNeverCleared) {
    for (const wchar_t* folder : {L"C:\\..",
                                  L"C:\\.",
                                  L"C:\\Program Files\\..",
                                  L"C:\\Program Files\\..\\",
                                  L"C:\\x\\..\\..\\..",
                                  L"C:/x/..",
                                  L"C:\\x\\.\\..\\\\",
                                  L"\\..",
                                  L"\\x\\..",
                                  L"\\\\?\\C:\\x\\..",
                                  L"\\\\?\\C:",
                                  L"\\\\.\\C:\\x\\..",
                                  L"//?/C:/x/..",
                                  L"\\\\?\\UNC\\server\\share",
                                  L"\\\\?\\UNC\\server\\share\\x\\..",
                                  L"\\\\server\\share\\x\\..",
                                  L"\\\\server\\share\\..\\..",
                                  L"\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\",
                                  L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x",
                                  L"C:x",
                                  L"C:\\x\\*",
                                  L"C:\\x?"})
        EXPECT_FALSE(setrix::IsRemovableFolder(folder)) << folder;
    for (const wchar_t* folder : {L"C:\\Program Files\\x\\..\\OVRIN Mobile", L"C:\\a\\.", L"\\\\?\\C:\\a",
                                  L"\\\\?\\UNC\\server\\share\\suite", L"\\\\server\\share\\suite\\x\\.."})
        EXPECT_TRUE(setrix::IsRemovableFolder(folder)) << folder;
}

TEST(SetrixFolderTest, RelativeFormsAreTakenFromTheCurrentFolder) {
    TempFolder tree;
    std::wstring folder = testsupport::ToWide(tree.Path());
    {
        CCurrentFolder current(folder);
        ASSERT_TRUE(current.Set());
        EXPECT_TRUE(setrix::IsRemovableFolder(L"."));
        EXPECT_TRUE(setrix::IsRemovableFolder(L"suite\\"));
        std::wstring up;
        for (size_t separators = std::count(folder.begin(), folder.end(), L'\\'); separators > 0; --separators)
            up += L"..\\";
        EXPECT_FALSE(setrix::IsRemovableFolder(up)) << up;
        EXPECT_FALSE(setrix::IsRemovableFolder(up + L"..\\..")) << up;
    }
    CCurrentFolder atRoot(L"C:\\");
    ASSERT_TRUE(atRoot.Set());
    EXPECT_FALSE(setrix::IsRemovableFolder(L"."));
    EXPECT_FALSE(setrix::IsRemovableFolder(L".\\"));
    EXPECT_FALSE(setrix::IsRemovableFolder(L"x\\.."));
}

// A drive whose root is a throwaway tree stands in for a real one: a guard that let a root through
// would empty only that tree.
TEST_F(SetrixTest, EmptyFolder_NeverEmptiesADrivesRootWhateverTheForm) {
    TempFolder tree;
    std::filesystem::create_directories(tree.Path() / "sub" / "deeper");
    const std::vector<std::wstring> files = {tree.File(L"root.txt"), tree.File(L"sub\\a.txt"),
                                             tree.File(L"sub\\deeper\\b.txt")};
    for (const std::wstring& file : files)
        WriteTextFile(file);
    CStandInDrive drive(testsupport::ToWide(tree.Path()));
    ASSERT_FALSE(drive.Root().empty()) << "no drive letter could be made";
    const std::wstring root = drive.Root(); // "X:\\"
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Exists(root + L"sub\\deeper\\b.txt"); }));
    std::wstring shortcut = testsupport::ToWide(m_device.startMenu.Path() / "Root.lnk");
    ASSERT_TRUE(platform::CreateShortcut(shortcut, root + L"Lexory.exe", L""));

    const std::wstring letter = root.substr(0, 2); // "X:"
    for (const std::wstring& folder :
         {root, letter + L"\\..", letter + L"\\.", letter + L"\\sub\\..", letter + L"\\sub\\..\\",
          letter + L"/sub/deeper/../..", letter + L"\\sub\\..\\..\\..", L"\\\\?\\" + letter + L"\\sub\\..",
          L"\\\\.\\" + letter + L"\\sub\\..", L"\\\\?\\" + root}) {
        setrix::EmptyFolder(folder);
        setrix::CUninstaller uninstaller(folder.c_str());
        uninstaller.ClearInstallFolder();
        uninstaller.DeleteShortcuts();
        for (const std::wstring& file : files)
            ASSERT_TRUE(Exists(file)) << folder << " emptied " << file;
        ASSERT_TRUE(Exists(shortcut)) << folder;
    }
    {
        CCurrentFolder current(root + L"sub");
        ASSERT_TRUE(current.Set());
        setrix::EmptyFolder(L"..");
        setrix::EmptyFolder(L"deeper\\..\\..");
    }
    for (const std::wstring& file : files)
        EXPECT_TRUE(Exists(file)) << file;
}

TEST_F(SetrixTest, EmptyFolder_ResolvesTheFormsOfAnOrdinaryFolder) {
    std::filesystem::path root = m_install.Path();
    const std::wstring folder = testsupport::ToWide(root);
    std::wstring parent = folder.substr(0, folder.find_last_of(L'\\'));
    std::wstring name = folder.substr(parent.size() + 1);
    CCurrentFolder current(parent);
    ASSERT_TRUE(current.Set());
    for (const std::wstring& form : {folder + L"\\sub\\..", folder + L"\\.\\\\", L"\\\\?\\" + folder + L"\\",
                                     parent + L"/" + name + L"/sub/..", name, L".\\" + name + L"\\sub\\.."}) {
        std::filesystem::create_directories(root / "sub");
        WriteTextFile(m_install.File(L"Lexory.exe"));
        WriteTextFile(m_install.File(L"sub\\er.dic"));
        setrix::EmptyFolder(form);
        EXPECT_TRUE(std::filesystem::is_directory(root)) << form;
        EXPECT_TRUE(std::filesystem::is_empty(root)) << form;
    }
}

// Links inside the installation folder, to a drive's root (a stand-in drive over a throwaway tree), to
// a folder outside and to a file outside, also one level down: each goes as a link, and nothing they
// point at is entered or deleted.
TEST_F(SetrixTest, ClearInstallFolder_RemovesLinksAsLinksAndNeverEntersThem) {
    TempFolder rootTree, outside;
    std::filesystem::create_directories(rootTree.Path() / "sub");
    std::filesystem::create_directories(outside.Path() / "sub");
    const std::vector<std::wstring> targets = {rootTree.File(L"root.txt"), rootTree.File(L"sub\\a.txt"),
                                               outside.File(L"kept.txt"), outside.File(L"sub\\deep.txt")};
    for (const std::wstring& file : targets)
        WriteTextFile(file);
    CStandInDrive drive(testsupport::ToWide(rootTree.Path()));
    ASSERT_FALSE(drive.Root().empty()) << "no drive letter could be made";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Exists(drive.Root() + L"sub\\a.txt"); }));

    std::filesystem::create_directories(m_install.Path() / "dict");
    WriteTextFile(m_install.File(L"Lexory.exe"));
    WriteTextFile(m_install.File(L"dict\\er.dic"));
    ASSERT_TRUE(MakeLink(drive.Root(), m_install.File(L"drive")));
    ASSERT_TRUE(MakeLink(testsupport::ToWide(outside.Path()), m_install.File(L"outside")));
    ASSERT_TRUE(MakeLink(testsupport::ToWide(outside.Path() / "sub"), m_install.File(L"dict\\linked")));
    ASSERT_TRUE(MakeLink(outside.File(L"kept.txt"), m_install.File(L"notes.txt")));
    // Removing a link to an empty folder by its path would remove that folder where links are followed.
    std::filesystem::create_directories(outside.Path() / "hollow");
    ASSERT_TRUE(MakeLink(testsupport::ToWide(outside.Path() / "hollow"), m_install.File(L"hollow")));
    // The links lead where they point: entering one would reach the files below.
    ASSERT_TRUE(Exists(m_install.File(L"drive\\sub\\a.txt")));
    ASSERT_TRUE(Exists(m_install.File(L"dict\\linked\\deep.txt")));

    setrix::CUninstaller(testsupport::ToWide(m_install.Path()).c_str()).ClearInstallFolder();
    for (const std::wstring& file : targets)
        EXPECT_TRUE(Exists(file)) << file;
    EXPECT_TRUE(Exists(drive.Root() + L"root.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(outside.Path() / "hollow"));
    // Everything of the folder's own is gone. A link goes as a link where the system can open it as
    // one; Wine follows its host's links whatever it is asked, so there they stay (with the folder that
    // holds one), as nothing could delete them without deleting their targets.
    EXPECT_FALSE(Exists(m_install.File(L"Lexory.exe")));
    EXPECT_FALSE(Exists(m_install.File(L"dict\\er.dic")));
    std::vector<std::wstring> left;
    for (const wchar_t* folder : {L"", L"dict"}) {
        if (!std::filesystem::is_directory(m_install.Path() / folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(m_install.Path() / folder))
            left.push_back((std::filesystem::path(folder) / entry.path().filename()).wstring());
    }
    const std::vector<std::wstring> links = {L"dict", L"dict\\linked", L"drive", L"hollow", L"notes.txt", L"outside"};
    for (const std::wstring& entry : left)
        EXPECT_TRUE(std::find(links.begin(), links.end(), entry) != links.end()) << Narrow(entry);
}

TEST(SetrixFolderTest, TargetPointsIntoTheFolderOnlyAtAPathBoundary) {
    const std::wstring folder = L"\\Program Files\\OVRIN";
    EXPECT_TRUE(setrix::TargetPointsInto(L"\"\\program files\\ovrin\\OvrinToolbar.exe\"", folder));
    EXPECT_TRUE(setrix::TargetPointsInto(L"\\Windows\\Ovloader.exe \"\\PROGRAM FILES\\OVRIN\\OvrinToolbar.exe\"",
                                         folder + L"\\"));
    EXPECT_TRUE(setrix::TargetPointsInto(L"\\Program Files\\OVRIN", folder));
    EXPECT_TRUE(setrix::TargetPointsInto(L"\\Program Files\\OVRIN Mobile 2\\a.exe \\Program Files\\OVRIN\\b", folder));
    EXPECT_FALSE(setrix::TargetPointsInto(L"\"\\Program Files\\OVRIN Mobile 2\\Lexory.exe\"", folder));
    EXPECT_FALSE(setrix::TargetPointsInto(L"\\Program Files\\OVRINX.exe", folder));
    EXPECT_FALSE(setrix::TargetPointsInto(L"\\Windows\\notepad.exe", folder));
    EXPECT_FALSE(setrix::TargetPointsInto(L"\\Windows\\notepad.exe", L""));
    EXPECT_FALSE(setrix::TargetPointsInto(L"\\Windows\\notepad.exe", L"\\"));
}

TEST_F(SetrixTest, DeleteShortcuts_RemovesShortcutsIntoTheFolderFromSubfoldersAndKeepsOthers) {
    std::wstring install = testsupport::ToWide(m_install.Path());
    std::filesystem::path menu = m_device.startMenu.Path();
    std::filesystem::create_directories(menu / "Programs" / "OVRIN");
    std::wstring sibling = install + L" 2";
    std::wstring intoFolder = testsupport::ToWide(menu / "Programs" / "OVRIN" / "Lexory.lnk");
    std::wstring otherProgram = testsupport::ToWide(menu / "Programs" / "Notepad.lnk");
    std::wstring intoSibling = testsupport::ToWide(menu / "Programs" / "Sibling.lnk");
    std::wstring deviceForm = testsupport::ToWide(menu / "Device.LNK");
    std::wstring startUp = testsupport::ToWide(m_device.startUp.Path() / "OvrinToolbar.lnk");
    // Quoted, in other letter case, as the start-up shortcut's argument.
    ASSERT_TRUE(platform::CreateShortcut(intoFolder, L"C:\\windows\\system32\\cmd.exe",
                                         L"\"" + Upper(install) + L"\\Lexory.exe\" hello"));
    ASSERT_TRUE(platform::CreateShortcut(otherProgram, L"C:\\windows\\notepad.exe", L""));
    ASSERT_TRUE(platform::CreateShortcut(intoSibling, sibling + L"\\Lexory.exe", L""));
    ASSERT_TRUE(
        platform::CreateShortcut(startUp, L"C:\\windows\\Ovloader.exe", L"\"" + install + L"\\OvrinToolbar.exe\""));
    std::string text = "#\"" + Narrow(Upper(install)) + "\\Lexory.exe\"";
    WriteTextFile(deviceForm, std::to_string(text.size() - 1) + text);
    // Files named as shortcuts that are none: kept, whatever they hold.
    std::wstring empty = testsupport::ToWide(menu / "Empty.lnk");
    std::wstring garbage = testsupport::ToWide(menu / "Programs" / "Garbage.lnk");
    WriteTextFile(empty, "");
    WriteTextFile(garbage, std::string("L\0\0\0\x01\x14\x02", 7) + Narrow(install) + std::string(300, '\xff'));

    setrix::CUninstaller(install.c_str()).DeleteShortcuts();
    EXPECT_FALSE(Exists(intoFolder));
    EXPECT_FALSE(Exists(startUp));
    EXPECT_FALSE(Exists(deviceForm));
    EXPECT_TRUE(Exists(otherProgram));
    EXPECT_TRUE(Exists(intoSibling));
    EXPECT_TRUE(Exists(empty));
    EXPECT_TRUE(Exists(garbage));
}

// An environment variable of this process for one test, given back when it ends.
class CEnvironmentVariable {
public:
    CEnvironmentVariable(const wchar_t* name, const std::wstring& value) : m_name(name) {
        wchar_t previous[32767] = {};
        DWORD length = GetEnvironmentVariableW(name, previous, 32767);
        m_had = length > 0 && length < 32767;
        m_previous = m_had ? previous : L"";
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~CEnvironmentVariable() { SetEnvironmentVariableW(m_name.c_str(), m_had ? m_previous.c_str() : nullptr); }
    CEnvironmentVariable(const CEnvironmentVariable&) = delete;
    CEnvironmentVariable& operator=(const CEnvironmentVariable&) = delete;

private:
    std::wstring m_name, m_previous;
    bool m_had = false;
};

// Targets written with a variable for the programs folder, as the installer writes them, in a shell
// link and in the device's text form: expanded before they are matched.
TEST_F(SetrixTest, DeleteShortcuts_ExpandsEnvironmentVariablesInTheTarget) {
    TempFolder programFiles;
    std::filesystem::create_directories(programFiles.Path() / "OVRIN Mobile");
    const std::wstring install = testsupport::ToWide(programFiles.Path() / "OVRIN Mobile");
    CEnvironmentVariable variable(L"ProgramFiles", testsupport::ToWide(programFiles.Path()));
    std::filesystem::path menu = m_device.startMenu.Path();
    std::filesystem::create_directories(menu / "Programs");
    const std::wstring link = testsupport::ToWide(menu / "Programs" / "Lexory.lnk");
    const std::wstring deviceForm = testsupport::ToWide(menu / "Programs" / "Toolbar.lnk");
    const std::wstring startUp = testsupport::ToWide(m_device.startUp.Path() / "OvrinToolbar.lnk");
    const std::wstring sibling = testsupport::ToWide(menu / "Sibling.lnk");
    const std::wstring unknownVariable = testsupport::ToWide(menu / "Unknown.lnk");
    ASSERT_TRUE(platform::CreateShortcut(link, L"%ProgramFiles%\\OVRIN Mobile\\Lexory.exe", L""));
    auto writeDeviceForm = [](const std::wstring& path, const std::string& target) {
        WriteTextFile(path, std::to_string(target.size()) + "#" + target);
    };
    writeDeviceForm(deviceForm, "\"%PROGRAMFILES%\\OVRIN Mobile\\OvrinToolbar.exe\"");
    writeDeviceForm(startUp, "\\Windows\\Ovloader.exe \"%programfiles%\\OVRIN Mobile\\OvrinToolbar.exe\"");
    writeDeviceForm(sibling, "\"%ProgramFiles%\\OVRIN Mobile 2\\Lexory.exe\"");
    writeDeviceForm(unknownVariable, "\"%OvrinNoSuchVariable%\\OVRIN Mobile\\Lexory.exe\"");
    std::wstring read;
    ASSERT_TRUE(platform::ReadShortcutTarget(deviceForm, read));
    ASSERT_EQ(read, L"\"%PROGRAMFILES%\\OVRIN Mobile\\OvrinToolbar.exe\"");

    setrix::CUninstaller(install.c_str()).DeleteShortcuts();
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(Exists(deviceForm));
    EXPECT_FALSE(Exists(startUp));
    EXPECT_TRUE(Exists(sibling));
    EXPECT_TRUE(Exists(unknownVariable));
}

TEST_F(SetrixTest, DeleteShortcuts_AnEmptyOrOverlongFolderDeletesNothing) {
    std::wstring shortcut = testsupport::ToWide(m_device.startMenu.Path() / "Any.lnk");
    ASSERT_TRUE(platform::CreateShortcut(shortcut, L"C:\\windows\\notepad.exe", L""));
    std::wstring overlong = L"C:\\" + std::wstring(297, L'w');
    for (const wchar_t* folder : {L"", static_cast<const wchar_t*>(nullptr), overlong.c_str()}) {
        setrix::CUninstaller uninstaller(folder);
        uninstaller.ClearInstallFolder();
        uninstaller.DeleteShortcuts();
    }
    EXPECT_TRUE(Exists(shortcut));
}

TEST_F(SetrixTest, DeleteRegistryKeysAndMarker_RemovesThePackagesKeysWithSubkeysAndNothingElse) {
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile\\Sub\\Deeper");
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile");
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile 2");
    std::wstring marker = testsupport::ToWide(m_device.windows.Path() / "OVRIN Mobile.unload");
    std::wstring otherFile = testsupport::ToWide(m_device.windows.Path() / "OVRIN Mobile.ini");
    WriteTextFile(marker);
    WriteTextFile(otherFile);
    setrix::CUninstaller uninstaller(testsupport::ToWide(m_install.Path()).c_str());
    uninstaller.DeleteRegistryKeys();
    uninstaller.DeleteMarkerFile();
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile"));
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile 2"));
    EXPECT_TRUE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"Security\\AppInstall"));
    EXPECT_FALSE(Exists(marker));
    EXPECT_TRUE(Exists(otherFile));
    uninstaller.DeleteRegistryKeys(); // nothing left to open: nothing happens
}

TEST_F(SetrixTest, PartingMessage_ShowsTheSettingWithTheInformationIconAlsoWhenEmpty) {
    constexpr wchar_t kKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\OvrinToolbar";
    CRegistryKey settings;
    ASSERT_TRUE(settings.Open(HKEY_CURRENT_USER, kKey, true));
    settings.DeleteValue(L"UninstallMessage");
    setrix::CUninstaller uninstaller(testsupport::ToWide(m_install.Path()).c_str());
    HWND parent = reinterpret_cast<HWND>(0x1234);
    uninstaller.ShowPartingMessage(parent, uninstaller.ReadPartingMessage());
    std::wstring farewell = L"Спасибо, что пользовались OVRIN Mobile!";
    settings.WriteString(L"UninstallMessage", farewell);
    uninstaller.ShowPartingMessage(parent, uninstaller.ReadPartingMessage());
    settings.DeleteValue(L"UninstallMessage");
    ASSERT_EQ(m_device.messages.size(), 2u);
    EXPECT_EQ(m_device.messages[0].text, L"");
    EXPECT_EQ(m_device.messages[1].text, farewell);
    EXPECT_EQ(m_device.messages[1].owner, parent);
    EXPECT_EQ(m_device.messages[1].caption, L"OVRIN Mobile");
    EXPECT_EQ(m_device.messages[1].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

} // namespace
