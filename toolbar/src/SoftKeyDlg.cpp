// The child windows' soft keys and Back key.
#include "SoftKeyDlg.h"

#include "resource.h"

HFONT CSoftKeyDlg::MakeFont(const wchar_t* face, int height, bool bold) {
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

std::wstring CSoftKeyDlg::ItemText(HWND control) {
    int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool CSoftKeyDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_HOTKEY && wParam == CSoftKeyBar::kBackHotKeyId) {
        CSoftKeyBar::SendBackToFocusWindow(message, wParam, lParam);
        result = 0;
        return true;
    }
    return CToolbarChildDlg::HandleMessage(message, wParam, lParam, result);
}

bool CSoftKeyDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case ID_DIALOG_OK:
        OnOk();
        return true;
    case ID_DIALOG_CANCEL:
        EndDialog(IDCANCEL);
        return true;
    case IDCANCEL:
        return true;
    default:
        return CToolbarChildDlg::OnCommand(id, code, control);
    }
}
