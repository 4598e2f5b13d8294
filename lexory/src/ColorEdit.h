// The lookup window's edit box, which paints its own background: neutral while the typed text leads
// to a headword, another colour when it does not. The colour is also kept as the window property
// "OvrinBackColor", where tools and tests outside the process can read it.
#pragma once

#include "platform/Control.h"
#include "platform/Handles.h"

class CColorEdit : public CControl {
public:
    static constexpr wchar_t kBackColorProperty[] = L"OvrinBackColor";

    CColorEdit();
    // Stores the colour, makes a brush of it and repaints the whole control at once.
    void SetBackColor(COLORREF color);
    COLORREF GetBackColor() const { return m_backColor; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    COLORREF m_backColor;
    COLORREF m_textColor = RGB(0, 0, 0);
    CBrushHandle m_brush;
};
