// CIEHlprObj, the browser helper object: the browser hands it its site; a worker thread of its own
// waits on the named event "OVRIN.PIETranslate" and, when woken, hands the page the browser shows to
// the toolbar and writes the translation back into the browser's document.
#pragma once

#include "BrowserSite.h"
#include "Pagelift.h"
#include "PieDocument.h"
#include "platform/Handles.h"

#include <exdisp.h>
#include <ocidl.h>

#include <atomic>
#include <string>

class CIEHlprObj : public IIEHlprObj, public IObjectWithSite {
public:
    // Makes the write array, the event and the worker thread.
    CIEHlprObj();
    // Stops the worker (waiting for a page in progress to finish), closes the event and releases
    // everything held.
    virtual ~CIEHlprObj();
    CIEHlprObj(const CIEHlprObj&) = delete;
    CIEHlprObj& operator=(const CIEHlprObj&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, through the type library
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID interfaceId, void** site) override;

private:
    std::atomic<ULONG> m_references{1};
    CBrowserSite m_site; // set on the browser's thread, used on the worker's
    CComPtr<ITypeInfo> m_typeInfo;
    BSTR m_pageBuffer = nullptr;
    SAFEARRAY* m_writeArray = nullptr;
    CHandle m_event;
    CHandle m_stop;
    CHandle m_started; // set by the worker as it begins to wait
    CHandle m_worker;

    static DWORD WINAPI WorkerMain(void* self);
    void RunWorker();
    void TranslatePage();
    // The document's whole mark-up into the page buffer; false when it cannot be had, with the text id
    // of the message box the failure calls for (0 for none) in failure. Shown by the caller, once the
    // browser's objects are let go, so that a box waiting for the user never holds up the browser.
    bool ReadPage(IWebBrowser2& browser, UINT& failure);
    // The base element naming the page's address and translation, written into the browser's document.
    bool WritePage(IWebBrowser2& browser, const std::wstring& translation);
    HRESULT LoadTypeInfo();
};
