// CHotKeyHook: the toolbar's call key. The key is registered as a system hot key on a hidden child
// window of the panel ("KeyHookWnd"); while it is held a poll thread wakes the window every 25 ms, and
// the window decides on the panel's thread: held beyond 500 ms it signals the panel (WM_HOTKEY 47903,
// again every further 500 ms while held); released earlier, the press is replayed to the program in
// front with the hot key unregistered meanwhile, so the key keeps its ordinary meaning there.
#pragma once

#include "TextCapture.h"
#include "platform/Control.h"
#include "platform/Handles.h"

#include <windows.h>

#include <atomic>

// One press of the call key, poll step by poll step: how long it has been held and what the hook
// window is to do at each step. A press is long once a signal has gone out during it, and short
// otherwise: a press released at any step before its first signal is replayed, so that none is lost.
class CHeldKeyPress {
public:
    enum class Step {
        Holding,  // down, no signal due
        Signal,   // down past the threshold: signal the panel (again every further threshold)
        Replay,   // released before any signal: a short press, to be replayed
        Released, // released after a signal
    };

    CHeldKeyPress(unsigned intervalMs, unsigned thresholdMs) : m_interval(intervalMs), m_threshold(thresholdMs) {}

    // A fresh press: nothing held, nothing signalled.
    void Begin();
    // One poll step with the key's state at that step.
    Step OnPollStep(bool keyDown);
    unsigned HeldTime() const { return m_heldTime; }
    bool Fired() const { return m_fired; }

private:
    unsigned m_interval;
    unsigned m_threshold;
    unsigned m_heldTime = 0;
    bool m_fired = false;
};

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
    HWND GetHookWindow() const { return m_hookWindow.GetHwnd(); }
    bool IsPolling() const { return m_poll.running; }

private:
    struct PollThread {
        std::atomic<bool> running{false};
        HWND target = nullptr;
        UINT_PTR timerId = kPollTimerId;
        DWORD interval = kPollIntervalMs;
        CHandle thread;
    };

    // The hook window's messages: the hot key and the poll timer come to it.
    bool OnHookWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static DWORD WINAPI PollThreadMain(void* parameter);
    static void FreeKeyFromShell(UINT key);

    void OnHotKey();
    void OnPollStep();
    bool StartPolling();
    void StopPolling();
    void WaitForPollThread();
    void ReplayShortPress();
    void ReplayBackKey();

    CMemberControl<CHotKeyHook, &CHotKeyHook::OnHookWindowMessage> m_hookWindow{*this};
    HWND m_panel = nullptr;
    UINT m_key = 0;
    CHeldKeyPress m_press{kPollIntervalMs, kLongPressMs};
    PollThread m_poll;
    CTextCapture m_capture;
};
