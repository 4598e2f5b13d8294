// CPageWorker: the browser helper's worker thread and all it uses (the site, the page buffer, the write
// array, the event). The helper and the running thread share it, so that a helper that goes while its
// worker is still in a send to a toolbar that does not answer leaves the worker nothing destroyed: the
// worker finishes the page without the browser and ends.
#pragma once

#include "BrowserSite.h"
#include "PieDocument.h"
#include "platform/Handles.h"

#include <oleauto.h>

#include <memory>
#include <string>

class CPageWorker {
public:
    // Makes the write array and the event and starts the thread (none when the event cannot be had),
    // returning once it waits, so that a page asked for right after finds it waiting.
    static std::shared_ptr<CPageWorker> Start();
    ~CPageWorker();
    CPageWorker(const CPageWorker&) = delete;
    CPageWorker& operator=(const CPageWorker&) = delete;

    CBrowserSite& Site() { return m_site; }
    // The helper goes: the worker is asked to end after the page in progress, the site is let go, and the
    // worker is given a short while to end (it ends at once unless it is in a send to the toolbar; every
    // send has a limit of its own, and the worker holds the module until it has ended).
    void Stop();

private:
    CPageWorker();

    CBrowserSite m_site;
    BSTR m_pageBuffer = nullptr;
    SAFEARRAY* m_writeArray = nullptr;
    CHandle m_event;
    CHandle m_stop;
    CHandle m_started; // set by the worker as it begins to wait
    CHandle m_thread;

    static DWORD WINAPI ThreadMain(void* start);
    void Run();
    void TranslatePage();
    // The document's whole mark-up into the page buffer; false when it cannot be had, with the text id
    // of the message box the failure calls for (0 for none) in failure. Shown by the caller, once the
    // browser's objects are let go, so that a box waiting for the user never holds up the browser.
    bool ReadPage(IWebBrowser2& browser, UINT& failure);
    // The base element naming the page's address and translation, written into the browser's document.
    bool WritePage(IWebBrowser2& browser, const std::wstring& translation);
};
