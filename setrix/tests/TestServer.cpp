// A COM library stand-in for RegisterDLL and UnRegisterDLL: its registration entries write and delete
// the value "Registered" of HKEY_CURRENT_USER\Software\Ovrinsoft\SetrixTestServer.
#include <windows.h>

namespace {
constexpr wchar_t kKey[] = L"Software\\Ovrinsoft\\SetrixTestServer";
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    DWORD one = 1;
    return RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Registered", REG_DWORD, &one, sizeof one) == ERROR_SUCCESS
               ? S_OK
               : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Registered") == ERROR_SUCCESS ? S_OK : E_FAIL;
}
