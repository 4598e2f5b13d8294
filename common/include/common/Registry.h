// The settings accessor that reads and writes the suite's string values, section by section, under
// HKEY_CURRENT_USER\Software\Ovrinsoft\Pocket OVRIN\OVRIN, with the Win32 layer's registry key.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "platform/RegistryKey.h"

#include <string>

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
