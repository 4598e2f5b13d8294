// Start-up of the toolbar program.
#include "OvrinToolbarApp.h"
#include "common/Protocol.h"

#include <commctrl.h>

namespace {

// How long a restart's "/options" start waits for the ending toolbar to let its mutex go (the launcher
// waits 10 s for the new window).
constexpr DWORD kEndingToolbarWait = 5000;

} // namespace

// The panel's class: the system's dialog class under the name other programs find the toolbar by.
bool COvrinToolbarApp::RegisterWindowClass() {
    WNDCLASSW dialogClass = {};
    if (!GetClassInfoW(nullptr, WC_DIALOG, &dialogClass))
        return false;
    dialogClass.hInstance = GetModuleHandleW(nullptr);
    dialogClass.lpszClassName = COvrinToolbarDlg::kWindowClass;
    return RegisterClassW(&dialogClass) != 0;
}

bool COvrinToolbarApp::InitInstance() {
    platform::ParseCommandLine(m_commandLine);
    if (FindWindowW(COvrinToolbarDlg::kWindowClass, nullptr) != nullptr)
        return false;
    // Owned by this thread for the program's life, so that it is let go only when the program ends.
    m_instanceMutex.Reset(CreateMutexW(nullptr, TRUE, ovrin::protocol::kToolbarInstanceMutex));
    if (!m_instanceMutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // A restart's window check can fall between the old toolbar's window going and its mutex
        // going: an "/options" start waits a little for the mutex instead of leaving no toolbar.
        if (!m_commandLine.m_options)
            return false;
        DWORD waited = WaitForSingleObject(m_instanceMutex.Get(), kEndingToolbarWait);
        if ((waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) ||
            FindWindowW(COvrinToolbarDlg::kWindowClass, nullptr) != nullptr)
            return false;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterWindowClass())
        return false;
    m_panel = std::make_unique<COvrinToolbarDlg>(m_commandLine.m_options);
    if (!m_panel->Create(nullptr))
        return false;
    if (m_commandLine.m_options) {
        ShowWindow(m_panel->GetHwnd(), SW_SHOW);
        SetForegroundWindow(m_panel->GetHwnd());
    }
    return true;
}
