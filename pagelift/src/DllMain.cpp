// Pagelift.dll's entry point and its four exports.
#include "IEHlprObj.h"
#include "Module.h"
#include "Pagelift.h"
#include "Registration.h"

namespace {

HMODULE g_module = nullptr;

} // namespace

namespace pagelift {

HMODULE ModuleHandle() {
    return g_module;
}

} // namespace pagelift

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CModuleCount::CanUnloadNow();
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, CLSID_IEHlprObj))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto make = []() -> IUnknown* { return static_cast<IIEHlprObj*>(new (std::nothrow) CIEHlprObj()); };
    return HandOutClassFactory(make, interfaceId, object);
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return pagelift::RegisterServer(g_module);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return pagelift::UnregisterServer(g_module);
}
