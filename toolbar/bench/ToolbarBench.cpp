// The toolbar's benchmark under Wine, beside Wine's notepad: the time from the call key going down (as
// the system sees it) to the panel visible, over several presses; the toolbar's private memory while
// idle; and the processor time it uses in ten idle seconds. Run: scripts/wine-run
// build/win/toolbar/toolbar_bench.exe (prints one line per figure).
#include "../tests/DesktopSession.h"
#include "common/Protocol.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

ULONGLONG ProcessorTime100ns(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    auto value = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

} // namespace

int wmain() {
    desktop::FrontProgram notepad;
    if (!notepad.Start(L"notepad.exe")) {
        std::printf("notepad did not start\n");
        return 1;
    }
    SendMessageW(notepad.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello world"));
    testsupport::CProgramProcess toolbar;
    if (!toolbar.Start(ovrin::GetProgramFolder() + L"OvrinToolbar.exe")) {
        std::printf("the toolbar did not start\n");
        return 1;
    }
    HWND panel = nullptr;
    testsupport::WaitUntil(
        [&] { return (panel = FindWindowW(ovrin::protocol::kToolbarWindowClass, nullptr)) != nullptr; }, 15000);
    testsupport::WaitUntil([&] { return !desktop::TextOf(GetDlgItem(panel, 1004)).empty(); }, 15000);
    SendMessageW(panel, WM_NULL, 0, 0);
    SendMessageW(panel, WM_NULL, 0, 0);

    std::vector<double> times;
    for (int press = 0; press < 8; ++press) {
        testsupport::FocusWindowForKeys(notepad.Window());
        testsupport::WaitUntil([&] { return GetForegroundWindow() == notepad.Window(); });
        testsupport::CUnixCommand hold("xdotool keydown Return sleep 0.9 keyup Return");
        LARGE_INTEGER down = {}, shown = {};
        if (!testsupport::WaitUntil([] { return (GetAsyncKeyState(VK_RETURN) & 0x8000) != 0; }, 5000))
            continue;
        QueryPerformanceCounter(&down);
        while (!IsWindowVisible(panel)) {
            Sleep(0);
            QueryPerformanceCounter(&shown);
            if (Milliseconds(down, shown) > 3000)
                break;
        }
        QueryPerformanceCounter(&shown);
        hold.Wait();
        times.push_back(Milliseconds(down, shown));
        PostMessageW(panel, WM_KEYDOWN, VK_DOWN, 0);
        testsupport::WaitUntil([&] { return !IsWindowVisible(panel); });
    }
    std::sort(times.begin(), times.end());
    if (!times.empty())
        std::printf("call key down to panel visible: median %.0f ms, min %.0f ms, max %.0f ms over %zu presses\n",
                    times[times.size() / 2], times.front(), times.back(), times.size());

    // Idle: the panel hidden, nothing held.
    Sleep(2000);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    HANDLE process = toolbar.Handle();
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure on Windows.
        std::printf("idle private memory: %.1f MB (working set %.1f MB)\n",
                    std::max(memory.PrivateUsage, memory.PagefileUsage) / 1048576.0, memory.WorkingSetSize / 1048576.0);
    ULONGLONG before = ProcessorTime100ns(process);
    Sleep(10000);
    ULONGLONG after = ProcessorTime100ns(process);
    std::printf("idle processor time: %.1f ms in 10 s\n", (after - before) / 10000.0);
    return 0;
}
