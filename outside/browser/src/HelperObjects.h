// The browser helper objects a browser window hosts: every class listed under the Browser Helper
// Objects key is created in process, given the window's site, and let go when the window closes.
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <vector>

class CHelperObjects {
public:
    static constexpr wchar_t kHelperListKey[] =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";

    CHelperObjects() = default;
    ~CHelperObjects() { ReleaseAll(); }
    CHelperObjects(const CHelperObjects&) = delete;
    CHelperObjects& operator=(const CHelperObjects&) = delete;

    // Creates every listed helper and hands it site; an entry that is no class id, a class that cannot
    // be created or an object without IObjectWithSite is passed over. The number of helpers held.
    size_t LoadAll(IUnknown* site);
    // Each helper gets a null site and is released.
    void ReleaseAll();
    size_t Count() const { return m_helpers.size(); }

private:
    std::vector<IObjectWithSite*> m_helpers;
};
