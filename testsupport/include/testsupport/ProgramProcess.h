// Programs of the tests started as real processes, Windows build only: the process and its first
// thread in the platform's handle owners, and a program under test that is ended with the test.
#pragma once

#ifdef _WIN32

#include "platform/Handles.h"

#include <windows.h>

#include <string>

namespace testsupport {

// What starting a process hands back. A Unix program started by Wine counts as started but comes
// without a process to wait on (no handle, id 0).
struct StartedProcess {
    bool started = false;
    CHandle process;
    CHandle thread;
    DWORD id = 0;
    explicit operator bool() const { return started; }
};

// Starts commandLine with the creation flags. application names the program file; when it is null,
// the command line's first word does, looked for as the system looks for programs. Given a start-up
// record that sets standard handles (STARTF_USESTDHANDLES), the new process inherits the inheritable
// handles of this one, as it must to use them.
inline StartedProcess StartProcess(const wchar_t* application, std::wstring commandLine, DWORD flags = 0,
                                   const STARTUPINFOW* startup = nullptr) {
    STARTUPINFOW plain = {};
    plain.cb = sizeof plain;
    STARTUPINFOW given = startup != nullptr ? *startup : plain;
    BOOL inherit = (given.dwFlags & STARTF_USESTDHANDLES) != 0 ? TRUE : FALSE;
    PROCESS_INFORMATION info = {};
    StartedProcess started;
    if (!CreateProcessW(application, commandLine.data(), nullptr, nullptr, inherit, flags, nullptr, nullptr, &given,
                        &info))
        return started;
    started.started = true;
    started.process.Reset(info.hProcess);
    started.thread.Reset(info.hThread);
    started.id = info.dwProcessId;
    return started;
}

// The exit code of a process that ends within milliseconds; STILL_ACTIVE when it does not.
inline DWORD ExitCodeAfter(HANDLE process, DWORD milliseconds) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return code;
}

// A pipe whose two ends the child of a process may inherit.
inline bool MakePipe(CHandle& readEnd, CHandle& writeEnd) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0))
        return false;
    readEnd.Reset(read);
    writeEnd.Reset(write);
    return true;
}

// A program under test, started as its own process; ended (if still running) when the object goes.
class CProgramProcess {
public:
    CProgramProcess() = default;
    ~CProgramProcess() { End(); }
    CProgramProcess(const CProgramProcess&) = delete;
    CProgramProcess& operator=(const CProgramProcess&) = delete;

    // Starts the program file path with the given parameter text (quoted by the caller as needed).
    bool Start(const std::wstring& path, const std::wstring& parameters = L"") {
        End();
        std::wstring commandLine = L"\"" + path + L"\"" + (parameters.empty() ? L"" : L" " + parameters);
        return Adopt(StartProcess(path.c_str(), commandLine));
    }
    // Starts a whole command line, whose first word names the program (found on the search path).
    bool StartCommandLine(const std::wstring& commandLine) {
        End();
        return Adopt(StartProcess(nullptr, commandLine));
    }

    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    bool Running() const { return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }
    bool WaitForExit(DWORD milliseconds = 15000) const {
        return m_process && WaitForSingleObject(m_process.Get(), milliseconds) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        if (m_process)
            GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }
    // Ends the process (if it runs) and waits for it to be gone.
    void End() {
        if (!m_process)
            return;
        if (WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.Get(), 1);
            WaitForSingleObject(m_process.Get(), 10000);
        }
        m_process.Reset();
        m_id = 0;
    }

private:
    bool Adopt(StartedProcess started) {
        if (!started)
            return false;
        m_process = std::move(started.process);
        m_id = started.id;
        return true;
    }

    CHandle m_process;
    DWORD m_id = 0;
};

} // namespace testsupport

#endif // _WIN32
