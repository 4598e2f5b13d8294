// The entry points of htmlview.dll: InitHTMLControl, which programs call with their instance before
// they create "DISPLAYCLASS" windows, and the library's load and unload.
#include "DisplayWindow.h"

#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI InitHTMLControl(HINSTANCE instance) {
    if (instance == nullptr)
        instance = GetModuleHandleW(nullptr);
    return CDisplayWindow::RegisterWindowClass(instance) ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    // Unloaded while the process goes on: a class left registered would point into freed code.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        CDisplayWindow::UnregisterWindowClasses();
    return TRUE;
}
