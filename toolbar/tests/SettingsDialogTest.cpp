// The settings dialog: the start-up shortcut, its image list, and the call key's restart question.
#include "TranslateDialogsFixture.h"

using namespace dialogtests;

namespace {

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

} // namespace

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
    testsupport::ScreenshotIntoOut("toolbar_settings_dialog.png");
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
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(window); }));
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
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "HIMAGELIST_QueryInterface")));
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
