// browser_probe.exe, for scripts/run --page: watches the browser stand-in from outside and asks for a
// page translation as the toolbar's page command does.
//   browser_probe wait SECONDS        waits until a browser window shows a page; prints its frame's
//                                     rectangle "x y width height"
//   browser_probe translate SECONDS   sets the page event, waits until the page is shown translated
//                                     (headed by its base element) and the toolbar's wait window is
//                                     gone; prints the rectangle (exit status 3 when the toolbar gave
//                                     the page back unchanged)
//   browser_probe markup              prints the shown page's mark-up (UTF-8)
//   browser_probe close               closes the browser windows
// Exit status 0 on success, 1 when the wait ran out, 2 on bad arguments.
#include "base/Text.h"
#include "base/Unicode.h"
#include "common/Protocol.h"
#include "pagetrans/BrowserPage.h"

#include <testsupport/GuiProgram.h>
#include <testsupport/PageTest.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND PageArea(HWND* frame) {
    *frame = FindWindowW(L"IExplore", nullptr);
    return *frame != nullptr ? FindWindowExW(*frame, nullptr, L"PIEHTML", nullptr) : nullptr;
}

bool ToolbarWaitWindowOpen() {
    HWND panel = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr);
    return panel != nullptr && testsupport::HasDialog(testsupport::WindowProcess(panel));
}

int PrintFrame(HWND frame) {
    testsupport::Redrawn(frame);
    RECT rect;
    GetWindowRect(frame, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    const std::wstring command = argv[1];
    const auto timeout = std::chrono::seconds(argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 60);
    HWND frame = nullptr;
    if (command == L"wait") {
        if (!testsupport::WaitUntil([&] { return !testsupport::ControlText(PageArea(&frame)).empty(); }, timeout))
            return 1;
        return PrintFrame(frame);
    }
    if (command == L"translate") {
        const std::wstring before = testsupport::ControlText(PageArea(&frame));
        if (!ovrin::SignalPageTranslation())
            return 1;
        std::wstring after;
        auto written = [&] {
            return (after = testsupport::ControlText(PageArea(&frame))).rfind(L"<base href=", 0) == 0;
        };
        if (!testsupport::WaitUntil([&] { return written() && !ToolbarWaitWindowOpen(); }, timeout))
            return 1;
        int shown = PrintFrame(frame);
        // The helper hands the page over trimmed, and the exchange turns every line end into CR LF.
        auto withoutReturns = [](std::wstring text) {
            std::erase(text, L'\r');
            return ovrin::Trimmed(text);
        };
        const bool unchanged = withoutReturns(after.substr(after.find(L'>') + 1)) == withoutReturns(before);
        return shown == 0 && unchanged ? 3 : shown;
    }
    if (command == L"markup") {
        std::wstring markup = testsupport::ControlText(PageArea(&frame));
        int size = WideCharToMultiByte(CP_UTF8, 0, markup.data(), static_cast<int>(markup.size()), nullptr, 0, nullptr,
                                       nullptr);
        std::string text(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, markup.data(), static_cast<int>(markup.size()), text.data(), size, nullptr,
                            nullptr);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (command == L"close") {
        while (PageArea(&frame) != nullptr) {
            SendMessageW(frame, WM_CLOSE, 0, 0);
            if (!testsupport::WaitUntil([&] { return !IsWindow(frame); }, std::chrono::seconds(20)))
                return 1;
        }
        return 0;
    }
    return 2;
}
