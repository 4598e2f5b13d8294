// The reference counting and interface lookup every COM object of ours shares: a class derives from
// CComObject<its interfaces...> and says in FindInterface which interface pointer answers which id
// (by default IUnknown alone, answered by the first interface). Every object counts in its module's
// CModuleCount, which a server's DllCanUnloadNow answers from; CClassFactory makes a server's objects.
// CDispatchObject adds an IDispatch without type information for objects reached only through their
// interfaces' own slots.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <unknwn.h>

#include <atomic>
#include <initializer_list>
#include <new>
#include <tuple>

// The live objects and class-object locks of this module. Each module that links this layer (every
// server DLL) keeps a count of its own.
class CModuleCount {
public:
    static void Lock() { ++Count(); }
    static void Unlock() { --Count(); }
    // What DllCanUnloadNow answers: S_OK when nothing of the module is alive or locked.
    static HRESULT CanUnloadNow() { return Count().load() == 0 ? S_OK : S_FALSE; }

private:
    static std::atomic<long>& Count() {
        static std::atomic<long> count{0};
        return count;
    }
};

template <typename... Interfaces>
class CComObject : public Interfaces... {
public:
    CComObject() { CModuleCount::Lock(); }
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
    using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    // Objects are made with one reference, the creator's, and go only through Release.
    virtual ~CComObject() { CModuleCount::Unlock(); }
    // The pointer that answers interfaceId (cast to that interface), or null.
    virtual void* FindInterface(REFIID interfaceId) {
        return IsEqualIID(interfaceId, IID_IUnknown) ? static_cast<FirstInterface*>(this) : nullptr;
    }
    // Whether interfaceId is one of ids.
    static bool IsOneOf(REFIID interfaceId, std::initializer_list<IID> ids) {
        for (const IID& id : ids)
            if (IsEqualIID(interfaceId, id))
                return true;
        return false;
    }

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

// Hands out interface interfaceId of a newly made object (E_OUTOFMEMORY when none was made) and drops
// the maker's own reference, so that the object lives exactly as long as the caller's pointer.
inline HRESULT HandOut(IUnknown* made, REFIID interfaceId, void** object) {
    if (object == nullptr) {
        if (made != nullptr)
            made->Release();
        return E_POINTER;
    }
    *object = nullptr;
    if (made == nullptr)
        return E_OUTOFMEMORY;
    HRESULT result = made->QueryInterface(interfaceId, object);
    made->Release();
    return result;
}

// The class object of a server's one class: Make() makes an object (a pointer of ours with one
// reference, or null), never as part of an aggregate; locks count in the module's count.
template <typename Make>
class CClassFactory : public CComObject<IClassFactory> {
public:
    explicit CClassFactory(Make make) : m_make(make) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        return HandOut(m_make(), interfaceId, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? CModuleCount::Lock() : CModuleCount::Unlock();
        return S_OK;
    }

protected:
    void* FindInterface(REFIID interfaceId) override {
        return IsOneOf(interfaceId, {IID_IUnknown, IID_IClassFactory}) ? static_cast<IClassFactory*>(this) : nullptr;
    }

private:
    Make m_make;
};

// DllGetClassObject's answer for a server whose one class make makes.
template <typename Make>
HRESULT HandOutClassFactory(Make make, REFIID interfaceId, void** object) {
    return HandOut(static_cast<IClassFactory*>(new (std::nothrow) CClassFactory<Make>(make)), interfaceId, object);
}
