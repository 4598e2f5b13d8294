// Texts from the program's string table, the message box every program shows its failures in (under
// the application title, string 57344), and the wait cursor.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

constexpr UINT kAppTitleStringId = 57344;

// The string-table text of id in module (the program when null); empty when there is none.
std::wstring LoadResString(UINT id, HINSTANCE module = nullptr);

// String 57344 of the program.
std::wstring AppTitle();

// A message box with the string-table text textId under the application title.
int AppMessageBox(HWND owner, UINT textId, UINT flags);

} // namespace platform

// Shows the wait cursor for as long as it lives (or until Restore).
class CWaitCursor {
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { Restore(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() {
        if (m_active)
            SetCursor(m_previous);
        m_active = false;
    }

private:
    HCURSOR m_previous;
    bool m_active = true;
};
