// lexory_probe: what scripts/run asks of a running lookup window from outside, through window messages.
//   lexory_probe wait SECONDS   waits until the lookup window shows a selected headword in the neutral
//                               colour (the word looked up); prints the window's rectangle "x y w h"
//   lexory_probe exit           chooses "Выход", which ends the program
// Exit status 0 on success, 1 when the window did not come or did not settle in time.
#include "../resource.h"
#include "ColorEdit.h"
#include "LexoryDlg.h"

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

bool ShowsSelectedHeadword(HWND window) {
    HWND edit = GetDlgItem(window, IDC_WORD_EDIT);
    HWND list = GetDlgItem(window, IDC_WORD_LIST);
    if (edit == nullptr || list == nullptr || !IsWindowVisible(window))
        return false;
    auto color = reinterpret_cast<ULONG_PTR>(GetPropW(edit, CColorEdit::kBackColorProperty));
    return color == CLexoryDlg::kNeutralColor + 1 &&
           SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) >= 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"exit") {
        HWND window = FindWindowW(L"LexoryWndClass", nullptr);
        if (window == nullptr)
            return 1;
        PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
        return 0;
    }
    if (command != L"wait") {
        std::fprintf(stderr, "usage: lexory_probe wait SECONDS | exit\n");
        return 2;
    }
    double seconds = argc > 2 ? _wtof(argv[2]) : 30.0;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    while (std::chrono::steady_clock::now() < end) {
        HWND window = FindWindowW(L"LexoryWndClass", nullptr);
        if (window != nullptr && ShowsSelectedHeadword(window)) {
            RECT rect;
            GetWindowRect(window, &rect);
            std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 1;
}
