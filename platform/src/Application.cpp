// The program object and the message loop with its pre-dispatch chain.
#include "platform/Application.h"

#include "platform/Dialog.h"
#include "platform/SoftKeyBar.h"

CApplication* CApplication::s_application = nullptr;

CApplication::CApplication() {
    s_application = this;
}

CApplication::~CApplication() {
    if (s_application == this)
        s_application = nullptr;
}

int CApplication::Run(HINSTANCE instance) {
    m_instance = instance;
    if (InitInstance()) {
        while (PumpMessage()) {
        }
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            m_exitCode = static_cast<int>(quit.wParam);
    }
    return ExitInstance();
}

bool CApplication::PumpMessage() {
    MSG message;
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 1);
        return false;
    }
    if (!PreDispatch(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

bool CApplication::PreDispatch(MSG& message) {
    if (CSoftKeyBar::RouteKey(message))
        return true;
    if (s_application != nullptr && s_application->PreTranslateMessage(message))
        return true;
    if (message.hwnd == nullptr)
        return false;
    // The dialog the message belongs to: the window itself or the nearest dialog above it.
    for (HWND window = message.hwnd; window != nullptr; window = GetParent(window)) {
        if (CDialog* dialog = CDialog::FromHandle(window)) {
            if (dialog->PreTranslateMessage(message))
                return true;
            return IsDialogMessageW(dialog->GetHwnd(), &message) != FALSE;
        }
        if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0)
            break;
    }
    return false;
}
