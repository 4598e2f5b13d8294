// CDictionaryLauncher: hands a word to the dictionary program Lexory.exe, whose folder the settings
// name (value "path" of section "Lexory"), and tells whether that program is installed or in front.
#pragma once

#include <windows.h>

#include <string>

class CDictionaryLauncher {
public:
    static constexpr wchar_t kProgramFile[] = L"Lexory.exe";

    // The stored folder followed directly by "Lexory.exe" (just the file name when none is stored).
    static std::wstring GetProgramPath();
    static bool IsInstalled();
    // Whether the process owning window runs a file named "Lexory.exe" (any case).
    static bool IsDictionaryWindow(HWND window);
    static bool IsInFront() { return IsDictionaryWindow(GetForegroundWindow()); }

    // Ends a running dictionary program and starts it again with the word as one argument in double
    // quotation marks (its own marks and backslashes escaped); does nothing when the program is not
    // installed. A failed start is not reported.
    void LookUp(const std::wstring& word);
};

// The file name of the program that owns window ("" when it cannot be told).
std::wstring ProcessFileNameOf(HWND window);
