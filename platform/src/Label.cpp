// Static text with its own colour and weight.
#include "platform/Label.h"

#include <utility>

void CLabel::SetText(const std::wstring& text) {
    SetWindowTextW(GetHwnd(), text.c_str());
}

std::wstring CLabel::GetText() const {
    int length = GetWindowTextLengthW(GetHwnd());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(GetHwnd(), text.data(), length + 1)));
    return text;
}

void CLabel::SetTextColor(COLORREF color) {
    m_textColor = color;
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

template <typename Change>
void CLabel::ChangeFont(Change change) {
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(GetHwnd(), WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    if (GetObjectW(current != nullptr ? current : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0)
        return;
    change(font);
    // The old font is the control's until the new one is set.
    CFontHandle replaced(CreateFontIndirectW(&font));
    SendMessageW(GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(replaced.Get()), TRUE);
    m_font = std::move(replaced);
}

void CLabel::SetBold() {
    ChangeFont([](LOGFONTW& font) { font.lfWeight = FW_BOLD; });
}

void CLabel::SetFontHeight(int height) {
    ChangeFont([height](LOGFONTW& font) {
        font.lfHeight = height;
        font.lfWidth = 0;
    });
}

bool CLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != kReflectedBase + WM_CTLCOLORSTATIC)
        return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, m_textColor);
    SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}
