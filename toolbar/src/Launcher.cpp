// Starting the launcher.
#include "Launcher.h"

#include "common/FileSystem.h"

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
    std::wstring parameters = L"\"" + program + L"\"";
    if (options != 0)
        parameters += L" /options" + std::to_wstring(options);
    return parameters;
}

std::wstring QuotedArgument(const std::wstring& text) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quotation mark are doubled and the mark itself escaped; elsewhere they
        // stand for themselves.
        std::size_t count = c == L'"' ? backslashes * 2 + 1 : backslashes;
        quoted.append(count, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\'); // before the closing mark
    return quoted + L"\"";
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
