// Finding, ending and starting the dictionary program.
#include "DictionaryLauncher.h"

#include "Launcher.h"
#include "common/FileSystem.h"
#include "common/Path.h"
#include "common/Registry.h"
#include "platform/CommandLine.h"
#include "platform/Handles.h"

#include <tlhelp32.h>

#include <cwctype>

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool IsDictionaryFileName(const std::wstring& name) {
    return Lower(name) == Lower(CDictionaryLauncher::kProgramFile);
}

void EndRunningDictionary() {
    CHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) {
        snapshot.Release();
        return;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (!IsDictionaryFileName(ovrin::PathFileName(entry.szExeFile)))
            continue;
        CHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process) {
            TerminateProcess(process.Get(), 0);
            WaitForSingleObject(process.Get(), 5000);
        }
        return;
    }
}

} // namespace

std::wstring ProcessFileNameOf(HWND window) {
    DWORD processId = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0)
        return {};
    CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return {};
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process.Get(), 0, path, &size))
        return {};
    return ovrin::PathFileName(std::wstring(path, size));
}

bool IsWindowOfThisProgram(HWND window) {
    DWORD processId = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 && processId == GetCurrentProcessId();
}

std::wstring CDictionaryLauncher::GetProgramPath() {
    return CAppSettings::ReadString(L"Lexory", L"path") + kProgramFile;
}

bool CDictionaryLauncher::IsInstalled() {
    return ovrin::FileExists(GetProgramPath());
}

bool CDictionaryLauncher::IsDictionaryWindow(HWND window) {
    return IsDictionaryFileName(ProcessFileNameOf(window));
}

void CDictionaryLauncher::LookUp(const std::wstring& word) {
    std::wstring program = GetProgramPath();
    if (!ovrin::FileExists(program))
        return;
    EndRunningDictionary();
    // The word may hold quotation marks and backslashes of its own: it must reach the program whole,
    // as one argument.
    launcher::StartProgram(program, platform::QuotedArgument(word));
}
