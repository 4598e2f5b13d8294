// Start-up of the dictionary program.
#include "LexoryApp.h"

#include "LexoryDlg.h"

#include <commctrl.h>

CLexoryApp::CLexoryApp() {
    if (HWND running = FindWindowW(kWindowClass, nullptr)) {
        SetForegroundWindow(running);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(running, WM_ACTIVATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
}

bool CLexoryApp::ActivateRunningCopy() {
    HWND running = FindWindowW(kWindowClass, nullptr);
    if (running == nullptr)
        return false;
    SetForegroundWindow(running);
    return true;
}

// The lookup window's class: the standard dialog class under the name its dialog resource gives, so
// that a later start finds the window by it.
bool CLexoryApp::RegisterWindowClass() {
    WNDCLASSW dialogClass = {};
    if (!GetClassInfoW(nullptr, WC_DIALOG, &dialogClass))
        return false;
    dialogClass.hInstance = GetModuleHandleW(nullptr);
    dialogClass.lpszClassName = kWindowClass;
    return RegisterClassW(&dialogClass) != 0;
}

bool CLexoryApp::InitInstance() {
    if (ActivateRunningCopy())
        return false; // a running copy never receives a second word
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterWindowClass();
    platform::ParseCommandLine(m_commandLine);

    CLexoryDlg lookupWindow(m_commandLine.m_word);
    lookupWindow.DoModal(nullptr);
    return false;
}
