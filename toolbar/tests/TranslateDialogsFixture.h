// What the tests of the toolbar's child windows share: the translation run, the result window and the
// settings, direction and About dialogs run as real windows on threads of their own beside a stand-in
// for the panel (this fixture's), over the engine stand-in laid out in a temporary folder.
#pragma once

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

namespace dialogtests {

using namespace enginetest;
using namespace toolbarprograms;

constexpr wchar_t kPanelClass[] = L"OvrinTestPanel";

// The panel's side of the child windows: the messages they post to it.
inline std::atomic<UINT> s_restartOptions{0};
inline std::atomic<int> s_restarts{0};
inline std::atomic<UINT> s_appliedKey{0};

inline LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    return testsupport::WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            return condition();
        },
        timeoutMs);
}

// Whether window shows anything on the screen: visible, and not shaped to nothing.
inline bool OnScreen(HWND window) {
    if (!IsWindowVisible(window))
        return false;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, shape);
    DeleteObject(shape);
    return kind != NULLREGION;
}

// A dialog window of this process on the screen whose label (control id) reads text: message boxes
// (id 65535) and the wait window (1004).
inline HWND FindDialogShowing(int controlId, const std::wstring& text) {
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
inline bool TextFits(HWND label) {
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
inline bool AnswerMessageBox(UINT textId, int button) {
    std::wstring text = platform::LoadResString(textId);
    HWND box = nullptr;
    if (!testsupport::WaitUntil([&] { return (box = FindDialogShowing(kMessageBoxText, text)) != nullptr; }))
        return false;
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return testsupport::WaitUntil([&] { return !IsWindow(box); });
}

inline std::string FileBytes(const std::wstring& path) {
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

} // namespace dialogtests
