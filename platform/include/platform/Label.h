// A static text control of a dialog with its own text colour and, optionally, a bold face.
#pragma once

#include "platform/Control.h"
#include "platform/Handles.h"

#include <string>

class CLabel : public CControl {
public:
    void SetText(const std::wstring& text);
    std::wstring GetText() const;
    // Colour of the text; the background stays the dialog's.
    void SetTextColor(COLORREF color);
    // The control's font in bold (the label owns the new font).
    void SetBold();
    // The control's font at a height in pixels (the label owns the new font).
    void SetFontHeight(int height);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Replaces the control's font by a copy that change has adjusted, and repaints.
    template <typename Change>
    void ChangeFont(Change change);

    COLORREF m_textColor = GetSysColor(COLOR_WINDOWTEXT);
    CFontHandle m_font;
};
