// CHotKeyHook: hot key registration, the poll thread and the decisions of the hook window.
#include "HotKeyHook.h"
#include "common/Protocol.h"

#include "common/Registry.h"
#include "platform/Wait.h"

namespace {

// An input method that handles the Back key itself; with it installed the key is replayed as it is.
constexpr wchar_t kBackKeyInputMethod[] = L"Software\\Apps\\GuoBi GBIme";
// The shell's hot key for the Back key, and the flag of its release, as the device delivers them.
constexpr WPARAM kBackHotKeyId = 2;
constexpr WORD kBackKeyReleased = 0x1000;
constexpr UINT kForeignMessageTimeoutMs = 2000;

void SynthesiseKeyPress(BYTE virtualKey) {
    keybd_event(virtualKey, 0, 0, 0);
    keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
}

bool BackKeyInputMethodInstalled() {
    return CRegistryKey::Exists(HKEY_LOCAL_MACHINE, kBackKeyInputMethod);
}

} // namespace

CHotKeyHook::~CHotKeyHook() {
    Destroy();
}

bool CHotKeyHook::Create(HWND panel) {
    if (m_hookWindow.GetHwnd() != nullptr || panel == nullptr)
        return false;
    HWND window = CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"KeyHookWnd", WS_CHILD, -20, -20, -20, -20, panel,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        return false;
    if (!m_hookWindow.Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    m_panel = panel;
    return true;
}

bool CHotKeyHook::ApplyKey(UINT code) {
    CAppSettings::WriteInt(ovrin::protocol::kToolbarSection, ovrin::protocol::kCallKeySetting, static_cast<int>(code));
    m_key = code;
    Unregister();
    FreeKeyFromShell(code);
    return Register();
}

bool CHotKeyHook::Register() {
    if (m_key == 0 || m_hookWindow.GetHwnd() == nullptr)
        return false;
    return RegisterHotKey(m_hookWindow.GetHwnd(), kHotKeyId, 0, m_key) != FALSE;
}

void CHotKeyHook::Unregister() {
    if (m_hookWindow.GetHwnd() != nullptr)
        UnregisterHotKey(m_hookWindow.GetHwnd(), kHotKeyId);
}

void CHotKeyHook::Destroy() {
    Unregister();
    StopPolling();
    WaitForPollThread();
    // The panel may be gone already, and its child with it (which let the object go).
    if (HWND window = m_hookWindow.GetHwnd()) {
        m_hookWindow.Detach();
        DestroyWindow(window);
    }
    m_panel = nullptr;
}

// The handheld's shell keeps some keys for itself until they are freed by name; desktop Win32 has no
// such call, and there the key is simply registered.
void CHotKeyHook::FreeKeyFromShell(UINT key) {
    HMODULE module = LoadLibraryW(L"coredll.dll");
    if (module == nullptr)
        return;
    using UnregisterFunction = BOOL(WINAPI*)(UINT, UINT);
    auto unregisterFunc1 =
        reinterpret_cast<UnregisterFunction>(reinterpret_cast<void*>(GetProcAddress(module, "UnregisterFunc1")));
    if (unregisterFunc1 == nullptr) {
        FreeLibrary(module);
        return;
    }
    unregisterFunc1(0, key);
}

bool CHotKeyHook::OnHookWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_HOTKEY:
        if (wParam == kHotKeyId && !m_poll.running)
            OnHotKey();
        return false;
    case WM_TIMER:
        if (wParam == kPollTimerId)
            OnPollStep();
        return false;
    default:
        return false;
    }
}

void CHeldKeyPress::Begin() {
    m_heldTime = 0;
    m_fired = false;
}

CHeldKeyPress::Step CHeldKeyPress::OnPollStep(bool keyDown) {
    if (keyDown) {
        m_heldTime += m_interval;
        if (m_heldTime <= m_threshold)
            return Step::Holding;
        m_fired = true;
        m_heldTime = 0;
        return Step::Signal;
    }
    // Whatever the time held, a press that has not signalled is short: one released exactly at the
    // threshold is replayed, not dropped.
    Step step = m_fired ? Step::Released : Step::Replay;
    Begin();
    return step;
}

void CHotKeyHook::OnHotKey() {
    m_press.Begin();
    StartPolling();
}

void CHotKeyHook::OnPollStep() {
    if (m_key == 0 || !m_poll.running)
        return;
    bool keyDown = (GetAsyncKeyState(static_cast<int>(m_key)) & 0x8000) != 0;
    switch (m_press.OnPollStep(keyDown)) {
    case CHeldKeyPress::Step::Holding:
        return;
    case CHeldKeyPress::Step::Signal:
        SendMessageW(m_panel, WM_HOTKEY, kHotKeyId, static_cast<LPARAM>(m_key));
        return;
    case CHeldKeyPress::Step::Replay:
        Unregister();
        ReplayShortPress();
        Register();
        break;
    case CHeldKeyPress::Step::Released:
        break;
    }
    StopPolling();
}

void CHotKeyHook::ReplayShortPress() {
    if (m_key == kBackKey && !BackKeyInputMethodInstalled()) {
        ReplayBackKey();
        return;
    }
    SynthesiseKeyPress(static_cast<BYTE>(m_key & 0xFF));
}

// In an edit control with text the Back key deletes the character before the caret; elsewhere the
// program in front gets the Back key as the shell's hot key, pressed and then released.
void CHotKeyHook::ReplayBackKey() {
    HWND target = m_capture.GetTargetWindow();
    if (target != nullptr && m_capture.CanTakeTextFrom(target, false) && CTextCapture::HoldsText(target)) {
        SynthesiseKeyPress(VK_BACK);
        return;
    }
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr)
        return;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(foreground, WM_HOTKEY, kBackHotKeyId, MAKELPARAM(0, kBackKey), SMTO_ABORTIFHUNG,
                        kForeignMessageTimeoutMs, &answer);
    SendMessageTimeoutW(foreground, WM_HOTKEY, kBackHotKeyId, MAKELPARAM(kBackKeyReleased, kBackKey), SMTO_ABORTIFHUNG,
                        kForeignMessageTimeoutMs, &answer);
}

bool CHotKeyHook::StartPolling() {
    // A finished poll thread cleared its flag before it went: it sends nothing more, so waiting is brief.
    WaitForPollThread();
    m_poll.target = m_hookWindow.GetHwnd();
    m_poll.running = true;
    m_poll.thread.Reset(CreateThread(nullptr, 0, PollThreadMain, &m_poll, 0, nullptr));
    if (!m_poll.thread) {
        m_poll.running = false;
        return false;
    }
    return true;
}

void CHotKeyHook::StopPolling() {
    m_poll.running = false;
}

// Waits for the poll thread to end while still answering what it sends, so that neither side waits on
// the other.
void CHotKeyHook::WaitForPollThread() {
    if (!m_poll.thread)
        return;
    platform::WaitAnsweringSentMessages(m_poll.thread.Get(), INFINITE);
    m_poll.thread.Reset();
}

// Wakes the hook window every 25 ms on a fixed schedule read from the tick count, so that the steps
// add up to the time the key was really held.
DWORD WINAPI CHotKeyHook::PollThreadMain(void* parameter) {
    auto& poll = *static_cast<PollThread*>(parameter);
    DWORD next = GetTickCount() + poll.interval;
    while (poll.running) {
        auto wait = static_cast<LONG>(next - GetTickCount());
        if (wait > 0)
            Sleep(static_cast<DWORD>(wait));
        if (!poll.running)
            break;
        SendMessageW(poll.target, WM_TIMER, poll.timerId, 0);
        next += poll.interval;
        // After a long stall (the window's thread busy elsewhere) the schedule starts afresh.
        if (static_cast<LONG>(GetTickCount() - next) > static_cast<LONG>(4 * poll.interval))
            next = GetTickCount() + poll.interval;
    }
    return 0;
}
