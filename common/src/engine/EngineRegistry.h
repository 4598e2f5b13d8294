// Typed reads of the engine installation's registry values: a value of the wrong type counts as
// missing, so that a string where a number belongs (or the reverse) never passes for data.
#pragma once

#include "common/Registry.h"

#include <string>

namespace ovrin::engine {

inline DWORD ReadDwordValue(CRegistryKey& key, const std::wstring& name, DWORD defaultValue) {
    if (key.GetValueType(name) != REG_DWORD)
        return defaultValue;
    return key.ReadDword(name, defaultValue);
}

inline std::wstring ReadStringValue(CRegistryKey& key, const std::wstring& name, const std::wstring& defaultValue) {
    DWORD type = key.GetValueType(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return defaultValue;
    return key.ReadString(name, defaultValue);
}

inline std::wstring WithTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path.push_back(L'\\');
    return path;
}

} // namespace ovrin::engine
