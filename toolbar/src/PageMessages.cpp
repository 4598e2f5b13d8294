// The browser helper's messages to the panel, and the two page-translation links of the panel.
#include "PageMessages.h"

#include "platform/Handles.h"

namespace pagelink {

namespace {

constexpr int kClassNameLength = 100;

bool HasClassName(HWND window, const wchar_t* name) {
    wchar_t className[kClassNameLength] = {};
    GetClassNameW(window, className, kClassNameLength);
    return lstrcmpW(className, name) == 0;
}

} // namespace

bool IsPageMessage(UINT message) {
    return message == WM_COPYDATA || message == kOpenWaitWindow || message == kCloseWaitWindow;
}

LRESULT OnPageMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    return 0;
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

bool SignalPageTranslation() {
    CHandle event(OpenEventW(EVENT_ALL_ACCESS, FALSE, L"OVRIN.PIETranslate"));
    return event && SetEvent(event.Get()) != FALSE;
}

} // namespace pagelink
