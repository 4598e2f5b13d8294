// A translator for the stop and failure tests: each call signals the event "OvrinTestEntered" and
// answers only once the event "OvrinTestRelease" is set (or after half a minute), with its text in
// brackets. A text that begins with "quick" is answered at once; one that begins with "fail" fails
// after part of its output, as an engine failing in the middle of a text does.
#include "common/EngineInterfaces.h"
#include "platform/ComObject.h"
#include "platform/Handles.h"

#include <string>

namespace {

class SlowTranslator final : public CComObject<IOvrinTranslator> {
public:
    HRESULT STDMETHODCALLTYPE Init(const char*, const char*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Translate(const char* text, IOvrinTranslateCallBack* callback) override {
        if (std::string(text).rfind("fail", 0) == 0) {
            callback->PutText(8, "[partial");
            return E_FAIL;
        }
        if (std::string(text).rfind("quick", 0) == 0) {
            std::string output = "[" + std::string(text) + "]";
            return callback->PutText(static_cast<int>(output.size()), output.c_str());
        }
        if (CHandle entered{OpenEventW(EVENT_MODIFY_STATE, FALSE, L"OvrinTestEntered")})
            SetEvent(entered.Get());
        if (CHandle release{OpenEventW(SYNCHRONIZE, FALSE, L"OvrinTestRelease")})
            WaitForSingleObject(release.Get(), 30000);
        std::string output = "[" + std::string(text) + "]";
        return callback->PutText(static_cast<int>(output.size()), output.c_str());
    }

private:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, ovrin::engine::kIidTranslator))
            return static_cast<IOvrinTranslator*>(this);
        return nullptr;
    }
};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
        auto* translator = new SlowTranslator();
        HRESULT result = translator->QueryInterface(iid, object);
        translator->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID iid, void** object) {
    return g_factory.QueryInterface(iid, object);
}
