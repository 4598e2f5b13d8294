// The second process of the harness test. It registers a window class, shows a window and signals
// the event named on its command line; it answers WM_COPYDATA by rewriting the file whose path the
// message carries (upper-casing its UTF-16 text, as a peer rewrites an exchange file in place) and a
// registered message with the sum of its parameters. WM_CLOSE ends it; so does a minute of silence.
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"OvrinHarnessPeer";
constexpr wchar_t kPingMessage[] = L"OvrinHarnessPing";
constexpr UINT_PTR kSilenceTimer = 1;
UINT g_pingMessage = 0;

LRESULT RewriteFile(const COPYDATASTRUCT* data) {
    if (data == nullptr || data->cbData < sizeof(wchar_t) || data->lpData == nullptr)
        return 0;
    std::wstring path(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    path.resize(wcsnlen(path.c_str(), path.size()));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<wchar_t> text(GetFileSize(file, nullptr) / sizeof(wchar_t));
    DWORD done = 0;
    BOOL ok = ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &done, nullptr);
    if (ok) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        ok = WriteFile(file, text.data(), done, &done, nullptr);
    }
    CloseHandle(file);
    return ok ? 1 : 0;
}

LRESULT CALLBACK PeerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_pingMessage && g_pingMessage != 0)
        return static_cast<LRESULT>(wParam + lParam);
    switch (message) {
    case WM_COPYDATA:
        return RewriteFile(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_TIMER:
        if (wParam == kSilenceTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_pingMessage = RegisterWindowMessageW(kPingMessage);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PeerWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass))
        return 2;
    HWND window = CreateWindowW(kClassName, L"Harness peer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                instance, nullptr);
    if (window == nullptr)
        return 3;
    SetTimer(window, kSilenceTimer, 60000, nullptr);
    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, commandLine)) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
