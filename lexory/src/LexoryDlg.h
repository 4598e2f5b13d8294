// The lookup window: an edit box for the word and below it the list of every headword of the current
// direction's dictionary, which jumps to the nearest headword while the user types. Each change of
// the text wakes the window's search thread, which looks up the text as it is when the search runs,
// under the window's lock. Results come back to the window thread as a posted message, which alone
// touches the controls, and count only for the text and list they were found for. The window ends
// its search thread before it goes.
#pragma once

#include "ColorEdit.h"
#include "DictManager.h"
#include "LexoryBaseDlg.h"
#include "platform/Handles.h"

#include <commctrl.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

class CLexoryDlg : public CLexoryBaseDlg {
public:
    static constexpr COLORREF kNeutralColor = RGB(192, 192, 192);
    static constexpr COLORREF kNoMatchColor = RGB(239, 118, 133);
    static constexpr unsigned long kFetchRows = 100;

    explicit CLexoryDlg(const std::wstring& word);
    ~CLexoryDlg() override;

    // The process's one lookup window, for the search threads.
    static CLexoryDlg* s_lookupWindow;

    void CreateMenuBar() override;
    bool IsSettingUp() const override { return m_settingUp; }
    bool PreTranslateMessage(MSG& message) override;

    // Opens fileName of the program's folder in the browser, at anchor when it is not empty; false
    // when the file is missing or the browser did not start.
    static bool ShowHelp(const std::wstring& fileName, const std::wstring& anchor);
    // "file:" + path, and "#" + anchor when there is one.
    static std::wstring HelpUrl(const std::wstring& path, const std::wstring& anchor);

    // The rows fetched for a display request of row when the list has rowCount rows: first row and count.
    static std::pair<unsigned long, unsigned short> FetchWindow(unsigned long row, unsigned long rowCount);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnSize(UINT type, int width, int height) override;
    void OnDestroy() override;

private:
    // Commands.
    void OnChooseDirection(int direction);
    void OnBookmarks();
    void OnAddBookmark();
    void OnHelp();
    void OnAbout();
    void OnExit();
    void OpenArticle(int row);

    // Directions and the list.
    bool SelectDirection(int direction);
    void SetUpControls();
    void RecreateList();
    void Layout();
    void CheckDirectionItem(int direction);
    int SelectedRowIfOne() const;
    void OnGetDispInfo(NMLVDISPINFOW* info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void PaintSelectedRow(HDC dc);
    const std::wstring* RowText(unsigned long row);
    void FetchRows(unsigned long row);
    void RefreshBookmarkItem();
    void MoveIntoList();
    int CountBookmarks();

    // The edit and the searches.
    std::wstring EditText() const;
    void PutWordIntoEdit(const std::wstring& word);
    void OnEditChange();
    void StartSearch();
    void SearchThreadMain();
    void RunSearch();
    void OnSearchResult(long index, unsigned listGeneration, unsigned textGeneration);
    void SetEditColor(COLORREF color);
    void EndSearchThread();

    std::wstring m_startWord;
    std::unique_ptr<CDictManager> m_dictManager;
    CFontHandle m_editFont;
    std::unordered_map<unsigned long, std::wstring> m_headwordCache; // the rows fetched, by row
    unsigned long m_rowCount = 0;
    std::wstring m_bookmarkTemplate;
    std::mutex m_searchLock; // serialises the searches
    bool m_settingUp = false;
    CColorEdit m_edit;
    HWND m_list = nullptr;

    // What the searches read: the trimmed edit text and its generation, set by the window thread at
    // every change; the list generation changes with the direction.
    std::mutex m_textLock;
    std::wstring m_searchText;
    unsigned m_textGeneration = 0;
    std::atomic<unsigned> m_listGeneration{0};
    unsigned m_searchedTextGeneration = 0; // under m_searchLock
    unsigned m_searchedListGeneration = 0; // under m_searchLock
    std::atomic<bool> m_closing{false};
    bool m_searchPending = false; // under m_textLock: a change the search thread has not yet taken
    std::condition_variable m_searchWake;
    std::thread m_searchThread;
};
