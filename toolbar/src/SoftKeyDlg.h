// CSoftKeyDlg: the base of the toolbar's child windows with a soft-key bar (the result window and the
// settings, direction and About dialogs): the bar's "OK" and "Отмена", and Back handed on to the
// focused control, where it deletes the character before the caret.
#pragma once

#include "ChildWindow.h"

#include <string>

class CSoftKeyDlg : public CToolbarChildDlg {
public:
    using CToolbarChildDlg::CToolbarChildDlg;

    // A font of the given face and height in pixels.
    static HFONT MakeFont(const wchar_t* face, int height, bool bold);
    // The text of a control.
    static std::wstring ItemText(HWND control);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // "OK" (32783) calls OnOk, "Отмена" (32784) closes; Escape, which is the Back key the bar takes
    // over, closes nothing.
    bool OnCommand(WORD id, WORD code, HWND control) override;
    // The default closes the dialog with IDOK.
    virtual void OnOk() { EndDialog(IDOK); }
};
