// The dictionary program: one running copy, the command-line word, the lookup window run modally.
#pragma once

#include "MyCommandLineInfo.h"
#include "platform/Application.h"
#include "platform/Handles.h"

#include <windows.h>

class CLexoryApp : public CApplication {
public:
    static constexpr wchar_t kWindowClass[] = L"LexoryWndClass";

    // Brings a running copy's lookup window to the front, before anything else runs.
    CLexoryApp();
    ~CLexoryApp() override;

    CMyCommandLineInfo m_commandLine;

    // The lookup window's class, which its dialog resource names.
    static bool RegisterWindowClass();

protected:
    bool InitInstance() override;

private:
    // True when another copy runs: its window is brought to the front, and this copy ends.
    bool ActivateRunningCopy();

    CHandle m_singleCopy;
    HWND m_otherCopy = nullptr; // HWND_BROADCAST: a copy runs whose window never came
};
