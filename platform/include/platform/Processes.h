// Running processes found by the file name of the program they run.
#pragma once

#include "platform/Handles.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The full path of the program the process runs, read through its handle, which needs
// PROCESS_QUERY_LIMITED_INFORMATION; empty when it cannot be read.
std::wstring ProcessImagePath(HANDLE process);
// Its file name, without the folder.
std::wstring ProcessFileName(HANDLE process);
// The same for the process of that id; empty when there is none or it cannot be opened.
std::wstring ProcessFileNameById(DWORD processId);

// The process of that id opened with access, only while it runs a program file of that name (any
// letter case); a process that has ended is not opened. An id taken from a list of processes can belong to another
// program by the time it is opened: the process listed ended and a new one was given its id. Once open, the handle
// keeps the id from passing on.
CHandle OpenProcessNamed(DWORD processId, const std::wstring& fileName, DWORD access);

// Every process running a program file of that name, only those started by parent when parent is not
// 0, each opened with access as OpenProcessNamed opens it.
std::vector<CHandle> OpenProcessesNamed(const std::wstring& fileName, DWORD access, DWORD parent = 0);

// Ends every process OpenProcessesNamed finds with that exit code and waits up to waitMilliseconds for
// each to be gone; the number ended.
std::size_t EndProcessesNamed(const std::wstring& fileName, UINT exitCode, DWORD waitMilliseconds, DWORD parent = 0);

} // namespace platform
