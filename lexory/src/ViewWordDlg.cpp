// The article window: set-up with the viewer control, the article's HTML, its commands and keys.
#include "ViewWordDlg.h"

#include "../resource.h"
#include "HistoryDlg.h"
#include "platform/Resources.h"

#include <htmlview/HtmlView.h>

CViewWordDlg::CViewWordDlg(CDictManager* manager, unsigned long index)
    : CLexoryBaseDlg(IDD_VIEWWORD_DIALOG), m_dictManager(manager), m_index(index) {}

CViewWordDlg::~CViewWordDlg() {
    // The open sub-window and this window go before the library that draws the viewer.
    DestroyWindow();
    UnloadViewer();
}

BOOL CViewWordDlg::OnInitDialog() {
    SetProgramIcons(kProgramIconId);
    CreateMenuBar();
    CreateViewer();
    if (!BuildArticleHtml()) {
        platform::AppMessageBox(GetHwnd(), IDS_TRANSLATION_FAILED, MB_OK | MB_ICONERROR);
        DestroyWindow();
    }
    return FALSE; // the viewer has the focus
}

void CViewWordDlg::CreateMenuBar() {
    CreateBar(IDR_VIEWWORD_MENU);
}

void CViewWordDlg::CreateViewer() {
    if (m_viewerLibrary)
        return;
    m_viewerLibrary.Reset(LoadLibraryW(kViewerLibrary));
    if (!m_viewerLibrary)
        return;
    auto init = reinterpret_cast<InitHtmlControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_viewerLibrary.Get(), HTMLVIEW_INIT_FUNCTION)));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (init == nullptr || !init(instance)) {
        UnloadViewer();
        return;
    }
    HWND window = GetHwnd();
    RECT client = CSoftKeyBar::ClientRectAbove(window);
    RECT frame;
    GetWindowRect(window, &frame);
    // One scroll bar's width more than the window: the viewer's own scroll bar falls outside it.
    // The height is the window's whole height; the soft-key bar stays on top of the viewer.
    m_viewer = CreateWindowExW(0, WC_HTML, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPSIBLINGS, 0, 0,
                               client.right + 13, frame.bottom - frame.top, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewerId)), instance, nullptr);
    if (m_viewer == nullptr)
        return;
    SetWindowPos(m_viewer, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetFocus(m_viewer);
    SendMessageW(m_viewer, DTM_ENABLESHRINK, 0, TRUE);
    SendMessageW(m_viewer, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
}

void CViewWordDlg::LoadViewerText(const std::wstring& text) {
    m_viewerText = text;
    if (m_viewer == nullptr)
        return;
    SendMessageW(m_viewer, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(m_viewer, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(m_viewerText.c_str()));
    SendMessageW(m_viewer, DTM_ENDOFSOURCE, 0, 0);
}

void CViewWordDlg::UnloadViewer() {
    if (m_viewer != nullptr && IsWindow(m_viewer))
        ::DestroyWindow(m_viewer);
    m_viewer = nullptr;
    m_viewerLibrary.Reset();
}

bool CViewWordDlg::BuildArticleHtml() {
    ArticleParts parts;
    if (!m_dictManager->ReadArticle(m_index, parts))
        return false;
    m_dictManager->AddToHistory(m_index);
    RECT screen;
    GetWindowRect(GetHwnd(), &screen);
    int width = screen.right - screen.left - 5;
    int height = screen.bottom - GetSystemMetrics(SM_CYCAPTION) - 8;
    m_html = lexory::BuildArticleHtmlText(parts, width, height,
                                          [this](int code) { return m_dictManager->GetPartOfSpeechName(code); });
    LoadViewerText(m_html);
    return true;
}

bool CViewWordDlg::PreTranslateMessage(MSG& message) {
    return CloseOnKeyRelease(message);
}

bool CViewWordDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case ID_BACK:
    case IDOK:
    case IDCANCEL:
        DestroyWindow();
        return true;
    case ID_ADD_BOOKMARK:
        if (m_dictManager->AddBookmark(m_index))
            platform::AppMessageBox(GetHwnd(), IDS_BOOKMARK_ADDED, MB_OK | MB_ICONINFORMATION);
        else
            platform::AppMessageBox(GetHwnd(), IDS_BOOKMARK_NOT_SAVED, MB_OK | MB_ICONERROR);
        return true;
    case ID_BOOKMARK_LIST:
        OpenSubWindow(std::make_unique<CHistoryDlg>(m_dictManager, CHistoryDlg::kBookmarkMode));
        return true;
    default:
        return false;
    }
}
