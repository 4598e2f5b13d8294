// Loading and letting go of the browser helper objects.
#include "HelperObjects.h"

#include <string>

size_t CHelperObjects::LoadAll(IUnknown* site) {
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHelperListKey, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return m_helpers.size();
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        LONG result = RegEnumKeyExW(list, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;
        CLSID classId;
        if (FAILED(CLSIDFromString(name, &classId)))
            continue;
        IObjectWithSite* helper = nullptr;
        if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                    reinterpret_cast<void**>(&helper))) ||
            helper == nullptr)
            continue;
        if (FAILED(helper->SetSite(site))) {
            helper->Release();
            continue;
        }
        m_helpers.push_back(helper);
    }
    RegCloseKey(list);
    return m_helpers.size();
}

void CHelperObjects::ReleaseAll() {
    for (IObjectWithSite* helper : m_helpers) {
        helper->SetSite(nullptr);
        helper->Release();
    }
    m_helpers.clear();
}
