// The about window.
#include "AboutDlg.h"

#include "../resource.h"
#include "platform/Resources.h"

#include <algorithm>

namespace {

constexpr int kTitleFontHeight = 16;

} // namespace

CAboutDlg::CAboutDlg(CDictManager* manager) : CLexoryBaseDlg(IDD_ABOUT_DIALOG), m_dictManager(manager) {}

std::wstring CAboutDlg::BuildDictionaryText(CDictManager& manager) {
    std::wstring text = platform::LoadResString(IDS_INSTALLED_DICTIONARIES) + L"\r\n";
    std::wstring total = platform::LoadResString(IDS_TOTAL_WORDS);
    int count = manager.CountDirections();
    for (int i = 0; i < count; ++i) {
        text += manager.GetDirectionName(i) + L"\r\n";
        text += total + L" " + std::to_wstring(manager.GetWordCount(i)) + L"\r\n";
    }
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text;
}

BOOL CAboutDlg::OnInitDialog() {
    HWND window = GetHwnd();
    SetProgramIcons(kProgramIconId);
    CreateMenuBar();
    std::wstring text = BuildDictionaryText(*m_dictManager);
    m_title.SubclassDlgItem(IDC_ABOUT_TITLE, window);
    m_title.SetBold();
    m_title.SetFontHeight(kTitleFontHeight);
    HWND edit = GetItem(IDC_ABOUT_TEXT);
    SetWindowTextW(edit, text.c_str());
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
    // As wide as the window less 2 pixels, down to the soft-key bar (which lies inside the window
    // here); the position stays.
    RECT client = CSoftKeyBar::ClientRectAbove(window);
    RECT rect;
    GetWindowRect(edit, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(edit, nullptr, 0, 0, client.right - 2, std::max<LONG>(0, client.bottom - rect.top - 5),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(window, platform::LoadResString(IDS_ABOUT_CAPTION).c_str());
    // The list is read, not edited: the caret at its start, nothing selected.
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    return FALSE;
}

void CAboutDlg::CreateMenuBar() {
    CreateBar(IDR_ABOUT_MENU);
}

bool CAboutDlg::PreTranslateMessage(MSG& message) {
    return CloseOnKeyRelease(message);
}

bool CAboutDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDOK || id == IDCANCEL) {
        DestroyWindow();
        return true;
    }
    return false;
}
