// Ending a running program by the name of its executable file.
#pragma once

#include <windows.h>

#include <string>

namespace setrix {

// Ends the first running process whose executable file name is name, compared without regard to case
// (opened with all access rights and terminated with exit code 0; nothing happens when it cannot be
// opened), then waits pauseMilliseconds, also when no process matched. True when one was ended.
bool EndProcessByName(const std::wstring& name, DWORD pauseMilliseconds);

} // namespace setrix
