// CBrowserSite: holding, replacing and using the browser's site.
#include "BrowserSite.h"
#include "platform/Wait.h"

CBrowserSite::CBrowserSite() : m_idle(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

void CBrowserSite::Set(IUnknown* site) {
    CComPtr<IUnknown> oldSite;
    CComPtr<IWebBrowser2> oldBrowser;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (site == m_site.Get())
            return;
        oldSite = std::move(m_site);
        oldBrowser = std::move(m_browser);
        m_serial = 0;
        if (site != nullptr) {
            site->AddRef();
            m_site = CComPtr<IUnknown>::Adopt(site);
            if (FAILED(site->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(m_browser.Put()))))
                m_browser.Reset();
            m_serial = ++m_lastSerial;
        }
    }
    WaitForStepsToEnd();
}

HRESULT CBrowserSite::Get(REFIID interfaceId, void** object) {
    CComPtr<IUnknown> site;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        site = m_site;
    }
    if (!site)
        return E_FAIL;
    return site->QueryInterface(interfaceId, object);
}

unsigned CBrowserSite::Current() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_serial;
}

bool CBrowserSite::IsCurrent(unsigned serial) {
    std::lock_guard<std::mutex> lock(m_lock);
    return serial != 0 && serial == m_serial;
}

bool CBrowserSite::BeginUse(unsigned serial, CComPtr<IWebBrowser2>& browser) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (serial == 0 || serial != m_serial || !m_browser)
        return false;
    browser = m_browser;
    if (m_uses++ == 0)
        ResetEvent(m_idle.Get());
    return true;
}

void CBrowserSite::EndUse() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (--m_uses == 0)
        SetEvent(m_idle.Get());
}

void CBrowserSite::WaitForStepsToEnd() {
    platform::WaitAnsweringSentMessages(m_idle.Get(), INFINITE);
}
