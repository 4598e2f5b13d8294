// XLMAIN.DLL: a direction's translator, in a copy named PREFIX + "XLMAIN.DLL" in each direction's
// folder. Init binds it to the folder's dictionary and glossaries and to the linguistic base whose
// templates it consults; Translate (8-bit) and TranslateW (wide) give the same text, the first in the
// engine's coding with what it keeps of the source registered as source terms, the second as it is.
#include "TranslationCore.h"

#include "common/EngineInterfaces.h"
#include "platform/ComObject.h"

#include <set>

using namespace mtengine;

namespace {

class Translator : public CComObject<IOvrinTranslatorWide> {
public:
    ~Translator() override {
        if (m_templates != nullptr)
            m_templates->Release();
    }

    HRESULT STDMETHODCALLTYPE Init(const char* path, const char* prefix, IUnknown* base) override {
        if (path == nullptr || prefix == nullptr)
            return E_INVALIDARG;
        std::wstring folder = PathFromPlain(path);
        if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
            folder.push_back(L'\\');
        if (!m_core.Bind(folder, prefix))
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        if (m_templates != nullptr)
            m_templates->Release();
        m_templates = nullptr;
        if (base != nullptr)
            base->QueryInterface(kIidTemplateGlossary, reinterpret_cast<void**>(&m_templates));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Translate(const char* text, IOvrinTranslateCallBack* callback) override {
        if (text == nullptr || callback == nullptr)
            return E_POINTER;
        if (!m_core.IsBound())
            return E_UNEXPECTED;
        std::string_view source(text);
        std::string output;
        output.reserve(source.size() + source.size() / 2);
        // What is kept of the source goes to the caller as source terms, each stretch of kept pieces
        // as one term (an untranslated word with the spaces and signs around it), so that the caller
        // can give it back as it was: the bytes are in the source's plane or, for the caller's other
        // letters, in the other one, and only the caller knows which.
        std::set<std::string> terms;
        std::string stretch;
        bool stretchIsTerm = false;
        auto endStretch = [&] {
            if (stretchIsTerm)
                terms.insert(stretch);
            stretch.clear();
            stretchIsTerm = false;
        };
        for (const Piece& piece : m_core.Translate(source, m_templates)) {
            if (piece.kind == Piece::Translated || !piece.text.empty()) {
                endStretch();
                output += piece.text;
                if (piece.kind == Piece::Untranslated)
                    terms.insert(piece.text); // the pound sign, which the caller wrote as a byte of its own
                continue;
            }
            std::string_view kept = source.substr(piece.begin, piece.end - piece.begin);
            output += kept;
            stretch += kept;
            for (char c : kept)
                stretchIsTerm = stretchIsTerm || static_cast<unsigned char>(c) >= 0x80;
            stretchIsTerm = stretchIsTerm || piece.kind == Piece::Untranslated;
        }
        endStretch();
        for (const std::string& term : terms)
            callback->AddSourceTerm(term.c_str());
        return callback->PutText(static_cast<int>(output.size()), output.c_str());
    }

    HRESULT STDMETHODCALLTYPE TranslateW(const wchar_t* text, IOvrinTranslateCallBack* callback) override {
        if (text == nullptr || callback == nullptr)
            return E_POINTER;
        if (!m_core.IsBound())
            return E_UNEXPECTED;
        std::wstring_view source(text);
        std::string bytes = FromWide(PlaneOf(m_core.SourceLanguage()), source);
        Plane target = PlaneOf(m_core.TargetLanguage());
        std::wstring output;
        output.reserve(source.size() + source.size() / 2);
        for (const Piece& piece : m_core.Translate(bytes, m_templates)) {
            if (piece.kind == Piece::Translated)
                output += ToWide(target, piece.text);
            else
                output += source.substr(piece.begin, piece.end - piece.begin);
        }
        return callback->PutTextW(static_cast<int>(output.size()), output.c_str());
    }

protected:
    void* FindInterface(REFIID iid) override {
        bool offered = IsOneOf(iid, {IID_IUnknown, ovrin::engine::kIidTranslator, ovrin::engine::kIidTranslatorWide});
        return offered ? static_cast<IOvrinTranslatorWide*>(this) : nullptr;
    }

private:
    TranslationCore m_core;
    ITemplateGlossary* m_templates = nullptr;
};

bool IsTranslatorClsid(REFCLSID clsid) {
    for (const wchar_t* prefix : {L"ER", L"GR", L"FR", L"RE", L"RF", L"RG"}) {
        if (IsEqualCLSID(clsid, *ovrin::engine::TranslatorClsid(prefix)))
            return true;
    }
    return false;
}

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsTranslatorClsid(clsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto make = []() -> IUnknown* { return new (std::nothrow) Translator(); };
    return HandOutClassFactory(make, iid, object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CModuleCount::CanUnloadNow();
}
