// The wait window's thread, and a translation run under it.
#include "WaitWindow.h"

#include "WaitDlg.h"
#include "common/EngineClient.h"
#include "platform/Application.h"
#include "platform/Handles.h"
#include "platform/Resources.h"
#include "resource.h"

#include <atomic>
#include <mutex>

namespace {

constexpr DWORD kShowTimeoutMs = 10000;
constexpr DWORD kHideTimeoutMs = 5000;
std::atomic<bool> s_engineUsed{false};
std::mutex s_creationHookLock;
std::function<void()> s_creationHook;

} // namespace

// What the window's thread and its opener share; the thread keeps it until the window is gone.
struct CWaitWindow::Shared {
    explicit Shared(const std::wstring& message) : dialog(message) {}
    CWaitDlg dialog;
    int* stopFlag = nullptr;
    CHandle shown{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::mutex lock; // guards created, running and closing
    bool created = false;
    bool running = false; // the window is up and its thread pumps its messages
    bool closing = false; // Close came: a window made after it is never shown
};

void CWaitWindow::SetCreationHookForTests(std::function<void()> hook) {
    std::lock_guard<std::mutex> lock(s_creationHookLock);
    s_creationHook = std::move(hook);
}

CWaitWindow::CWaitWindow() = default;

CWaitWindow::~CWaitWindow() {
    Close();
}

bool CWaitWindow::Open(const std::wstring& message, int* stopFlag) {
    Close();
    auto shared = std::make_shared<Shared>(message);
    shared->stopFlag = stopFlag;
    if (!shared->shown)
        return false;
    auto* handOver = new std::shared_ptr<Shared>(shared);
    CHandle thread(CreateThread(nullptr, 0, ThreadMain, handOver, 0, &m_threadId));
    if (!thread) {
        delete handOver;
        return false;
    }
    HANDLE waits[2] = {shared->shown.Get(), thread.Get()};
    WaitForMultipleObjects(2, waits, FALSE, kShowTimeoutMs);
    // Kept even when the window is not up yet: its thread may still make it, and Close must take it
    // down then (a topmost window left on the screen otherwise).
    m_shared = shared;
    std::lock_guard<std::mutex> lock(shared->lock);
    return WaitForSingleObject(shared->shown.Get(), 0) == WAIT_OBJECT_0 && shared->created;
}

DWORD WINAPI CWaitWindow::ThreadMain(void* parameter) {
    std::shared_ptr<Shared> shared = std::move(*static_cast<std::shared_ptr<Shared>*>(parameter));
    delete static_cast<std::shared_ptr<Shared>*>(parameter);
    CWaitDlg& dialog = shared->dialog;
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> lock(s_creationHookLock);
        hook = s_creationHook;
    }
    if (hook)
        hook();
    bool created = dialog.Create(nullptr);
    bool closing = false;
    {
        std::lock_guard<std::mutex> lock(shared->lock);
        shared->created = created;
        closing = shared->closing;
        shared->running = created && !closing;
    }
    if (created && closing) { // made after Close: never shown, and the stop flag is not touched
        dialog.DestroyWindow();
        SetEvent(shared->shown.Get());
        return 0;
    }
    if (created) {
        dialog.SetStopFlag(shared->stopFlag);
        // In front, so that the keys come here (Back stops the translation).
        ShowWindow(dialog.GetHwnd(), SW_SHOW);
        SetForegroundWindow(dialog.GetHwnd());
        UpdateWindow(dialog.GetHwnd());
    }
    SetEvent(shared->shown.Get());
    if (!shared->created)
        return 0;
    while (dialog.GetHwnd() != nullptr && CApplication::PumpMessage()) {
    }
    dialog.SetStopFlag(nullptr);
    ShowWindow(dialog.GetHwnd(), SW_HIDE);
    dialog.DestroyWindow();
    return 0;
}

void CWaitWindow::Close() {
    if (!m_shared)
        return;
    bool running = false;
    {
        std::lock_guard<std::mutex> lock(m_shared->lock);
        m_shared->closing = true;
        running = m_shared->running;
    }
    // Off the screen before Close returns, so that whatever the caller shows next never lies under it;
    // the window's thread answers at once, since it does nothing but pump messages.
    HWND window = running ? m_shared->dialog.GetHwnd() : nullptr;
    if (window != nullptr) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, CWaitDlg::kHideMessage, 0, 0, SMTO_NORMAL, kHideTimeoutMs, &ignored);
    }
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    m_shared.reset();
}

HWND CWaitWindow::GetHwnd() const {
    return m_shared ? m_shared->dialog.GetHwnd() : nullptr;
}

bool CWaitWindow::IgnoresNextBack() const {
    return m_shared && m_shared->dialog.IgnoresNextBack();
}

namespace translationrun {

std::wstring TranslateWithWaitWindow(CEngineClient& engine, int* stopFlag, const std::wstring& text) {
    CWaitWindow wait;
    wait.Open(platform::LoadResString(IDS_TRANSLATING), stopFlag);
    std::wstring result;
    CTranslationStop stop;
    if (!engine.TranslateText(text, result, &stop) && !stop.stopped)
        result.clear();
    MarkEngineUsed();
    wait.Close();
    return result;
}

bool EngineUsed() {
    return s_engineUsed;
}

void MarkEngineUsed() {
    s_engineUsed = true;
}

void ForgetEngineUse() {
    s_engineUsed = false;
}

} // namespace translationrun
