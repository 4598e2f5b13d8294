// The toolbar's hold on the browser: whether a window is the browser's, and the named event that
// wakes every browser helper to hand over the page it shows. Windows build only.
#pragma once

#ifdef _WIN32

#include "common/Protocol.h"

#include <windows.h>

namespace ovrin {

// The event every browser helper's worker waits on.
constexpr const wchar_t* kPageTranslateEvent = protocol::kPageTranslateEvent;

// Sets the event; false when no event of that name exists (no browser helper is loaded).
bool SignalPageTranslation();

// True when the window's class is "IExplore" and one of its child windows (the first child and that
// child's following siblings) has the class "PIEHTML".
bool IsBrowserWindow(HWND window);

} // namespace ovrin

#endif // _WIN32
