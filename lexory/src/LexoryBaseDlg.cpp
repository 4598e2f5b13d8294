// The sub-window protocol and the activation rules shared by every window of the program.
#include "LexoryBaseDlg.h"

#include "platform/Resources.h"

CLexoryBaseDlg::CLexoryBaseDlg(UINT templateId) : CSoftKeyDialog(templateId) {}

CLexoryBaseDlg::~CLexoryBaseDlg() {
    // The open sub-window goes first, so that it does not report to a parent that is half gone.
    if (m_wndCurrDialog) {
        std::unique_ptr<CLexoryBaseDlg> child = std::move(m_wndCurrDialog);
        child->DestroyWindow();
    }
    m_closedDialogs.clear();
    m_bar.Destroy();
    DestroyWindow();
}

bool CLexoryBaseDlg::OpenSubWindow(std::unique_ptr<CLexoryBaseDlg> child) {
    if (m_wndCurrDialog)
        m_wndCurrDialog->DestroyWindow(); // runs OnChildClosed, which files the old object away
    if (!child) {
        MessageBoxW(GetHwnd(), platform::LoadResString(kNoSubWindowStringId).c_str(), platform::AppTitle().c_str(),
                    MB_OK);
        return false;
    }
    m_wndCurrDialog = std::move(child);
    if (!m_wndCurrDialog->Create(GetHwnd())) {
        m_closedDialogs.push_back(std::move(m_wndCurrDialog));
        return false;
    }
    HWND window = m_wndCurrDialog->GetHwnd();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return true;
}

void CLexoryBaseDlg::OnChildClosed() {
    m_closedDialogs.clear();
    if (m_wndCurrDialog)
        m_closedDialogs.push_back(std::move(m_wndCurrDialog));
    CreateMenuBar();
    Refresh();
}

void CLexoryBaseDlg::OnDestroy() {
    // A sub-window tells its parent, when the parent is one of the program's windows and this is its
    // current sub-window.
    auto* parent = dynamic_cast<CLexoryBaseDlg*>(CDialog::FromHandle(GetParent(GetHwnd())));
    if (parent != nullptr && parent->m_wndCurrDialog.get() == this)
        parent->OnChildClosed();
}

bool CLexoryBaseDlg::IsCloseKeyRelease(const MSG& message) {
    if (message.message == WM_HOTKEY)
        return message.wParam == CSoftKeyBar::kBackHotKeyId && HIWORD(message.lParam) == VK_ESCAPE &&
               (LOWORD(message.lParam) & CSoftKeyBar::kModKeyUp) != 0;
    return message.message == WM_KEYUP && message.wParam == kEndKey;
}

bool CLexoryBaseDlg::CloseOnKeyRelease(const MSG& message) {
    if (!IsCloseKeyRelease(message))
        return false;
    DestroyWindow();
    return true;
}

void CLexoryBaseDlg::OnActivatedFromOutside() {
    HWND window = GetHwnd();
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    if (m_wndCurrDialog && IsWindow(m_wndCurrDialog->GetHwnd())) {
        m_wndCurrDialog->CreateMenuBar();
        ShowWindow(m_wndCurrDialog->GetHwnd(), SW_RESTORE);
        SetForegroundWindow(m_wndCurrDialog->GetHwnd());
    } else {
        CreateMenuBar();
    }
    // An open message box of the program comes back to the front too.
    std::wstring title = platform::AppTitle();
    if (HWND box = FindWindowW(L"#32770", title.c_str())) {
        ShowWindow(box, SW_SHOW);
        SetForegroundWindow(box);
    }
}

bool CLexoryBaseDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_ACTIVE && lParam == 0 && !IsSettingUp()) {
        OnActivatedFromOutside();
        return false; // the dialog's own handling gives the focus back to its control
    }
    return CDialog::HandleMessage(message, wParam, lParam, result);
}
