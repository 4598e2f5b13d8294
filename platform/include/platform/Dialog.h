// Dialogs made from dialog resources, modeless (Create) or modal (DoModal). A modal dialog runs the
// application's message loop, so the application's pre-dispatch hook and the dialog's own
// PreTranslateMessage see every message, as they do for modeless dialogs.
//
// The message map of a dialog is its HandleMessage: one switch over the messages it handles, each case
// calling a named handler and falling back to CDialog::HandleMessage. Notifications that concern only
// one control (WM_CTLCOLOR*) are first offered to that control's CControl as reflected messages.
#pragma once

#include <windows.h>

class CDialog {
public:
    explicit CDialog(UINT templateId, HINSTANCE module = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window (not shown unless the resource says WS_VISIBLE); false when it cannot be made
    // or OnInitDialog ended it.
    bool Create(HWND parent);
    // Creates the window, disables the parent, shows the window, runs the message loop until EndDialog
    // and destroys the window; returns EndDialog's result, -1 when the window could not be made.
    INT_PTR DoModal(HWND parent);
    // Ends a modal dialog; a modeless one is destroyed.
    void EndDialog(INT_PTR result);
    // Destroys the window now (modeless dialogs); harmless when it is gone.
    void DestroyWindow();

    HWND GetHwnd() const { return m_hwnd; }
    HWND GetItem(int id) const { return GetDlgItem(m_hwnd, id); }
    UINT GetTemplateId() const { return m_templateId; }
    bool IsModal() const { return m_modal; }

    // The dialog object of a window of this process, or null.
    static CDialog* FromHandle(HWND window);

    // Called by the message loop for every message to this window or a window inside it, before
    // dispatch; true when the message is handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& message) { return false; }

protected:
    // The message map. Return true with result set when the message is handled.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND. The default ends the dialog on IDOK and IDCANCEL.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    virtual bool OnNotify(NMHDR* header, LRESULT& result) { return false; }
    virtual void OnSize(UINT type, int width, int height) {}
    virtual void OnDestroy() {}
    // The last message of the window; the object may delete itself here.
    virtual void OnNcDestroy() {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool ReturnsResultDirectly(UINT message);

    UINT m_templateId;
    HINSTANCE m_module;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    bool m_endModal = false;
    INT_PTR m_modalResult = -1;
};
