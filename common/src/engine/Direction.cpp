// CDirection: a direction's registry data, its engine components and its subjects.
#include "common/EngineClient.h"

#include "EngineRegistry.h"
#include "Workers.h"

using namespace ovrin::engine;

namespace {

constexpr DWORD kDisplayNameBytes = 260; // at most 129 characters and the terminator
constexpr wchar_t kBaseFile[] = L"ovrinldb.dll";
constexpr wchar_t kTranslatorFile[] = L"XLMAIN.DLL";
constexpr char kUserName[] = "GUEST";

// Reads one subject key of "Templates".
std::unique_ptr<CSubjectInfo> ReadSubject(HKEY templatesKey, const std::wstring& keyName) {
    CRegistryKey key;
    if (!key.Open(templatesKey, keyName, KEY_READ, false))
        return nullptr;
    auto subject = std::make_unique<CSubjectInfo>();
    wchar_t buffer[kDisplayNameBytes / sizeof(wchar_t)] = {};
    DWORD type = key.GetValueType(L""); // the key's unnamed value
    bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
    // A value that does not fit (or is not text) counts as missing: the key name stands in.
    if (isText)
        key.ReadDefaultValue(keyName, buffer, sizeof buffer);
    subject->m_displayName = isText ? std::wstring(buffer) : keyName;
    for (int i = 0;; ++i) {
        std::wstring name = ReadStringValue(key, std::to_wstring(i), L"");
        if (name.empty())
            break;
        subject->m_templateNames.push_back(name);
    }
    return subject;
}

} // namespace

CDirection::CDirection() : m_workers(std::make_shared<WorkerTracker>()) {}

CDirection::~CDirection() {
    CloseEngine();
}

bool CDirection::LoadFromRegistry(HKEY directionsKey, const std::wstring& keyName, const std::wstring& fallbackPath,
                                  const std::wstring& engineKey) {
    CRegistryKey key;
    if (!key.Open(directionsKey, keyName, KEY_READ, false))
        return false;
    m_keyName = keyName;
    m_dirId = ReadDwordValue(key, L"DirID", 0);
    m_prefix = ReadStringValue(key, L"Prefix", L"");
    if (m_dirId == 0 || m_prefix.empty())
        return false;
    m_path = ReadStringValue(key, L"Path", L"");
    if (m_path.empty())
        m_path = fallbackPath.empty() ? std::wstring() : fallbackPath + m_prefix;
    if (m_path.empty())
        return false;
    m_path = WithTrailingBackslash(m_path);
    m_name = ReadStringValue(key, L"Name", keyName);
    if (m_name.empty())
        m_name = keyName;
    m_trans3 = static_cast<int>(ReadDwordValue(key, L"Trans3", 0));

    m_subjects.clear();
    CRegistryKey templates;
    if (templates.Open(key.GetHandle(), L"Templates", KEY_READ, false)) {
        templates.ResetEnum();
        std::wstring subjectKey;
        while (templates.EnumSubkey(subjectKey)) {
            if (auto subject = ReadSubject(templates.GetHandle(), subjectKey))
                m_subjects.push_back(std::move(subject));
        }
    }
    // The general subject (the last one without a template) is subject 0.
    for (std::size_t i = m_subjects.size(); i-- > 0;) {
        if (m_subjects[i]->m_templateNames.empty()) {
            if (i != 0) {
                auto general = std::move(m_subjects[i]);
                m_subjects.erase(m_subjects.begin() + static_cast<std::ptrdiff_t>(i));
                m_subjects.insert(m_subjects.begin(), std::move(general));
            }
            break;
        }
    }

    CRegistryKey engine;
    if (!engine.Open(HKEY_CURRENT_USER, engineKey, KEY_READ, false))
        return false;
    m_engineFolder = ReadStringValue(engine, L"Path", L"");
    if (m_engineFolder.empty())
        return false;
    m_engineFolder = WithTrailingBackslash(m_engineFolder);
    return true;
}

bool CDirection::OpenEngine() {
    if (m_opened)
        return true;
    m_openResult = S_OK;
    IUnknown* made = nullptr;
    HRESULT result = CreateInstanceFromPath(m_engineFolder + kBaseFile, kClsidLinguisticBase, IID_IClassFactory,
                                            kIidLinguisticBase, reinterpret_cast<void**>(&made));
    if (FAILED(result)) {
        m_openResult = result;
        return false;
    }
    bool extended = SUCCEEDED(made->QueryInterface(kIidLinguisticBaseEx, reinterpret_cast<void**>(&m_base)));
    if (!extended)
        result = made->QueryInterface(kIidLinguisticBase, reinterpret_cast<void**>(&m_base));

    const GUID* clsid = TranslatorClsid(m_prefix);
    if (SUCCEEDED(result) && clsid == nullptr)
        result = CLASS_E_CLASSNOTAVAILABLE;
    if (SUCCEEDED(result)) {
        m_translatorLoaded = true;
        result = CreateInstanceFromPath(m_path + m_prefix + kTranslatorFile, *clsid, IID_IClassFactory, kIidTranslator,
                                        reinterpret_cast<void**>(&m_translator));
    }
    if (SUCCEEDED(result)) {
        // Subjects 1..n-1 name templates 0..n-2 by their first template name.
        std::vector<CAsciiString> names;
        std::vector<const char*> namePointers;
        for (std::size_t j = 1; j < m_subjects.size(); ++j) {
            const auto& templates = m_subjects[j]->m_templateNames;
            names.emplace_back(templates.empty() ? std::wstring() : templates.front());
        }
        for (const CAsciiString& name : names)
            namePointers.push_back(name.Data());
        std::vector<HRESULT> results(names.size(), kTemplateNotLoaded);
        CAsciiString prefix(m_prefix), path(m_path);
        int count = static_cast<int>(names.size());
        const char** nameArray = namePointers.empty() ? nullptr : namePointers.data();
        HRESULT* resultArray = results.empty() ? nullptr : results.data();
        if (extended)
            result = static_cast<IOvrinLinguisticBaseEx*>(m_base)->LoadEx(kExtendedLoadVersion, prefix.Data(),
                                                                          path.Data(), path.Data(), kUserName, 0, count,
                                                                          nameArray, resultArray);
        else
            result = m_base->Load(prefix.Data(), path.Data(), path.Data(), kUserName, 0, count, nameArray, resultArray);
        if (SUCCEEDED(result)) {
            for (std::size_t k = results.size(); k-- > 0;) {
                if (FAILED(results[k]))
                    m_subjects.erase(m_subjects.begin() + static_cast<std::ptrdiff_t>(k + 1));
            }
            result = m_translator->Init(path.Data(), prefix.Data(), made);
        }
    }
    made->Release();
    m_opened = SUCCEEDED(result);
    m_openResult = result;
    if (!m_opened)
        CloseEngine();
    return m_opened;
}

void CDirection::CloseEngine() {
    // A worker the user stopped may still be inside the engine: its request keeps the translator and
    // its module alive until it leaves, so nothing here waits for it.
    m_workers->Shutdown();
    if (m_translator != nullptr)
        m_translator->Release();
    if (m_base != nullptr)
        m_base->Release();
    m_translator = nullptr;
    m_base = nullptr;
    // Only the load this direction made is undone: another engine of the process may use the module.
    if (m_translatorLoaded) {
        if (HMODULE module = GetModuleHandleW((m_path + m_prefix + kTranslatorFile).c_str()))
            FreeLibrary(module);
        m_translatorLoaded = false;
    }
    m_opened = false;
    m_currentSubject = -1;
}

std::wstring CDirection::GetSubjectName(int j) const {
    const CSubjectInfo* subject = GetSubject(j);
    return subject != nullptr ? subject->m_displayName : std::wstring();
}

const CSubjectInfo* CDirection::GetSubject(int j) const {
    if (j < 0 || j >= static_cast<int>(m_subjects.size()))
        return nullptr;
    return m_subjects[static_cast<std::size_t>(j)].get();
}

bool CDirection::SelectSubject(int j) {
    if (j < 0 || j >= static_cast<int>(m_subjects.size()))
        return false;
    if (j == m_currentSubject)
        return true;
    if ((m_currentSubject >= 1 || j >= 1) && m_base == nullptr)
        return false;
    if (m_currentSubject >= 1 && FAILED(m_base->SetTemplate(static_cast<unsigned short>(m_currentSubject - 1), 0)))
        return false;
    if (j >= 1 && FAILED(m_base->SetTemplate(static_cast<unsigned short>(j - 1), 1))) {
        if (m_currentSubject >= 1) // back to the subject that stays current
            m_base->SetTemplate(static_cast<unsigned short>(m_currentSubject - 1), 1);
        return false;
    }
    m_currentSubject = static_cast<short>(j);
    return true;
}
