// iexplore.exe, the stand-in for the handheld's browser: shows the "file:" URL of its command line
// (with an optional "#anchor") until its window is closed.
#include "BrowserWindow.h"
#include "PageSource.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    CBrowserWindow browser;
    if (!browser.Create(instance, show))
        return 1;
    std::wstring url = browser::UrlFromCommandLine(GetCommandLineW());
    if (!url.empty())
        browser.LoadPage(url);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
