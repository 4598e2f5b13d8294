// Pagelift.dll's entry point and its four exports.
#include "ClassFactory.h"
#include "Module.h"
#include "Pagelift.h"
#include "Registration.h"

#include <atomic>

namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_references{0};

} // namespace

namespace pagelift {

HMODULE ModuleHandle() {
    return g_module;
}
void ModuleAddRef() {
    ++g_references;
}
void ModuleRelease() {
    --g_references;
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
    return g_references == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, CLSID_IEHlprObj))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) CIEHlprObjFactory();
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = factory->QueryInterface(interfaceId, object);
    factory->Release();
    return result;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return pagelift::RegisterServer(g_module);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return pagelift::UnregisterServer(g_module);
}
