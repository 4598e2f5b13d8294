// The launcher's waits, start and message.
#include "Launcher.h"

#include "platform/CommandLine.h"

#include <algorithm>
#include <utility>

namespace {

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HWND FindToolbarWindow() {
    return FindWindowW(CLauncher::kToolbarWindowClass, nullptr);
}

// Milliseconds since start by the tick count (wrapping is harmless in unsigned arithmetic).
DWORD Elapsed(DWORD start) {
    return GetTickCount() - start;
}

} // namespace

CLauncher::CLauncher(std::wstring program, std::optional<int> optionsNumber, CLaunchTimings timings)
    : m_program(std::move(program)), m_optionsNumber(optionsNumber), m_timings(timings) {}

bool CLauncher::Run() {
    if (m_program.empty())
        return false;
    WaitForProgramFile();
    if (m_optionsNumber)
        WaitForOldWindowToGo();
    if (!StartProgram())
        return false;
    if (!m_optionsNumber)
        return true;
    if (HWND window = WaitForNewWindow())
        SendShowOptions(window);
    return true;
}

// A storage card may not be mounted yet at system start: the wait has no limit.
void CLauncher::WaitForProgramFile() {
    while (!FileExists(m_program))
        m_sleep(m_timings.existencePoll);
}

void CLauncher::WaitForOldWindowToGo() {
    DWORD start = GetTickCount();
    while (FindToolbarWindow() != nullptr && Elapsed(start) < m_timings.waitLimit)
        m_sleep(m_timings.disappearancePoll);
}

bool CLauncher::StartProgram() {
    return platform::StartProgram(m_program, m_optionsNumber ? kOptionsArgument : L"");
}

HWND CLauncher::WaitForNewWindow() {
    DWORD start = GetTickCount();
    HWND window = nullptr;
    while ((window = FindToolbarWindow()) == nullptr && Elapsed(start) < m_timings.waitLimit)
        m_sleep(m_timings.appearancePoll);
    return window;
}

// The toolbar answers 0 until its panel has its buttons; any other answer ends the sending. A send
// that gets no answer (a toolbar busy or hung) is tried again like a 0. A toolbar that hangs must not
// hold the launcher beyond the limit, so each send is bounded by what is left of it.
void CLauncher::SendShowOptions(HWND window) {
    UINT message = RegisterWindowMessageW(kShowOptionsMessage);
    if (message == 0)
        return;
    DWORD start = GetTickCount();
    do {
        DWORD left = m_timings.waitLimit - std::min(Elapsed(start), m_timings.waitLimit);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(window, message, 0, static_cast<LPARAM>(*m_optionsNumber), SMTO_ABORTIFHUNG,
                                std::max<DWORD>(left, 1), &answer) &&
            answer != 0)
            return;
        m_sleep(m_timings.messageRetry);
    } while (Elapsed(start) < m_timings.waitLimit);
}
