// A minimal COM object base for the engine's DLLs: one reference count, QueryInterface over a list of
// interface identifiers, and the DLL's object count that DllCanUnloadNow answers from.
#pragma once

#include "EnginePrivate.h"

#include <initializer_list>
#include <new>

namespace mtengine {

template <typename Interface>
class ComObject : public Interface {
public:
    ComObject() { ObjectCount::Increment(); }
    virtual ~ComObject() { ObjectCount::Decrement(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || Answers(iid)) {
            *object = ObjectFor(iid);
            this->AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        long left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    // Whether the object offers iid (IUnknown is always offered).
    virtual bool Answers(REFIID iid) = 0;
    // The pointer handed out for iid; the object itself unless an interface lies elsewhere.
    virtual void* ObjectFor(REFIID iid) { return static_cast<Interface*>(this); }

private:
    std::atomic<long> m_references{1};
};

// Hands out interface iid of a newly made object (or E_OUTOFMEMORY when there is none) and drops the
// maker's own reference, so that the object lives exactly as long as the caller's pointer.
inline HRESULT HandOut(IUnknown* made, REFIID iid, void** object) {
    if (made == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = made->QueryInterface(iid, object);
    made->Release();
    return result;
}

// A class factory that makes objects of one class for one interface list.
template <typename Make>
class ClassFactory : public ComObject<IClassFactory> {
public:
    explicit ClassFactory(Make make) : m_make(make) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        return HandOut(m_make(), iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ObjectCount::Increment() : ObjectCount::Decrement();
        return S_OK;
    }

protected:
    bool Answers(REFIID iid) override { return IsEqualIID(iid, IID_IClassFactory); }

private:
    Make m_make;
};

// DllGetClassObject's answer for a module whose one class is made by make.
template <typename Make>
HRESULT HandOutClassFactory(Make make, REFIID iid, void** object) {
    return HandOut(static_cast<IClassFactory*>(new (std::nothrow) ClassFactory<Make>(make)), iid, object);
}

} // namespace mtengine
