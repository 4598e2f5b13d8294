// The host program of the toolbar's desktop tests: a hidden window standing in for the panel, owning a
// CHotKeyHook and a CTextCapture. It counts the long-press signals (WM_HOTKEY 47903 with the key code)
// and answers the messages of TestHostProtocol.h. Command line: the name of an event it sets once its
// window exists, and the file that receives captured text. WM_CLOSE ends it; so does a minute of silence.
#include "HotKeyHook.h"
#include "TestHostProtocol.h"
#include "TextCapture.h"
#include "platform/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kSilenceTimer = 1;
constexpr UINT kSilenceMs = 60000;

struct HostState {
    CHotKeyHook hotKey;
    CTextCapture capture;
    std::wstring outputFile;
    LRESULT signals = 0;
    // A window of the host itself with an edit control, brought to the front on request; it records
    // the Back key's hot keys (pressed, then released) that reach it.
    HWND ownWindow = nullptr;
    std::vector<LPARAM> backHotKeys;
};
HostState* g_host = nullptr;

LRESULT WriteText(const std::wstring& text) {
    CFileHandle file(CreateFileW(g_host->outputFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    file.Reset();
    return ok ? static_cast<LRESULT>(text.size()) + 1 : 0;
}

constexpr wchar_t kOwnWindowClass[] = L"OvrinToolbarTestHostFront";

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY && wParam == 2) {
        g_host->backHotKeys.push_back(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ShowOwnEdit(bool withText) {
    if (g_host->ownWindow == nullptr) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = OwnWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kOwnWindowClass;
        RegisterClassW(&windowClass);
        g_host->ownWindow = CreateWindowW(kOwnWindowClass, L"Toolbar test host front", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                          0, 0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 280, 150, g_host->ownWindow, nullptr,
                      GetModuleHandleW(nullptr), nullptr);
    }
    HWND edit = GetWindow(g_host->ownWindow, GW_CHILD);
    SetWindowTextW(edit, withText ? L"own text" : L"");
    SetForegroundWindow(g_host->ownWindow);
    SetFocus(edit);
    return reinterpret_cast<LRESULT>(edit);
}

LRESULT OnTestMessage(UINT message, WPARAM wParam) {
    switch (message) {
    case testhost::kApplyKey:
        g_host->capture.SetCallKey(static_cast<UINT>(wParam));
        return g_host->hotKey.ApplyKey(static_cast<UINT>(wParam)) ? 1 : 0;
    case testhost::kSignalCount:
        return g_host->signals;
    case testhost::kIsPolling:
        return g_host->hotKey.IsPolling() ? 1 : 0;
    case testhost::kCanTakeText:
        return g_host->capture.CanTakeText(wParam != 0) ? 1 : 0;
    case testhost::kIsRichEdit:
        return CTextCapture::IsRichEdit(g_host->capture.GetTargetWindow()) ? 1 : 0;
    case testhost::kWholeText:
        return WriteText(g_host->capture.GetWholeText());
    case testhost::kStartSelection:
        return g_host->capture.StartSelection() ? 1 : 0;
    case testhost::kEndSelection:
        return WriteText(g_host->capture.EndSelection());
    case testhost::kSelectionText:
        return WriteText(g_host->capture.GetSelectedText());
    case testhost::kSelectionMode:
        return g_host->capture.IsSelectionMode() ? 1 : 0;
    case testhost::kShowOwnEdit:
        return ShowOwnEdit(wParam != 0);
    case testhost::kBackHotKeyCount:
        return static_cast<LRESULT>(g_host->backHotKeys.size());
    case testhost::kBackHotKeyAt:
        return wParam < g_host->backHotKeys.size() ? g_host->backHotKeys[wParam] : -1;
    default:
        return 0;
    }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && message <= testhost::kBackHotKeyAt)
        return OnTestMessage(message, wParam);
    switch (message) {
    case WM_HOTKEY:
        if (wParam == CHotKeyHook::kHotKeyId && static_cast<UINT>(lParam) == g_host->hotKey.GetKey())
            ++g_host->signals;
        return 0;
    case WM_TIMER:
        if (wParam == kSilenceTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        g_host->capture.EndSelection();
        g_host->hotKey.Destroy();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 3)
        return 2;
    std::wstring readyEvent = arguments[1];
    HostState host;
    host.outputFile = arguments[2];
    LocalFree(arguments);
    g_host = &host;

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = testhost::kWindowClass;
    if (!RegisterClassW(&windowClass))
        return 3;
    // Never shown: the program in front keeps the focus.
    HWND window = CreateWindowW(testhost::kWindowClass, L"Toolbar test host", WS_POPUP, 0, 0, 100, 60, nullptr, nullptr,
                                instance, nullptr);
    if (window == nullptr || !host.hotKey.Create(window))
        return 4;
    SetTimer(window, kSilenceTimer, kSilenceMs, nullptr);
    if (CHandle ready{OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str())})
        SetEvent(ready.Get());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    g_host = nullptr;
    return 0;
}
