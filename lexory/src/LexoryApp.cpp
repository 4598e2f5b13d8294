// Start-up of the dictionary program.
#include "LexoryApp.h"

#include "LexoryDlg.h"

#include <commctrl.h>

namespace {

// Held by the running copy from its first step to its end: two starts at the same moment cannot both
// find no window and both go on.
constexpr wchar_t kSingleCopyMutex[] = L"Local\\Lexory.SingleCopy";
constexpr DWORD kWaitForRunningCopyMs = 10000;

} // namespace

// A start that finds the mutex held waits for the running copy's window (it may still be setting
// up), or for the mutex, should that copy end first.
CLexoryApp::CLexoryApp() {
    m_singleCopy.Reset(CreateMutexW(nullptr, TRUE, kSingleCopyMutex));
    if (!m_singleCopy || GetLastError() != ERROR_ALREADY_EXISTS)
        return;
    for (DWORD waited = 0; waited < kWaitForRunningCopyMs; waited += 50) {
        if (HWND running = FindWindowW(kWindowClass, nullptr)) {
            m_otherCopy = running;
            break;
        }
        DWORD state = WaitForSingleObject(m_singleCopy.Get(), 50);
        if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED)
            return; // the other copy ended: this one runs
    }
    if (m_otherCopy != nullptr) {
        SetForegroundWindow(m_otherCopy);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(m_otherCopy, WM_ACTIVATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    } else {
        m_otherCopy = HWND_BROADCAST; // a copy that never showed its window: this one ends all the same
    }
}

CLexoryApp::~CLexoryApp() {
    if (m_singleCopy && m_otherCopy == nullptr)
        ReleaseMutex(m_singleCopy.Get());
}

bool CLexoryApp::ActivateRunningCopy() {
    if (m_otherCopy == nullptr)
        return false;
    if (m_otherCopy != HWND_BROADCAST)
        SetForegroundWindow(m_otherCopy);
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
