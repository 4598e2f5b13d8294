// CTextCapture: the edit control that has the keyboard focus in the program in front. It tells whether
// text can be taken from it, reads its whole text, and runs selection mode, in which the arrow keys
// select text in that control (read-only meanwhile) until the toolbar takes the selection.
//
// Another program's window procedure cannot be replaced on desktop Win32, so selection mode watches the
// keyboard through a low-level keyboard hook on the thread that starts it (that thread must keep pumping
// messages): an arrow key-down meant for the target control is consumed there and replayed to the control
// as a key-down and key-up, which move its caret, before the selection is stretched from the anchor.
#pragma once

#include "platform/Handles.h"

#include <windows.h>

#include <string>

class CTextCapture {
public:
    // How often and how far apart the focused control of the program in front is asked for.
    static constexpr int kTargetTries = 3;
    static constexpr DWORD kTargetRetryMs = 250;

    CTextCapture();
    ~CTextCapture();
    CTextCapture(const CTextCapture&) = delete;
    CTextCapture& operator=(const CTextCapture&) = delete;

    // The control with the keyboard focus in the program in front; 0 when there is none after three tries
    // 250 ms apart.
    HWND GetTargetWindow();

    // Whether text can be taken from the target: its class name holds "edit" (any case); with strict also
    // writable, not a window of this program, and not empty.
    bool CanTakeText(bool strict);
    bool CanTakeTextFrom(HWND window, bool strict) const;

    // The target's whole text; empty when there is no target.
    std::wstring GetWholeText();

    static bool IsRichEdit(HWND window);
    // Whether a window, of this program or another, holds any text.
    static bool HoldsText(HWND window);

    // Selection mode on the target. Start fails when there is no target or another capture object is in
    // selection mode already. End gives the selected text and leaves the control writable with its
    // selection removed; it is harmless when the control or its program has gone meanwhile.
    bool StartSelection();
    std::wstring EndSelection();
    bool IsSelectionMode() const { return m_selectionMode; }
    // The toolbar's call key. In selection mode the key itself, pressed on the keyboard, passes the hook
    // untouched so that it still reaches the system as the hot key (held, it ends selection mode); its
    // short press comes back replayed by the call key's hook and then moves the selection like any other
    // arrow key.
    void SetCallKey(UINT key) { m_callKey = key; }
    HWND GetSelectionTarget() const { return m_target; }
    // The selection so far, as end selection would give it.
    const std::wstring& GetSelectedText() const { return m_selectedText; }

    // The text between two positions of a control's whole text, with every line break a CR LF pair.
    // A rich edit control counts a line break as one position; a plain edit control counts CR LF as two.
    static std::wstring CutSelectedText(const std::wstring& wholeText, bool richEdit, long start, long end);

private:
    using ForegroundTargetFunction = HWND(WINAPI*)();

    static LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
    bool IsKeyForTarget() const;
    // One arrow key event seen by the hook; true when the key is consumed.
    bool OnArrowKey(UINT virtualKey, bool keyDown, const KBDLLHOOKSTRUCT& event);
    void RebuildSelectedText();

    ForegroundTargetFunction m_foregroundTarget = nullptr;
    CModuleHandle m_platformModule;
    HWND m_target = nullptr;
    HHOOK m_keyboardHook = nullptr;
    UINT m_callKey = 0;
    bool m_selectionMode = false;
    // A control that was read-only before selection mode stays so after it.
    bool m_wasReadOnly = false;
    long m_anchor = -1;
    std::wstring m_selectedText;
};
