// Starting the launcher.
#include "Launcher.h"

#include "base/FileSystem.h"
#include "platform/CommandLine.h"

#include <windows.h>

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
    return ovrin::FileExists(path) && platform::StartProgram(path, parameters);
}

} // namespace launcher
