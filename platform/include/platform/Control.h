// A control of a dialog, or any other window of this process, whose messages an object of ours sees
// first (a subclass of the window's procedure), up to and including its last, WM_NCDESTROY, after
// which the object lets the window go. The dialog hands a control the notifications that concern only
// that control (colours before painting) as reflected messages, kReflectedBase + the message.
#pragma once

#include "platform/MessagesToMember.h"

#include <windows.h>

constexpr UINT kReflectedBase = WM_APP + 0x2000;

class CControl {
public:
    CControl() = default;
    virtual ~CControl();
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    // Takes over the control id of dialog; false when there is none or it is already taken.
    bool SubclassDlgItem(int id, HWND dialog);
    bool Attach(HWND control);
    void Detach();
    HWND GetHwnd() const { return m_hwnd; }

    // The object attached to a control, or null.
    static CControl* FromHandle(HWND control);

protected:
    // Handles a message of the control; false passes it on to the control's own procedure (always, for
    // WM_NCDESTROY).
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    HWND m_hwnd = nullptr;
};

// A control whose messages go to a member function of the object that owns it, for an object that
// watches more than one window.
template <typename Owner, bool (Owner::*Handler)(UINT, WPARAM, LPARAM, LRESULT&)>
using CMemberControl = CMessagesToMember<CControl, Owner, Handler>;
