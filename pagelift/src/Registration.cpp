// Registration and unregistration of the browser helper: its class and program ids, its in-process
// server with free threading, the browser's list of helper objects, and its type library.
#include "Registration.h"

#include "Pagelift.h"
#include "platform/RegistryKey.h"

#include <oleauto.h>
#include <olectl.h>

namespace pagelift {

namespace {

constexpr wchar_t kClassKey[] = L"CLSID\\{73AFDD66-D450-42F5-9997-1E58C5582292}";
constexpr wchar_t kHelperKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\"
                                 L"{73AFDD66-D450-42F5-9997-1E58C5582292}";
constexpr wchar_t kModulePlaceholder[] = L"%MODULE%";

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    while (length == path.size()) {
        path.resize(path.size() * 2);
        length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    }
    path.resize(length);
    return path;
}

} // namespace

const std::vector<sRegistryEntry>& RegistryScript() {
    static const std::vector<sRegistryEntry> script = {
        {HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj.1", nullptr, L"IEHlprObj Class"},
        {HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj.1\\CLSID", nullptr, L"{73AFDD66-D450-42F5-9997-1E58C5582292}"},
        {HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj", nullptr, L"IEHlprObj Class"},
        {HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj\\CurVer", nullptr, L"IEHlprObj.IEHlprObj.1"},
        {HKEY_CLASSES_ROOT, kClassKey, nullptr, L"IEHlprObj Class"},
        {HKEY_CLASSES_ROOT, L"CLSID\\{73AFDD66-D450-42F5-9997-1E58C5582292}\\ProgID", nullptr,
         L"IEHlprObj.IEHlprObj.1"},
        {HKEY_CLASSES_ROOT, L"CLSID\\{73AFDD66-D450-42F5-9997-1E58C5582292}\\VersionIndependentProgID", nullptr,
         L"IEHlprObj.IEHlprObj"},
        {HKEY_CLASSES_ROOT, L"CLSID\\{73AFDD66-D450-42F5-9997-1E58C5582292}\\Programmable", nullptr, nullptr},
        {HKEY_CLASSES_ROOT, L"CLSID\\{73AFDD66-D450-42F5-9997-1E58C5582292}\\InprocServer32", nullptr,
         kModulePlaceholder},
        {HKEY_CLASSES_ROOT, L"CLSID\\{73AFDD66-D450-42F5-9997-1E58C5582292}\\InprocServer32", L"ThreadingModel",
         L"Both"},
        {HKEY_LOCAL_MACHINE, kHelperKey, nullptr, nullptr},
    };
    return script;
}

const std::vector<std::pair<HKEY, const wchar_t*>>& RegistryTopKeys() {
    static const std::vector<std::pair<HKEY, const wchar_t*>> keys = {
        {HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj.1"},
        {HKEY_CLASSES_ROOT, L"IEHlprObj.IEHlprObj"},
        {HKEY_CLASSES_ROOT, kClassKey},
        {HKEY_LOCAL_MACHINE, kHelperKey},
    };
    return keys;
}

HRESULT RegisterServer(HMODULE module) {
    const std::wstring modulePath = ModulePath(module);
    for (const sRegistryEntry& entry : RegistryScript()) {
        CRegistryKey key;
        if (!key.Open(entry.root, entry.key, KEY_WRITE, true))
            return SELFREG_E_CLASS;
        if (entry.value != nullptr) {
            std::wstring value = entry.value;
            if (value == kModulePlaceholder)
                value = modulePath;
            // No value name is the key's unnamed value.
            if (!key.WriteString(entry.valueName != nullptr ? entry.valueName : L"", value))
                return SELFREG_E_CLASS;
        }
    }
    ITypeLib* library = nullptr;
    HRESULT loaded = LoadTypeLibEx(modulePath.c_str(), REGKIND_REGISTER, &library);
    if (FAILED(loaded))
        return SELFREG_E_TYPELIB;
    library->Release();
    return S_OK;
}

HRESULT UnregisterServer(HMODULE module) {
    HRESULT result = S_OK;
    for (const auto& [root, key] : RegistryTopKeys()) {
        LONG deleted = CRegistryKey::DeleteTree(root, key);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
            result = SELFREG_E_CLASS;
    }
    HRESULT typelib = UnRegisterTypeLib(LIBID_PageliftLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    if (FAILED(typelib) && typelib != TYPE_E_REGISTRYACCESS && typelib != TYPE_E_LIBNOTREGISTERED)
        result = SELFREG_E_TYPELIB;
    return result;
}

} // namespace pagelift
