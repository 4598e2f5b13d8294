// The panel's side of page translation for the browser helper: the helper's three messages (0x405
// opens the wait window "Анализ HTML", WM_COPYDATA names the file to translate in place, 0x406 closes
// the wait window) answered through the page exchange of pagetrans, with the panel's wait window and
// engine client.
#pragma once

#include "WaitWindow.h"

#include "common/EngineClient.h"
#include "pagetrans/PageRequests.h"

#include <windows.h>

namespace pagelink {

class CPageLink : public ovrin::CPageRequestHost {
public:
    // engine and stopFlag belong to the panel and outlive the link.
    CPageLink(CEngineClient& engine, int* stopFlag) : m_engine(engine), m_stopFlag(stopFlag), m_requests(*this) {}

    // The panel's window procedure calls this first: true for the helper's three messages, with their
    // answer.
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
        return m_requests.HandleMessage(message, wParam, lParam, answer);
    }

    void OpenWaitWindow(unsigned stringId) override;
    void CloseWaitWindow() override { m_wait.Close(); }
    bool TranslateText(const std::wstring& text, std::wstring& result) override;

private:
    CEngineClient& m_engine;
    int* m_stopFlag;
    CWaitWindow m_wait;
    ovrin::CPageRequests m_requests;
};

} // namespace pagelink
