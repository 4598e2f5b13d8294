// CEngineClient: the engine start, the lists the dialogs show, TranslateText with the stored direction
// and subject, and the settings shortcuts. Every call holds the engine's lock, so that calls from the
// panel's thread and a child window's thread never overlap.
#include "common/EngineClient.h"
#include "common/Protocol.h"

#include "common/Registry.h"

#include <mutex>

namespace {

constexpr wchar_t kEngineSection[] = L"povrin";
constexpr const wchar_t* kToolbarSection = ovrin::protocol::kToolbarSection;
constexpr wchar_t kDirectionValue[] = L"direction";
constexpr wchar_t kSubjectValue[] = L"thematic";
constexpr wchar_t kEnabledValue[] = L"enabled";

} // namespace

CEngineClient::CEngineClient() : CEngineClient(CTranslator::Instance()) {}

CEngineClient::CEngineClient(CTranslator& translator) : m_translator(translator) {
    std::lock_guard<std::recursive_mutex> lock(m_translator.Lock());
    m_usable = m_translator.Init();
}

void CEngineClient::RegisterStopFlag(int* flag) {
    std::lock_guard<std::recursive_mutex> lock(m_translator.Lock());
    m_stopFlag = flag;
    if (m_stopFlag != nullptr)
        *m_stopFlag = 0;
}

bool CEngineClient::GetDirectionNames(std::vector<std::wstring>& names) {
    std::lock_guard<std::recursive_mutex> lock(m_translator.Lock());
    int count = m_translator.GetDirectionCount();
    if (!m_usable || count == 0)
        return false;
    names.clear();
    for (int i = 0; i < count; ++i)
        names.push_back(m_translator.GetDirectionName(i));
    return true;
}

bool CEngineClient::GetSubjectNames(int d, std::vector<std::wstring>& names) {
    std::lock_guard<std::recursive_mutex> lock(m_translator.Lock());
    CDirection* direction = m_usable ? m_translator.GetDirection(d) : nullptr;
    if (direction == nullptr)
        return false;
    direction->OpenEngine();
    int count = direction->GetSubjectCount();
    if (count == 0)
        return false;
    names.clear();
    for (int j = 0; j < count; ++j)
        names.push_back(direction->GetSubjectName(j));
    return true;
}

bool CEngineClient::TranslateText(const std::wstring& text, std::wstring& result, CTranslationStop* stop) {
    std::lock_guard<std::recursive_mutex> lock(m_translator.Lock());
    if (stop != nullptr)
        *stop = CTranslationStop();
    if (!m_usable)
        return false;
    if (m_stopFlag != nullptr && *m_stopFlag != 0) {
        *m_stopFlag = 0;
        if (stop != nullptr)
            stop->stopped = true;
        return true;
    }
    int directionIndex = GetDirectionSetting();
    int subject = GetSubjectSetting();
    if (directionIndex < 0 || subject < 0)
        return false;
    if (!m_translator.SetCurrentDirection(directionIndex))
        return false;
    CDirection* direction = m_translator.GetDirection(directionIndex);
    direction->SelectSubject(subject);
    direction->SetStopFlag(m_stopFlag);
    HRESULT code = S_OK;
    std::size_t translated = 0;
    result = direction->Translate(text, code, &translated);
    direction->SetStopFlag(nullptr);
    // E_ABORT with the flag set: the user's stop, not the engine's failure.
    if (stop != nullptr && code == E_ABORT && m_stopFlag != nullptr && *m_stopFlag != 0) {
        stop->stopped = true;
        stop->translatedLength = translated;
    }
    if (m_stopFlag != nullptr)
        *m_stopFlag = 0;
    return code == S_OK;
}

std::wstring CEngineClient::GetDirectionInfo(int i) {
    std::lock_guard<std::recursive_mutex> lock(m_translator.Lock());
    return m_usable ? m_translator.GetDirectionInfo(i) : std::wstring();
}

int CEngineClient::GetDirectionSetting() {
    return CAppSettings::ReadInt(kEngineSection, kDirectionValue);
}
void CEngineClient::SetDirectionSetting(int direction) {
    CAppSettings::WriteInt(kEngineSection, kDirectionValue, direction);
}
int CEngineClient::GetSubjectSetting() {
    return CAppSettings::ReadInt(kEngineSection, kSubjectValue);
}
void CEngineClient::SetSubjectSetting(int subject) {
    CAppSettings::WriteInt(kEngineSection, kSubjectValue, subject);
}
int CEngineClient::ReadToolbarInt(const std::wstring& name) {
    return CAppSettings::ReadInt(kToolbarSection, name);
}
void CEngineClient::WriteToolbarInt(const std::wstring& name, int value) {
    CAppSettings::WriteInt(kToolbarSection, name, value);
}
std::wstring CEngineClient::ReadToolbarString(const std::wstring& name) {
    return CAppSettings::ReadString(kToolbarSection, name);
}
void CEngineClient::WriteToolbarString(const std::wstring& name, const std::wstring& value) {
    CAppSettings::WriteString(kToolbarSection, name, value);
}
bool CEngineClient::IsEnabled(const std::wstring& section) {
    return CAppSettings::ReadInt(section, kEnabledValue) != 0;
}
void CEngineClient::SetEnabled(const std::wstring& section, bool enabled) {
    CAppSettings::WriteInt(section, kEnabledValue, enabled ? 1 : 0);
}
