// Helpers of the page-translation tests, Windows build only: the exchange files the browser helper
// leaves in the temporary folder, and a dialog of a process found by the text of one of its controls
// (a message box's text, a wait window's label).
#pragma once

#ifdef _WIN32

#include "platform/Handles.h"
#include "testsupport/GuiProgram.h"

#include <windows.h>

#include <set>
#include <string>

namespace testsupport {

// The names of the exchange files in the temporary folder: eight characters of the helper's alphabet
// and ".html".
inline std::set<std::wstring> ExchangeFiles() {
    std::set<std::wstring> files;
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    WIN32_FIND_DATAW found;
    CFindHandle search(FindFirstFileW((std::wstring(folder) + L"*.html").c_str(), &found));
    if (!search)
        return files;
    do {
        std::wstring name = found.cFileName;
        if (name.size() == 13 && name.find_first_not_of(L"abdYqzmxkcn123", 0) == 8)
            files.insert(name);
    } while (FindNextFileW(search.Get(), &found));
    return files;
}

// A visible dialog window ("#32770") of processId whose control controlId reads text; null when there
// is none. Message boxes keep their text in the control 0xFFFF.
inline HWND FindDialogShowing(DWORD processId, int controlId, const std::wstring& text) {
    for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        HWND control = GetDlgItem(window, controlId);
        if (WindowProcess(window) == processId && IsWindowVisible(window) && control != nullptr &&
            ControlText(control) == text)
            return window;
    }
    return nullptr;
}

// True while processId has a dialog window, shown or not (a wait window is hidden first and destroyed
// a moment later).
inline bool HasDialog(DWORD processId) {
    for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        if (WindowProcess(window) == processId)
            return true;
    }
    return false;
}

} // namespace testsupport

#endif // _WIN32
