// SignalPageTranslation and IsBrowserWindow.
#include "pagetrans/BrowserPage.h"

#include <cwchar>

namespace ovrin {

namespace {

constexpr int kClassNameLength = 100;

bool HasClassName(HWND window, const wchar_t* name) {
    wchar_t className[kClassNameLength] = {};
    return GetClassNameW(window, className, kClassNameLength) > 0 && std::wcscmp(className, name) == 0;
}

} // namespace

bool SignalPageTranslation() {
    HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, kPageTranslateEvent);
    if (event == nullptr)
        return false;
    bool set = SetEvent(event) != FALSE;
    CloseHandle(event);
    return set;
}

bool IsBrowserWindow(HWND window) {
    if (window == nullptr || !HasClassName(window, L"IExplore"))
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HasClassName(child, L"PIEHTML"))
            return true;
    }
    return false;
}

} // namespace ovrin
