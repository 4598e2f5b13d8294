// A COM library stand-in for RegisterDLL and UnRegisterDLL: its registration entries write and delete
// the value "Registered" of HKEY_CURRENT_USER\Software\Ovrinsoft\SetrixTestServer.
#include "platform/RegistryKey.h"

#include <windows.h>

namespace {
constexpr wchar_t kKey[] = L"Software\\Ovrinsoft\\SetrixTestServer";
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    CRegistryKey key;
    return key.Open(HKEY_CURRENT_USER, kKey, true) && key.WriteDword(L"Registered", 1) ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    CRegistryKey key;
    return key.Open(HKEY_CURRENT_USER, kKey, false) && key.DeleteValue(L"Registered") &&
                   key.GetLastError() == ERROR_SUCCESS
               ? S_OK
               : E_FAIL;
}
