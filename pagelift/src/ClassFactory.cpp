// CIEHlprObjFactory.
#include "ClassFactory.h"

#include "IEHlprObj.h"
#include "Module.h"

#include <new>

CIEHlprObjFactory::CIEHlprObjFactory() {
    pagelift::ModuleAddRef();
}

CIEHlprObjFactory::~CIEHlprObjFactory() {
    pagelift::ModuleRelease();
}

HRESULT STDMETHODCALLTYPE CIEHlprObjFactory::QueryInterface(REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIEHlprObjFactory::AddRef() {
    return ++m_references;
}

ULONG STDMETHODCALLTYPE CIEHlprObjFactory::Release() {
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CIEHlprObjFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    auto* helper = new (std::nothrow) CIEHlprObj();
    if (helper == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = helper->QueryInterface(interfaceId, object);
    helper->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE CIEHlprObjFactory::LockServer(BOOL lock) {
    if (lock)
        pagelift::ModuleAddRef();
    else
        pagelift::ModuleRelease();
    return S_OK;
}
