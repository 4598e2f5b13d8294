// CWaitWindow: a CWaitDlg on a thread of its own, for as long as one engine call runs. The calling
// thread blocks in the engine, so the window needs its own message loop to keep painting and to see the
// Back key that stops the translation.
//
// The window has no owner: owning it by the program in front would join the two threads' input, and a
// busy owner would then hold up the keys meant for the wait window. It stays on top instead.
//
// Closing takes the window off the screen before it returns (it keeps no visible part) but does not
// wait for the window to be gone: its thread hides and destroys it and then ends, while the caller goes
// on (hiding or destroying a shown window takes a while under some window systems). The stop flag is
// let go at once.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

class CEngineClient;
class CWaitDlg;

class CWaitWindow {
public:
    CWaitWindow();
    ~CWaitWindow();
    CWaitWindow(const CWaitWindow&) = delete;
    CWaitWindow& operator=(const CWaitWindow&) = delete;

    // Shows a wait window with message and hands it stopFlag (which becomes 0); returns once the window
    // is shown (false when it could not be made, or when it was not up within 10 s: Close still takes
    // down a window its thread makes later). A window already open is closed first.
    bool Open(const std::wstring& message, int* stopFlag);
    // Takes the window off the screen and ends its message loop; the window goes with its thread.
    // Harmless when none is open.
    void Close();
    HWND GetHwnd() const;
    // Whether the window still waits for the release of a Back key held when it opened.
    bool IgnoresNextBack() const;
    // For tests: called on the window's thread before it makes the window (null for none).
    static void SetCreationHookForTests(std::function<void()> hook);

private:
    struct Shared;
    static DWORD WINAPI ThreadMain(void* parameter);

    std::shared_ptr<Shared> m_shared;
    DWORD m_threadId = 0;
};

namespace translationrun {

// Translates text through the engine while a wait window with string 12 is shown; a failed translation
// gives an empty result, a stopped one the translation of the lines done.
std::wstring TranslateWithWaitWindow(CEngineClient& engine, int* stopFlag, const std::wstring& text);

// Whether the engine has translated or listed directions or subjects since the program started (the
// first listing opens engines and takes a while).
bool EngineUsed();
void MarkEngineUsed();
// As at the program's start (for tests of the first use).
void ForgetEngineUse();

} // namespace translationrun
