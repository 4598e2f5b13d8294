// The registry key class both programs keep their settings with, and the settings accessor that reads
// and writes the suite's string values, section by section, under
// HKEY_CURRENT_USER\Software\Ovrinsoft\Pocket OVRIN\OVRIN. Windows build only.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <string>

class CRegistryKey {
public:
    static constexpr REGSAM kAllAccess = 0xF003F;

    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Closes any open key, then opens (or, with create, creates) the sub-key of root.
    bool Open(HKEY root, const std::wstring& subKey, REGSAM access, bool create);
    bool Open(HKEY root, const std::wstring& subKey, bool create) { return Open(root, subKey, kAllAccess, create); }
    bool Close();

    DWORD GetValueType(const std::wstring& name);
    DWORD GetValueSize(const std::wstring& name);
    DWORD ReadDword(const std::wstring& name, DWORD defaultValue);
    // A multi-string value comes out as its strings separated by CR LF.
    std::wstring ReadString(const std::wstring& name, const std::wstring& defaultValue);
    // The key's unnamed value into the caller's buffer, or the default when it cannot be read.
    bool ReadDefaultValue(const std::wstring& defaultValue, wchar_t* buffer, DWORD bufferBytes);
    bool WriteString(const std::wstring& name, const std::wstring& text);

    void ResetEnum() { m_enumIndex = 0; }
    // The next sub-key's name; false when there are no more.
    bool EnumSubkey(std::wstring& name);

    HKEY GetHandle() const { return m_key; }
    HKEY GetRoot() const { return m_root; }
    const std::wstring& GetPath() const { return m_keyPath; }
    LONG GetLastError() const { return m_lastError; }

private:
    std::wstring m_keyPath;
    HKEY m_key = nullptr;
    HKEY m_root = nullptr;
    LONG m_lastError = ERROR_SUCCESS;
    int m_enumIndex = -1;
};

// String settings of the programs, one registry key per section ("Lexory", "OvrinToolbar").
// Failures are not reported: a failed write is lost and a failed read gives "" (0 for numbers).
class CAppSettings {
public:
    static bool WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& text);
    static std::wstring ReadString(const std::wstring& section, const std::wstring& name);
    static bool WriteInt(const std::wstring& section, const std::wstring& name, int number);
    static int ReadInt(const std::wstring& section, const std::wstring& name);
    // Takes the setting away (a setting that reads as "" may still be there); true when it is gone.
    static bool Remove(const std::wstring& section, const std::wstring& name);

    // The key of a section, relative to HKEY_CURRENT_USER.
    static std::wstring SectionKey(const std::wstring& section);
};

#endif // _WIN32
