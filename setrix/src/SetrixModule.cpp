// The library's module and its strings.
#include "SetrixModule.h"

namespace setrix {

HMODULE ModuleHandle() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleHandle), &module);
    return module;
}

std::wstring LoadModuleString(UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(ModuleHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

} // namespace setrix
