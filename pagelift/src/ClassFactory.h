// The class object of CIEHlprObj: makes helper objects, never as part of an aggregate.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <atomic>

class CIEHlprObjFactory : public IClassFactory {
public:
    CIEHlprObjFactory();
    virtual ~CIEHlprObjFactory();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    std::atomic<ULONG> m_references{1};
};
