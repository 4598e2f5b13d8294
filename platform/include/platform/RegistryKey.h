// An open registry key that closes itself: its values read and written, its sub-keys listed, and the
// few operations on keys by name the suite needs. Windows build only.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <string>
#include <vector>

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
    bool WriteDword(const std::wstring& name, DWORD value);
    // Stores size bytes of data as a value of that type, whatever they hold (an empty name: the unnamed
    // value).
    bool WriteValue(const std::wstring& name, DWORD type, const void* data, DWORD size);
    // Takes the value away; true when it is gone (also when it was never there).
    bool DeleteValue(const std::wstring& name);
    // True when the open key holds neither sub-keys nor values.
    bool IsEmpty();

    void ResetEnum() { m_enumIndex = 0; }
    // The next sub-key's name; false when there are no more.
    bool EnumSubkey(std::wstring& name);
    // The names of the key's values (the unnamed value as an empty name), in the registry's order.
    std::vector<std::wstring> ValueNames();
    // Copies the values and sub-keys of source, with everything below them, into this key.
    bool CopyTreeFrom(const CRegistryKey& source);

    HKEY GetHandle() const { return m_key; }
    HKEY GetRoot() const { return m_root; }
    const std::wstring& GetPath() const { return m_keyPath; }
    LONG GetLastError() const { return m_lastError; }

    // Whether the sub-key of root exists and opens with access.
    static bool Exists(HKEY root, const std::wstring& subKey, REGSAM access = KEY_READ);
    // Deletes the sub-key of root with everything below it: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when
    // there was no such key, or the error that kept it.
    static LONG DeleteTree(HKEY root, const std::wstring& subKey);
    // Deletes the sub-key of root when it has no sub-keys of its own; true when it went.
    static bool DeleteEmptyKey(HKEY root, const std::wstring& subKey);

private:
    std::wstring m_keyPath;
    HKEY m_key = nullptr;
    HKEY m_root = nullptr;
    LONG m_lastError = ERROR_SUCCESS;
    int m_enumIndex = -1;
};

#endif // _WIN32
