// The stand-in browser: the helper uses only a few members of IWebBrowser2, so the object is written
// against the interface's C layout, every other slot answering E_NOTIMPL (on x64 the caller clears
// the arguments, so one function serves every slot).
#define CINTERFACE
#define COBJMACROS
#include <windows.h>

#include <exdisp.h>

#include <atomic>
#include <cstddef>

struct IPIEHTMLDocument2;
IUnknown* CreateFakeBrowser(IDispatch* document, const wchar_t* url);

namespace {

struct FakeBrowser {
    IWebBrowser2 browser;
    std::atomic<ULONG> references{1};
    IDispatch* document = nullptr;
    BSTR url = nullptr;
};

FakeBrowser* Self(IWebBrowser2* browser) {
    return reinterpret_cast<FakeBrowser*>(browser);
}

HRESULT STDMETHODCALLTYPE NotImplemented() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE QueryInterface(IWebBrowser2* browser, REFIID id, void** object) {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) || IsEqualIID(id, IID_IWebBrowser) ||
        IsEqualIID(id, IID_IWebBrowserApp) || IsEqualIID(id, IID_IWebBrowser2)) {
        *object = browser;
        ++Self(browser)->references;
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddRef(IWebBrowser2* browser) {
    return ++Self(browser)->references;
}

ULONG STDMETHODCALLTYPE Release(IWebBrowser2* browser) {
    FakeBrowser* self = Self(browser);
    ULONG left = --self->references;
    if (left == 0) {
        if (self->document != nullptr)
            IDispatch_Release(self->document);
        SysFreeString(self->url);
        delete self;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE GetDocument(IWebBrowser2* browser, IDispatch** document) {
    *document = Self(browser)->document;
    if (*document == nullptr)
        return E_FAIL;
    IDispatch_AddRef(*document);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetLocationURL(IWebBrowser2* browser, BSTR* url) {
    *url = SysAllocString(Self(browser)->url);
    return S_OK;
}

const IWebBrowser2Vtbl* Table() {
    static IWebBrowser2Vtbl table = [] {
        IWebBrowser2Vtbl made;
        auto** slots = reinterpret_cast<void**>(&made);
        for (std::size_t i = 0; i < sizeof made / sizeof(void*); ++i)
            slots[i] = reinterpret_cast<void*>(&NotImplemented);
        made.QueryInterface = QueryInterface;
        made.AddRef = AddRef;
        made.Release = Release;
        made.get_Document = GetDocument;
        made.get_LocationURL = GetLocationURL;
        return made;
    }();
    return &table;
}

} // namespace

IUnknown* CreateFakeBrowser(IDispatch* document, const wchar_t* url) {
    auto* self = new FakeBrowser();
    self->browser.lpVtbl = const_cast<IWebBrowser2Vtbl*>(Table());
    self->document = document;
    if (document != nullptr)
        IDispatch_AddRef(document);
    self->url = SysAllocString(url);
    return reinterpret_cast<IUnknown*>(&self->browser);
}
