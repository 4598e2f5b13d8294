// A layout's engine put where the suite's programs look for it, for tests that run the real programs:
// its directions and path under the suite's own registry key and its catalogue beside the test program,
// for as long as the object lives.
#pragma once

#include "base/Path.h"
#include "enginetest/EngineLayout.h"
#include "platform/RegistryKey.h"

#include <windows.h>

#include <string>

namespace enginetest {

class EngineForPrograms {
public:
    explicit EngineForPrograms(const EngineLayout& layout) {
        {
            // An earlier test program ended before its destructor ran leaves its directions here.
            CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kKey + std::wstring(L"\\Directions"));
            CRegistryKey directions, target;
            directions.Open(HKEY_CURRENT_USER, layout.DirectionsKey(), KEY_READ, false);
            target.Open(HKEY_CURRENT_USER, kKey + std::wstring(L"\\Directions"), true);
            m_copied = target.CopyTreeFrom(directions);
        }
        EngineLayout::SetString(kKey, L"Path", layout.Folder());
        m_catalogue = ovrin::GetProgramFolder() + L"dircat.dat";
        m_copied = m_copied && CopyFileW((layout.Folder() + L"dircat.dat").c_str(), m_catalogue.c_str(), FALSE);
    }
    ~EngineForPrograms() {
        DeleteFileW(m_catalogue.c_str());
        CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kKey + std::wstring(L"\\Directions"));
        CRegistryKey key;
        if (key.Open(HKEY_CURRENT_USER, kKey, KEY_SET_VALUE, false))
            key.DeleteValue(L"Path");
    }
    EngineForPrograms(const EngineForPrograms&) = delete;
    EngineForPrograms& operator=(const EngineForPrograms&) = delete;
    bool Copied() const { return m_copied; }

private:
    static constexpr wchar_t kKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN";
    std::wstring m_catalogue;
    bool m_copied = false;
};

} // namespace enginetest
