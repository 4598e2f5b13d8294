// The messages between the toolbar's desktop tests and their host program, which stands in for the
// panel: it owns a CHotKeyHook and a CTextCapture, counts the long-press signals it receives, and
// writes captured text (UTF-16) into the file named on its command line before it answers.
#pragma once

#include <windows.h>

namespace testhost {

constexpr wchar_t kWindowClass[] = L"OvrinToolbarTestHost";

enum Message : UINT {
    kApplyKey = WM_APP + 1,         // wParam: key code; answers the registration result
    kSignalCount = WM_APP + 2,      // answers the long-press signals received so far
    kIsPolling = WM_APP + 3,        // answers 1 while the poll thread runs
    kCanTakeText = WM_APP + 4,      // wParam: strict; answers 0 or 1
    kIsRichEdit = WM_APP + 5,       // answers whether the target is a rich edit control
    kWholeText = WM_APP + 6,        // writes the whole text; answers its length + 1
    kStartSelection = WM_APP + 7,   // answers 0 or 1
    kEndSelection = WM_APP + 8,     // writes the selected text; answers its length + 1
    kSelectionText = WM_APP + 9,    // writes the selected text so far without ending; answers its length + 1
    kSelectionMode = WM_APP + 10,   // answers 1 while in selection mode
    kShowOwnEdit = WM_APP + 11,     // wParam: 1 with text, 0 empty; shows a window of the host in front
    kBackHotKeyCount = WM_APP + 12, // answers how many Back hot keys (id 2) the host's window received
    kBackHotKeyAt = WM_APP + 13,    // wParam: index; answers that hot key's lParam, -1 when there is none
};

} // namespace testhost
