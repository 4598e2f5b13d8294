// The server's registry script: the keys and values DllRegisterServer writes, with the module path in
// place of %MODULE%, and removes again, together with its type library's registration.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pagelift {

struct sRegistryEntry {
    HKEY root;
    const wchar_t* key;
    const wchar_t* valueName; // null: the key's default value
    const wchar_t* value;     // null: the key only
};

// The entries in the order they are written; removal goes over the keys in reverse.
const std::vector<sRegistryEntry>& RegistryScript();

// The top keys removal deletes with everything below them.
const std::vector<std::pair<HKEY, const wchar_t*>>& RegistryTopKeys();

HRESULT RegisterServer(HMODULE module);
HRESULT UnregisterServer(HMODULE module);

} // namespace pagelift
