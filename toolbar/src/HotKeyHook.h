// CHotKeyHook: the toolbar's call key. The key is registered as a system hot key on a hidden child
// window of the panel ("KeyHookWnd"); while it is held a poll thread wakes the window every 25 ms, and
// the window decides on the panel's thread: held beyond 500 ms it signals the panel (WM_HOTKEY 47903,
// again every further 500 ms while held); released earlier, the press is replayed to the program in
// front with the hot key unregistered meanwhile, so the key keeps its ordinary meaning there.
#pragma once

#include "TextCapture.h"

#include <windows.h>

#include <atomic>

class CHotKeyHook {
public:
    static constexpr int kHotKeyId = 47903;
    static constexpr UINT_PTR kPollTimerId = 1002;
    static constexpr DWORD kPollIntervalMs = 25;
    static constexpr unsigned kLongPressMs = 500;
    // The handheld's Back key, whose short press is replayed as the device would deliver it.
    static constexpr UINT kBackKey = 27;

    CHotKeyHook() = default;
    ~CHotKeyHook();
    CHotKeyHook(const CHotKeyHook&) = delete;
    CHotKeyHook& operator=(const CHotKeyHook&) = delete;

    // Creates the hook window under the panel, which also receives the long-press signal.
    bool Create(HWND panel);
    // Stores the code as the toolbar's "key" setting, keeps it and registers it afresh; false when the
    // key could not be registered (always for code 0).
    bool ApplyKey(UINT code);
    bool Register();
    void Unregister();
    // Unregisters the key, stops the poll thread and removes the hook window.
    void Destroy();

    UINT GetKey() const { return m_key; }
    HWND GetHookWindow() const { return m_hookWindow; }
    bool IsPolling() const { return m_poll.running; }

private:
    struct PollThread {
        std::atomic<bool> running{false};
        HWND target = nullptr;
        UINT_PTR timerId = kPollTimerId;
        DWORD interval = kPollIntervalMs;
        HANDLE thread = nullptr;
    };

    static LRESULT CALLBACK HookWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI PollThreadMain(void* parameter);
    static void FreeKeyFromShell(UINT key);

    void OnHotKey();
    void OnPollStep();
    bool StartPolling();
    void StopPolling();
    void WaitForPollThread();
    void ReplayShortPress();
    void ReplayBackKey();

    HWND m_hookWindow = nullptr;
    WNDPROC m_previousProc = nullptr;
    HWND m_panel = nullptr;
    UINT m_key = 0;
    unsigned m_heldTime = 0;
    bool m_fired = false;
    PollThread m_poll;
    CTextCapture m_capture;
};
