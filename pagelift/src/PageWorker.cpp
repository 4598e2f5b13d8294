// CPageWorker: the worker thread that translates the shown page, and its lifetime.
#include "PageWorker.h"
#include "base/Text.h"
#include "base/Unicode.h"
#include "platform/Wait.h"

#include "Module.h"
#include "PageExchange.h"
#include "resource.h"

#include <utility>

namespace {

constexpr DWORD kStartTimeout = 5000;
// How long a helper that goes waits for its worker to end; a worker still in a send goes on alone.
constexpr DWORD kEndTimeout = 2000;

// The failures that abandon a page with a message box: no owner, no caption, the exclamation icon.
void ShowFailure(UINT textId) {
    wchar_t text[128] = {};
    LoadStringW(pagelift::ModuleHandle(), textId, text, 128);
    MessageBoxW(nullptr, text, L"", MB_ICONEXCLAMATION);
}

// What the thread is started with: its share of the worker and its own reference to the module, which
// it gives up only as it exits, so that the module cannot be unloaded under a worker that outlives
// every helper.
struct ThreadStart {
    std::shared_ptr<CPageWorker> worker;
    HMODULE module = nullptr;
};

} // namespace

CPageWorker::CPageWorker() {
    m_writeArray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    // An event another helper made already is opened instead.
    m_event.Reset(CreateEventW(nullptr, TRUE, FALSE, pagelift::kPageTranslateEvent));
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_started.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

CPageWorker::~CPageWorker() {
    if (m_writeArray != nullptr)
        SafeArrayDestroy(m_writeArray);
    SysFreeString(m_pageBuffer);
}

std::shared_ptr<CPageWorker> CPageWorker::Start() {
    std::shared_ptr<CPageWorker> worker(new CPageWorker());
    if (!worker->m_event || !worker->m_stop || !worker->m_started)
        return worker;
    auto* start = new ThreadStart{worker, nullptr};
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&CPageWorker::ThreadMain)),
                            &start->module)) {
        delete start;
        return worker;
    }
    worker->m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, start, 0, nullptr));
    if (!worker->m_thread) {
        FreeLibrary(start->module);
        delete start;
        return worker;
    }
    WaitForSingleObject(worker->m_started.Get(), kStartTimeout);
    return worker;
}

void CPageWorker::Stop() {
    if (m_stop)
        SetEvent(m_stop.Get());
    m_site.Set(nullptr);
    if (m_thread)
        // The browser's thread may serve the worker's calls on its objects meanwhile.
        platform::WaitAnsweringSentMessages(m_thread.Get(), kEndTimeout);
}

DWORD WINAPI CPageWorker::ThreadMain(void* start) {
    auto* taken = static_cast<ThreadStart*>(start);
    HMODULE module = taken->module;
    taken->worker->Run();
    delete taken; // the last share, when the helper has gone
    FreeLibraryAndExitThread(module, 0);
}

void CPageWorker::Run() {
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
void CPageWorker::TranslatePage() {
    const unsigned serial = m_site.Current();
    pagelift::SendToToolbar(pagelift::kAnalysisBegins);
    UINT failure = 0;
    bool read = m_site.Use(serial, [&](IWebBrowser2& browser) { return ReadPage(browser, failure); });
    if (failure != 0)
        ShowFailure(failure);
    if (read) {
        std::wstring html = ovrin::Trimmed(std::wstring_view(m_pageBuffer, SysStringLen(m_pageBuffer)));
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

bool CPageWorker::ReadPage(IWebBrowser2& browser, UINT& failure) {
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

bool CPageWorker::WritePage(IWebBrowser2& browser, const std::wstring& translation) {
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
