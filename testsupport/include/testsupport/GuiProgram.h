// What every GUI test needs, Windows build only: a program under test started as a real process and
// ended with the test, waits on conditions (never fixed sleeps), windows found by class or title,
// control texts read through messages, the keyboard given to a window through the window manager, keys
// typed through the X server with xdotool (keydown, wait, keyup, as a keyboard does) and screenshots of
// the harness display with ImageMagick.
//
// Linux programs are started from inside Wine as the shell command of a Unix /bin/sh; its end is
// seen by the exit status it writes into a marker file.
#pragma once

#ifdef _WIN32

#include "testsupport/ProgramProcess.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// Polls condition until it holds or timeout passes; true when it held. Each poll gives up the
// processor for a moment, so a program under test on the same cores runs on.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(15000)) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (condition())
            return true;
        // A condition that came true as the time ran out still counts.
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
inline bool WaitUntil(const std::function<bool()>& condition, unsigned long milliseconds) {
    return WaitUntil(condition, std::chrono::milliseconds(milliseconds));
}

// The process that owns a window.
inline DWORD WindowProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// A visible top-level window of className (and title, when given) owned by processId (any process when
// 0); null when there is none.
inline HWND FindProgramWindow(const wchar_t* className, const wchar_t* title = nullptr, DWORD processId = 0) {
    for (HWND window = FindWindowExW(nullptr, nullptr, className, title); window != nullptr;
         window = FindWindowExW(nullptr, window, className, title)) {
        if ((processId == 0 || WindowProcess(window) == processId) && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

inline HWND WaitForWindow(const wchar_t* className, const wchar_t* title = nullptr, DWORD processId = 0,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(15000)) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProgramWindow(className, title, processId)) != nullptr; }, timeout);
    return found;
}

// A control's text through WM_GETTEXT (works across processes).
inline std::wstring ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    return text;
}

// A shell command run on the Linux side of the harness, started at once and running beside the test
// (a key held through the X server while the test watches its effect). A Unix program started from Wine
// gives no process to wait on, so the shell writes the command's exit status into a marker file when it
// is done. The object waits for the command when it goes, unless Wait was called.
class CUnixCommand {
public:
    explicit CUnixCommand(const std::string& command) {
        static int counter = 0;
        std::string marker =
            "/tmp/ovrin-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        m_markerPath = L"Z:" + std::wstring(marker.begin(), marker.end());
        DeleteFileW(m_markerPath.c_str());
        std::string shellCommand =
            "(" + command + ") >/dev/null 2>&1; echo $? > " + marker + ".tmp && mv " + marker + ".tmp " + marker;
        std::wstring commandLine = L"/bin/sh -c \"";
        for (char c : shellCommand)
            commandLine += (c == '"' || c == '\\') ? std::wstring(L"\\") + static_cast<wchar_t>(c) : std::wstring(1, c);
        commandLine += L"\"";
        m_started = static_cast<bool>(StartProcess(L"Z:\\bin\\sh", commandLine));
    }
    ~CUnixCommand() {
        if (!m_waited)
            Wait();
    }
    CUnixCommand(const CUnixCommand&) = delete;
    CUnixCommand& operator=(const CUnixCommand&) = delete;

    // The command's exit status, or -1 when it could not be started or did not end within timeout.
    int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        m_waited = true;
        if (!m_started || m_status >= 0)
            return m_status;
        if (!WaitUntil([&] { return GetFileAttributesW(m_markerPath.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout))
            return -1;
        std::ifstream in{std::filesystem::path(m_markerPath)};
        in >> m_status;
        in.close();
        DeleteFileW(m_markerPath.c_str());
        return m_status;
    }

private:
    std::wstring m_markerPath;
    bool m_started = false;
    bool m_waited = false;
    int m_status = -1;
};

// Runs a shell command on the Linux side of the harness and waits for it to end; its exit status, or
// -1 when it could not be started or did not end in time.
inline int RunUnixCommand(const std::string& command, std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    return CUnixCommand(command).Wait(timeout);
}

// Keys through the X server, as a keyboard sends them: each key pressed, then released. keys are
// xdotool key names ("h", "Return", "space", "F1").
inline bool TypeKeys(const std::vector<std::string>& keys) {
    if (keys.empty())
        return true;
    std::string command = "xdotool";
    for (const std::string& key : keys)
        command += " keydown " + key + " keyup " + key;
    return RunUnixCommand(command) == 0;
}

// ASCII letters, digits and spaces as X keys.
inline std::vector<std::string> KeyNames(const std::string& text) {
    std::vector<std::string> keys;
    for (char c : text)
        keys.push_back(c == ' ' ? std::string("space") : std::string(1, c));
    return keys;
}

// The X window that shows a top-level Wine window (Wine keeps its id as a window property, which any
// process of the session can read); 0 when it has none (not shown yet).
inline unsigned long long XWindowOf(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    return reinterpret_cast<UINT_PTR>(GetPropW(root != nullptr ? root : window, L"__wine_x11_whole_window"));
}

// Gives the keyboard to window as a user does, by bringing it in front: the window manager activates
// (raises) its X window, the X focus goes to it, and Wine makes it the foreground window, whose thread
// gets the keys typed through the X server from then on. (The window manager gives Wine's windows the
// X focus only when asked: it leaves the focus with the pointer otherwise, and Wine hands each key to its
// foreground window whichever of its X windows received it.)
inline bool FocusWindowForKeys(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    if (root == nullptr)
        return false;
    unsigned long long xWindow = 0;
    if (!WaitUntil([&] { return (xWindow = XWindowOf(root)) != 0; }))
        return false;
    std::string id = std::to_string(xWindow);
    // (No --sync for the activation: the window manager does not always say which window is active.)
    // A window Wine has only just made may not be mapped yet, and the X server refuses the focus to it
    // (xdotool fails at once): the request is made again until it is taken.
    if (!WaitUntil([&] { return RunUnixCommand("xdotool windowactivate " + id + " windowfocus --sync " + id) == 0; }))
        return false;
    // Wine may hold on to a window it embeds in the top bar (a notification icon's) as its foreground
    // window: the window is brought in front on Wine's side too.
    return WaitUntil([&] {
        if (GetForegroundWindow() == root)
            return true;
        SetForegroundWindow(root);
        return false;
    });
}

// The window drawn anew, frames and children included, what lay over it gone, before a screenshot is
// taken (another process's window: its thread has drawn it once the WM_NULL comes back).
inline void Redrawn(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
}

// A screenshot of the whole harness display into a PNG file (a Windows path of the Unix file system).
inline bool Screenshot(const std::string& unixPath) {
    return RunUnixCommand("import -window root '" + unixPath + "'") == 0;
}

// A screenshot of the whole display into the repository's out/ folder (made when missing), for a
// person to look at: out/name.
inline bool ScreenshotIntoOut(const std::string& name) {
    const std::string folder = OVRIN_OUT_FOLDER;
    return RunUnixCommand("mkdir -p '" + folder + "'") == 0 && Screenshot(folder + "/" + name);
}

} // namespace testsupport

#endif // _WIN32
