// The Win32 behaviour that later parts of the suite rely on, checked under the test harness: the
// ANSI code page of the device, two processes talking through a window found by its class, and the
// window manager of the harness display, which treats windows as the handheld's shell does.
#include "base/Path.h"
#include "platform/Handles.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>
#include <testsupport/GuiProgram.h>
#include <testsupport/TempFolder.h>

#include <string>
#include <thread>

namespace {

constexpr wchar_t kPeerClass[] = L"OvrinHarnessPeer";

std::wstring ProcessNameBySnapshot(DWORD processId) {
    // A failed snapshot is INVALID_HANDLE_VALUE, as a failed CreateFile is.
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return {};
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    std::wstring name;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == processId) {
            name = entry.szExeFile;
            break;
        }
    }
    return name;
}

// Starts the peer program and waits for its window; ends it when the test is over, however it ends.
class PeerProcess {
public:
    PeerProcess() {
        std::wstring eventName = L"OvrinHarnessReady" + std::to_wstring(GetCurrentProcessId());
        m_ready.Reset(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        if (m_process.Start(ovrin::GetProgramFolder() + L"harness_peer.exe", eventName)) {
            HANDLE waits[2] = {m_ready.Get(), m_process.Handle()};
            m_started = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
        }
    }
    // Asked to close first; ended only when it does not.
    ~PeerProcess() {
        if (m_process.Handle() != nullptr) {
            if (HWND window = FindWindowW(kPeerClass, nullptr))
                PostMessageW(window, WM_CLOSE, 0, 0);
            m_process.WaitForExit(10000);
        }
    }
    bool Started() const { return m_started; }
    DWORD Id() const { return m_process.Id(); }

private:
    CHandle m_ready;
    testsupport::CProgramProcess m_process;
    bool m_started = false;
};

// Handles what the window manager's changes sent to this thread's windows while waiting.
bool PumpUntil(const std::function<bool()>& condition) {
    return testsupport::WaitUntil([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return condition();
    });
}

// The window's client area on the screen (the window manager draws the frame around it).
RECT ClientOnScreen(HWND window) {
    RECT area = {};
    GetClientRect(window, &area);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

std::string RectText(const RECT& area) {
    return std::to_string(area.left) + "," + std::to_string(area.top) + " - " + std::to_string(area.right) + "," +
           std::to_string(area.bottom);
}

// The whole screen below the top bar that holds the notification icons.
bool FillsTheScreen(HWND window) {
    RECT area = ClientOnScreen(window);
    return area.left == 0 && area.top > 0 && area.top <= 40 && area.right == GetSystemMetrics(SM_CXSCREEN) &&
           area.bottom == GetSystemMetrics(SM_CYSCREEN);
}

} // namespace

// A window manager runs on the display: a plain program window is made to fill the screen below the
// top bar, as the handheld's shell does, and becomes the active window; a window it owns (a dialog) keeps its size
// and place, floating over it.
TEST(HarnessTest, WindowManager_FillsTheScreenWithAProgramWindow_LetsItsDialogsFloat) {
    ASSERT_EQ(testsupport::RunUnixCommand("xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"), 0)
        << "no window manager on the display";
    HWND program = CreateWindowW(L"STATIC", L"Harness program", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(program, nullptr);
    ShowWindow(program, SW_SHOW);
    EXPECT_TRUE(PumpUntil([&] { return FillsTheScreen(program); }))
        << "the program window was not made to fill it: " << RectText(ClientOnScreen(program));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == program; }));

    HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", L"Harness dialog", WS_POPUP | WS_CAPTION, 30, 40, 160,
                                  90, program, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog; }));
    RECT area = {};
    GetWindowRect(dialog, &area);
    EXPECT_EQ(area.right - area.left, 160) << RectText(area);
    EXPECT_EQ(area.bottom - area.top, 90) << RectText(area);
    DestroyWindow(dialog);
    DestroyWindow(program);
}

TEST(HarnessTest, AnsiCodePageIsCyrillicAsOnTheDevice) {
    EXPECT_EQ(GetACP(), 1251u);
}

TEST(HarnessTest, TwoProcesses_TalkThroughAWindowFoundByClass) {
    PeerProcess peer;
    ASSERT_TRUE(peer.Started()) << "the peer program did not start";

    HWND window = FindWindowW(kPeerClass, nullptr);
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, peer.Id());

    // WM_COPYDATA carrying a path: the peer rewrites the file and answers 1.
    testsupport::TempFolder folder;
    std::wstring path = folder.File(L"\x0441\x0442\x0440\x0430\x043D\x0438\x0446\x0430.txt");
    const std::wstring text = L"page \x0442\x0435\x043A\x0441\x0442";
    {
        CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        WriteFile(file.Get(), text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    }
    COPYDATASTRUCT data = {};
    data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.c_str());
    EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 1);
    std::string bytes = testsupport::ReadFileBytes(path);
    std::wstring rewritten(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    EXPECT_EQ(rewritten, L"PAGE \x0422\x0415\x041A\x0421\x0422");

    // A registered message is the same number in both processes and its answer comes back.
    UINT ping = RegisterWindowMessageW(L"OvrinHarnessPing");
    ASSERT_NE(ping, 0u);
    EXPECT_EQ(SendMessageW(window, ping, 40, 2), 42);

    // The other process's executable name, from its handle and from a process snapshot.
    CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner));
    ASSERT_TRUE(process);
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    ASSERT_TRUE(QueryFullProcessImageNameW(process.Get(), 0, image, &length));
    process.Reset();
    EXPECT_EQ(ovrin::PathFileName(image), L"harness_peer.exe");
    EXPECT_EQ(ProcessNameBySnapshot(owner), L"harness_peer.exe");
}

// The keyboard is given to a window whose X window is not mapped yet when asked (as a window Wine has
// just made): it gets the keyboard once it shows. The window lives on a thread of its own, which keeps
// answering the window system meanwhile.
TEST(HarnessTest, FocusWindowForKeys_WaitsForAWindowThatShowsLater) {
    HWND window = nullptr;
    CHandle hidden(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CHandle show(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread owner([&] {
        HWND made = CreateWindowW(L"STATIC", L"Harness keys", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ShowWindow(made, SW_SHOW);
        PumpUntil([&] { return testsupport::XWindowOf(made) != 0 && IsWindowVisible(made); });
        ShowWindow(made, SW_HIDE);
        window = made;
        SetEvent(hidden.Get());
        PumpUntil([&] { return WaitForSingleObject(show.Get(), 0) == WAIT_OBJECT_0; });
        ShowWindow(made, SW_SHOW);
        PumpUntil([&] { return !IsWindow(made) || GetForegroundWindow() == made; });
        MSG message;
        while (IsWindow(made) && GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    });
    ASSERT_EQ(WaitForSingleObject(hidden.Get(), 30000), WAIT_OBJECT_0);
    // The window shows a moment after the request, from its own thread.
    std::thread later([&] {
        Sleep(500);
        SetEvent(show.Get());
    });
    bool focused = testsupport::FocusWindowForKeys(window);
    later.join();
    EXPECT_TRUE(focused);
    EXPECT_EQ(GetForegroundWindow(), window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    owner.join();
}
