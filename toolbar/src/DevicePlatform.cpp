// The start-up shortcut and the device restart.
#include "DevicePlatform.h"

#include "Launcher.h"
#include "platform/CommandLine.h"
#include "platform/Device.h"

#include "base/Path.h"
#include "platform/Handles.h"

#include <windows.h>

#include <shlobj.h>

namespace deviceplatform {

namespace {

std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}

std::wstring ProgramFileTitle() {
    std::wstring name = ovrin::GetProgramPath();
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

bool CreateStartupShortcut(const std::wstring& path, const std::wstring& toolbarPath) {
    // The desktop's start-up folder runs shell links only; the path stays wide, whatever it holds.
    return !path.empty() &&
           platform::CreateShortcut(path, launcher::LauncherPath(), platform::QuotedArgument(toolbarPath));
}

void RestartDevice() {
    if (Handler()) {
        Handler()();
        return;
    }
    // The desktop's counterpart of the handheld's restart call.
    HANDLE opened = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
        CHandle token(opened);
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
    ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

void SetRestartHandler(std::function<void()> handler) {
    Handler() = std::move(handler);
}

} // namespace deviceplatform
