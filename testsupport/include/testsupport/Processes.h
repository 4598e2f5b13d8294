// Processes of the prefix found by their program's file name or by their windows, Windows build only:
// counted, or ended for tests that must not leave (or meet) a program running in the prefix.
#pragma once

#ifdef _WIN32

#include "platform/Processes.h"

#include <windows.h>

#include <vector>

namespace testsupport {

// The ids of the processes running a file of that name (any letter case), in the system's order.
inline std::vector<DWORD> ProcessIdsNamed(const wchar_t* name) {
    std::vector<DWORD> ids;
    for (const CHandle& process : platform::OpenProcessesNamed(name, SYNCHRONIZE))
        ids.push_back(GetProcessId(process.Get()));
    return ids;
}

// Ends every process running a file of that name (any letter case), only those started by parent when
// parent is not 0, and waits for each to be gone.
inline void EndProcessesNamed(const wchar_t* name, DWORD parent = 0) {
    platform::EndProcessesNamed(name, 1, 5000, parent);
}

// Ends the processes owning top-level windows of that class, one after the other until none is left:
// a program a failed run left behind would answer in the place of this run's.
inline void EndProgramsWithWindowsOf(const wchar_t* className) {
    while (HWND window = FindWindowW(className, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        CHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
        if (!process)
            return;
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 10000);
    }
}

} // namespace testsupport

#endif // _WIN32
