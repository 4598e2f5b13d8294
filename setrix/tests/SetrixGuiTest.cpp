// Setrix.dll loaded as the device installer loads it, with real programs to end and the real message
// boxes: the programs under the suite's names run from the installation folder, the shortcuts lie in
// the user's real start-menu and start-up folders, the marker in the Windows folder.
#include "SetrixTestSupport.h"

#include "platform/Device.h"
#include "platform/Handles.h"
#include "testsupport/GuiProgram.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <functional>
#include <thread>

using namespace setrixtest;
using testsupport::TempFolder;

namespace {

constexpr wchar_t kMessageKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\OvrinToolbar";
constexpr wchar_t kDeviceKey[] = L"Software\\Ovrinsoft\\Device";
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring WindowsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return path;
}

void SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& text) {
    CRegistryKey opened;
    if (opened.Open(root, key, true))
        opened.WriteString(name, text);
}

class SetrixDllTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_library.Reset(LoadLibraryW(BesideTests(L"Setrix.dll").c_str()));
        ASSERT_TRUE(m_library);
        m_testMenu = platform::ShellFolder(CSIDL_PROGRAMS) + L"\\SetrixTest-" + std::to_wstring(GetCurrentProcessId());
        m_startUpShortcut =
            platform::ShellFolder(CSIDL_STARTUP) + L"\\SetrixTest-" + std::to_wstring(GetCurrentProcessId()) + L".lnk";
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_testMenu, ignored);
        DeleteFileW(m_startUpShortcut.c_str());
        CRegistryKey messages;
        if (messages.Open(HKEY_CURRENT_USER, kMessageKey, false))
            messages.DeleteValue(L"UninstallMessage");
        CRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, kDeviceKey);
        m_library.Reset();
    }

    template <typename Function>
    Function Export(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_library.Get(), name)));
    }

    // Runs call on a thread of its own until the message box captioned caption shows; gives the box's
    // text, or "(no box)". The box is closed with the Return key through the X server when byKeys, else
    // through its OK button; the call then has to return.
    std::wstring AnswerMessageBox(const std::function<void()>& call, const wchar_t* caption, bool byKeys) {
        std::thread caller(call);
        HWND box = testsupport::WaitForWindow(L"#32770", caption, GetCurrentProcessId());
        std::wstring text = L"(no box)";
        if (box != nullptr) {
            text = testsupport::ControlText(GetDlgItem(box, kMessageBoxTextId));
            onBoxShown();
            if (byKeys) {
                EXPECT_TRUE(testsupport::FocusWindowForKeys(box));
                EXPECT_TRUE(testsupport::TypeKeys({"Return"}));
            } else {
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(box); }));
        }
        caller.join();
        return text;
    }

    CModuleHandle m_library;
    std::wstring m_testMenu;
    std::wstring m_startUpShortcut;
    std::function<void()> onBoxShown = [] {};
};

TEST_F(SetrixDllTest, UninstallInit_EndsTheProgramsClearsTheSuiteAndSaysGoodbyeLast) {
    TempFolder install;
    std::wstring folder = testsupport::ToWide(install.Path());
    testsupport::CProgramProcess programs[3];
    // Ended by name without regard to case.
    const wchar_t* names[] = {L"TMail.exe", L"OvrinToolbar.exe", L"LEXORY.EXE"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(CopyFileW(BesideTests(L"setrix_test_program.exe").c_str(), install.File(names[i]).c_str(), FALSE));
        ASSERT_TRUE(programs[i].Start(install.File(names[i])));
    }
    std::filesystem::create_directories(install.Path() / "dict");
    std::filesystem::create_directories(install.Path() / "help" / "img");
    std::wstring inUse = install.File(L"dict\\er.dic");
    WriteTextFile(inUse);
    WriteTextFile(install.File(L"dict\\re.dic"));
    WriteTextFile(install.File(L"help\\img\\a.bmp"));
    CFileHandle open(CreateFileW(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);

    std::filesystem::create_directories(m_testMenu + L"\\OVRIN");
    std::wstring lexoryShortcut = m_testMenu + L"\\OVRIN\\Lexory.lnk";
    std::wstring notepadShortcut = m_testMenu + L"\\Notepad.lnk";
    ASSERT_TRUE(platform::CreateShortcut(lexoryShortcut, L"\"" + Upper(folder) + L"\\Lexory.exe\"", L""));
    ASSERT_TRUE(platform::CreateShortcut(notepadShortcut, WindowsFolder() + L"\\notepad.exe", L""));
    ASSERT_TRUE(platform::CreateShortcut(m_startUpShortcut, WindowsFolder() + L"\\Ovloader.exe",
                                         L"\"" + folder + L"\\OvrinToolbar.exe\""));
    std::wstring marker = WindowsFolder() + L"\\OVRIN Mobile.unload";
    WriteTextFile(marker);
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile\\Files");
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile");
    std::wstring farewell = L"OVRIN Mobile удалён. До свидания!";
    SetString(HKEY_CURRENT_USER, kMessageKey, L"UninstallMessage", farewell);

    auto uninstallInit = Export<UninstallInitFunction>("Uninstall_Init");
    ASSERT_NE(uninstallInit, nullptr);
    int result = -1;
    // Everything else is done by the time the parting message shows.
    onBoxShown = [&] {
        ULONGLONG exitTimes[3] = {};
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(programs[i].WaitForExit(0));
            EXPECT_EQ(programs[i].ExitCode(), 0u);
            FILETIME created, exited, kernel, user;
            ASSERT_TRUE(GetProcessTimes(programs[i].Handle(), &created, &exited, &kernel, &user));
            exitTimes[i] = (static_cast<ULONGLONG>(exited.dwHighDateTime) << 32) | exited.dwLowDateTime;
        }
        // In order, each with its pause after it (times in 100 ns; a little slack for the clock's grain).
        EXPECT_GE(exitTimes[1], exitTimes[0] + 4500000) << "the toolbar ends after the messaging program";
        EXPECT_GE(exitTimes[2], exitTimes[1] + 4500000) << "the dictionary program ends after the toolbar";
        EXPECT_TRUE(testsupport::ScreenshotIntoOut("setrix-parting-message.png"));
        EXPECT_FALSE(Exists(install.File(L"Lexory.exe")));
        EXPECT_FALSE(Exists(install.File(L"help")));
        EXPECT_TRUE(Exists(inUse));
        EXPECT_FALSE(Exists(install.File(L"dict\\re.dic")));
        EXPECT_FALSE(Exists(lexoryShortcut));
        EXPECT_FALSE(Exists(m_startUpShortcut));
        EXPECT_TRUE(Exists(notepadShortcut));
        EXPECT_FALSE(Exists(marker));
        EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));
        EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"Security\\AppInstall\\OVRIN Mobile"));
    };
    EXPECT_EQ(AnswerMessageBox([&] { result = uninstallInit(nullptr, folder.c_str()); }, L"OVRIN Mobile", true),
              farewell);
    EXPECT_EQ(result, codeUNINSTALL_INIT_CONTINUE);
    open.Reset();
    EXPECT_TRUE(std::filesystem::is_directory(install.Path()));
}

TEST_F(SetrixDllTest, UninstallInit_WithNothingRunningEndsNothingAndAnswersZeroForAnyFolder) {
    TempFolder install;
    testsupport::CProgramProcess bystander; // another program's name
    ASSERT_TRUE(bystander.Start(BesideTests(L"setrix_test_program.exe")));
    std::wstring readOnly = install.File(L"readme.txt");
    WriteTextFile(readOnly);
    WriteTextFile(install.File(L"Lexory.exe"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile");

    auto uninstallInit = Export<UninstallInitFunction>("Uninstall_Init");
    ASSERT_NE(uninstallInit, nullptr);
    std::wstring folder = testsupport::ToWide(install.Path());
    std::wstring overlong = folder + L"\\" + std::wstring(300 - folder.size() - 1, L'x');
    for (const wchar_t* path : {folder.c_str(), static_cast<const wchar_t*>(nullptr), overlong.c_str()}) {
        int result = -1;
        EXPECT_EQ(AnswerMessageBox([&] { result = uninstallInit(nullptr, path); }, L"OVRIN Mobile", false), L"");
        EXPECT_EQ(result, 0);
    }
    EXPECT_TRUE(bystander.Running());
    EXPECT_FALSE(Exists(install.File(L"Lexory.exe")));
    EXPECT_TRUE(Exists(readOnly));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(CRegistryKey::Exists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\OVRIN Mobile"));

    EXPECT_EQ(Export<InstallInitFunction>("Install_Init")(nullptr, TRUE, FALSE, folder.c_str()), 0);
    EXPECT_EQ(Export<InstallExitFunction>("Install_Exit")(nullptr, folder.c_str(), 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Export<UninstallExitFunction>("Uninstall_Exit")(nullptr), 0);
}

TEST_F(SetrixDllTest, ServiceFunctions_ShowAMessageAndReadThePlatformTypeOfTheDevice) {
    setrix::tagMessageRecord record = {};
    std::wstring(L"Перезагрузите устройство").copy(record.text, setrix::kRecordTextLength - 1);
    std::wstring(L"Setrix test").copy(record.caption, setrix::kRecordTextLength - 1);
    record.style = MB_OK | MB_ICONINFORMATION;
    auto messageDialog = Export<ServiceFunction>("MessageDialog");
    ASSERT_NE(messageDialog, nullptr);
    COutput output;
    EXPECT_EQ(AnswerMessageBox(
                  [&] { messageDialog(sizeof record, reinterpret_cast<BYTE*>(&record), &output.size, &output.buffer); },
                  L"Setrix test", false),
              L"Перезагрузите устройство");
    EXPECT_EQ(output.size, 0u);

    auto isSmartphone = Export<ServiceFunction>("IsSmartphone");
    ASSERT_NE(isSmartphone, nullptr);
    for (const auto& [type, expected] : {std::pair<const wchar_t*, BYTE>{L"SmartPhone", 1}, {L"PocketPC", 0}}) {
        SetString(HKEY_LOCAL_MACHINE, kDeviceKey, L"PlatformType", type);
        COutput answer;
        isSmartphone(0, nullptr, &answer.size, &answer.buffer);
        ASSERT_EQ(answer.size, 1u);
        EXPECT_EQ(answer.buffer[0], expected) << type;
    }
    CRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, kDeviceKey);
    COutput absent;
    isSmartphone(0, nullptr, &absent.size, &absent.buffer);
    ASSERT_EQ(absent.size, 1u);
    EXPECT_EQ(absent.buffer[0], 0) << "a device without the value is a Pocket PC";
}

} // namespace
