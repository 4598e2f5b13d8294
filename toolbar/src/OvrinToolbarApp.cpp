// Start-up of the toolbar program.
#include "OvrinToolbarApp.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kInstanceMutex[] = L"OvrinTBWndClass.Instance";

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
    m_instanceMutex.Reset(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (!m_instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
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
