// The objects the browser hands its helper objects: the site (IWebBrowser2, of which the document and
// the address are answered) and the document with its element collection and root element. They hold
// only the page area's window and reach the page through the messages below, which the window's
// thread answers: a helper calls them from threads of its own.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string>

namespace browser {

constexpr UINT kReadMarkup = WM_APP + 1;   // lParam std::wstring*: the shown page's mark-up; answers 1
constexpr UINT kWriteMarkup = WM_APP + 2;  // lParam const std::wstring*: replaces the shown page; answers 1
constexpr UINT kReadLocation = WM_APP + 3; // lParam std::wstring*: the page's address; answers 1

// A new document object (IPIEHTMLDocument2) over the page area page, as its IDispatch; one reference,
// the caller's.
IDispatch* CreatePageDocument(HWND page);

// What a site answers for: its document and its address.
class CSiteContent {
public:
    virtual ~CSiteContent() = default;
    // A new reference to the document, or null when there is none.
    virtual IDispatch* NewDocument() = 0;
    virtual std::wstring LocationUrl() = 0;
};

// A new site offering IWebBrowser2 over content; one reference, the caller's.
IUnknown* CreateWebBrowserSite(std::unique_ptr<CSiteContent> content);

// A new site over the page area page: its document and address are the page area's.
IUnknown* CreateWebBrowserSite(HWND page);

} // namespace browser
