// SignalPageTranslation and IsBrowserWindow.
#include "pagetrans/BrowserPage.h"
#include "platform/Handles.h"

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
    CHandle event(OpenEventW(EVENT_ALL_ACCESS, FALSE, kPageTranslateEvent));
    return event && SetEvent(event.Get()) != FALSE;
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
