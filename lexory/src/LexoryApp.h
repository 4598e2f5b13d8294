// The dictionary program: one running copy, the command-line word, the lookup window run modally.
#pragma once

#include "MyCommandLineInfo.h"
#include "platform/Application.h"

class CLexoryApp : public CApplication {
public:
    static constexpr wchar_t kWindowClass[] = L"LexoryWndClass";

    // Brings a running copy's lookup window to the front, before anything else runs.
    CLexoryApp();

    CMyCommandLineInfo m_commandLine;

protected:
    bool InitInstance() override;

private:
    static bool ActivateRunningCopy();
    static bool RegisterWindowClass();
};
