// The list window in its two modes: filling, viewing, deleting and clearing.
#include "HistoryDlg.h"

#include "../resource.h"
#include "ViewWordDlg.h"
#include "platform/Resources.h"

#include <algorithm>

CHistoryDlg::CHistoryDlg(CDictManager* manager, int mode)
    : CLexoryBaseDlg(IDD_HISTORY_DIALOG), m_dictManager(manager), m_mode(mode == kBookmarkMode ? mode : kHistoryMode) {}

BOOL CHistoryDlg::OnInitDialog() {
    HWND window = GetHwnd();
    SetProgramIcons(kProgramIconId);
    SetWindowTextW(window, m_dictManager->GetDirectionName(m_dictManager->GetCurrentDirection()).c_str());
    m_list = GetItem(IDC_HISTORY_LIST);
    CreateMenuBar();
    // The list is as wide as the window less 8 pixels and reaches down to the soft-key bar (the bar
    // lies inside the window here); its position stays.
    RECT frame;
    GetWindowRect(window, &frame);
    RECT client = CSoftKeyBar::ClientRectAbove(window);
    RECT list;
    GetWindowRect(m_list, &list);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&list), 2);
    SetWindowPos(m_list, nullptr, 0, 0, std::min<LONG>(frame.right - frame.left - 8, client.right - list.left),
                 std::max<LONG>(0, client.bottom - list.top - 2), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_title.SubclassDlgItem(IDC_HISTORY_TITLE, window);
    m_title.SetText(platform::LoadResString(IsBookmarkMode() ? IDS_BOOKMARKS_TITLE : IDS_HISTORY_TITLE));
    m_title.SetBold();
    m_listFont.Reset(CreateFontW(18, 0, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_listFont.Get()), FALSE);
    FillList();
    return FALSE; // the list has the focus
}

void CHistoryDlg::CreateMenuBar() {
    CreateBar(IDR_HISTORY_MENU);
}

void CHistoryDlg::Refresh() {
    FillList();
}

bool CHistoryDlg::ReadList(std::vector<unsigned long>& list) {
    return IsBookmarkMode() ? m_dictManager->GetBookmarks(list) : m_dictManager->GetHistory(list);
}

bool CHistoryDlg::RemoveFromList(unsigned long index) {
    return IsBookmarkMode() ? m_dictManager->RemoveBookmark(index) : m_dictManager->RemoveFromHistory(index);
}

void CHistoryDlg::FillList() {
    SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
    SetFocus(m_list);
    std::vector<unsigned long> list;
    ReadList(list);
    if (!list.empty()) {
        EnableWindow(m_list, TRUE);
        for (unsigned long index : list)
            SendMessageW(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_dictManager->GetHeadword(index).c_str()));
        SendMessageW(m_list, LB_SETCURSEL, 0, 0);
    } else {
        SendMessageW(m_list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::LoadResString(IDS_EMPTY_LIST_LINE).c_str()));
        EnableWindow(m_list, FALSE);
    }
}

bool CHistoryDlg::SelectedIndex(unsigned long& index) {
    LRESULT selected = SendMessageW(m_list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return false;
    std::vector<unsigned long> list;
    ReadList(list);
    // The file may have changed since the fill (another window, another copy of the lists).
    if (static_cast<size_t>(selected) >= list.size())
        return false;
    index = list[static_cast<size_t>(selected)];
    return true;
}

void CHistoryDlg::OnViewWord() {
    unsigned long index = 0;
    if (SelectedIndex(index))
        OpenSubWindow(std::make_unique<CViewWordDlg>(m_dictManager, index));
}

void CHistoryDlg::OnDeleteWord() {
    unsigned long index = 0;
    if (!IsWindowEnabled(m_list) || !SelectedIndex(index)) {
        platform::AppMessageBox(GetHwnd(), IDS_WORD_NOT_SELECTED, MB_OK | MB_ICONERROR);
        return;
    }
    bool removed = RemoveFromList(index);
    FillList(); // what the file holds, changed or not
    UpdateWindow(GetHwnd());
    if (removed)
        platform::AppMessageBox(GetHwnd(), IDS_WORD_REMOVED, MB_OK | MB_ICONINFORMATION);
    else
        platform::AppMessageBox(GetHwnd(), IDS_LIST_NOT_CHANGED, MB_OK | MB_ICONERROR);
}

void CHistoryDlg::OnClearList() {
    std::vector<unsigned long> list;
    ReadList(list);
    if (list.empty()) {
        platform::AppMessageBox(GetHwnd(), IDS_NO_WORDS_IN_LIST, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (platform::AppMessageBox(GetHwnd(), IDS_CLEAR_QUESTION, MB_YESNO) != IDYES)
        return;
    // Stops at the first removal that could not be written: the rest would fail the same way.
    bool cleared = true;
    for (unsigned long index : list)
        if (!(cleared = RemoveFromList(index)))
            break;
    FillList();
    if (cleared)
        platform::AppMessageBox(GetHwnd(), IDS_LIST_CLEARED, MB_OK | MB_ICONINFORMATION);
    else
        platform::AppMessageBox(GetHwnd(), IDS_LIST_NOT_CHANGED, MB_OK | MB_ICONERROR);
}

bool CHistoryDlg::PreTranslateMessage(MSG& message) {
    if (CloseOnKeyRelease(message))
        return true;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == m_list) {
        if (IsWindowEnabled(m_list))
            OnViewWord();
        return true;
    }
    return false;
}

bool CHistoryDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case ID_BACK:
    case IDCANCEL:
        DestroyWindow();
        return true;
    case IDOK:
        return true;
    case ID_VIEW_WORD:
        OnViewWord();
        return true;
    case ID_DELETE_WORD:
        OnDeleteWord();
        return true;
    case ID_CLEAR_LIST:
        OnClearList();
        return true;
    default:
        return control != nullptr; // a change of the selection has no effect
    }
}
