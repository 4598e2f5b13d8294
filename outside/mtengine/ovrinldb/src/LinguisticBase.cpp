// ovrinldb.dll: the linguistic base of a direction. Its templates are glossaries: template NAME of a
// direction is the file "NAME.tpl" in the direction's folder. The base numbers the templates it
// loaded in load order (a template it could not load takes no number), switches them on and off, and
// answers the translator of its direction with the words of the templates switched on.
#include "Glossary.h"

#include "common/EngineInterfaces.h"
#include "platform/ComObject.h"

#include <mutex>
#include <vector>

using namespace mtengine;

namespace {

// A template name is a plain file name: letters, digits, "_" and "-", at most 64 of them.
bool IsTemplateName(const char* name) {
    if (name == nullptr || *name == '\0')
        return false;
    std::size_t length = 0;
    for (const char* p = name; *p != '\0'; ++p, ++length) {
        char c = *p;
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!plain || length >= 64)
            return false;
    }
    return true;
}

class LinguisticBase : public CComObject<IOvrinLinguisticBaseEx, ITemplateGlossary> {
public:
    HRESULT STDMETHODCALLTYPE Load(const char* prefix, const char* path, const char*, const char*, int, int count,
                                   const char** names, HRESULT* results) override {
        if (prefix == nullptr || path == nullptr || count < 0 ||
            (count > 0 && (names == nullptr || results == nullptr)))
            return E_INVALIDARG;
        unsigned source = 0, target = 0;
        if (!ParsePrefix(prefix, &source, &target))
            return E_INVALIDARG;
        std::wstring folder = PathFromPlain(path);
        if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
            folder.push_back(L'\\');
        std::vector<Template> loaded;
        for (int i = 0; i < count; ++i) {
            if (!IsTemplateName(names[i])) {
                results[i] = HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
                continue;
            }
            Template item;
            std::wstring file = folder + ToWide(Plane::Western, names[i]) + L".tpl";
            if (!ReadGlossary(file, PlaneOf(source), PlaneOf(target), &item.glossary)) {
                results[i] = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
                continue;
            }
            results[i] = S_OK;
            loaded.push_back(std::move(item));
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_templates = std::move(loaded);
        m_switchCounter = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE LoadEx(int version, const char* prefix, const char* path, const char* dataPath,
                                     const char* user, int reserved, int count, const char** names,
                                     HRESULT* results) override {
        if (version != ovrin::engine::kExtendedLoadVersion)
            return E_INVALIDARG;
        return Load(prefix, path, dataPath, user, reserved, count, names, results);
    }

    HRESULT STDMETHODCALLTYPE SetTemplate(unsigned short index, int on) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (index >= m_templates.size())
            return E_INVALIDARG;
        m_templates[index].switchedOn = on != 0 ? ++m_switchCounter : 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Lookup(const char* key, const char** translation) override {
        if (key == nullptr || translation == nullptr)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(m_mutex);
        const Template* best = nullptr;
        const std::string* found = nullptr;
        for (const Template& item : m_templates) {
            if (item.switchedOn == 0 || (best != nullptr && best->switchedOn > item.switchedOn))
                continue;
            auto entry = item.glossary.entries.find(key);
            if (entry != item.glossary.entries.end()) {
                best = &item;
                found = &entry->second;
            }
        }
        if (found == nullptr)
            return S_FALSE;
        *translation = found->c_str();
        return S_OK;
    }

protected:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, kIidTemplateGlossary))
            return static_cast<ITemplateGlossary*>(this);
        bool offered =
            IsOneOf(iid, {IID_IUnknown, ovrin::engine::kIidLinguisticBase, ovrin::engine::kIidLinguisticBaseEx});
        return offered ? static_cast<IOvrinLinguisticBaseEx*>(this) : nullptr;
    }

private:
    struct Template {
        Glossary glossary;
        unsigned switchedOn = 0; // 0 off, else the order in which it was switched on
    };
    std::mutex m_mutex;
    std::vector<Template> m_templates;
    unsigned m_switchCounter = 0;
};

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, ovrin::engine::kClsidLinguisticBase))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto make = []() -> IUnknown* { return static_cast<IOvrinLinguisticBaseEx*>(new (std::nothrow) LinguisticBase()); };
    return HandOutClassFactory(make, iid, object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CModuleCount::CanUnloadNow();
}
