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

// A null site comes when the browser lets its helpers go: the browser is released here, so that the
// two do not keep each other alive and the worker no longer reaches a browser that is closing.
HRESULT STDMETHODCALLTYPE CIEHlprObj::SetSite(IUnknown* site) {
    std::lock_guard<std::mutex> lock(m_browserLock);
    if (site == nullptr) {
        m_browser.Reset();
        m_site.Reset();
        return S_OK;
    }
    if (site == m_site.Get())
        return S_OK;
    site->AddRef();
    m_site = CComPtr<IUnknown>::Adopt(site);
    CComPtr<IWebBrowser2> browser;
    if (FAILED(site->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser.Put()))))
        browser.Reset();
    m_browser = browser;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::GetSite(REFIID interfaceId, void** site) {
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    std::lock_guard<std::mutex> lock(m_browserLock);
    if (!m_site)
        return E_FAIL;
    return m_site->QueryInterface(interfaceId, site);
}

CComPtr<IWebBrowser2> CIEHlprObj::Browser() {
    std::lock_guard<std::mutex> lock(m_browserLock);
    return m_browser;
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

void CIEHlprObj::TranslatePage() {
    pagelift::SendToToolbar(pagelift::kAnalysisBegins);
    CComPtr<IPIEHTMLDocument2> document;
    CComPtr<IWebBrowser2> browser = Browser();
    CComPtr<IDispatch> documentDispatch;
    bool read = false;
    if (browser && SUCCEEDED(browser->get_Document(documentDispatch.Put())) && documentDispatch) {
        if (FAILED(documentDispatch->QueryInterface(IID_IPIEHTMLDocument2, reinterpret_cast<void**>(document.Put()))) ||
            !document)
            ShowFailure(IDS_NO_DOCUMENT_INTERFACE);
        else
            read = ReadPage(document);
    }
    if (read) {
        std::wstring html = ovrin::TrimmedSpace(std::wstring_view(m_pageBuffer, SysStringLen(m_pageBuffer)));
        std::wstring translation;
        if (!html.empty() && pagelift::ExchangeWithToolbar(html, translation)) {
            BSTR address = nullptr;
            std::wstring location;
            if (SUCCEEDED(browser->get_LocationURL(&address)) && address != nullptr)
                location.assign(address, SysStringLen(address));
            SysFreeString(address);
            WritePage(document, pagelift::BaseElement(location) + translation);
        }
    }
    pagelift::SendToToolbar(pagelift::kTranslationOver);
}

bool CIEHlprObj::ReadPage(const CComPtr<IPIEHTMLDocument2>& document) {
    CComPtr<IPIEHTMLElementCollection> elements;
    if (FAILED(document->get_all(elements.Put())) || !elements) {
        ShowFailure(IDS_NO_COLLECTION);
        return false;
    }
    VARIANT first;
    VariantInit(&first);
    first.vt = VT_I4;
    first.lVal = 0;
    CComPtr<IDispatch> root;
    if (FAILED(elements->item(first, first, root.Put())) || !root) {
        ShowFailure(IDS_NO_ROOT_ELEMENT);
        return false;
    }
    CComPtr<IPIEHTMLElement> element;
    if (FAILED(root->QueryInterface(IID_IPIEHTMLElement, reinterpret_cast<void**>(element.Put()))) || !element)
        return false;
    SysFreeString(m_pageBuffer);
    m_pageBuffer = nullptr;
    return SUCCEEDED(element->get_outerHTML(&m_pageBuffer));
}

void CIEHlprObj::WritePage(const CComPtr<IPIEHTMLDocument2>& document, const std::wstring& text) {
    if (m_writeArray == nullptr) {
        ShowFailure(IDS_NO_WRITE_ARRAY);
        return;
    }
    SysFreeString(m_pageBuffer);
    m_pageBuffer = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    VARIANT page;
    VariantInit(&page);
    page.vt = VT_BSTR;
    page.bstrVal = m_pageBuffer;
    LONG index = 0;
    // The array keeps a copy of its own, freed when the next page replaces it or the array goes.
    if (SUCCEEDED(SafeArrayPutElement(m_writeArray, &index, &page)))
        document->write(m_writeArray);
}
