// The site the browser hands its helper objects: IWebBrowser2 with the members a helper reads, the
// document and the page's address; every other member answers E_NOTIMPL. The interface has some
// seventy members, so the object is written against its C layout, every slot first filled with one
// E_NOTIMPL function (on x64 the caller removes the arguments, so one function serves every slot).
#define CINTERFACE
#define COBJMACROS
#include "PageObjects.h"

#include <exdisp.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>

namespace browser {

namespace {

struct CWebBrowserSite {
    IWebBrowser2 face; // first, so that the interface pointer is the object's address
    std::atomic<ULONG> references{1};
    std::unique_ptr<CSiteContent> content;
};

CWebBrowserSite* Site(IWebBrowser2* face) {
    return reinterpret_cast<CWebBrowserSite*>(face);
}

HRESULT STDMETHODCALLTYPE NotImplemented() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SiteQueryInterface(IWebBrowser2* face, REFIID id, void** object) {
    if (object == nullptr)
        return E_POINTER;
    for (const IID* offered :
         {&IID_IUnknown, &IID_IDispatch, &IID_IWebBrowser, &IID_IWebBrowserApp, &IID_IWebBrowser2}) {
        if (IsEqualIID(id, *offered)) {
            *object = face;
            ++Site(face)->references;
            return S_OK;
        }
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SiteAddRef(IWebBrowser2* face) {
    return ++Site(face)->references;
}

ULONG STDMETHODCALLTYPE SiteRelease(IWebBrowser2* face) {
    ULONG left = --Site(face)->references;
    if (left == 0)
        delete Site(face);
    return left;
}

HRESULT STDMETHODCALLTYPE SiteGetDocument(IWebBrowser2* face, IDispatch** document) {
    if (document == nullptr)
        return E_POINTER;
    *document = Site(face)->content->NewDocument();
    return *document != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE SiteGetLocationURL(IWebBrowser2* face, BSTR* url) {
    if (url == nullptr)
        return E_POINTER;
    const std::wstring location = Site(face)->content->LocationUrl();
    *url = SysAllocStringLen(location.data(), static_cast<UINT>(location.size()));
    return *url != nullptr ? S_OK : E_OUTOFMEMORY;
}

const IWebBrowser2Vtbl* SiteTable() {
    static const IWebBrowser2Vtbl table = [] {
        IWebBrowser2Vtbl filled;
        auto** slots = reinterpret_cast<void**>(&filled);
        std::fill(slots, slots + sizeof filled / sizeof(void*), reinterpret_cast<void*>(&NotImplemented));
        filled.QueryInterface = SiteQueryInterface;
        filled.AddRef = SiteAddRef;
        filled.Release = SiteRelease;
        filled.get_Document = SiteGetDocument;
        filled.get_LocationURL = SiteGetLocationURL;
        return filled;
    }();
    return &table;
}

} // namespace

IUnknown* CreateWebBrowserSite(std::unique_ptr<CSiteContent> content) {
    auto* site = new CWebBrowserSite();
    site->face.lpVtbl = const_cast<IWebBrowser2Vtbl*>(SiteTable());
    site->content = std::move(content);
    return reinterpret_cast<IUnknown*>(&site->face);
}

} // namespace browser
