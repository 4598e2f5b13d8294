// CIEHlprObj: the site, the dispatch interface and the worker that translates the shown page.
#include "IEHlprObj.h"

#include "Module.h"

CIEHlprObj::CIEHlprObj() : m_worker(CPageWorker::Start()) {}

// The worker is not waited for beyond a short while: it may be in a send to a toolbar that does not
// answer, and closing the browser must not wait for that; all it uses is in the worker it holds a share of.
CIEHlprObj::~CIEHlprObj() {
    m_worker->Stop();
}

void* CIEHlprObj::FindInterface(REFIID interfaceId) {
    if (IsOneOf(interfaceId, {IID_IUnknown, IID_IDispatch, IID_IIEHlprObj}))
        return static_cast<IIEHlprObj*>(this);
    if (IsEqualIID(interfaceId, IID_IObjectWithSite))
        return static_cast<IObjectWithSite*>(this);
    return nullptr;
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
    m_worker->Site().Set(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIEHlprObj::GetSite(REFIID interfaceId, void** site) {
    if (site == nullptr)
        return E_POINTER;
    *site = nullptr;
    return m_worker->Site().Get(interfaceId, site);
}
