// Ending a running program by name: the first match of a Toolhelp snapshot.
#include "ProcessEnd.h"

#include "platform/Handles.h"

#include <tlhelp32.h>

namespace setrix {

namespace {

// The first process of the snapshot named name; 0 when none is.
DWORD FindProcessByName(const std::wstring& name) {
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
            return entry.th32ProcessID;
    }
    return 0;
}

} // namespace

bool EndProcessByName(const std::wstring& name, DWORD pauseMilliseconds) {
    bool ended = false;
    if (DWORD processId = name.empty() ? 0 : FindProcessByName(name)) {
        CHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
        ended = process && TerminateProcess(process.Get(), 0);
    }
    Sleep(pauseMilliseconds);
    return ended;
}

} // namespace setrix
