// CRegistryKey on the Win32 registry.
#include "platform/RegistryKey.h"

#include <vector>

namespace {

constexpr DWORD kSubkeyNameLength = 261;
// The longest value name the registry allows, with its NUL.
constexpr DWORD kValueNameLength = 16384;

} // namespace

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

bool CRegistryKey::WriteDword(const std::wstring& name, DWORD value) {
    m_lastError =
        RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    return m_lastError == ERROR_SUCCESS;
}

bool CRegistryKey::WriteValue(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    m_lastError = RegSetValueExW(m_key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    return m_lastError == ERROR_SUCCESS;
}

std::vector<std::wstring> CRegistryKey::ValueNames() {
    std::vector<std::wstring> names;
    if (m_key == nullptr)
        return names;
    std::vector<wchar_t> buffer(kValueNameLength);
    for (DWORD index = 0;; ++index) {
        DWORD length = kValueNameLength;
        m_lastError = RegEnumValueW(m_key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (m_lastError != ERROR_SUCCESS)
            break;
        names.emplace_back(buffer.data(), length);
    }
    return names;
}

bool CRegistryKey::CopyTreeFrom(const CRegistryKey& source) {
    if (m_key == nullptr || source.m_key == nullptr) {
        m_lastError = ERROR_INVALID_HANDLE;
        return false;
    }
    m_lastError = RegCopyTreeW(source.m_key, nullptr, m_key);
    return m_lastError == ERROR_SUCCESS;
}

bool CRegistryKey::DeleteValue(const std::wstring& name) {
    m_lastError = RegDeleteValueW(m_key, name.c_str());
    return m_lastError == ERROR_SUCCESS || m_lastError == ERROR_FILE_NOT_FOUND;
}

bool CRegistryKey::IsEmpty() {
    DWORD subkeys = 1, values = 1;
    m_lastError = RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr);
    return m_lastError == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

bool CRegistryKey::Exists(HKEY root, const std::wstring& subKey, REGSAM access) {
    CRegistryKey key;
    return key.Open(root, subKey, access, false);
}

LONG CRegistryKey::DeleteTree(HKEY root, const std::wstring& subKey) {
    // An empty name would empty root itself.
    if (subKey.empty())
        return ERROR_INVALID_PARAMETER;
    return RegDeleteTreeW(root, subKey.c_str());
}

bool CRegistryKey::DeleteEmptyKey(HKEY root, const std::wstring& subKey) {
    return !subKey.empty() && RegDeleteKeyW(root, subKey.c_str()) == ERROR_SUCCESS;
}
