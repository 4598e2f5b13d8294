// The application framework: command lines, string texts, dialogs with their message map and modal
// loop, reflected control colours, the soft-key bar with its keys and the Back-key override, and the
// resource owners.
#include "PlatformTestResources.h"
#include "platform/Application.h"
#include "platform/CommandLine.h"
#include "platform/Control.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/Resources.h"
#include "platform/SoftKeyBar.h"
#include "platform/SoftKeyDialog.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct RecordedParams : CCommandLineInfo {
    std::vector<std::tuple<std::wstring, bool, bool>> params;
    void ParseParam(const wchar_t* param, bool flag, bool last) override { params.emplace_back(param, flag, last); }
};

// Runs the message loop until there is nothing left to do.
void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT || !CApplication::PumpMessage())
            break;
    }
}

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST_DIALOG) {}
    std::vector<WORD> commands;
    std::vector<LPARAM> hotKeys;
    int preTranslated = 0;
    CSoftKeyBar bar;

    bool PreTranslateMessage(MSG& message) override {
        if (message.message == WM_HOTKEY) {
            hotKeys.push_back(message.lParam);
            CSoftKeyBar::SendBackToFocusWindow(message.message, message.wParam, message.lParam);
            return true;
        }
        if (message.message == WM_KEYDOWN)
            ++preTranslated;
        return false;
    }

protected:
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (control != nullptr)
            return false;
        commands.push_back(id);
        if (id == ID_TEST_DONE && IsModal())
            EndDialog(77);
        return true;
    }
};

class ColorControl : public CControl {
public:
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ~ColorControl() override { DeleteObject(brush); }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != kReflectedBase + WM_CTLCOLOREDIT)
            return false;
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
};

class TestSoftKeyDialog : public CSoftKeyDialog {
public:
    TestSoftKeyDialog() : CSoftKeyDialog(IDD_TEST_DIALOG) {}
    std::vector<LPARAM> hotKeys;
    using CSoftKeyDialog::CreateBar;
    using CSoftKeyDialog::SetProgramIcons;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_HOTKEY && wParam == CSoftKeyBar::kBackHotKeyId)
            hotKeys.push_back(lParam);
        return CSoftKeyDialog::HandleMessage(message, wParam, lParam, result);
    }
};

SIZE IconSize(HICON icon) {
    ICONINFO info = {};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

std::wstring EditText(HWND edit) {
    wchar_t text[256] = {};
    GetWindowTextW(edit, text, 256);
    return text;
}

} // namespace

TEST(CommandLineTest, FlagsLoseTheirMarkQuotesGroupAndTheProgramNameIsSkipped) {
    RecordedParams info;
    platform::ParseCommandLine(info, L"\"C:\\Program Files\\x.exe\" -a /options3 \"two words\" plain");
    ASSERT_EQ(info.params.size(), 4u);
    EXPECT_EQ(info.params[0], std::make_tuple(std::wstring(L"a"), true, false));
    EXPECT_EQ(info.params[1], std::make_tuple(std::wstring(L"options3"), true, false));
    EXPECT_EQ(info.params[2], std::make_tuple(std::wstring(L"two words"), false, false));
    EXPECT_EQ(info.params[3], std::make_tuple(std::wstring(L"plain"), false, true));

    RecordedParams none;
    platform::ParseCommandLine(none, L"x.exe");
    EXPECT_TRUE(none.params.empty());
}

// A word handed to another program (the dictionary program, the launcher) arrives as one argument,
// intact, however it is split: the shell's own splitting of a command line is the reading the program
// does.
TEST(CommandLineTest, QuotedArgument_SplitsBackIntoTheSameOneArgument) {
    for (const std::wstring word :
         {L"word", L"two words", L"say \"hi\"", L"\"", L"a\\\"b", L"ends\\", L"ends\\\\", L"\\\\server\\x y", L"",
          L"tab\there", L"x\"\" /options1 \"y", L"Привет \"мир\"\\"}) {
        std::wstring quoted = platform::QuotedArgument(word);
        EXPECT_EQ(platform::SplitCommandLine((L"x.exe " + quoted).c_str()), (std::vector<std::wstring>{L"x.exe", word}))
            << testing::PrintToString(quoted);
        EXPECT_EQ(platform::SplitCommandLine((L"x.exe " + quoted + L" next").c_str()).size(), 3u);
    }
    EXPECT_EQ(platform::QuotedArgument(L"a b"), L"\"a b\"") << "plain words only gain the marks";
}

TEST(ResourcesTest, StringsComeFromTheProgramsTableWithTheTitleAt57344) {
    EXPECT_EQ(platform::LoadResString(IDS_TEST_TEXT),
              L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439 \x0442\x0435\x043A\x0441\x0442");
    EXPECT_EQ(platform::AppTitle(), L"\x041F\x043B\x0430\x0442\x0444\x043E\x0440\x043C\x0430");
    EXPECT_EQ(platform::LoadResString(9999), L"");
}

TEST(DialogTest, ModelessDialog_ReflectsControlColoursAndFindsItsObject) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_EQ(CDialog::FromHandle(dialog.GetHwnd()), &dialog);
    HWND edit = dialog.GetItem(IDC_TEST_EDIT);
    ColorControl control;
    ASSERT_TRUE(control.SubclassDlgItem(IDC_TEST_EDIT, dialog.GetHwnd()));
    EXPECT_EQ(CControl::FromHandle(edit), &control);
    HDC dc = GetDC(edit);
    LRESULT brush =
        SendMessageW(dialog.GetHwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    ReleaseDC(edit, dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), control.brush);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_EQ(control.GetHwnd(), nullptr) << "a control lets go of its window when the window goes";
}

TEST(SoftKeyBarTest, BarDocksBelowTheResourceAreaAndItsKeysSendCommands) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND window = dialog.GetHwnd();
    RECT before;
    GetClientRect(window, &before);
    ASSERT_TRUE(dialog.bar.Create(window, IDR_TEST_MENU));
    EXPECT_EQ(CSoftKeyBar::FromOwner(window), &dialog.bar);

    RECT client, bar;
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, before.bottom + CSoftKeyBar::Height()) << "the window grows by the bar";
    GetWindowRect(dialog.bar.GetHwnd(), &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right - bar.left, client.right);
    EXPECT_EQ(CSoftKeyBar::ClientRectAbove(window).bottom, before.bottom);

    // A second bar replaces the first without growing the window again.
    ASSERT_TRUE(dialog.bar.Create(window, IDR_TEST_MENU));
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, before.bottom + CSoftKeyBar::Height());

    EXPECT_TRUE(dialog.bar.PressKey(0));
    EXPECT_EQ(dialog.commands, std::vector<WORD>{ID_TEST_DONE});
    EXPECT_NE(dialog.bar.GetSubMenu(1), nullptr);
    EXPECT_EQ(dialog.bar.GetSubMenu(0), nullptr);

    // F1 through the message loop presses the left key; a disabled key does nothing.
    PostMessageW(dialog.GetItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_F1, 0);
    PumpPending();
    EXPECT_EQ(dialog.commands.size(), 2u);
    EnableMenuItem(dialog.bar.GetMenu(), 0, MF_BYPOSITION | MF_GRAYED);
    EXPECT_FALSE(dialog.bar.PressKey(0));
    PostMessageW(dialog.GetItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_F1, 0);
    PumpPending();
    EXPECT_EQ(dialog.commands.size(), 2u);
}

TEST(SoftKeyBarTest, OverriddenBackKeyComesAsHotKeyAndItsReleaseDeletesACharacter) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    ASSERT_TRUE(dialog.bar.Create(dialog.GetHwnd(), IDR_TEST_MENU));
    HWND edit = dialog.GetItem(IDC_TEST_EDIT);
    ShowWindow(dialog.GetHwnd(), SW_SHOW);
    SetForegroundWindow(dialog.GetHwnd());
    SetFocus(edit);
    SetWindowTextW(edit, L"abc");
    SendMessageW(edit, EM_SETSEL, 3, 3);

    // Without the override Escape goes the usual way: no hot key.
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpPending();
    EXPECT_TRUE(dialog.hotKeys.empty());

    dialog.bar.OverrideBackKey(true);
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(edit, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    PumpPending();
    ASSERT_EQ(dialog.hotKeys.size(), 2u);
    EXPECT_EQ(dialog.hotKeys[0], MAKELPARAM(0, VK_ESCAPE));
    EXPECT_EQ(dialog.hotKeys[1], MAKELPARAM(CSoftKeyBar::kModKeyUp, VK_ESCAPE));
    EXPECT_EQ(EditText(edit), L"ab") << "the release hands Back to the edit";
}

TEST(SoftKeyDialogTest, TheBarTakesBackAndTheIconsComeAtTheSystemsTwoSizes) {
    TestSoftKeyDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND window = dialog.GetHwnd();
    ASSERT_TRUE(dialog.CreateBar(IDR_TEST_MENU));
    EXPECT_EQ(CSoftKeyBar::FromOwner(window), &dialog.GetBar());
    EXPECT_FALSE(dialog.CreateBar(999)) << "a menu the program lacks makes no bar";

    ASSERT_TRUE(dialog.CreateBar(IDR_TEST_MENU));
    PostMessageW(dialog.GetItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpPending();
    EXPECT_EQ(dialog.hotKeys, std::vector<LPARAM>{MAKELPARAM(0, VK_ESCAPE)}) << "Back comes to the window";

    dialog.SetProgramIcons(IDI_TEST_ICON);
    auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(IconSize(big).cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconSize(small).cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(IconSize(small).cy, GetSystemMetrics(SM_CYSMICON));
}

TEST(DialogTest, DoModal_RunsTheLoopWithPreTranslationUntilEndDialog) {
    TestDialog dialog;
    // Queued before the loop starts: a key for the dialog's edit, then the command that ends it.
    struct Poster {
        static void CALLBACK Post(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND window = FindWindowW(nullptr, L"\x041F\x0440\x043E\x0432\x0435\x0440\x043A\x0430");
            PostMessageW(GetDlgItem(window, IDC_TEST_EDIT), WM_KEYDOWN, 'A', 0);
            PostMessageW(window, WM_COMMAND, ID_TEST_DONE, 0);
        }
    };
    SetTimer(nullptr, 0, 10, Poster::Post);
    EXPECT_EQ(dialog.DoModal(nullptr), 77);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_GE(dialog.preTranslated, 1);
}

namespace {

struct CountedObject : IUnknown {
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

} // namespace

TEST(HandlesTest, OwnersReleaseExactlyOnce) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        CHandle owner(event);
        CHandle moved = std::move(owner);
        EXPECT_FALSE(owner);
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the handle is closed when its owner goes";

    CountedObject object;
    {
        CComPtr<IUnknown> first = CComPtr<IUnknown>::Adopt(&object);
        CComPtr<IUnknown> second = first;
        EXPECT_EQ(object.references, 2u);
    }
    EXPECT_EQ(object.references, 0u);
}
