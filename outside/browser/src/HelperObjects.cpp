// Loading and letting go of the browser helper objects.
#include "HelperObjects.h"

#include "platform/RegistryKey.h"

#include <string>

size_t CHelperObjects::LoadAll(IUnknown* site) {
    CRegistryKey list;
    if (!list.Open(HKEY_LOCAL_MACHINE, kHelperListKey, KEY_READ, false))
        return m_helpers.size();
    list.ResetEnum();
    for (std::wstring name; list.EnumSubkey(name);) {
        CLSID classId;
        if (name.empty() || FAILED(CLSIDFromString(name.c_str(), &classId)))
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
    return m_helpers.size();
}

void CHelperObjects::ReleaseAll() {
    for (IObjectWithSite* helper : m_helpers) {
        helper->SetSite(nullptr);
        helper->Release();
    }
    m_helpers.clear();
}
