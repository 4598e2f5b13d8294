// The program object: one per process. Run calls InitInstance and, when it succeeds, runs the message
// loop until WM_QUIT. Before a message is dispatched, the soft-key bars take their keys, then the
// application's PreTranslateMessage, then the dialog the message belongs to, then the dialog manager
// (tab and arrow navigation); the first that handles it ends its way.
#pragma once

#include <windows.h>

class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The program's object; null while none exists.
    static CApplication* Get() { return s_application; }
    HINSTANCE GetInstance() const { return m_instance; }

    int Run(HINSTANCE instance);

    // One message from the queue through the pre-dispatch chain; false on WM_QUIT (which is put back for
    // an outer loop). Works with or without an application object.
    static bool PumpMessage();

    // The pre-dispatch hook of the whole program; true when the message is handled.
    virtual bool PreTranslateMessage(MSG& message) { return false; }

protected:
    // Set-up; false ends the program at once with the exit code ExitInstance gives.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return m_exitCode; }
    void SetExitCode(int code) { m_exitCode = code; }

private:
    static bool PreDispatch(MSG& message);
    static CApplication* s_application;
    HINSTANCE m_instance = nullptr;
    int m_exitCode = 0;
};
