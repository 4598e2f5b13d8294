// The edit box answering its own colour request before it paints.
#include "ColorEdit.h"

CColorEdit::CColorEdit() : m_backColor(GetSysColor(COLOR_BTNFACE)), m_brush(CreateSolidBrush(m_backColor)) {}

void CColorEdit::SetBackColor(COLORREF color) {
    m_backColor = color;
    m_brush.Reset(CreateSolidBrush(color));
    if (HWND edit = GetHwnd()) {
        // The colour plus one, so that black is not taken for "no property".
        SetPropW(edit, kBackColorProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(color) + 1));
        InvalidateRect(edit, nullptr, TRUE);
        UpdateWindow(edit);
    }
}

bool CColorEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case kReflectedBase + WM_CTLCOLOREDIT:
    case kReflectedBase + WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, m_backColor);
        SetTextColor(dc, m_textColor);
        result = reinterpret_cast<LRESULT>(m_brush.Get());
        return true;
    }
    default:
        return false;
    }
}
