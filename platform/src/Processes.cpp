// Running processes found by their program's file name: a Toolhelp snapshot for the ids, each id
// checked again through the handle it opens.
#include "platform/Processes.h"

#include <tlhelp32.h>

namespace platform {

namespace {

bool SameFileName(const std::wstring& left, const std::wstring& right) {
    return !left.empty() && CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                                 static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::wstring ProcessImagePath(HANDLE process) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process, 0, path.data(), &size)) {
            path.resize(size);
            return path;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

std::wstring ProcessFileName(HANDLE process) {
    std::wstring path = ProcessImagePath(process);
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ProcessFileNameById(DWORD processId) {
    CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process ? ProcessFileName(process.Get()) : std::wstring();
}

CHandle OpenProcessNamed(DWORD processId, const std::wstring& fileName, DWORD access) {
    CHandle process(OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (process && (WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT ||
                    !SameFileName(ProcessFileName(process.Get()), fileName)))
        process.Reset();
    return process;
}

std::vector<CHandle> OpenProcessesNamed(const std::wstring& fileName, DWORD access, DWORD parent) {
    std::vector<CHandle> processes;
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return processes;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if ((parent != 0 && entry.th32ParentProcessID != parent) || !SameFileName(entry.szExeFile, fileName))
            continue;
        if (CHandle process = OpenProcessNamed(entry.th32ProcessID, fileName, access))
            processes.push_back(std::move(process));
    }
    return processes;
}

std::size_t EndProcessesNamed(const std::wstring& fileName, UINT exitCode, DWORD waitMilliseconds, DWORD parent) {
    std::size_t ended = 0;
    for (const CHandle& process : OpenProcessesNamed(fileName, PROCESS_TERMINATE | SYNCHRONIZE, parent)) {
        if (TerminateProcess(process.Get(), exitCode)) {
            WaitForSingleObject(process.Get(), waitMilliseconds);
            ++ended;
        }
    }
    return ended;
}

} // namespace platform
