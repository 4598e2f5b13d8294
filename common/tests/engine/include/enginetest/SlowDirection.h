// Direction 0 of a layout served by the test engine's slow translator (SlowTranslator.dll, kept beside
// the test program): a call signals "OvrinTestEntered" when it begins and answers only once
// "OvrinTestRelease" is set; a text beginning with "quick" is answered at once, one beginning with
// "fail" fails after part of its output. The stopper sets a stop flag on the entry signal.
#pragma once

#include "enginetest/EngineLayout.h"
#include "platform/Handles.h"

#include <thread>

namespace enginetest {

class SlowDirection {
public:
    explicit SlowDirection(EngineLayout& layout) {
        std::wstring folder = layout.MakeDirectionFolder(L"ER", EnglishRussian(), {}, L"SlowTranslator.dll");
        layout.AddDirectionKey(L"ER", DirIdOf(L"ER"), L"ER", folder);
        m_entered.Reset(CreateEventW(nullptr, FALSE, FALSE, L"OvrinTestEntered"));
        m_release.Reset(CreateEventW(nullptr, TRUE, FALSE, L"OvrinTestRelease"));
    }
    SlowDirection(const SlowDirection&) = delete;
    SlowDirection& operator=(const SlowDirection&) = delete;

    bool Ready() const { return m_entered && m_release; }
    // Whether a slow call began within timeoutMs.
    bool WaitEntered(DWORD timeoutMs) { return WaitForSingleObject(m_entered.Get(), timeoutMs) == WAIT_OBJECT_0; }
    std::thread StopOnEntry(int& stop) {
        return std::thread([this, &stop] {
            if (WaitEntered(10000))
                stop = 1;
        });
    }
    void Release() { SetEvent(m_release.Get()); }

private:
    CHandle m_entered;
    CHandle m_release;
};

} // namespace enginetest
