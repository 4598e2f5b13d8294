// Plain windows of classes of our own, each bound to one object that handles its messages.
//
// A class is registered once per module with CWindow's window procedure. A window made through
// CWindow::Create carries its object from its first message (WM_NCCREATE) to its last (WM_NCDESTROY);
// every message in between goes to the object's HandleMessage, and what it does not handle to
// DefWindowProc. A class whose windows other code makes by its name alone (a window class a library
// offers) is registered with a factory: each such window gets an object of its own, made at its first
// message, which deletes itself in OnNcDestroy.
#pragma once

#include "platform/MessagesToMember.h"

#include <windows.h>

class CWindow {
public:
    // Makes the object of a window of a factory's class.
    using Factory = CWindow* (*)();

    CWindow() = default;
    // Destroys the window when it is still there.
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Registers windowClass (its name, module, style, cursor, brush and icons) with CWindow's window
    // procedure; true when it is registered now or was by this procedure before. A class of that name
    // with another procedure (left by an earlier load of a library) is replaced. With a factory, every
    // window of the class gets the object the factory makes.
    static bool RegisterWindowClass(WNDCLASSEXW windowClass, Factory factory = nullptr);

    // Makes a window of a class registered without a factory, bound to this object; false when it
    // cannot be made or this object has a window already.
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                int height, HWND parent, HMENU menuOrId = nullptr, HINSTANCE module = nullptr);
    // Destroys the window now; harmless when there is none.
    void DestroyWindow();

    HWND GetHwnd() const { return m_hwnd; }

    // The object of a window of one of our classes in this process, or null.
    static CWindow* FromHandle(HWND window);
    // Whether window belongs to this process (a window's properties and user slot mean something only
    // there).
    static bool IsOfThisProcess(HWND window);

protected:
    // The message map. Return true with result set when the message is handled; false passes it on
    // to DefWindowProc.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }
    // The window's last message, after which the object has no window; the object may delete itself.
    virtual void OnNcDestroy() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};

// A window whose messages go to a member function of the object that owns it, for an object with more
// than one window of its own.
template <typename Owner, bool (Owner::*Handler)(UINT, WPARAM, LPARAM, LRESULT&)>
using CMemberWindow = CMessagesToMember<CWindow, Owner, Handler>;
