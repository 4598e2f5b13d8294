// Dialogs from dialog resources: the dialog procedure that finds the object of a window, the message
// map's defaults, and the modal loop.
#include "platform/Dialog.h"

#include "platform/Application.h"
#include "platform/Control.h"
#include "platform/Window.h"

namespace {

constexpr wchar_t kObjectProperty[] = L"OvrinDialogObject";

} // namespace

CDialog::CDialog(UINT templateId, HINSTANCE module) : m_templateId(templateId), m_module(module) {
    if (m_module == nullptr)
        m_module = GetModuleHandleW(nullptr);
}

CDialog::~CDialog() {
    DestroyWindow();
}

CDialog* CDialog::FromHandle(HWND window) {
    if (!CWindow::IsOfThisProcess(window))
        return nullptr;
    return static_cast<CDialog*>(GetPropW(window, kObjectProperty));
}

bool CDialog::Create(HWND parent) {
    if (m_hwnd != nullptr)
        return false;
    m_modal = false;
    HWND window = CreateDialogParamW(m_module, MAKEINTRESOURCEW(m_templateId), parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return window != nullptr && m_hwnd == window;
}

INT_PTR CDialog::DoModal(HWND parent) {
    m_endModal = false;
    m_modalResult = -1;
    if (!Create(parent))
        return -1;
    m_modal = true;
    bool parentWasEnabled = parent != nullptr && EnableWindow(parent, FALSE) == 0;
    if (!m_endModal) {
        ShowWindow(m_hwnd, SW_SHOW);
        UpdateWindow(m_hwnd);
    }
    while (!m_endModal && m_hwnd != nullptr && CApplication::PumpMessage()) {
    }
    if (parent != nullptr) {
        if (parentWasEnabled)
            EnableWindow(parent, TRUE);
        SetActiveWindow(parent);
    }
    DestroyWindow();
    m_modal = false;
    return m_modalResult;
}

void CDialog::EndDialog(INT_PTR result) {
    m_modalResult = result;
    if (m_modal) {
        m_endModal = true;
        // Wakes the loop if the call came from outside a message.
        PostMessageW(m_hwnd, WM_NULL, 0, 0);
    } else {
        DestroyWindow();
    }
}

void CDialog::DestroyWindow() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
}

bool CDialog::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
        return true;
    }
    return false;
}

bool CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        result = 0;
        return OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        result = 0;
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (CControl::FromHandle(reinterpret_cast<HWND>(lParam)) != nullptr) {
            result = SendMessageW(reinterpret_cast<HWND>(lParam), kReflectedBase + message, wParam, lParam);
            return result != 0;
        }
        return false;
    case WM_DESTROY:
        OnDestroy();
        return false;
    default:
        return false;
    }
}

bool CDialog::ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

// Every message finds its object in the dialog's user slot, read in-process; the property (a round trip
// to the window server under Wine, costly at one per list row painted) only tags the window as ours for
// FromHandle. The result slot is written only when it changes, for the same reason.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hwnd = hwnd;
        SetPropW(hwnd, kObjectProperty, dialog);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (dialog == nullptr)
        return FALSE;

    if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, kObjectProperty);
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->m_hwnd = nullptr;
        if (dialog->m_modal)
            dialog->m_endModal = true;
        dialog->OnNcDestroy(); // may delete the object
        return FALSE;
    }
    LRESULT result = 0;
    if (!dialog->HandleMessage(message, wParam, lParam, result))
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    if (GetWindowLongPtrW(hwnd, DWLP_MSGRESULT) != result)
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
