// CWaitDlg: the small shaped window with one message ("Идёт перевод...") shown while the engine works.
// A release of the Back key sets the stop flag it was handed, which the engine reads while it waits;
// when Back was already down as the window appeared (Back is the call key that opened it), the first
// release is ignored.
#pragma once

#include "BitmapDialog.h"
#include "platform/Handles.h"
#include "platform/Label.h"

#include <string>

class CWaitDlg : public CBitmapDialog {
public:
    static constexpr int kLeft = 12;
    static constexpr int kTop = 45;
    static constexpr UINT kBackKey = VK_ESCAPE;
    // Sent to the window to take it off the screen at once (its owner is done with it): it keeps no
    // visible part, and the stop flag is let go.
    static constexpr UINT kHideMessage = WM_APP + 0x181;

    explicit CWaitDlg(std::wstring message);

    // The flag the engine reads; set to 0 here. Null takes the flag away.
    void SetStopFlag(int* flag);
    bool IgnoresNextBack() const { return m_ignoreNextBack; }
    bool IsReady() const { return m_ready; }

    bool PreTranslateMessage(MSG& message) override;

protected:
    BOOL OnInitDialog() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnBackReleased();
    // The height the message takes in the label's font, broken into lines of width pixels.
    int TextHeight(int width) const;

    std::wstring m_message;
    int* m_stopFlag = nullptr;
    bool m_ignoreNextBack = false;
    bool m_ready = false;
    CLabel m_label;
    CFontHandle m_font;
};
