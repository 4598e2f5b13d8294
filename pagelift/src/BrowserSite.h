// CBrowserSite: the site the browser hands its helper and the site's IWebBrowser2, shared between the
// browser's thread (which sets and reads the site) and the helper's worker (which reads and writes the
// page). Once Set has returned, the worker makes no further call on the objects of the site it replaced.
#pragma once

#include "platform/Handles.h"

#include <exdisp.h>

#include <mutex>
#include <utility>

class CBrowserSite {
public:
    CBrowserSite();
    CBrowserSite(const CBrowserSite&) = delete;
    CBrowserSite& operator=(const CBrowserSite&) = delete;

    // Holds site and its IWebBrowser2 (none when the query fails); a null site holds nothing. The site
    // replaced is released, after any step of the worker still under way on it is over (messages sent
    // to this thread are handled meanwhile, since the browser may serve that step through them). The
    // site already held changes nothing.
    void Set(IUnknown* site);
    // The held site's interfaceId; E_FAIL when no site is held.
    HRESULT Get(REFIID interfaceId, void** object);

    // The serial number of the site held now (each site held gets a new one); 0 when none is held.
    unsigned Current();
    bool IsCurrent(unsigned serial);

    // Runs step(IWebBrowser2&) while the site of serial is still held and offers a browser; false, and
    // nothing run, when it is not. Every reference the step takes must be released within it.
    template <typename Step>
    bool Use(unsigned serial, Step&& step) {
        CComPtr<IWebBrowser2> browser;
        if (!BeginUse(serial, browser))
            return false;
        bool done = std::forward<Step>(step)(*browser.Get());
        browser.Reset();
        EndUse();
        return done;
    }

private:
    std::mutex m_lock;
    CComPtr<IUnknown> m_site;
    CComPtr<IWebBrowser2> m_browser;
    unsigned m_serial = 0;
    unsigned m_lastSerial = 0;
    int m_uses = 0;
    CHandle m_idle; // manual-reset: set while no step is under way

    bool BeginUse(unsigned serial, CComPtr<IWebBrowser2>& browser);
    void EndUse();
    void WaitForStepsToEnd();
};
