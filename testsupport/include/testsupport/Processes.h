// Processes found by their program's file name, Windows build only: ended, for tests that must not
// leave (or meet) a program running in the prefix.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <tlhelp32.h>

namespace testsupport {

// Ends every process running a file of that name (any letter case), only those started by parent when
// parent is not 0, and waits for each to be gone.
inline void EndProcessesNamed(const wchar_t* name, DWORD parent = 0) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if ((parent != 0 && entry.th32ParentProcessID != parent) || lstrcmpiW(entry.szExeFile, name) != 0)
            continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

// Ends the processes owning top-level windows of that class, one after the other until none is left:
// a program a failed run left behind would answer in the place of this run's.
inline void EndProgramsWithWindowsOf(const wchar_t* className) {
    while (HWND window = FindWindowW(className, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (process == nullptr)
            return;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

} // namespace testsupport

#endif // _WIN32
