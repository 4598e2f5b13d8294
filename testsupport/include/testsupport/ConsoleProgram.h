// A console program of the build run as a real process, Windows build only: its standard input fed,
// its standard output collected, its exit code.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <string>

namespace testsupport {

struct ProgramOutcome {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// Runs program with the arguments (a command line's text), input on its standard input; waits up to
// a minute for it to end.
inline ProgramOutcome RunConsoleProgram(const std::wstring& program, const std::wstring& arguments,
                                        const std::string& input = {}) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
    ProgramOutcome outcome;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0))
        return outcome;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) {
        CloseHandle(outRead);
        CloseHandle(outWrite);
        return outcome;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    outcome.started =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(inRead);
    if (outcome.started && !input.empty()) {
        DWORD written = 0;
        WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    }
    CloseHandle(inWrite);
    if (outcome.started) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(outRead, buffer, sizeof buffer, &read, nullptr) && read > 0)
            outcome.output.append(buffer, read);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &outcome.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    return outcome;
}

} // namespace testsupport

#endif // _WIN32
