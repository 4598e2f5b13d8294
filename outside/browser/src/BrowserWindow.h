// The browser's window: a frame of the class "IExplore" whose client area holds a child of the class
// "PIEHTML", the page area, above a one-line status strip naming the chosen link; the page itself is
// drawn by a "DISPLAYCLASS" window of htmlview.dll inside the page area. A page comes in by LoadPage
// (a URL from the command line or a followed link) or is written over by ShowMarkup (a helper
// object's document write). Tab and Shift+Tab choose a link of the page, Enter follows it.
#pragma once

#include "HelperObjects.h"
#include "platform/Control.h"
#include "platform/Handles.h"
#include "platform/Window.h"

#include <windows.h>

#include <string>

class CBrowserWindow {
public:
    static constexpr wchar_t kFrameClass[] = L"IExplore";
    static constexpr wchar_t kPageClass[] = L"PIEHTML";
    static constexpr int kPageId = 1;
    static constexpr int kDisplayId = 2;
    static constexpr int kStatusId = 3;

    CBrowserWindow() = default;
    ~CBrowserWindow();
    CBrowserWindow(const CBrowserWindow&) = delete;
    CBrowserWindow& operator=(const CBrowserWindow&) = delete;

    // Registers the classes, loads the display library and makes the windows; false when any fails.
    bool Create(HINSTANCE instance, int show);
    // Shows the page of a "file:" URL and scrolls to its anchor; a page that cannot be read shows the
    // "not found" page. False when the page could not be shown.
    bool LoadPage(const std::wstring& url);

    // Replaces the shown page with markup; the address stays (links resolve against the page's
    // <base href> when it has one, else against the address).
    void ShowMarkup(const std::wstring& markup);
    // Creates the registered browser helper objects and hands each this window's site; how many are
    // held. They are let go when the window is destroyed.
    size_t LoadHelpers();

    // Chooses the next link of the page (the previous one when backwards), wrapping round; false when
    // the page has no link.
    bool ChooseLink(bool backwards);
    // Opens the chosen link's page; false when no link is chosen or its page cannot be shown.
    bool FollowChosenLink();

    HWND GetHwnd() const { return m_frame.GetHwnd(); }
    const std::wstring& GetUrl() const { return m_url; }
    const std::wstring& GetMarkup() const { return m_markup; }
    // The address the chosen link leads to; empty when none is chosen.
    std::wstring ChosenLinkUrl() const;

private:
    static bool RegisterClasses(HINSTANCE instance);
    // The messages of the frame, of the page area and (before the display's own procedure) of the
    // display.
    bool OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnDisplayMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void SetPageText(const std::wstring& html);
    void ShowChosenLink();
    void ReleaseHelpers();
    void Layout();

    HINSTANCE m_instance = nullptr;
    CModuleHandle m_displayLibrary;
    CMemberWindow<CBrowserWindow, &CBrowserWindow::OnFrameMessage> m_frame{*this};
    CMemberWindow<CBrowserWindow, &CBrowserWindow::OnPageMessage> m_page{*this};
    HWND m_display = nullptr;
    CMemberControl<CBrowserWindow, &CBrowserWindow::OnDisplayMessage> m_displayKeys{*this};
    HWND m_status = nullptr;
    std::wstring m_url;
    std::wstring m_markup;
    int m_chosenLink = -1;
    IUnknown* m_site = nullptr;
    CHelperObjects m_helpers;
};
