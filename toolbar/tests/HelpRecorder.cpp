// Stands in for the browser when the toolbar opens its help: writes its parameters (everything after
// the program name), UTF-16, into the file named by the environment variable OVRIN_HELP_RECORD.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t file[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"OVRIN_HELP_RECORD", file, MAX_PATH) == 0)
        return 1;
    std::wstring line = GetCommandLineW();
    // Skips the program name, quoted or not, and the blanks after it.
    std::size_t end = line[0] == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
    std::wstring parameters = end == std::wstring::npos || end == 0 ? L"" : line.substr(end);
    parameters.erase(0, parameters.find_first_not_of(L' '));
    HANDLE out = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    WriteFile(out, parameters.data(), static_cast<DWORD>(parameters.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(out);
    return 0;
}
