// The wait window.
#include "WaitDlg.h"

#include "platform/Resources.h"
#include "resource.h"

#include <algorithm>

namespace {

constexpr int kLabelHeight = 40;
constexpr int kMargin = 8;
constexpr int kFontPoints = 11;

} // namespace

CWaitDlg::CWaitDlg(std::wstring message) : CBitmapDialog(IDD_WAIT, IDB_WAIT), m_message(std::move(message)) {}

void CWaitDlg::SetStopFlag(int* flag) {
    m_stopFlag = flag;
    if (m_stopFlag != nullptr)
        *m_stopFlag = 0;
}

BOOL CWaitDlg::OnInitDialog() {
    m_ignoreNextBack = (GetAsyncKeyState(kBackKey) & 0x8000) != 0;
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetWindowTextW(GetHwnd(), platform::LoadResString(IDS_WINDOW_TITLE).c_str());
    ShapeWindow();
    SetWindowPos(GetHwnd(), HWND_TOPMOST, kLeft, kTop, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);

    m_label.SubclassDlgItem(IDC_WAIT_LABEL, GetHwnd());
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(kFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    m_font.Reset(CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    SendMessageW(m_label.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
    RECT label;
    GetWindowRect(m_label.GetHwnd(), &label);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&label), 2);
    SIZE plate = GetBitmapSize();
    int width = static_cast<int>(plate.cx) - label.left - kMargin;
    // Two lines' height, more when the message needs it (as far as the plate allows), centred.
    int room = std::max(kLabelHeight, static_cast<int>(plate.cy) - kMargin);
    int lines = std::min(std::max(kLabelHeight, TextHeight(width)), room);
    int top = plate.cy > lines ? (plate.cy - lines) / 2 : 0;
    MoveWindow(m_label.GetHwnd(), label.left, top, width, lines, FALSE);
    m_label.SetText(m_message);
    m_ready = true;
    return TRUE;
}

int CWaitDlg::TextHeight(int width) const {
    HDC dc = GetDC(m_label.GetHwnd());
    HGDIOBJ previous = SelectObject(dc, m_font.Get());
    RECT area = {0, 0, width, 0};
    DrawTextW(dc, m_message.c_str(), static_cast<int>(m_message.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(m_label.GetHwnd(), dc);
    return area.bottom - area.top;
}

bool CWaitDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == kHideMessage) {
        // An empty shape takes the window off the screen at once; hiding it can wait for the window
        // system (its thread hides and destroys it when its loop ends).
        m_stopFlag = nullptr;
        SetWindowRgn(GetHwnd(), CreateRectRgn(0, 0, 0, 0), TRUE);
        result = 0;
        return true;
    }
    return CBitmapDialog::HandleMessage(message, wParam, lParam, result);
}

bool CWaitDlg::PreTranslateMessage(MSG& message) {
    // With no control to hold the focus, keys come to the active window as system keys.
    bool keyUp = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if (keyUp && message.wParam == kBackKey && m_ready && m_stopFlag != nullptr)
        OnBackReleased();
    return false; // the key goes on as usual
}

void CWaitDlg::OnBackReleased() {
    if (!m_ignoreNextBack && *m_stopFlag == 0)
        *m_stopFlag = 1;
    m_ignoreNextBack = false;
}
