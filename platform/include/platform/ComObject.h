// The reference counting and interface lookup every small COM object of ours shares: a class derives
// from CComObject<its interfaces...> and says in FindInterface which interface pointer answers which
// id; CDispatchObject adds an IDispatch without type information for objects reached only through
// their interfaces' own slots.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <unknwn.h>

#include <atomic>

template <typename... Interfaces>
class CComObject : public Interfaces... {
public:
    CComObject() = default;
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = FindInterface(interfaceId);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    // Objects are made with one reference, the creator's, and go only through Release.
    virtual ~CComObject() = default;
    // The pointer that answers interfaceId (cast to that interface), or null.
    virtual void* FindInterface(REFIID interfaceId) = 0;

private:
    std::atomic<ULONG> m_references{1};
};

// One dual interface (Interface, id *InterfaceId) whose IDispatch part offers no type information:
// callers use the interface's slots directly.
template <typename Interface, const IID* InterfaceId>
class CDispatchObject : public CComObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    void* FindInterface(REFIID interfaceId) override {
        if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IDispatch) ||
            IsEqualIID(interfaceId, *InterfaceId))
            return static_cast<Interface*>(this);
        return nullptr;
    }
};
