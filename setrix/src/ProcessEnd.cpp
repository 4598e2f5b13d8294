// Ending a running program by name: the first process found running it.
#include "ProcessEnd.h"

#include "platform/Processes.h"

namespace setrix {

bool EndProcessByName(const std::wstring& name, DWORD pauseMilliseconds) {
    bool ended = false;
    if (!name.empty()) {
        std::vector<CHandle> running = platform::OpenProcessesNamed(name, PROCESS_ALL_ACCESS);
        ended = !running.empty() && TerminateProcess(running.front().Get(), 0);
    }
    Sleep(pauseMilliseconds);
    return ended;
}

} // namespace setrix
