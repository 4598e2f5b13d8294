// CAppSettings: the suite's settings in the registry.
#include "common/Registry.h"

#include <cwchar>
#include <limits>

namespace {

constexpr wchar_t kSettingsPrefix[] = L"Software\\Ovrinsoft\\Pocket OVRIN\\OVRIN\\";

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
    return key.DeleteValue(name);
}
