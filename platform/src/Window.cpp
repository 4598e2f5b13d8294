// The window procedure of our own window classes: from window to object and back.
#include "platform/Window.h"

namespace {

// The class's factory lives in the class's extra bytes; the window's object in its user slot.
constexpr int kFactorySlot = 0;

} // namespace

CWindow::~CWindow() {
    DestroyWindow();
}

bool CWindow::RegisterWindowClass(WNDCLASSEXW windowClass, Factory factory) {
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &CWindow::WindowProc;
    windowClass.cbClsExtra = sizeof(LONG_PTR);
    if (windowClass.hInstance == nullptr)
        windowClass.hInstance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        if (existing.lpfnWndProc == &CWindow::WindowProc)
            return true;
        UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
    }
    if (RegisterClassExW(&windowClass) == 0)
        return false;
    if (factory == nullptr)
        return true;
    // The class's extra bytes can be written only through a window of the class: a hidden message-only
    // one, gone at once, stores the factory for every later window.
    HWND carrier = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
    if (carrier == nullptr) {
        UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
        return false;
    }
    SetClassLongPtrW(carrier, kFactorySlot, reinterpret_cast<LONG_PTR>(factory));
    ::DestroyWindow(carrier);
    return true;
}

bool CWindow::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE module) {
    if (m_hwnd != nullptr)
        return false;
    HWND window = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                  module != nullptr ? module : GetModuleHandleW(nullptr), this);
    return window != nullptr && window == m_hwnd;
}

void CWindow::DestroyWindow() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

bool CWindow::IsOfThisProcess(HWND window) {
    DWORD process = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &process) != 0 && process == GetCurrentProcessId();
}

CWindow* CWindow::FromHandle(HWND window) {
    if (!IsOfThisProcess(window) || GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&WindowProc))
        return nullptr;
    return reinterpret_cast<CWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK CWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE && self == nullptr) {
        // A factory's class makes its own object; the others carry theirs in the creation parameter.
        auto factory = reinterpret_cast<Factory>(GetClassLongPtrW(window, kFactorySlot));
        self = factory != nullptr ? factory()
                                  : static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->m_hwnd = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = self->HandleMessage(message, wParam, lParam, result);
    if (!handled)
        result = DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnNcDestroy(); // may delete the object
    }
    return result;
}
