// The removal preparation that Uninstall_Init runs before the installer removes the package: the
// suite's running programs ended, the installation folder emptied, the marker file, the package's
// registry keys and the shortcuts into the folder removed, and the parting message shown.
#pragma once

#include <windows.h>

#include <string>

namespace setrix {

class CUninstaller {
public:
    // The programs ended before removal, in this order.
    static constexpr const wchar_t* kProgramsToEnd[] = {L"tmail.exe", L"OvrinToolbar.exe", L"Lexory.exe"};
    // The pause after each attempt to end a program, so that it has let go of its files.
    static constexpr DWORD kProcessEndPause = 500;

    explicit CUninstaller(const wchar_t* installFolder);

    // Every step runs; a step that fails is skipped.
    void Run(HWND parent);

    // The steps, in the order Run takes them.
    void EndPrograms();
    std::wstring ReadPartingMessage();
    void ClearInstallFolder();
    void DeleteMarkerFile();
    void DeleteRegistryKeys();
    void DeleteShortcuts();
    void ShowPartingMessage(HWND parent, const std::wstring& message);

    // Tests shorten the pause.
    void SetProcessEndPause(DWORD milliseconds) { m_processEndPause = milliseconds; }

private:
    std::wstring m_installFolder;
    DWORD m_processEndPause = kProcessEndPause;
};

} // namespace setrix
