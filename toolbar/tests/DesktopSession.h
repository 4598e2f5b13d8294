// Helpers of the toolbar's desktop tests: real processes (Wine's notepad and wordpad in front, the test
// host beside them), keys through the X server with xdotool, and waits on conditions.
#pragma once

#include "TestHostProtocol.h"
#include "base/Path.h"
#include "platform/Handles.h"
#include "testsupport/GuiProgram.h"
#include "testsupport/ProgramProcess.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace desktop {

inline std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

// The first visible top-level window of a process.
inline HWND TopWindowOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search = {processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window) && GetParent(window) == nullptr) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND FocusOfForeground() {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (foreground == nullptr || !GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

inline std::wstring TextOf(HWND window) {
    LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    LRESULT copied = SendMessageW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied));
}

inline std::pair<long, long> SelectionOf(HWND window) {
    DWORD start = 0, end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<long>(start), static_cast<long>(end)};
}

// Wine's wordpad lives with the accessories, not on the search path.
inline std::wstring WordpadCommand() {
    wchar_t path[MAX_PATH] = {};
    ExpandEnvironmentStringsW(L"%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe", path, MAX_PATH);
    return L"\"" + std::wstring(path) + L"\"";
}

inline bool Xdotool(const std::string& arguments);

// Holds key down until condition holds (up to timeoutMs), then lets it go, as a user holds the call key
// until the panel shows; answers whether the condition held.
inline bool HoldKeyUntil(const std::string& key, const std::function<bool()>& condition, DWORD timeoutMs = 15000) {
    if (!Xdotool("keydown " + key))
        return false;
    bool held = testsupport::WaitUntil(condition, timeoutMs);
    return Xdotool("keyup " + key) && held;
}

// Another program in front (notepad or wordpad): started, its window in front and its edit control
// holding the keyboard focus.
class FrontProgram {
public:
    bool Start(const std::wstring& commandLine) {
        if (!m_process.StartCommandLine(commandLine))
            return false;
        if (!testsupport::WaitUntil([&] { return (m_window = TopWindowOf(m_process.Id())) != nullptr; }, 15000))
            return false;
        return testsupport::WaitUntil([&] {
                   HWND focus = FocusOfForeground();
                   if (focus == nullptr || GetAncestor(focus, GA_ROOT) != m_window)
                       return false;
                   std::wstring name = ClassOf(focus);
                   if (name.find(L"Edit") == std::wstring::npos && name.find(L"EDIT") == std::wstring::npos)
                       return false;
                   m_edit = focus;
                   return true;
               }) &&
               testsupport::FocusWindowForKeys(m_window);
    }
    HWND Window() const { return m_window; }
    HWND Edit() const { return m_edit; }
    testsupport::CProgramProcess& GetProcess() { return m_process; }

private:
    testsupport::CProgramProcess m_process;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
};

// The test host program, standing in for the panel.
class Host {
public:
    bool Start() {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        m_outputFile = std::wstring(folder) + L"ovrin-toolbar-host-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        std::wstring eventName = L"OvrinToolbarHostReady" + std::to_wstring(GetCurrentProcessId());
        CHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        std::wstring path = ovrin::GetProgramFolder() + L"toolbar_test_host.exe";
        bool started = m_process.Start(path, eventName + L" \"" + m_outputFile + L"\"");
        if (started) {
            HANDLE waits[2] = {ready.Get(), m_process.Handle()};
            started = WaitForMultipleObjects(2, waits, FALSE, 15000) == WAIT_OBJECT_0;
        }
        m_window = started ? FindWindowW(testhost::kWindowClass, nullptr) : nullptr;
        return m_window != nullptr;
    }
    ~Host() {
        if (m_window != nullptr && IsWindow(m_window)) {
            PostMessageW(m_window, WM_CLOSE, 0, 0);
            WaitForSingleObject(m_process.Handle(), 5000);
        }
        DeleteFileW(m_outputFile.c_str());
    }
    LRESULT Ask(UINT message, WPARAM wParam = 0) { return SendMessageW(m_window, message, wParam, 0); }
    // Asks for a text the host writes to its file; answers it, or "<failed>" when the host wrote nothing.
    std::wstring AskText(UINT message) {
        LRESULT answer = Ask(message);
        if (answer == 0)
            return L"<failed>";
        CFileHandle file(
            CreateFileW(m_outputFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file)
            return L"<failed>";
        std::wstring text(static_cast<std::size_t>(answer - 1), L'\0');
        DWORD read = 0;
        ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
        text.resize(read / sizeof(wchar_t));
        return text;
    }
    HWND Window() const { return m_window; }
    testsupport::CProgramProcess& GetProcess() { return m_process; }

private:
    testsupport::CProgramProcess m_process;
    HWND m_window = nullptr;
    std::wstring m_outputFile;
};

// Runs a shell command line and waits for it; true when it ended with status 0.
inline bool RunShell(const std::string& commandLine) {
    return testsupport::RunUnixCommand(commandLine) == 0;
}

// Runs xdotool with the arguments (for instance "keydown Return sleep 0.6 keyup Return") and waits until
// it has finished: keys reach the X server as a keyboard's would.
inline bool Xdotool(const std::string& arguments) {
    return RunShell("xdotool " + arguments);
}

} // namespace desktop
