// The library's own module and its string table, wherever its code is linked.
#pragma once

#include "resource.h"

#include <windows.h>

#include <string>

namespace setrix {

// The module this code is linked into (Setrix.dll, or a test program).
HMODULE ModuleHandle();

// A string of the module's own string table; empty when absent.
std::wstring LoadModuleString(UINT id);

} // namespace setrix
