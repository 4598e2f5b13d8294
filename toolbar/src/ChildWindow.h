// The panel's child windows (About, direction and settings dialogs, result window): each runs as a
// modal dialog on a thread of its own, so that the panel stays responsive, and the panel owns at most
// one of them.
//
// CToolbarChildDlg is the base of every child window: it ends with result 0 when the panel asks.
// CChildWindow owns one child window and its thread: Open starts the thread, which makes the window
// and runs its modal loop; End asks the window to close with result 0 and waits for the thread.
#pragma once

#include "platform/Handles.h"
#include "platform/SoftKeyDialog.h"

#include <memory>

class CToolbarChildDlg : public CSoftKeyDialog {
public:
    // Posted to a child window: end with result 0.
    static constexpr UINT kEndMessage = WM_APP + 0x170;

    using CSoftKeyDialog::CSoftKeyDialog;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class CChildWindow {
public:
    CChildWindow() = default;
    ~CChildWindow() { End(); }
    CChildWindow(const CChildWindow&) = delete;
    CChildWindow& operator=(const CChildWindow&) = delete;

    // Starts a thread that creates dialog's window (top-level) and runs it modally; false when the
    // thread cannot start or a child window is open already.
    bool Open(std::unique_ptr<CToolbarChildDlg> dialog);
    // Closes the window with result 0 (when it is still open), waits for its thread while answering
    // the messages sent to the caller's thread meanwhile, and deletes the dialog. Harmless when none.
    void End();
    bool IsOpen() const { return m_dialog != nullptr; }
    // The child's window while its modal loop runs; null otherwise.
    HWND GetHwnd() const { return m_dialog ? m_dialog->GetHwnd() : nullptr; }
    // The modal result once the thread has ended (-1 when the window could not be made).
    INT_PTR GetResult() const { return m_result; }
    // Waits until the child's window is shown (its modal loop runs) or its thread has ended; the window
    // or null.
    HWND WaitForWindow(DWORD timeoutMs);

private:
    static DWORD WINAPI ThreadMain(void* parameter);

    std::unique_ptr<CToolbarChildDlg> m_dialog;
    CHandle m_thread;
    INT_PTR m_result = -1;
};

namespace childwindows {

// Ends every dialog window (class "#32770") of this process other than except and its own children:
// dialogs on other threads and message boxes the program left open.
void CloseOtherDialogs(HWND except);

// Ends every top-level window of another program whose parent or owner is a window of this program.
void CloseForeignWindowsOwnedByUs();

} // namespace childwindows
