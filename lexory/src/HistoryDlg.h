// The list window: the history or the bookmarks of the current direction, one headword per line, most
// recent first. From here the user opens an entry's article, removes an entry or clears the list. The
// window shows the list as it was at its last fill and fills again after each of its own actions and
// whenever its article window closes.
#pragma once

#include "DictManager.h"
#include "LexoryBaseDlg.h"
#include "platform/Handles.h"
#include "platform/Label.h"

#include <vector>

class CHistoryDlg : public CLexoryBaseDlg {
public:
    static constexpr int kHistoryMode = 1;
    static constexpr int kBookmarkMode = 2;

    // Any mode but kBookmarkMode is the history.
    CHistoryDlg(CDictManager* manager, int mode);

    void CreateMenuBar() override;
    void Refresh() override;
    bool PreTranslateMessage(MSG& message) override;

    bool IsBookmarkMode() const { return m_mode == kBookmarkMode; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    bool ReadList(std::vector<unsigned long>& list);
    bool RemoveFromList(unsigned long index);
    // The index at the selected line, read from the list file afresh; false when no line is selected
    // or the file no longer has that many entries.
    bool SelectedIndex(unsigned long& index);
    void FillList();
    void OnViewWord();
    void OnDeleteWord();
    void OnClearList();

    CDictManager* m_dictManager;
    int m_mode;
    CFontHandle m_listFont;
    CLabel m_title;
    HWND m_list = nullptr;
};
