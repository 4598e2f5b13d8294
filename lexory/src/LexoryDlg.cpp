// The lookup window: set-up, directions, the owner-data headword list, the incremental search and
// the keyboard handling.
#include "LexoryDlg.h"
#include "base/Unicode.h"

#include "../resource.h"
#include "AboutDlg.h"
#include "HistoryDlg.h"
#include "ViewWordDlg.h"
#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Text.h"
#include "common/Protocol.h"
#include "common/Registry.h"
#include "platform/CommandLine.h"
#include "platform/Resources.h"

#include <commctrl.h>

namespace {

// A search's result: wParam the row to select (-1: the text leads nowhere), lParam the generations of
// the list (high half) and of the text (low half) it was found for.
constexpr UINT kSearchResultMessage = WM_APP + 1;
static_assert(sizeof(LPARAM) >= 8, "both generations travel in lParam");
constexpr wchar_t kColumnTitle[] = L"Words";
// Room between a row's edge and its text, as the list leaves it when it draws the row itself.
constexpr int kLabelMargin = 5;
constexpr wchar_t kHelpFile[] = L"lexory.htm";
constexpr wchar_t kBrowser[] = L"iexplore.exe";

} // namespace

CLexoryDlg* CLexoryDlg::s_lookupWindow = nullptr;

CLexoryDlg::CLexoryDlg(const std::wstring& word) : CLexoryBaseDlg(IDD_LEXORY_DIALOG), m_startWord(word) {
    s_lookupWindow = this;
    if (m_startWord.empty())
        m_startWord =
            CAppSettings::ReadString(CDictManager::kSettingsSection, ovrin::protocol::kDictionaryLastWordSetting);
}

CLexoryDlg::~CLexoryDlg() {
    DestroyWindow(); // ends the search thread while this object is whole
    EndSearchThread();
    if (s_lookupWindow == this)
        s_lookupWindow = nullptr;
}

// Set-up

BOOL CLexoryDlg::OnInitDialog() {
    HWND window = GetHwnd();
    ShowWindow(window, SW_HIDE);
    CWaitCursor wait;
    m_dictManager = std::make_unique<CDictManager>();
    wait.Restore();
    m_settingUp = true;
    SetProgramIcons(IDR_MAINFRAME);

    m_edit.SubclassDlgItem(IDC_WORD_EDIT, window);
    SendMessageW(m_edit.GetHwnd(), EM_SETLIMITTEXT, 0, 0);
    m_editFont.Reset(CreateFontW(18, 0, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    m_list = GetItem(IDC_WORD_LIST);
    SetUpControls();
    m_searchThread = std::thread([this] { SearchThreadMain(); });

    CreateMenuBar();
    int stored = CAppSettings::ReadInt(CDictManager::kSettingsSection, ovrin::protocol::kDictionaryDirectionSetting);
    if (m_dictManager->CountDirections() > 0 && stored != m_dictManager->GetCurrentDirection())
        SelectDirection(stored);
    if (m_rowCount > 0)
        FetchRows(0);
    PutWordIntoEdit(m_startWord);

    m_settingUp = false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetFocus(m_edit.GetHwnd());
    return FALSE;
}

// Font, colour and column of a new list and of the edit.
void CLexoryDlg::SetUpControls() {
    SendMessageW(m_edit.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont.Get()), FALSE);
    m_edit.SetBackColor(kNeutralColor);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(kColumnTitle);
    Layout();
    // The window's width less 20 pixels, but never wider than the list inside its border and scroll
    // bar (wider on the desktop than on the handheld), which would bring a horizontal scroll bar.
    RECT client = CSoftKeyBar::ClientRectAbove(GetHwnd());
    RECT listClient;
    GetClientRect(m_list, &listClient);
    int scrollBar = (GetWindowLongPtrW(m_list, GWL_STYLE) & WS_VSCROLL) ? 0 : GetSystemMetrics(SM_CXVSCROLL);
    column.cx = std::max(10L, std::min(client.right - 20, listClient.right - scrollBar));
    ListView_InsertColumn(m_list, 0, &column);
    ListView_SetColumnWidth(m_list, 0, column.cx);
}

void CLexoryDlg::Layout() {
    if (m_list == nullptr || m_edit.GetHwnd() == nullptr)
        return;
    RECT client = CSoftKeyBar::ClientRectAbove(GetHwnd());
    RECT edit;
    GetWindowRect(m_edit.GetHwnd(), &edit);
    int width = std::max(0L, client.right - 3);
    int editHeight = edit.bottom - edit.top;
    SetWindowPos(m_edit.GetHwnd(), nullptr, 1, 0, width, editHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // The list starts just below the edit and fills the window down to the soft-key bar.
    int top = editHeight + 2;
    SetWindowPos(m_list, nullptr, 1, top, width, std::max(0L, client.bottom - top - 1), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLexoryDlg::OnSize(UINT type, int width, int height) {
    Layout();
}

void CLexoryDlg::CreateMenuBar() {
    CreateBar(IDR_LOOKUP_MENU);
    int stored = CAppSettings::ReadInt(CDictManager::kSettingsSection, ovrin::protocol::kDictionaryDirectionSetting);
    HMENU directions = m_bar.GetSubMenu(0);
    while (GetMenuItemCount(directions) > 0)
        DeleteMenu(directions, 0, MF_BYPOSITION);
    int count = m_dictManager ? m_dictManager->CountDirections() : 0;
    for (int i = 0; i < count; ++i)
        AppendMenuW(directions, MF_STRING, ID_DIRECTION_FIRST + i, m_dictManager->GetDirectionName(i).c_str());
    CheckDirectionItem(stored);
    if (m_dictManager)
        RefreshBookmarkItem(); // the item never shows its bare template
}

void CLexoryDlg::CheckDirectionItem(int direction) {
    HMENU directions = m_bar.GetSubMenu(0);
    int count = GetMenuItemCount(directions);
    for (int i = 0; i < count; ++i)
        CheckMenuItem(directions, i, MF_BYPOSITION | (i == direction ? MF_CHECKED : MF_UNCHECKED));
}

// Directions

void CLexoryDlg::OnChooseDirection(int direction) {
    if (m_dictManager->CountDirections() == 0 || direction == m_dictManager->GetCurrentDirection())
        return;
    SelectDirection(direction);
}

// Stores the direction, opens it and, when it opened, rebuilds the list for it.
bool CLexoryDlg::SelectDirection(int direction) {
    CWaitCursor wait;
    CAppSettings::WriteInt(CDictManager::kSettingsSection, ovrin::protocol::kDictionaryDirectionSetting, direction);
    if (!m_dictManager->OpenDirection(direction)) {
        wait.Restore();
        platform::AppMessageBox(GetHwnd(), IDS_OPEN_FAILED, MB_OK | MB_ICONERROR);
        return false;
    }
    CheckDirectionItem(direction);
    SetWindowTextW(GetHwnd(), m_dictManager->GetDirectionName(direction).c_str());
    m_bar.Redraw();

    m_headwordCache.clear();
    m_rowCount = 0;
    ++m_listGeneration;
    SendMessageW(GetHwnd(), WM_SETREDRAW, FALSE, 0);
    RecreateList();
    SendMessageW(GetHwnd(), WM_SETREDRAW, TRUE, 0);
    unsigned long rows = m_dictManager->GetWordCount(direction);
    ListView_SetItemCountEx(m_list, rows, LVSICF_NOINVALIDATEALL);
    m_rowCount = rows;
    RefreshBookmarkItem();
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    PutWordIntoEdit(L"");
    return true;
}

// A new list control in place of the old one: rows, selection and scroll position are gone.
void CLexoryDlg::RecreateList() {
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(m_list, GWL_STYLE));
    DWORD extendedStyle = static_cast<DWORD>(GetWindowLongPtrW(m_list, GWL_EXSTYLE));
    HWND previous = GetWindow(m_list, GW_HWNDPREV);
    ::DestroyWindow(m_list);
    m_list = CreateWindowExW(extendedStyle, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, GetHwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WORD_LIST)), GetModuleHandleW(nullptr),
                             nullptr);
    // Keep the tab order: the list after the edit.
    SetWindowPos(m_list, previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(m_list, WM_SETFONT, SendMessageW(GetHwnd(), WM_GETFONT, 0, 0), FALSE);
    SetUpControls();
}

// The list

std::pair<unsigned long, unsigned short> CLexoryDlg::FetchWindow(unsigned long row, unsigned long rowCount) {
    unsigned long start = row < kFetchRows / 2 ? 0 : row - kFetchRows / 2;
    unsigned long count = kFetchRows;
    if (start + kFetchRows >= rowCount)
        count = rowCount > start ? rowCount - start : 0;
    return {start, static_cast<unsigned short>(count)};
}

// The rows come from the engine into a fresh array and are kept by row: the cache holds what was
// fetched, never a slot per headword (a damaged dictionary may claim any count).
void CLexoryDlg::FetchRows(unsigned long row) {
    auto [start, count] = FetchWindow(row, m_rowCount);
    std::vector<std::wstring> rows;
    if (count == 0 || !m_dictManager->GetHeadwords(start, count, rows))
        return;
    for (size_t k = 0; k < rows.size(); ++k)
        m_headwordCache[start + static_cast<unsigned long>(k)] = std::move(rows[k]);
}

void CLexoryDlg::OnGetDispInfo(NMLVDISPINFOW* info) {
    int row = info->item.iItem;
    if (row < 0 || (info->item.mask & LVIF_TEXT) == 0 || info->item.pszText == nullptr || info->item.cchTextMax <= 0)
        return;
    const std::wstring* text = RowText(static_cast<unsigned long>(row));
    lstrcpynW(info->item.pszText, text != nullptr ? text->c_str() : L"", info->item.cchTextMax);
}

// The headword of a row, fetched with its neighbours when the cache lacks it; null when it cannot be had.
const std::wstring* CLexoryDlg::RowText(unsigned long row) {
    if (row >= m_rowCount)
        return nullptr;
    auto cached = m_headwordCache.find(row);
    if (cached == m_headwordCache.end()) {
        FetchRows(row);
        cached = m_headwordCache.find(row);
    }
    return cached != m_headwordCache.end() ? &cached->second : nullptr;
}

int CLexoryDlg::SelectedRowIfOne() const {
    if (ListView_GetSelectedCount(m_list) != 1)
        return -1;
    return ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
}

// The edit and the incremental search

std::wstring CLexoryDlg::EditText() const {
    HWND edit = m_edit.GetHwnd();
    int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), length + 1)));
    return text;
}

void CLexoryDlg::PutWordIntoEdit(const std::wstring& word) {
    HWND edit = m_edit.GetHwnd();
    if (!word.empty())
        SetWindowTextW(edit, word.c_str()); // the change starts the search
    else
        OnEditChange();
    int end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, end, end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void CLexoryDlg::OnEditChange() {
    std::wstring text = ovrin::Trimmed(EditText());
    {
        std::lock_guard lock(m_textLock);
        m_searchText = text;
        ++m_textGeneration;
    }
    if (text.empty()) {
        SetEditColor(kNeutralColor);
        return;
    }
    if (m_dictManager->GetCurrentDirection() == -1)
        return;
    StartSearch();
}

// Wakes the search thread, which lives as long as the window: a thread started afresh for every
// keystroke cost more than the search itself (5 ms median, 13 ms at the 99th percentile under Wine).
void CLexoryDlg::StartSearch() {
    {
        std::lock_guard lock(m_textLock);
        m_searchPending = true;
    }
    m_searchWake.notify_one();
}

// Runs a search each time it is woken, on the text the field holds when the search runs.
void CLexoryDlg::SearchThreadMain() {
    while (true) {
        {
            std::unique_lock lock(m_textLock);
            m_searchWake.wait(lock, [this] { return m_searchPending || m_closing; });
            if (m_closing)
                return;
            m_searchPending = false;
        }
        RunSearch();
    }
}

void CLexoryDlg::RunSearch() {
    std::lock_guard lock(m_searchLock);
    if (m_closing)
        return;
    std::wstring text;
    unsigned textGeneration = 0;
    {
        std::lock_guard textLock(m_textLock);
        text = m_searchText;
        textGeneration = m_textGeneration;
    }
    unsigned listGeneration = m_listGeneration;
    // A search that ran on this same text and list has already told the window its result.
    if (text.empty() || (textGeneration == m_searchedTextGeneration && listGeneration == m_searchedListGeneration))
        return;
    m_searchedTextGeneration = textGeneration;
    m_searchedListGeneration = listGeneration;

    long index = m_dictManager->FindNearest(text, false);
    std::wstring head = index >= 0 ? m_dictManager->GetHeadword(static_cast<unsigned long>(index)) : std::wstring();
    bool begins =
        head.size() >= text.size() && ovrin::EqualIgnoringCase(std::wstring_view(head).substr(0, text.size()), text);
    PostMessageW(GetHwnd(), kSearchResultMessage, static_cast<WPARAM>(begins ? index : -1),
                 static_cast<LPARAM>(static_cast<std::uint64_t>(listGeneration) << 32 | textGeneration));
}

// A result counts only for the text the field holds now and for the list on show: a search that read
// the text before it changed (or was emptied) answers for a text that is gone.
void CLexoryDlg::OnSearchResult(long index, unsigned listGeneration, unsigned textGeneration) {
    if (listGeneration != m_listGeneration || textGeneration != m_textGeneration)
        return;
    if (index < 0) {
        SetEditColor(kNoMatchColor);
        return;
    }
    SetEditColor(kNeutralColor);
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED | LVNI_FOCUSED); row != -1;
         row = ListView_GetNextItem(m_list, row, LVNI_SELECTED | LVNI_FOCUSED))
        ListView_SetItemState(m_list, row, 0, both);
    ListView_SetItemState(m_list, static_cast<int>(index), both, both);
    ListView_EnsureVisible(m_list, static_cast<int>(index), TRUE);
}

// The edit is repainted only when its colour really changes: typing fast brings many results.
void CLexoryDlg::SetEditColor(COLORREF color) {
    if (m_edit.GetBackColor() != color)
        m_edit.SetBackColor(color);
}

void CLexoryDlg::EndSearchThread() {
    {
        std::lock_guard lock(m_textLock);
        m_closing = true;
    }
    m_searchWake.notify_one();
    if (m_searchThread.joinable())
        m_searchThread.join();
}

void CLexoryDlg::OnDestroy() {
    EndSearchThread();
    CLexoryBaseDlg::OnDestroy();
}

// Keys and commands

bool CLexoryDlg::PreTranslateMessage(MSG& message) {
    HWND edit = m_edit.GetHwnd();
    if (message.message == WM_KEYDOWN) {
        HWND focus = GetFocus();
        if (message.wParam == VK_RETURN && (focus == edit || focus == m_list)) {
            int row = SelectedRowIfOne();
            if (row >= 0)
                OpenArticle(row);
            else
                SetFocus(edit);
            return true;
        }
        // Down leaves the edit for the list, Up from the list's first row comes back: the edit, one
        // line high, would otherwise keep both keys to itself.
        if (message.wParam == VK_DOWN && focus == edit) {
            MoveIntoList();
            return true;
        }
        if (message.wParam == VK_UP && focus == m_list && ListView_GetNextItem(m_list, -1, LVNI_FOCUSED) <= 0) {
            SetFocus(edit);
            return true;
        }
        if (focus != edit && message.wParam != VK_UP && message.wParam != VK_DOWN) {
            SetFocus(edit);
            if (message.wParam == VK_TAB)
                return true;
            message.hwnd = edit; // the key goes on into the edit
        }
        return false;
    }
    if (message.message == WM_HOTKEY && message.hwnd == GetHwnd()) {
        if (!m_settingUp)
            RefreshBookmarkItem();
        if (message.wParam == CSoftKeyBar::kBackHotKeyId)
            CSoftKeyBar::SendBackToFocusWindow(message.message, message.wParam, message.lParam);
        return true;
    }
    return false;
}

// The list takes the focus at its selected row; with none, at the first row on show.
void CLexoryDlg::MoveIntoList() {
    if (m_rowCount == 0)
        return;
    SetFocus(m_list);
    if (ListView_GetSelectedCount(m_list) == 0) {
        int top = ListView_GetTopIndex(m_list);
        const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
        ListView_SetItemState(m_list, top, both, both);
    }
}

void CLexoryDlg::RefreshBookmarkItem() {
    HMENU more = m_bar.GetSubMenu(1);
    if (more == nullptr)
        return;
    if (m_bookmarkTemplate.empty()) {
        wchar_t text[128] = {};
        GetMenuStringW(more, ID_BOOKMARKS, text, 128, MF_BYCOMMAND);
        m_bookmarkTemplate = text;
    }
    size_t mark = m_bookmarkTemplate.find(L"%d");
    std::wstring text = m_bookmarkTemplate;
    if (mark != std::wstring::npos)
        text.replace(mark, 2, std::to_wstring(CountBookmarks()));
    ModifyMenuW(more, ID_BOOKMARKS, MF_BYCOMMAND | MF_STRING, ID_BOOKMARKS, text.c_str());
}

int CLexoryDlg::CountBookmarks() {
    std::vector<unsigned long> bookmarks;
    m_dictManager->GetBookmarks(bookmarks);
    return static_cast<int>(bookmarks.size());
}

bool CLexoryDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (control != nullptr) {
        if (id == IDC_WORD_EDIT && code == EN_CHANGE)
            OnEditChange();
        return true;
    }
    if (id >= ID_DIRECTION_FIRST && id <= ID_DIRECTION_LAST) {
        OnChooseDirection(id - ID_DIRECTION_FIRST);
        return true;
    }
    switch (id) {
    case IDOK:
    case IDCANCEL:
        return true; // only "Выход" ends the program
    case ID_HISTORY:
        OpenSubWindow(std::make_unique<CHistoryDlg>(m_dictManager.get(), CHistoryDlg::kHistoryMode));
        return true;
    case ID_BOOKMARKS:
        OnBookmarks();
        return true;
    case ID_ADD_BOOKMARK:
        OnAddBookmark();
        return true;
    case ID_HELP_INDEX:
        OnHelp();
        return true;
    case ID_ABOUT:
        OnAbout();
        return true;
    case ID_EXIT:
        OnExit();
        return true;
    default:
        return false;
    }
}

void CLexoryDlg::OnBookmarks() {
    if (CountBookmarks() > 0)
        OpenSubWindow(std::make_unique<CHistoryDlg>(m_dictManager.get(), CHistoryDlg::kBookmarkMode));
    else
        platform::AppMessageBox(GetHwnd(), IDS_LIST_EMPTY, MB_OK | MB_ICONINFORMATION);
}

void CLexoryDlg::OnAddBookmark() {
    int row = SelectedRowIfOne();
    if (row < 0) {
        platform::AppMessageBox(GetHwnd(), IDS_CHOOSE_WORD, MB_OK | MB_ICONERROR);
        return;
    }
    // After a failed opening the rows on show are the old dictionary's: they are no headwords of the
    // current direction.
    if (!m_dictManager->IsDictionaryOpen()) {
        platform::AppMessageBox(GetHwnd(), IDS_NO_DICTIONARY, MB_OK | MB_ICONERROR);
        return;
    }
    if (!m_dictManager->AddBookmark(static_cast<unsigned long>(row))) {
        platform::AppMessageBox(GetHwnd(), IDS_BOOKMARK_NOT_SAVED, MB_OK | MB_ICONERROR);
        return;
    }
    RefreshBookmarkItem();
    platform::AppMessageBox(GetHwnd(), IDS_BOOKMARK_ADDED, MB_OK | MB_ICONINFORMATION);
}

std::wstring CLexoryDlg::HelpUrl(const std::wstring& path, const std::wstring& anchor) {
    return L"file:" + path + (anchor.empty() ? L"" : L"#" + anchor);
}

bool CLexoryDlg::ShowHelp(const std::wstring& fileName, const std::wstring& anchor) {
    std::wstring path = ovrin::GetProgramFolder() + fileName;
    if (!ovrin::FileExists(path))
        return false;
    std::wstring url = HelpUrl(path, anchor);
    // The suite's browser beside the program comes first; otherwise the shell finds one by name (the
    // desktop's shell would otherwise prefer its own registered browser to ours).
    std::wstring browser = ovrin::GetProgramFolder() + kBrowser;
    if (!ovrin::FileExists(browser))
        browser = kBrowser;
    return platform::StartProgram(browser, url);
}

void CLexoryDlg::OnHelp() {
    if (!ShowHelp(kHelpFile, L""))
        platform::AppMessageBox(GetHwnd(), IDS_HELP_NOT_FOUND, MB_OK | MB_ICONERROR);
}

void CLexoryDlg::OnAbout() {
    SetForegroundWindow(GetHwnd());
    SetFocus(GetHwnd());
    OpenSubWindow(std::make_unique<CAboutDlg>(m_dictManager.get()));
}

void CLexoryDlg::OnExit() {
    CAppSettings::WriteString(CDictManager::kSettingsSection, ovrin::protocol::kDictionaryLastWordSetting, EditText());
    EndDialog(IDOK);
}

void CLexoryDlg::OpenArticle(int row) {
    CWaitCursor wait;
    OpenSubWindow(std::make_unique<CViewWordDlg>(m_dictManager.get(), static_cast<unsigned long>(row)));
}

bool CLexoryDlg::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom != IDC_WORD_LIST)
        return false;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
        result = 0;
        return true;
    case LVN_ITEMCHANGED:
    case LVN_KEYDOWN:
        result = 0;
        return true;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        return true;
    default:
        return false;
    }
}

// The selected row keeps the highlight colours while the focus is in the edit, so that the headword
// the typing leads to stands out (the list's own pale colour for an unfocused selection is hard to see).
// The row is painted over once the list has drawn: asking for the colours of every row as it is drawn
// made each keystroke's repaint cost half as much again.
LRESULT CLexoryDlg::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return GetFocus() != m_list ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    case CDDS_POSTPAINT:
        PaintSelectedRow(draw->nmcd.hdc);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void CLexoryDlg::PaintSelectedRow(HDC dc) {
    int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    RECT bounds = {}, label = {}, client = {};
    GetClientRect(m_list, &client);
    if (row < 0 || !ListView_GetItemRect(m_list, row, &bounds, LVIR_BOUNDS) ||
        !ListView_GetItemRect(m_list, row, &label, LVIR_LABEL) || bounds.bottom <= 0 || bounds.top >= client.bottom)
        return;
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_HIGHLIGHT));
    const std::wstring* text = RowText(static_cast<unsigned long>(row));
    if (text == nullptr || text->empty())
        return;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_list, WM_GETFONT, 0, 0)));
    COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    label.left += kLabelMargin;
    label.right -= kLabelMargin;
    DrawTextW(dc, text->c_str(), static_cast<int>(text->size()), &label,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
}

bool CLexoryDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == kSearchResultMessage) {
        auto generations = static_cast<std::uint64_t>(lParam);
        OnSearchResult(static_cast<long>(static_cast<INT_PTR>(wParam)), static_cast<unsigned>(generations >> 32),
                       static_cast<unsigned>(generations & 0xFFFFFFFFu));
        result = 0;
        return true;
    }
    return CLexoryBaseDlg::HandleMessage(message, wParam, lParam, result);
}
