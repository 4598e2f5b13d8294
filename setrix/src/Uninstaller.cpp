// The removal preparation, step by step.
#include "Uninstaller.h"
#include "common/Protocol.h"

#include "FolderClear.h"
#include "ProcessEnd.h"
#include "SetrixModule.h"
#include "ShortcutSweep.h"
#include "common/Registry.h"
#include "platform/Device.h"

namespace setrix {

namespace {

constexpr wchar_t kPackageName[] = L"OVRIN Mobile";
constexpr const wchar_t* kMessageSection = ovrin::protocol::kToolbarSection;
constexpr wchar_t kMessageValue[] = L"UninstallMessage";
constexpr wchar_t kMarkerExtension[] = L".unload";
constexpr const wchar_t* kPackageKeys[] = {L"SOFTWARE\\Apps\\", L"Security\\AppInstall\\"};

} // namespace

CUninstaller::CUninstaller(const wchar_t* installFolder)
    : m_installFolder(installFolder != nullptr ? installFolder : L"") {}

void CUninstaller::Run(HWND parent) {
    EndPrograms();
    std::wstring message = ReadPartingMessage();
    ClearInstallFolder();
    DeleteMarkerFile();
    DeleteRegistryKeys();
    DeleteShortcuts();
    ShowPartingMessage(parent, message);
}

void CUninstaller::EndPrograms() {
    for (const wchar_t* program : kProgramsToEnd)
        EndProcessByName(program, m_processEndPause);
}

std::wstring CUninstaller::ReadPartingMessage() {
    return CAppSettings::ReadString(kMessageSection, kMessageValue);
}

void CUninstaller::ClearInstallFolder() {
    if (IsRemovableFolder(m_installFolder))
        EmptyFolder(m_installFolder);
}

void CUninstaller::DeleteMarkerFile() {
    std::wstring windows = platform::DeviceServices().GetFolder(platform::DeviceFolder::Windows);
    if (!windows.empty())
        DeleteFileW((windows + L"\\" + kPackageName + kMarkerExtension).c_str());
}

void CUninstaller::DeleteRegistryKeys() {
    for (const wchar_t* parent : kPackageKeys) {
        std::wstring path = std::wstring(parent) + kPackageName;
        if (CRegistryKey::Exists(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS))
            CRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, path);
    }
}

void CUninstaller::DeleteShortcuts() {
    for (platform::DeviceFolder folder : {platform::DeviceFolder::StartMenu, platform::DeviceFolder::StartUp})
        DeleteShortcutsInto(platform::DeviceServices().GetFolder(folder), m_installFolder);
}

void CUninstaller::ShowPartingMessage(HWND parent, const std::wstring& message) {
    platform::DeviceServices().ShowMessage(parent, message, LoadModuleString(IDS_APP_TITLE),
                                           MB_OK | MB_ICONINFORMATION);
}

} // namespace setrix
