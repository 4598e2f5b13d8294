// The device services on desktop Win32, the test services switch, and shortcut files.
#include "platform/Device.h"

#include "platform/Handles.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <vector>

namespace platform {

namespace {

constexpr wchar_t kDeviceKey[] = L"Software\\Ovrinsoft\\Device";
constexpr wchar_t kPlatformTypeValue[] = L"PlatformType";
constexpr wchar_t kDefaultPlatformType[] = L"PocketPC";

std::atomic<CDeviceServices*> g_testServices{nullptr};

// COM on the calling thread for the length of one call, when the thread has not set it up itself.
class CComScope {
public:
    CComScope() : m_initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComScope() {
        if (m_initialised)
            CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    bool m_initialised;
};

// The device's own shortcut form: the target's length in decimal, "#", the target.
bool ReadTextShortcut(const std::wstring& shortcutPath, std::wstring& target) {
    CFileHandle file(CreateFileW(shortcutPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char buffer[2048];
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr))
        return false;
    std::string text(buffer, read);
    size_t hash = text.find('#');
    if (hash == 0 || hash == std::string::npos || text.find_first_not_of("0123456789") != hash)
        return false;
    std::string rest = text.substr(hash + 1);
    size_t lineEnd = rest.find_first_of("\r\n");
    if (lineEnd != std::string::npos)
        rest.resize(lineEnd);
    int length = MultiByteToWideChar(CP_ACP, 0, rest.data(), static_cast<int>(rest.size()), nullptr, 0);
    target.assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, rest.data(), static_cast<int>(rest.size()), target.data(), length);
    return true;
}

} // namespace

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::wstring CDeviceServices::GetPlatformType() {
    wchar_t value[64] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t); // room for a terminator the value may lack
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kDeviceKey, kPlatformTypeValue, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS)
        return kDefaultPlatformType;
    return value;
}

int CDeviceServices::ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}

std::wstring CDeviceServices::GetFolder(DeviceFolder folder) {
    switch (folder) {
    case DeviceFolder::Windows: {
        wchar_t path[MAX_PATH] = {};
        UINT length = GetWindowsDirectoryW(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return {};
        std::wstring result = path;
        while (!result.empty() && result.back() == L'\\')
            result.pop_back();
        return result;
    }
    case DeviceFolder::StartMenu:
        return ShellFolder(CSIDL_STARTMENU);
    case DeviceFolder::StartUp:
        return ShellFolder(CSIDL_STARTUP);
    }
    return {};
}

CDeviceServices& DeviceServices() {
    static CDeviceServices systemServices;
    CDeviceServices* test = g_testServices.load();
    return test != nullptr ? *test : systemServices;
}

CDeviceServices* SetDeviceServices(CDeviceServices* services) {
    return g_testServices.exchange(services);
}

bool ReadShortcutTarget(const std::wstring& shortcutPath, std::wstring& target) {
    target.clear();
    {
        CComScope com;
        CComPtr<IShellLinkW> link;
        CComPtr<IPersistFile> file;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void**>(link.Put()))) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) &&
            SUCCEEDED(file->Load(shortcutPath.c_str(), STGM_READ))) {
            // Shell links hold paths and arguments of up to INFOTIPSIZE characters.
            std::vector<wchar_t> path(INFOTIPSIZE + 1, L'\0');
            std::vector<wchar_t> arguments(INFOTIPSIZE + 1, L'\0');
            if (SUCCEEDED(link->GetPath(path.data(), INFOTIPSIZE, nullptr, SLGP_RAWPATH))) {
                link->GetArguments(arguments.data(), INFOTIPSIZE);
                target = path.data();
                if (arguments[0] != L'\0')
                    target += L" " + std::wstring(arguments.data());
                return true;
            }
        }
    }
    return ReadTextShortcut(shortcutPath, target);
}

bool CreateShortcut(const std::wstring& shortcutPath, const std::wstring& program, const std::wstring& arguments) {
    CComScope com;
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(link.Put()))) &&
           SUCCEEDED(link->SetPath(program.c_str())) && SUCCEEDED(link->SetArguments(arguments.c_str())) &&
           SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) &&
           SUCCEEDED(file->Save(shortcutPath.c_str(), TRUE));
}

} // namespace platform
