// The browser's frame, its page area and the loading of a page.
#include "BrowserWindow.h"

#include "../resource.h"
#include "PageLinks.h"
#include "PageObjects.h"
#include "PageSource.h"

#include <commctrl.h>
#include <htmlview/HtmlView.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 400;
constexpr int kStatusHeight = 18;

std::wstring LoadText(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

CBrowserWindow::~CBrowserWindow() {
    m_frame.DestroyWindow();
    ReleaseHelpers();
    m_displayLibrary.Reset();
}

bool CBrowserWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW frame = {};
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    frame.lpszClassName = kFrameClass;
    WNDCLASSEXW page = frame;
    page.lpszClassName = kPageClass;
    return CWindow::RegisterWindowClass(frame) && CWindow::RegisterWindowClass(page);
}

bool CBrowserWindow::Create(HINSTANCE instance, int show) {
    m_instance = instance;
    if (!RegisterClasses(instance))
        return false;
    m_displayLibrary.Reset(LoadLibraryW(HTMLVIEW_DLL));
    auto init = !m_displayLibrary ? nullptr
                                  : reinterpret_cast<InitHtmlControlFunction>(reinterpret_cast<void*>(
                                        GetProcAddress(m_displayLibrary.Get(), HTMLVIEW_INIT_FUNCTION)));
    if (init == nullptr || !init(instance))
        return false;
    if (!m_frame.Create(kFrameClass, LoadText(instance, IDS_BROWSER_TITLE).c_str(), WS_OVERLAPPEDWINDOW, 0,
                        CW_USEDEFAULT, CW_USEDEFAULT, kDefaultWidth, kDefaultHeight, nullptr, nullptr, instance))
        return false;
    HWND frame = m_frame.GetHwnd();
    if (!m_page.Create(kPageClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, frame,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageId)), instance))
        return false;
    m_display = CreateWindowExW(0, WC_HTML, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 0, 0, m_page.GetHwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDisplayId)), instance, nullptr);
    if (m_display == nullptr)
        return false;
    m_status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, 0, 0, 0,
                               0, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), instance, nullptr);
    if (m_status != nullptr)
        SendMessageW(m_status, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    m_displayKeys.Attach(m_display);
    SendMessageW(m_display, DTM_ENABLESHRINK, 0, TRUE);
    Layout();
    ShowWindow(frame, show);
    UpdateWindow(frame);
    SetFocus(m_display);
    return true;
}

void CBrowserWindow::SetPageText(const std::wstring& html) {
    SendMessageW(m_display, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(m_display, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(html.c_str()));
    SendMessageW(m_display, DTM_ENDOFSOURCE, 0, 0);
}

bool CBrowserWindow::LoadPage(const std::wstring& url) {
    if (m_display == nullptr)
        return false;
    m_url = url;
    browser::FileUrl file;
    std::string bytes;
    if (!browser::ParseFileUrl(url, file) || !ReadFileBytes(file.path, bytes)) {
        ShowMarkup(LoadText(m_instance, IDS_PAGE_NOT_FOUND));
        return false;
    }
    ShowMarkup(browser::DecodePage(bytes));
    if (!file.anchor.empty())
        SendMessageW(m_display, DTM_ANCHORW, 0, reinterpret_cast<LPARAM>(file.anchor.c_str()));
    return true;
}

void CBrowserWindow::ShowMarkup(const std::wstring& markup) {
    m_markup = markup;
    SetPageText(m_markup);
    std::wstring title = browser::PageTitle(m_markup);
    SetWindowTextW(m_frame.GetHwnd(), (title.empty() ? LoadText(m_instance, IDS_BROWSER_TITLE) : title).c_str());
    m_chosenLink = -1;
    ShowChosenLink();
}

size_t CBrowserWindow::LoadHelpers() {
    if (m_page.GetHwnd() == nullptr)
        return 0;
    if (m_site == nullptr)
        m_site = browser::CreateWebBrowserSite(m_page.GetHwnd());
    return m_helpers.LoadAll(m_site);
}

void CBrowserWindow::ReleaseHelpers() {
    m_helpers.ReleaseAll();
    if (m_site != nullptr)
        m_site->Release();
    m_site = nullptr;
}

bool CBrowserWindow::ChooseLink(bool backwards) {
    const int count = static_cast<int>(browser::PageLinks(m_markup).size());
    if (count == 0)
        return false;
    if (m_chosenLink < 0 || m_chosenLink >= count)
        m_chosenLink = backwards ? count - 1 : 0;
    else
        m_chosenLink = (m_chosenLink + (backwards ? count - 1 : 1)) % count;
    ShowChosenLink();
    return true;
}

std::wstring CBrowserWindow::ChosenLinkUrl() const {
    std::vector<std::wstring> links = browser::PageLinks(m_markup);
    if (m_chosenLink < 0 || m_chosenLink >= static_cast<int>(links.size()))
        return {};
    // The page's own base element, which a helper puts in front of a page it rewrites, wins over the
    // address the page was loaded from.
    std::wstring base = browser::PageBase(m_markup);
    return browser::ResolveUrl(base.empty() ? m_url : browser::ResolveUrl(m_url, base), links[m_chosenLink]);
}

bool CBrowserWindow::FollowChosenLink() {
    std::wstring url = ChosenLinkUrl();
    return !url.empty() && LoadPage(url);
}

void CBrowserWindow::ShowChosenLink() {
    if (m_status != nullptr)
        SetWindowTextW(m_status, ChosenLinkUrl().c_str());
}

void CBrowserWindow::Layout() {
    RECT client;
    GetClientRect(m_frame.GetHwnd(), &client);
    const int pageHeight = client.bottom > kStatusHeight ? client.bottom - kStatusHeight : client.bottom;
    if (m_page.GetHwnd() != nullptr)
        MoveWindow(m_page.GetHwnd(), 0, 0, client.right, pageHeight, TRUE);
    if (m_display != nullptr)
        MoveWindow(m_display, 0, 0, client.right, pageHeight, TRUE);
    if (m_status != nullptr)
        MoveWindow(m_status, 0, pageHeight, client.right, client.bottom - pageHeight, TRUE);
}

bool CBrowserWindow::OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_SIZE:
        Layout();
        return true;
    case WM_SETFOCUS:
        if (m_display != nullptr)
            SetFocus(m_display);
        return true;
    case WM_DESTROY:
        // The helpers let go of the site while the page area can still answer a page in progress.
        ReleaseHelpers();
        PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

// The page area holds the display and answers the page objects' messages; its window text is the
// shown page's mark-up.
bool CBrowserWindow::OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 1;
    switch (message) {
    case WM_SETFOCUS:
        if (m_display != nullptr)
            SetFocus(m_display);
        result = 0;
        return true;
    case browser::kReadMarkup:
        *reinterpret_cast<std::wstring*>(lParam) = m_markup;
        return true;
    case browser::kWriteMarkup:
        ShowMarkup(*reinterpret_cast<const std::wstring*>(lParam));
        return true;
    case browser::kReadLocation:
        *reinterpret_cast<std::wstring*>(lParam) = m_url;
        return true;
    case WM_GETTEXTLENGTH:
        result = static_cast<LRESULT>(m_markup.size());
        return true;
    case WM_GETTEXT: {
        result = 0;
        if (wParam == 0)
            return true;
        size_t copied = std::min<size_t>(m_markup.size(), wParam - 1);
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        m_markup.copy(buffer, copied);
        buffer[copied] = L'\0';
        result = static_cast<LRESULT>(copied);
        return true;
    }
    default:
        return false;
    }
}

// Tab and Shift+Tab choose a link, Enter follows it; every other key scrolls the display as before.
bool CBrowserWindow::OnDisplayMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        ChooseLink(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        FollowChosenLink();
        return true;
    }
    if (message == WM_GETDLGCODE) {
        result = DLGC_WANTALLKEYS | DefSubclassProc(m_display, message, wParam, lParam);
        return true;
    }
    return false;
}
