// The wait window's thread, and a translation run under it.
#include "WaitWindow.h"

#include "WaitDlg.h"
#include "common/EngineClient.h"
#include "platform/Application.h"
#include "platform/Resources.h"
#include "resource.h"

#include <atomic>

namespace {

constexpr DWORD kShowTimeoutMs = 10000;
std::atomic<bool> s_engineUsed{false};

} // namespace

CWaitWindow::CWaitWindow() = default;

CWaitWindow::~CWaitWindow() {
    Close();
}

bool CWaitWindow::Open(const std::wstring& message, int* stopFlag) {
    Close();
    m_dialog = std::make_unique<CWaitDlg>(message);
    m_stopFlag = stopFlag;
    m_created = false;
    m_shown.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &m_threadId));
    if (!m_thread || !m_shown) {
        m_thread.Reset();
        m_dialog.reset();
        return false;
    }
    HANDLE waits[2] = {m_shown.Get(), m_thread.Get()};
    WaitForMultipleObjects(2, waits, FALSE, kShowTimeoutMs);
    return m_created;
}

DWORD WINAPI CWaitWindow::ThreadMain(void* parameter) {
    auto* self = static_cast<CWaitWindow*>(parameter);
    CWaitDlg& dialog = *self->m_dialog;
    self->m_created = dialog.Create(nullptr);
    if (self->m_created) {
        dialog.SetStopFlag(self->m_stopFlag);
        // In front, so that the keys come here (Back stops the translation).
        ShowWindow(dialog.GetHwnd(), SW_SHOW);
        SetForegroundWindow(dialog.GetHwnd());
        UpdateWindow(dialog.GetHwnd());
    }
    SetEvent(self->m_shown.Get());
    if (!self->m_created)
        return 0;
    while (dialog.GetHwnd() != nullptr && CApplication::PumpMessage()) {
    }
    dialog.DestroyWindow();
    return 0;
}

void CWaitWindow::Close() {
    if (!m_dialog)
        return;
    if (m_thread) {
        // The loop ends with WM_QUIT and the window is destroyed on its own thread.
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread.Get(), INFINITE);
    }
    m_thread.Reset();
    m_dialog.reset();
}

HWND CWaitWindow::GetHwnd() const {
    return m_dialog ? m_dialog->GetHwnd() : nullptr;
}

bool CWaitWindow::IgnoresNextBack() const {
    return m_dialog && m_dialog->IgnoresNextBack();
}

namespace translationrun {

std::wstring TranslateWithWaitWindow(CEngineClient& engine, int* stopFlag, const std::wstring& text) {
    CWaitWindow wait;
    wait.Open(platform::LoadResString(IDS_TRANSLATING), stopFlag);
    std::wstring result;
    if (!engine.TranslateText(text, result))
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

} // namespace translationrun
