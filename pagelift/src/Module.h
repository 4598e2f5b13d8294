// The server module's instance handle: its resources live there. (Its count of live objects and class
// object locks is platform's CModuleCount.)
#pragma once

#include <windows.h>

namespace pagelift {

HMODULE ModuleHandle();

} // namespace pagelift
