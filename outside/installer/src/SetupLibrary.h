// The package's setup library, loaded the way the device installer loads it: from a private copy
// in the temporary folder, so that removal may empty the installation folder while the library runs.
// Its hooks are called around installing and removing; its service functions register COM
// libraries.
#pragma once

#include "platform/Handles.h"

#include <windows.h>

#include <string>

namespace installer {

class CSetupLibrary {
public:
    CSetupLibrary() = default;
    ~CSetupLibrary();
    CSetupLibrary(const CSetupLibrary&) = delete;
    CSetupLibrary& operator=(const CSetupLibrary&) = delete;

    // Copies path to the temporary folder and loads the copy; false with error set when it cannot.
    bool Load(const std::wstring& path, std::wstring& error);
    bool Loaded() const { return static_cast<bool>(m_module); }

    // Each hook's answer is true for "go on"; an absent hook goes on.
    bool InstallInit(bool previouslyInstalled, const std::wstring& installFolder);
    bool InstallExit(const std::wstring& installFolder, WORD failedFolders, WORD failedFiles, WORD failedKeys,
                     WORD failedValues, WORD failedShortcuts, bool& uninstallNow);
    bool UninstallInit(const std::wstring& installFolder);
    void UninstallExit();

    // "RegisterDLL" or "UnRegisterDLL" with the library's path in the system code page.
    bool Register(const std::wstring& library, bool registering);

private:
    CModuleHandle m_module;
    std::wstring m_copy;
    template <typename Function>
    Function Export(const char* name) const {
        if (!m_module)
            return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module.Get(), name)));
    }
};

// Calls DllRegisterServer or DllUnregisterServer of a library directly (no setup library at hand).
bool RegisterDirectly(const std::wstring& library, bool registering);

} // namespace installer
