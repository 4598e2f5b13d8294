// The article window: the article of one headword of the current dictionary, as HTML in the HTML
// display control of htmlview.dll. Showing an article is what puts its headword into the history.
// From here the user bookmarks the headword, opens the bookmark list or goes back.
#pragma once

#include "ArticleView.h"
#include "DictManager.h"
#include "LexoryBaseDlg.h"
#include "platform/Handles.h"

#include <string>

class CViewWordDlg : public CLexoryBaseDlg {
public:
    static constexpr int kViewerId = 12321;
    static constexpr wchar_t kViewerLibrary[] = L"htmlview.dll";

    CViewWordDlg(CDictManager* manager, unsigned long index);
    ~CViewWordDlg() override;

    void CreateMenuBar() override;
    bool PreTranslateMessage(MSG& message) override;

    // Reads the article of the window's headword, records the headword in the history, builds the HTML
    // and hands it to the viewer; false when the article cannot be read (nothing is recorded then).
    bool BuildArticleHtml();

    const std::wstring& GetHtml() const { return m_html; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void CreateViewer();
    void LoadViewerText(const std::wstring& text);
    void UnloadViewer();

    CDictManager* m_dictManager;
    unsigned long m_index;
    std::wstring m_html;
    // The viewer holder: the library, its control and the text last loaded into it.
    CModuleHandle m_viewerLibrary;
    HWND m_viewer = nullptr;
    std::wstring m_viewerText;
};
