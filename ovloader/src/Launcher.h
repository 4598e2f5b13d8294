// The launcher's one run: wait until the program file exists, wait for an old toolbar window to go
// (when asked for options), start the program through the shell, and deliver "TBShowOptions" to the
// new toolbar window while it answers 0.
#pragma once

#include "common/Protocol.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// The polls of each wait and the limit of the bounded ones, in milliseconds.
struct CLaunchTimings {
    DWORD existencePoll = 4000;    // the program file; no limit
    DWORD disappearancePoll = 200; // the old toolbar window
    DWORD appearancePoll = 500;    // the new toolbar window
    DWORD messageRetry = 200;      // "TBShowOptions" answered 0
    DWORD waitLimit = 10000;       // each of the last three waits, by the system tick count
};

class CLauncher {
public:
    static constexpr const wchar_t* kToolbarWindowClass = ovrin::protocol::kToolbarWindowClass;
    static constexpr const wchar_t* kShowOptionsMessage = ovrin::protocol::kShowOptionsMessage;
    static constexpr const wchar_t* kOptionsArgument = ovrin::protocol::kOptionsArgument;

    // No optionsNumber: a plain start, no "TBShowOptions". Any number, negative too, asks for options.
    CLauncher(std::wstring program, std::optional<int> optionsNumber, CLaunchTimings timings = {});

    // Runs the whole start; false when there was nothing to start or the start failed.
    bool Run();

    // How the launcher sleeps between polls; tests watch or shorten it.
    std::function<void(DWORD)> m_sleep = [](DWORD milliseconds) { Sleep(milliseconds); };

private:
    void WaitForProgramFile();
    void WaitForOldWindowToGo();
    bool StartProgram();
    HWND WaitForNewWindow();
    void SendShowOptions(HWND window);

    std::wstring m_program;
    std::optional<int> m_optionsNumber;
    CLaunchTimings m_timings;
};
