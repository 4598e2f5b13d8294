// Making engine objects out of DLLs loaded by path, and the translator CLSID of each prefix.
#include "common/EngineInterfaces.h"

namespace ovrin::engine {

const GUID* TranslatorClsid(const std::wstring& prefix) {
    struct PrefixClsid {
        const wchar_t* prefix;
        const GUID* clsid;
    };
    static const PrefixClsid kTable[] = {
        {L"ER", &kClsidTranslatorER}, {L"GR", &kClsidTranslatorGR}, {L"FR", &kClsidTranslatorFR},
        {L"RE", &kClsidTranslatorRE}, {L"RF", &kClsidTranslatorRF}, {L"RG", &kClsidTranslatorRG},
    };
    for (const PrefixClsid& entry : kTable) {
        if (prefix == entry.prefix)
            return entry.clsid;
    }
    return nullptr;
}

} // namespace ovrin::engine

HRESULT CreateInstanceFromPath(const std::wstring& path, REFCLSID clsid, REFIID iid, REFIID objectIid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr) {
        DWORD error = GetLastError();
        return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == nullptr)
        return E_UNEXPECTED;
    void* first = nullptr;
    HRESULT result = getClassObject(clsid, iid, &first);
    if (FAILED(result) || first == nullptr)
        return FAILED(result) ? result : E_UNEXPECTED;
    if (!IsEqualIID(iid, IID_IClassFactory)) {
        *object = first;
        return result;
    }
    auto* factory = static_cast<IClassFactory*>(first);
    result = factory->CreateInstance(nullptr, objectIid, object);
    factory->Release();
    if (SUCCEEDED(result) && *object == nullptr)
        result = E_UNEXPECTED;
    return result;
}
