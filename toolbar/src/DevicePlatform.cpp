// The start-up shortcut and the device restart.
#include "DevicePlatform.h"

#include "common/CodePage.h"
#include "common/Path.h"

#include <windows.h>

#include <shlobj.h>

#include <fstream>
#include <iterator>

namespace deviceplatform {

namespace {

std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}

std::wstring ProgramFileTitle() {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring name(path, length);
    std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}

} // namespace

std::wstring StartupShortcutPath() {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE))
        return {};
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + ProgramFileTitle() + L".lnk";
}

bool CreateShortcut(const std::wstring& path, const std::wstring& command) {
    if (path.empty())
        return false;
    std::string bytes = std::to_string(command.size()) + "#" + ovrin::WideToMultiByte(CP_ACP, command);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok)
        DeleteFileW(path.c_str());
    return ok;
}

std::wstring ReadShortcut(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t hash = bytes.find('#');
    if (hash == std::string::npos || hash == 0)
        return {};
    return ovrin::MultiByteToWide(CP_ACP, bytes.substr(hash + 1));
}

void RestartDevice() {
    if (Handler()) {
        Handler()();
        return;
    }
    // The desktop's counterpart of the handheld's restart call.
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

void SetRestartHandler(std::function<void()> handler) {
    Handler() = std::move(handler);
}

} // namespace deviceplatform
