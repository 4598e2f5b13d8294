// The exports of Setrix.dll, the setup library of the suite's installation package: the four hooks
// the device installer calls around installing and removing the package, and the service functions
// an installing program calls with an input record and gets an output buffer back. Every function
// answers 0 (go on; S_OK). The library is loaded by path: callers take these types with
// GetProcAddress.
#pragma once

#include <windows.h>

#include <cstddef>

// windows.h maps this name to GetDiskFreeSpaceW; the library exports it under its own name.
#ifdef GetDiskFreeSpace
#undef GetDiskFreeSpace
#endif

// The installer's result codes.
enum codeINSTALL_INIT { codeINSTALL_INIT_CONTINUE = 0, codeINSTALL_INIT_CANCEL };
enum codeINSTALL_EXIT { codeINSTALL_EXIT_DONE = 0, codeINSTALL_EXIT_UNINSTALL };
enum codeUNINSTALL_INIT { codeUNINSTALL_INIT_CONTINUE = 0, codeUNINSTALL_INIT_CANCEL };
enum codeUNINSTALL_EXIT { codeUNINSTALL_EXIT_DONE = 0 };

using InstallInitFunction = codeINSTALL_INIT(WINAPI*)(HWND parent, BOOL firstCall, BOOL previouslyInstalled,
                                                      LPCWSTR installFolder);
using InstallExitFunction = codeINSTALL_EXIT(WINAPI*)(HWND parent, LPCWSTR installFolder, WORD failedFolders,
                                                      WORD failedFiles, WORD failedKeys, WORD failedValues,
                                                      WORD failedShortcuts);
using UninstallInitFunction = codeUNINSTALL_INIT(WINAPI*)(HWND parent, LPCWSTR installFolder);
using UninstallExitFunction = codeUNINSTALL_EXIT(WINAPI*)(HWND parent);

// A service function: input size and bytes; the output's size and a buffer the library allocates
// from the local heap, zero-filled, for the caller to free with LocalFree (null, size 0, when the
// function gives nothing back). IsSmartphone, MessageDialog, GetDiskFreeSpace, KillProcess,
// GetProcessList, RegisterDLL, UnRegisterDLL and ProcessConfigXML.
using ServiceFunction = HRESULT(WINAPI*)(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);

// The exports, for a caller linked with the library's code (its tests); the library itself is built
// with SETRIX_EXPORTS.
#ifdef SETRIX_EXPORTS
#define SETRIX_API extern "C" __declspec(dllexport)
#else
#define SETRIX_API extern "C"
#endif
SETRIX_API codeINSTALL_INIT WINAPI Install_Init(HWND parent, BOOL firstCall, BOOL previouslyInstalled,
                                                LPCWSTR installFolder);
SETRIX_API codeINSTALL_EXIT WINAPI Install_Exit(HWND parent, LPCWSTR installFolder, WORD failedFolders,
                                                WORD failedFiles, WORD failedKeys, WORD failedValues,
                                                WORD failedShortcuts);
SETRIX_API codeUNINSTALL_INIT WINAPI Uninstall_Init(HWND parent, LPCWSTR installFolder);
SETRIX_API codeUNINSTALL_EXIT WINAPI Uninstall_Exit(HWND parent);
SETRIX_API HRESULT WINAPI IsSmartphone(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI MessageDialog(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI GetDiskFreeSpace(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI KillProcess(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI GetProcessList(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI RegisterDLL(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI UnRegisterDLL(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);
SETRIX_API HRESULT WINAPI ProcessConfigXML(DWORD inputSize, BYTE* input, DWORD* outputSize, BYTE** output);

namespace setrix {

// Wide strings of the records: NUL-terminated within their 260 characters.
constexpr size_t kRecordTextLength = 260;

// MessageDialog's input.
struct tagMessageRecord {
    wchar_t text[kRecordTextLength];
    wchar_t caption[kRecordTextLength];
    DWORD style; // message-box style flags
};
static_assert(offsetof(tagMessageRecord, caption) == 520 && offsetof(tagMessageRecord, style) == 1040 &&
              sizeof(tagMessageRecord) == 1044);

// GetDiskFreeSpace's input (the path) and output (the three counts, the path zero).
struct tagDiskRecord {
    wchar_t path[kRecordTextLength];
    ULONGLONG freeBytesToCaller;
    ULONGLONG totalBytes;
    ULONGLONG totalFreeBytes;
};
static_assert(offsetof(tagDiskRecord, freeBytesToCaller) == 520 && offsetof(tagDiskRecord, totalBytes) == 528 &&
              offsetof(tagDiskRecord, totalFreeBytes) == 536 && sizeof(tagDiskRecord) == 544);

} // namespace setrix
