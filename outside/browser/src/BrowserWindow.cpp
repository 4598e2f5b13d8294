// The browser's frame, its page area and the loading of a page.
#include "BrowserWindow.h"

#include "../resource.h"
#include "PageSource.h"

#include <htmlview/HtmlView.h>

#include <fstream>
#include <iterator>

namespace {

constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 400;

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
    if (m_frame != nullptr && IsWindow(m_frame))
        DestroyWindow(m_frame);
    if (m_displayLibrary != nullptr)
        FreeLibrary(m_displayLibrary);
}

bool CBrowserWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW frame = {};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    frame.lpszClassName = kFrameClass;
    WNDCLASSEXW page = frame;
    page.lpfnWndProc = PageProc;
    page.lpszClassName = kPageClass;
    // A second window of the process finds the classes made for the first.
    auto registered = [instance](const WNDCLASSEXW& windowClass) {
        WNDCLASSEXW existing = {};
        existing.cbSize = sizeof existing;
        return GetClassInfoExW(instance, windowClass.lpszClassName, &existing) || RegisterClassExW(&windowClass) != 0;
    };
    return registered(frame) && registered(page);
}

bool CBrowserWindow::Create(HINSTANCE instance, int show) {
    m_instance = instance;
    if (!RegisterClasses(instance))
        return false;
    m_displayLibrary = LoadLibraryW(HTMLVIEW_DLL);
    auto init = m_displayLibrary == nullptr ? nullptr
                                            : reinterpret_cast<InitHtmlControlFunction>(reinterpret_cast<void*>(
                                                  GetProcAddress(m_displayLibrary, HTMLVIEW_INIT_FUNCTION)));
    if (init == nullptr || !init(instance))
        return false;
    m_frame =
        CreateWindowExW(0, kFrameClass, LoadText(instance, IDS_BROWSER_TITLE).c_str(), WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, kDefaultWidth, kDefaultHeight, nullptr, nullptr, instance, this);
    if (m_frame == nullptr)
        return false;
    m_page = CreateWindowExW(0, kPageClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, m_frame,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageId)), instance, this);
    m_display = m_page == nullptr
                    ? nullptr
                    : CreateWindowExW(0, WC_HTML, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 0, 0, m_page,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDisplayId)), instance, nullptr);
    if (m_display == nullptr)
        return false;
    SendMessageW(m_display, DTM_ENABLESHRINK, 0, TRUE);
    Layout();
    ShowWindow(m_frame, show);
    UpdateWindow(m_frame);
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
        SetPageText(LoadText(m_instance, IDS_PAGE_NOT_FOUND));
        SetWindowTextW(m_frame, LoadText(m_instance, IDS_BROWSER_TITLE).c_str());
        return false;
    }
    std::wstring page = browser::DecodePage(bytes);
    SetPageText(page);
    std::wstring title = browser::PageTitle(page);
    SetWindowTextW(m_frame, (title.empty() ? LoadText(m_instance, IDS_BROWSER_TITLE) : title).c_str());
    if (!file.anchor.empty())
        SendMessageW(m_display, DTM_ANCHORW, 0, reinterpret_cast<LPARAM>(file.anchor.c_str()));
    return true;
}

void CBrowserWindow::Layout() {
    RECT client;
    GetClientRect(m_frame, &client);
    if (m_page != nullptr)
        MoveWindow(m_page, 0, 0, client.right, client.bottom, TRUE);
    if (m_display != nullptr)
        MoveWindow(m_display, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK CBrowserWindow::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* browser = reinterpret_cast<CBrowserWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_SIZE:
        if (browser != nullptr && browser->m_frame == window)
            browser->Layout();
        return 0;
    case WM_SETFOCUS:
        if (browser != nullptr && browser->m_display != nullptr)
            SetFocus(browser->m_display);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The page area holds the display; later it also answers the page interfaces.
LRESULT CALLBACK CBrowserWindow::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS) {
        if (HWND display = GetDlgItem(window, kDisplayId))
            SetFocus(display);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
