// iexplore.exe, the stand-in for the handheld's browser: hosts the registered browser helper objects
// and shows the page its command line names (a "file:" URL with an optional "#anchor", or a path of
// this machine) until its window is closed; then the helpers are let go.
#include "BrowserWindow.h"
#include "PageLinks.h"
#include "PageSource.h"

#include <windows.h>

#include <objbase.h>

namespace {

// A path, absolute or relative to the current folder, becomes a "file:" URL; URLs stay as they are.
std::wstring PageUrl(const std::wstring& argument) {
    if (argument.empty() || browser::HasScheme(argument))
        return argument;
    wchar_t full[MAX_PATH] = {};
    DWORD length = GetFullPathNameW(argument.c_str(), MAX_PATH, full, nullptr);
    return browser::FileUrlFromPath(length > 0 && length < MAX_PATH ? std::wstring(full, length) : argument);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 1;
    {
        CBrowserWindow browser;
        if (browser.Create(instance, show)) {
            browser.LoadHelpers();
            std::wstring url = PageUrl(browser::UrlFromCommandLine(GetCommandLineW()));
            if (!url.empty())
                browser.LoadPage(url);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = 0;
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}
