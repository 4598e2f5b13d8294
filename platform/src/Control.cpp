// Controls whose messages an object of ours sees first.
#include "platform/Control.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 0x0C7A;
constexpr wchar_t kObjectProperty[] = L"OvrinControlObject";

} // namespace

CControl::~CControl() {
    Detach();
}

CControl* CControl::FromHandle(HWND control) {
    return control == nullptr ? nullptr : static_cast<CControl*>(GetPropW(control, kObjectProperty));
}

bool CControl::SubclassDlgItem(int id, HWND dialog) {
    return Attach(GetDlgItem(dialog, id));
}

bool CControl::Attach(HWND control) {
    if (control == nullptr || m_hwnd != nullptr || FromHandle(control) != nullptr)
        return false;
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    SetPropW(control, kObjectProperty, this);
    m_hwnd = control;
    return true;
}

void CControl::Detach() {
    if (m_hwnd == nullptr)
        return;
    RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
    RemovePropW(m_hwnd, kObjectProperty);
    m_hwnd = nullptr;
}

LRESULT CALLBACK CControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data) {
    auto* control = reinterpret_cast<CControl*>(data);
    LRESULT result = 0;
    if (message == WM_NCDESTROY) {
        // The object sees the window's last message, then lets the window go.
        control->HandleMessage(message, wParam, lParam, result);
        control->Detach();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (control->HandleMessage(message, wParam, lParam, result))
        return result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
