// The server module's state: its instance handle (its resources live there), and the count of live
// objects and class object locks that DllCanUnloadNow reports.
#pragma once

#include <windows.h>

namespace pagelift {

HMODULE ModuleHandle();
void ModuleAddRef();
void ModuleRelease();

} // namespace pagelift
