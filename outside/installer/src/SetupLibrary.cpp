// Loading the setup library from a private copy and calling its exports by name.
#include "SetupLibrary.h"

#include "setrix/Setrix.h"

#include "base/FileSystem.h"
#include "base/Path.h"

#include <vector>

namespace installer {

CSetupLibrary::~CSetupLibrary() {
    m_module.Reset(); // before its file goes
    if (!m_copy.empty()) {
        ovrin::DeleteFileAt(m_copy);
        RemoveDirectoryW(ovrin::PathFolder(m_copy).c_str());
    }
}

bool CSetupLibrary::Load(const std::wstring& path, std::wstring& error) {
    wchar_t temporary[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, temporary);
    if (length == 0 || length > MAX_PATH) {
        error = L"no temporary folder";
        return false;
    }
    std::wstring folder = ovrin::PathJoin(temporary, L"ovinstall-" + std::to_wstring(GetCurrentProcessId()));
    CreateDirectoryW(folder.c_str(), nullptr);
    m_copy = ovrin::PathJoin(folder, ovrin::PathFileName(path));
    if (!CopyFileW(path.c_str(), m_copy.c_str(), FALSE)) {
        error = L"cannot copy the setup library " + path + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    m_module.Reset(LoadLibraryW(m_copy.c_str()));
    if (!m_module) {
        error = L"cannot load the setup library " + path + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    return true;
}

bool CSetupLibrary::InstallInit(bool previouslyInstalled, const std::wstring& installFolder) {
    auto hook = Export<InstallInitFunction>("Install_Init");
    return hook == nullptr ||
           hook(nullptr, TRUE, previouslyInstalled ? TRUE : FALSE, installFolder.c_str()) == codeINSTALL_INIT_CONTINUE;
}

bool CSetupLibrary::InstallExit(const std::wstring& installFolder, WORD failedFolders, WORD failedFiles,
                                WORD failedKeys, WORD failedValues, WORD failedShortcuts, bool& uninstallNow) {
    uninstallNow = false;
    auto hook = Export<InstallExitFunction>("Install_Exit");
    if (hook == nullptr)
        return true;
    codeINSTALL_EXIT answer =
        hook(nullptr, installFolder.c_str(), failedFolders, failedFiles, failedKeys, failedValues, failedShortcuts);
    uninstallNow = answer == codeINSTALL_EXIT_UNINSTALL;
    return true;
}

bool CSetupLibrary::UninstallInit(const std::wstring& installFolder) {
    auto hook = Export<UninstallInitFunction>("Uninstall_Init");
    return hook == nullptr || hook(nullptr, installFolder.c_str()) == codeUNINSTALL_INIT_CONTINUE;
}

void CSetupLibrary::UninstallExit() {
    if (auto hook = Export<UninstallExitFunction>("Uninstall_Exit"))
        hook(nullptr);
}

bool CSetupLibrary::Register(const std::wstring& library, bool registering) {
    auto service = Export<ServiceFunction>(registering ? "RegisterDLL" : "UnRegisterDLL");
    if (service == nullptr)
        return RegisterDirectly(library, registering);
    int bytes = WideCharToMultiByte(CP_ACP, 0, library.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    std::vector<char> path(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_ACP, 0, library.c_str(), -1, path.data(), bytes, nullptr, nullptr);
    DWORD outputSize = 0;
    BYTE* output = nullptr;
    HRESULT result =
        service(static_cast<DWORD>(path.size()), reinterpret_cast<BYTE*>(path.data()), &outputSize, &output);
    if (output != nullptr)
        LocalFree(output);
    // The service answers 0 whatever happened: whether the library is registered is told by the
    // library's own entries, which the caller checks where it matters.
    return SUCCEEDED(result);
}

bool RegisterDirectly(const std::wstring& library, bool registering) {
    CModuleHandle module(LoadLibraryW(library.c_str()));
    if (!module)
        return false;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    FARPROC address = GetProcAddress(module.Get(), registering ? "DllRegisterServer" : "DllUnregisterServer");
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(address));
    return entry != nullptr && SUCCEEDED(entry());
}

} // namespace installer
