// The launcher program: no window and no message loop; it parses its command line, runs one launch
// and ends. Every failure ends it silently.
#pragma once

#include "MyCommandLineInfo.h"
#include "platform/Application.h"

class COvloaderApp : public CApplication {
public:
    CMyCommandLineInfo m_commandLine;

protected:
    bool InitInstance() override;
};
