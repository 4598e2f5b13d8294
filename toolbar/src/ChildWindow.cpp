// A child window on a thread of its own, and the clean-up of the program's other dialogs.
#include "ChildWindow.h"
#include "platform/Wait.h"
#include "platform/Window.h"

bool CToolbarChildDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == kEndMessage) {
        EndDialog(0);
        result = 0;
        return true;
    }
    return CDialog::HandleMessage(message, wParam, lParam, result);
}

bool CChildWindow::Open(std::unique_ptr<CToolbarChildDlg> dialog) {
    if (m_dialog || !dialog)
        return false;
    m_dialog = std::move(dialog);
    m_result = -1;
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    if (!m_thread) {
        m_dialog.reset();
        return false;
    }
    return true;
}

DWORD WINAPI CChildWindow::ThreadMain(void* parameter) {
    auto* self = static_cast<CChildWindow*>(parameter);
    self->m_result = self->m_dialog->DoModal(nullptr);
    return 0;
}

HWND CChildWindow::WaitForWindow(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT) {
        HWND window = m_dialog ? m_dialog->GetHwnd() : nullptr;
        if (window != nullptr && IsWindowVisible(window))
            return window;
        if (GetTickCount() - start > timeoutMs)
            break;
        Sleep(5);
    }
    return nullptr;
}

namespace {

// Cancels every dialog of thread but except: the message boxes and the save dialog a child window
// runs modally on its thread. Their loops do not look at the child's end mark, so the child's thread
// would stay in them until the user answered, and End with it.
void CancelOtherDialogsOfThread(DWORD thread, HWND except) {
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM parameter) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (window != reinterpret_cast<HWND>(parameter) && lstrcmpW(name, L"#32770") == 0)
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(except));
}

} // namespace

void CChildWindow::End() {
    if (!m_dialog)
        return;
    if (m_thread) {
        DWORD threadId = GetThreadId(m_thread.Get());
        // The window may not exist yet, or be gone already: ask until the thread has ended. A box the
        // window shows is cancelled (a question left unanswered is a No, a save dialog a Cancel).
        for (;;) {
            HWND window = m_dialog->GetHwnd();
            if (window != nullptr)
                PostMessageW(window, CToolbarChildDlg::kEndMessage, 0, 0);
            CancelOtherDialogsOfThread(threadId, window);
            if (platform::WaitAnsweringSentMessages(m_thread.Get(), 50) != WAIT_TIMEOUT)
                break;
        }
        m_thread.Reset();
    }
    m_dialog.reset();
}

namespace childwindows {

namespace {

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpW(name, L"#32770") == 0;
}

} // namespace

void CloseOtherDialogs(HWND except) {
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            if (window != reinterpret_cast<HWND>(parameter) && CWindow::IsOfThisProcess(window) &&
                IsDialogWindow(window)) {
                PostMessageW(window, CToolbarChildDlg::kEndMessage, 0, 0);
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(except));
}

void CloseForeignWindowsOwnedByUs() {
    EnumWindows(
        [](HWND window, LPARAM) -> BOOL {
            if (CWindow::IsOfThisProcess(window))
                return TRUE;
            HWND parent = GetParent(window);
            if (parent == nullptr)
                parent = GetWindow(window, GW_OWNER);
            if (parent != nullptr && CWindow::IsOfThisProcess(parent))
                PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
}

} // namespace childwindows
