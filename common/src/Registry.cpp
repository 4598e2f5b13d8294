// CRegistryKey and CAppSettings on the Win32 registry.
#include "common/Registry.h"

#include <cwchar>
#include <limits>
#include <vector>

namespace {

constexpr wchar_t kSettingsPrefix[] = L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\";
constexpr DWORD kSubkeyNameLength = 261;

// A decimal number at the start of the text, as the settings store it; 0 when there is none.
int ParseLeadingInt(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > std::numeric_limits<int>::max() + 1LL)
            value = std::numeric_limits<int>::max() + 1LL;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

} // namespace

// ---- CRegistryKey ----

CRegistryKey::~CRegistryKey() {
    Close();
}

bool CRegistryKey::Open(HKEY root, const std::wstring& subKey, REGSAM access, bool create) {
    Close();
    m_keyPath = subKey;
    HKEY key = nullptr;
    if (create) {
        m_lastError = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr);
    } else {
        m_lastError = RegOpenKeyExW(root, subKey.c_str(), 0, access, &key);
    }
    if (m_lastError != ERROR_SUCCESS)
        return false;
    m_key = key;
    m_root = root;
    return true;
}

bool CRegistryKey::Close() {
    m_enumIndex = -1;
    m_keyPath.clear();
    if (m_key != nullptr)
        m_lastError = RegCloseKey(m_key);
    m_key = nullptr;
    m_root = nullptr;
    return m_lastError == ERROR_SUCCESS;
}

DWORD CRegistryKey::GetValueType(const std::wstring& name) {
    DWORD type = 0;
    m_lastError = RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, nullptr);
    return m_lastError == ERROR_SUCCESS ? type : 0;
}

DWORD CRegistryKey::GetValueSize(const std::wstring& name) {
    DWORD size = 0;
    m_lastError = RegQueryValueExW(m_key, name.c_str(), nullptr, nullptr, nullptr, &size);
    return m_lastError == ERROR_SUCCESS ? size : 0;
}

DWORD CRegistryKey::ReadDword(const std::wstring& name, DWORD defaultValue) {
    DWORD value = 0;
    DWORD size = sizeof value;
    m_lastError = RegQueryValueExW(m_key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    return m_lastError == ERROR_SUCCESS ? value : defaultValue;
}

std::wstring CRegistryKey::ReadString(const std::wstring& name, const std::wstring& defaultValue) {
    DWORD size = GetValueSize(name);
    if (size == 0)
        return defaultValue;
    DWORD type = GetValueType(name);
    // One character per byte of data: twice what the text needs, so the data always ends in NULs
    // even when it was stored without them.
    std::vector<wchar_t> buffer(size + 2, L'\0');
    DWORD bytes = size;
    m_lastError =
        RegQueryValueExW(m_key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    std::wstring text;
    if (type == REG_MULTI_SZ) {
        for (std::size_t i = 0; i + 1 < buffer.size(); ++i) {
            if (buffer[i] != L'\0') {
                text.push_back(buffer[i]);
            } else if (buffer[i + 1] != L'\0') {
                text += L"\r\n";
            } else {
                break;
            }
        }
    } else {
        text.assign(buffer.data());
    }
    if (m_lastError != ERROR_SUCCESS)
        return defaultValue;
    return text;
}

bool CRegistryKey::ReadDefaultValue(const std::wstring& defaultValue, wchar_t* buffer, DWORD bufferBytes) {
    if (buffer == nullptr || bufferBytes < sizeof(wchar_t))
        return m_lastError == ERROR_SUCCESS;
    DWORD characters = bufferBytes / sizeof(wchar_t);
    DWORD size = characters * sizeof(wchar_t);
    LONG result = RegQueryValueExW(m_key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    if (result == ERROR_SUCCESS) {
        // The stored data need not end in a NUL; the caller gets a terminated text either way.
        DWORD end = size / sizeof(wchar_t);
        buffer[end < characters ? end : characters - 1] = L'\0';
    } else {
        std::size_t count = defaultValue.size() < characters ? defaultValue.size() : characters - 1;
        defaultValue.copy(buffer, count);
        buffer[count] = L'\0';
    }
    return m_lastError == ERROR_SUCCESS;
}

bool CRegistryKey::WriteString(const std::wstring& name, const std::wstring& text) {
    DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    m_lastError = RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size);
    return m_lastError == ERROR_SUCCESS;
}

bool CRegistryKey::EnumSubkey(std::wstring& name) {
    name.clear();
    // Without an open key or a started enumeration every call would fail the same way; stop at once
    // rather than hand out empty names for ever.
    if (m_key == nullptr || m_enumIndex < 0)
        return false;
    wchar_t buffer[kSubkeyNameLength] = {};
    DWORD length = kSubkeyNameLength;
    m_lastError =
        RegEnumKeyExW(m_key, static_cast<DWORD>(m_enumIndex), buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (m_lastError == ERROR_NO_MORE_ITEMS)
        return false;
    ++m_enumIndex;
    buffer[kSubkeyNameLength - 1] = L'\0';
    name = buffer;
    return true;
}

// ---- CAppSettings ----

std::wstring CAppSettings::SectionKey(const std::wstring& section) {
    return kSettingsPrefix + section;
}

bool CAppSettings::WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& text) {
    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, SectionKey(section), true))
        key.WriteString(name, text);
    return true;
}

std::wstring CAppSettings::ReadString(const std::wstring& section, const std::wstring& name) {
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, SectionKey(section), true))
        return {};
    return key.ReadString(name, L"");
}

bool CAppSettings::WriteInt(const std::wstring& section, const std::wstring& name, int number) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%d", number);
    return WriteString(section, name, text);
}

int CAppSettings::ReadInt(const std::wstring& section, const std::wstring& name) {
    return ParseLeadingInt(ReadString(section, name));
}

bool CAppSettings::Remove(const std::wstring& section, const std::wstring& name) {
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, SectionKey(section), KEY_SET_VALUE, false))
        return key.GetLastError() == ERROR_FILE_NOT_FOUND;
    LONG status = RegDeleteValueW(key.GetHandle(), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
