// The COM object base: references, interfaces answered, the module's count of live objects and locks
// that a server's DllCanUnloadNow reports, and the class factory of a server's one class.
#include "platform/ComObject.h"

#include <objidl.h>

#include <gtest/gtest.h>

namespace {

int g_alive = 0;

// An object with two interfaces: IUnknown is answered by the first, IPersist; IOleWindow answers for
// itself.
class CTwoInterfaces : public CComObject<IPersist, IOleWindow> {
public:
    CTwoInterfaces() { ++g_alive; }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
        *id = CLSID_NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

protected:
    ~CTwoInterfaces() override { --g_alive; }
    void* FindInterface(REFIID id) override {
        if (IsEqualIID(id, IID_IOleWindow))
            return static_cast<IOleWindow*>(this);
        if (IsOneOf(id, {IID_IUnknown, IID_IPersist}))
            return static_cast<IPersist*>(this);
        return nullptr;
    }
};

// IUnknown alone, by the default lookup.
class CUnknownOnly : public CComObject<IPersist> {
public:
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
};

} // namespace

TEST(ComObjectTest, InterfacesAnswerByIdAndTheLastReleaseDeletesTheObjectAndFreesTheModule) {
    ASSERT_EQ(CModuleCount::CanUnloadNow(), S_OK);
    auto* object = new CTwoInterfaces;
    EXPECT_EQ(g_alive, 1);
    EXPECT_EQ(CModuleCount::CanUnloadNow(), S_FALSE) << "a live object holds the module";

    IOleWindow* window = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)), S_OK);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    IUnknown* unknownAgain = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&unknownAgain)), S_OK);
    EXPECT_EQ(unknown, unknownAgain) << "one identity, whichever interface is asked";
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(IID_IStream, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(object->QueryInterface(IID_IPersist, nullptr), E_POINTER);

    EXPECT_EQ(unknownAgain->Release(), 3u);
    unknown->Release();
    window->Release();
    EXPECT_EQ(g_alive, 1);
    object->Release();
    EXPECT_EQ(g_alive, 0);
    EXPECT_EQ(CModuleCount::CanUnloadNow(), S_OK);

    auto* plain = new CUnknownOnly;
    EXPECT_EQ(plain->QueryInterface(IID_IUnknown, &none), S_OK);
    EXPECT_EQ(plain->QueryInterface(IID_IPersist, &none), E_NOINTERFACE) << "the default lookup is IUnknown alone";
    plain->Release();
    plain->Release();
    EXPECT_EQ(CModuleCount::CanUnloadNow(), S_OK);
}

TEST(ComObjectTest, TheClassFactoryMakesObjectsRefusesAggregatesAndItsLocksHoldTheModule) {
    int made = 0;
    auto make = [&made]() -> IUnknown* {
        ++made;
        return static_cast<IPersist*>(new CUnknownOnly);
    };
    IClassFactory* factory = nullptr;
    ASSERT_EQ(HandOutClassFactory(make, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);

    IUnknown* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IOleWindow, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(factory->CreateInstance(object, IID_IUnknown, &refused), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(made, 2);
    object->Release();

    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(CModuleCount::CanUnloadNow(), S_FALSE) << "a lock outlives the factory";
    CModuleCount::Unlock(); // what LockServer(FALSE) does
    EXPECT_EQ(CModuleCount::CanUnloadNow(), S_OK);

    EXPECT_EQ(HandOut(nullptr, IID_IUnknown, &refused), E_OUTOFMEMORY);
}
