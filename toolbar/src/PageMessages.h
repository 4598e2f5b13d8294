// The panel's side of page translation for the browser helper: the messages it sends (0x405 opens the
// wait window, WM_COPYDATA names the file to translate, 0x406 closes the wait window), the browser
// test that offers the page command, and the event that starts a page translation.
#pragma once

#include <windows.h>

namespace pagelink {

constexpr UINT kOpenWaitWindow = WM_USER + 5;  // 0x405
constexpr UINT kCloseWaitWindow = WM_USER + 6; // 0x406

// Whether message is one of the browser helper's three.
bool IsPageMessage(UINT message);

// Answers one of the browser helper's messages for panel. Until page translation is built the
// toolbar translates no page: every message answers 0 (WM_COPYDATA: the file was not translated).
LRESULT OnPageMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// The browser's window: class "IExplore" with a child of class "PIEHTML" among the first child and
// its following siblings.
bool IsBrowserWindow(HWND window);

// Sets the named event "OVRIN.PIETranslate" that every browser helper waits on; false when no helper
// has made it.
bool SignalPageTranslation();

} // namespace pagelink
