// CIEHlprObj: the site, the dispatch interface and the worker that translates the shown page.
#include "IEHlprObj.h"
#include "common/Unicode.h"

#include "Module.h"
#include "PageExchange.h"
#include "resource.h"

#include <cwctype>
#include <string>

namespace {

constexpr DWORD kStartTimeout = 5000;

// The failures that abandon a page with a message box: no owner, no caption, the exclamation icon.
void ShowFailure(UINT textId) {
    wchar_t text[128] = {};
    LoadStringW(pagelift::ModuleHandle(), textId, text, 128);
    MessageBoxW(nullptr, text, L"", MB_ICONEXCLAMATION);
}

} // namespace

CIEHlprObj::CIEHlprObj() {
    pagelift::ModuleAddRef();
    m_writeArray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    // An event another helper made already is opened instead.
    m_event.Reset(CreateEventW(nullptr, TRUE, FALSE, pagelift::kPageTranslateEvent));
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_started.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (m_event && m_stop && m_started) {
        m_worker.Reset(CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr));
        // A page request made as soon as the browser has its helper must find the worker waiting.
        if (m_worker)
            WaitForSingleObject(m_started.Get(), kStartTimeout);
    }
}

CIEHlprObj::~CIEHlprObj() {
    if (m_worker) {
        SetEvent(m_stop.Get());
        // The worker may be inside a call on the browser's objects that the browser serves through
        // messages to this thread: messages sent here are handled while waiting.
        HANDLE worker = m_worker.Get();
        while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    if (m_writeArray != nullptr)
        SafeArrayDestroy(m_writeArray);
    SysFreeString(m_pageBuffer);
    pagelift::ModuleRelease();
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::QueryInterface(REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IDispatch) ||
        IsEqualIID(interfaceId, IID_IIEHlprObj)) {
        *object = static_cast<IIEHlprObj*>(this);
    } else if (IsEqualIID(interfaceId, IID_IObjectWithSite)) {
        *object = static_cast<IObjectWithSite*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CIEHlprObj::AddRef() {
    return ++m_references;
}

ULONG STDMETHODCALLTYPE CIEHlprObj::Release() {
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CIEHlprObj::LoadTypeInfo() {
    if (m_typeInfo)
        return S_OK;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(pagelift::ModuleHandle(), path, MAX_PATH);
    CComPtr<ITypeLib> library;
    HRESULT result = LoadTypeLibEx(path, REGKIND_NONE, library.Put());
    if (FAILED(result))
        return result;
    return library->GetTypeInfoOfGuid(IID_IIEHlprObj, m_typeInfo.Put());
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info == nullptr)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    HRESULT result = LoadTypeInfo();
    if (FAILED(result))
        return result;
    *info = m_typeInfo.Get();
    (*info)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    HRESULT result = LoadTypeInfo();
    return FAILED(result) ? result : DispGetIDsOfNames(m_typeInfo.Get(), names, count, ids);
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    HRESULT loaded = LoadTypeInfo();
    if (FAILED(loaded))
        return loaded;
    return DispInvoke(static_cast<IIEHlprObj*>(this), m_typeInfo.Get(), member, flags, parameters, result, exception,
                      argumentError);
}

// A null site releases the site and its browser (where a null site might be thought ignorable): it
// comes when the browser lets its helpers go, and then the two must not keep each other alive, nor may
// the worker go on calling a browser that is closing.
HRESULT STDMETHODCALLTYPE CIEHlprObj::SetSite(IUnknown* site) {
    m_site.Set(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::GetSite(REFIID interfaceId, void** site) {
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    return m_site.Get(interfaceId, site);
}

DWORD WINAPI CIEHlprObj::WorkerMain(void* self) {
    static_cast<CIEHlprObj*>(self)->RunWorker();
    return 0;
}

void CIEHlprObj::RunWorker() {
    const HANDLE handles[2] = {m_stop.Get(), m_event.Get()};
    SetEvent(m_started.Get());
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        ResetEvent(m_event.Get());
        TranslatePage();
    }
}

// The page belongs to the site held when the worker woke: each step on the browser is made only while
// that site is still held, and the browser's objects are let go between the steps, so that a new site
// or a null one never waits for the toolbar.
void CIEHlprObj::TranslatePage() {
    const unsigned serial = m_site.Current();
    pagelift::SendToToolbar(pagelift::kAnalysisBegins);
    UINT failure = 0;
    bool read = m_site.Use(serial, [&](IWebBrowser2& browser) { return ReadPage(browser, failure); });
    if (failure != 0)
        ShowFailure(failure);
    if (read) {
        std::wstring html = ovrin::TrimmedSpace(std::wstring_view(m_pageBuffer, SysStringLen(m_pageBuffer)));
        std::wstring translation;
        if (!html.empty() && m_site.IsCurrent(serial) && pagelift::ExchangeWithToolbar(html, translation)) {
            if (m_writeArray == nullptr)
                ShowFailure(IDS_NO_WRITE_ARRAY);
            else
                m_site.Use(serial, [&](IWebBrowser2& browser) { return WritePage(browser, translation); });
        }
    }
    pagelift::SendToToolbar(pagelift::kTranslationOver);
}

bool CIEHlprObj::ReadPage(IWebBrowser2& browser, UINT& failure) {
    CComPtr<IDispatch> documentDispatch;
    if (FAILED(browser.get_Document(documentDispatch.Put())) || !documentDispatch)
        return false;
    CComPtr<IPIEHTMLDocument2> document;
    if (FAILED(documentDispatch->QueryInterface(IID_IPIEHTMLDocument2, reinterpret_cast<void**>(document.Put()))) ||
        !document) {
        failure = IDS_NO_DOCUMENT_INTERFACE;
        return false;
    }
    CComPtr<IPIEHTMLElementCollection> elements;
    if (FAILED(document->get_all(elements.Put())) || !elements) {
        failure = IDS_NO_COLLECTION;
        return false;
    }
    VARIANT first;
    VariantInit(&first);
    first.vt = VT_I4;
    first.lVal = 0;
    CComPtr<IDispatch> root;
    if (FAILED(elements->item(first, first, root.Put())) || !root) {
        failure = IDS_NO_ROOT_ELEMENT;
        return false;
    }
    CComPtr<IPIEHTMLElement> element;
    if (FAILED(root->QueryInterface(IID_IPIEHTMLElement, reinterpret_cast<void**>(element.Put()))) || !element)
        return false;
    SysFreeString(m_pageBuffer);
    m_pageBuffer = nullptr;
    return SUCCEEDED(element->get_outerHTML(&m_pageBuffer));
}

bool CIEHlprObj::WritePage(IWebBrowser2& browser, const std::wstring& translation) {
    CComPtr<IDispatch> documentDispatch;
    CComPtr<IPIEHTMLDocument2> document;
    if (FAILED(browser.get_Document(documentDispatch.Put())) || !documentDispatch ||
        FAILED(documentDispatch->QueryInterface(IID_IPIEHTMLDocument2, reinterpret_cast<void**>(document.Put()))) ||
        !document)
        return false;
    BSTR address = nullptr;
    std::wstring location;
    if (SUCCEEDED(browser.get_LocationURL(&address)) && address != nullptr)
        location.assign(address, SysStringLen(address));
    SysFreeString(address);
    const std::wstring text = pagelift::BaseElement(location) + translation;
    SysFreeString(m_pageBuffer);
    m_pageBuffer = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    VARIANT page;
    VariantInit(&page);
    page.vt = VT_BSTR;
    page.bstrVal = m_pageBuffer;
    LONG index = 0;
    // The array keeps a copy of its own, freed when the next page replaces it or the array goes.
    return SUCCEEDED(SafeArrayPutElement(m_writeArray, &index, &page)) && SUCCEEDED(document->write(m_writeArray));
}
