// CIEHlprObj, the browser helper object: the browser hands it its site; a worker thread of its own
// waits on the named event "OVRIN.PIETranslate" and, when woken, hands the page the browser shows to
// the toolbar and writes the translation back into the browser's document.
#pragma once

#include "PageWorker.h"
#include "Pagelift.h"
#include "platform/ComObject.h"
#include "platform/Handles.h"

#include <exdisp.h>
#include <ocidl.h>

#include <memory>

class CIEHlprObj : public CComObject<IIEHlprObj, IObjectWithSite> {
public:
    // Starts the worker (with the write array and the event).
    CIEHlprObj();
    // Lets the site go and asks the worker to end; a worker still in a page finishes it alone.
    ~CIEHlprObj() override;

    // IDispatch, through the type library
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID interfaceId, void** site) override;

protected:
    void* FindInterface(REFIID interfaceId) override;

private:
    CComPtr<ITypeInfo> m_typeInfo;
    std::shared_ptr<CPageWorker> m_worker; // the site lives there: set on the browser's thread, used on the worker's

    HRESULT LoadTypeInfo();
};
