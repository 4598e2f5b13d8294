// A console program of the build run as a real process, Windows build only: its standard input fed,
// its standard output collected, its exit code.
#pragma once

#ifdef _WIN32

#include "testsupport/ProgramProcess.h"

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
    ProgramOutcome outcome;
    CHandle outRead, outWrite, inRead, inWrite;
    if (!MakePipe(outRead, outWrite) || !MakePipe(inRead, inWrite))
        return outcome;
    // The child inherits only its own ends.
    SetHandleInformation(outRead.Get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead.Get();
    startup.hStdOutput = outWrite.Get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    StartedProcess process = StartProcess(nullptr, L"\"" + program + L"\" " + arguments, 0, &startup);
    outcome.started = static_cast<bool>(process);
    // Once the child holds them, only its copies may keep the pipes open: the output ends with it.
    outWrite.Reset();
    inRead.Reset();
    if (outcome.started && !input.empty()) {
        DWORD written = 0;
        WriteFile(inWrite.Get(), input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    }
    inWrite.Reset();
    if (outcome.started) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(outRead.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
            outcome.output.append(buffer, read);
        outcome.exitCode = ExitCodeAfter(process.process.Get(), 60000);
    }
    return outcome;
}

} // namespace testsupport

#endif // _WIN32
