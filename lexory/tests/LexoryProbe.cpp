// lexory_probe: what scripts/run asks of a running Lexory from outside, through window messages.
//   lexory_probe wait SECONDS     waits until the lookup window shows a selected headword in the neutral
//                                 colour (the word looked up); prints the window's rectangle "x y w h"
//   lexory_probe open             Enter in the lookup window: opens the selected headword's article
//   lexory_probe command ID       sends command ID to the program's current window (the innermost
//                                 sub-window); a message box it shows is answered with OK
//   lexory_probe close            closes the current window (the standard Cancel command)
//   lexory_probe window CONTROL   waits for a window of the program holding control id CONTROL;
//                                 prints its rectangle
//   lexory_probe browser          waits for the browser's window; prints its rectangle
//   lexory_probe browser-close    closes the browser's window
//   lexory_probe exit             chooses "Выход", which ends the program
// Exit status 0 on success, 1 when a window did not come or did not settle in time.
#include "../resource.h"
#include "ColorEdit.h"
#include "LexoryDlg.h"
#include "testsupport/GuiProgram.h"

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kLookupClass[] = L"LexoryWndClass";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr auto kTimeout = std::chrono::seconds(30);

bool ShowsSelectedHeadword(HWND window) {
    HWND edit = GetDlgItem(window, IDC_WORD_EDIT);
    HWND list = GetDlgItem(window, IDC_WORD_LIST);
    if (edit == nullptr || list == nullptr || !IsWindowVisible(window))
        return false;
    auto color = reinterpret_cast<ULONG_PTR>(GetPropW(edit, CColorEdit::kBackColorProperty));
    return color == CLexoryDlg::kNeutralColor + 1 &&
           SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) >= 0;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kTimeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The window's rectangle, once it is drawn (the scripts take their screenshots from it).
bool PrintRect(HWND window) {
    if (window == nullptr)
        return false;
    testsupport::Redrawn(window);
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return true;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The visible windows of the program: its lookup window and the dialogs of the same process.
std::vector<HWND> ProgramWindows() {
    std::vector<HWND> windows;
    HWND lookup = FindWindowW(kLookupClass, nullptr);
    if (lookup == nullptr)
        return windows;
    windows.push_back(lookup);
    DWORD process = ProcessOf(lookup);
    for (HWND window = FindWindowExW(nullptr, nullptr, kDialogClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, kDialogClass, nullptr)) {
        if (ProcessOf(window) == process && IsWindowVisible(window))
            windows.push_back(window);
    }
    return windows;
}

// The innermost window: the one that owns no other window of the program.
HWND CurrentWindow() {
    std::vector<HWND> windows = ProgramWindows();
    for (HWND candidate : windows) {
        bool owns = false;
        for (HWND other : windows)
            owns = owns || (other != candidate && GetWindow(other, GW_OWNER) == candidate);
        if (!owns)
            return candidate;
    }
    return nullptr;
}

bool IsMessageBox(HWND window) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return std::wstring(className) == kDialogClass && GetDlgItem(window, 0xFFFF) != nullptr;
}

// Answers any message box of the program with OK (Yes where it asks).
void AnswerMessageBoxes() {
    HWND box = nullptr;
    if (!WaitFor([&] { return IsMessageBox(box = CurrentWindow()); }, std::chrono::milliseconds(1500)))
        return;
    PostMessageW(box, WM_COMMAND, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK, 0);
    WaitFor([&] { return !IsWindow(box); });
}

HWND WindowWithControl(int control) {
    for (HWND window : ProgramWindows())
        if (GetDlgItem(window, control) != nullptr && !IsMessageBox(window))
            return window;
    return nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    std::wstring argument = argc > 2 ? argv[2] : L"";
    HWND lookup = FindWindowW(kLookupClass, nullptr);
    if (command == L"exit") {
        if (lookup == nullptr)
            return 1;
        PostMessageW(lookup, WM_COMMAND, ID_EXIT, 0);
        return 0;
    }
    if (command == L"wait") {
        double seconds = argument.empty() ? 30.0 : _wtof(argument.c_str());
        HWND window = nullptr;
        bool settled = WaitFor(
            [&] { return (window = FindWindowW(kLookupClass, nullptr)) != nullptr && ShowsSelectedHeadword(window); },
            std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
        return settled && PrintRect(window) ? 0 : 1;
    }
    if (command == L"open") {
        if (lookup == nullptr)
            return 1;
        PostMessageW(GetDlgItem(lookup, IDC_WORD_EDIT), WM_KEYDOWN, VK_RETURN, 1);
        HWND article = nullptr;
        return WaitFor([&] { return (article = WindowWithControl(IDC_ARTICLE_VIEW)) != nullptr; }) && PrintRect(article)
                   ? 0
                   : 1;
    }
    if (command == L"command" || command == L"close") {
        HWND current = CurrentWindow();
        if (current == nullptr)
            return 1;
        WORD id = command == L"close" ? IDCANCEL : static_cast<WORD>(_wtoi(argument.c_str()));
        PostMessageW(current, WM_COMMAND, id, 0);
        if (command == L"close")
            return WaitFor([&] { return !IsWindow(current); }) ? 0 : 1;
        AnswerMessageBoxes();
        return 0;
    }
    if (command == L"window") {
        HWND window = nullptr;
        int control = _wtoi(argument.c_str());
        return WaitFor([&] { return (window = WindowWithControl(control)) != nullptr; }) && PrintRect(window) ? 0 : 1;
    }
    if (command == L"browser" || command == L"browser-close") {
        HWND browser = nullptr;
        if (!WaitFor(
                [&] { return (browser = FindWindowW(L"IExplore", nullptr)) != nullptr && IsWindowVisible(browser); }))
            return 1;
        if (command == L"browser-close") {
            PostMessageW(browser, WM_CLOSE, 0, 0);
            return WaitFor([&] { return !IsWindow(browser); }) ? 0 : 1;
        }
        return PrintRect(browser) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: lexory_probe wait SECONDS | open | command ID | close | window CONTROL | browser | "
                         "browser-close | exit\n");
    return 2;
}
