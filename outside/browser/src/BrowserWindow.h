// The browser's window: a frame of the class "IExplore" whose client area is one child of the class
// "PIEHTML", the page area; the page itself is drawn by a "DISPLAYCLASS" window of htmlview.dll
// inside it. LoadPage is the one way a page comes in (a URL from the command line now; helper
// objects and the page interfaces will call it too).
#pragma once

#include <windows.h>

#include <string>

class CBrowserWindow {
public:
    static constexpr wchar_t kFrameClass[] = L"IExplore";
    static constexpr wchar_t kPageClass[] = L"PIEHTML";
    static constexpr int kPageId = 1;
    static constexpr int kDisplayId = 2;

    CBrowserWindow() = default;
    ~CBrowserWindow();
    CBrowserWindow(const CBrowserWindow&) = delete;
    CBrowserWindow& operator=(const CBrowserWindow&) = delete;

    // Registers the classes, loads the display library and makes the windows; false when any fails.
    bool Create(HINSTANCE instance, int show);
    // Shows the page of a "file:" URL and scrolls to its anchor; a page that cannot be read shows the
    // "not found" page. False when the page could not be shown.
    bool LoadPage(const std::wstring& url);

    HWND GetHwnd() const { return m_frame; }
    const std::wstring& GetUrl() const { return m_url; }

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterClasses(HINSTANCE instance);
    void SetPageText(const std::wstring& html);
    void Layout();

    HINSTANCE m_instance = nullptr;
    HMODULE m_displayLibrary = nullptr;
    HWND m_frame = nullptr;
    HWND m_page = nullptr;
    HWND m_display = nullptr;
    std::wstring m_url;
};
