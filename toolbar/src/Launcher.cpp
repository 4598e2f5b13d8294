// Starting the launcher.
#include "Launcher.h"

#include "base/FileSystem.h"
#include "platform/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

namespace launcher {

std::wstring LauncherPath() {
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"\\Windows\\Ovloader.exe";
    return std::wstring(folder, length) + L"\\Ovloader.exe";
}

std::wstring LauncherParameters(const std::wstring& program, int options) {
    std::wstring parameters = platform::QuotedArgument(program);
    if (options != 0)
        parameters += L" /options" + std::to_wstring(options);
    return parameters;
}

bool StartLauncher(const std::wstring& path, const std::wstring& parameters) {
    return ovrin::FileExists(path) && StartProgram(path, parameters);
}

bool StartProgram(const std::wstring& file, const std::wstring& parameters, HWND owner) {
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.hwnd = owner;
    execute.lpFile = file.c_str();
    execute.lpParameters = parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute) != FALSE;
}

} // namespace launcher
