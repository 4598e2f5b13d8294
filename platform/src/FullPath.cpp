#include "platform/FullPath.h"

#include <windows.h>

#include <cwctype>
#include <vector>

namespace platform {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

} // namespace

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0]) && (path.size() == 2 || IsSeparator(path[2]));
}

bool IsRootPath(const std::wstring& full) {
    if (IsDrivePath(full))
        return full.size() <= 3;
    size_t server = full.find(L'\\', 2);
    if (server == std::wstring::npos || server == 2)
        return true;
    size_t share = full.find(L'\\', server + 1);
    return share == std::wstring::npos || share == server + 1 || share + 1 >= full.size();
}

std::wstring FullFolderPath(const std::wstring& folder) {
    std::wstring path = folder;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    if (StartsWith(path, L"\\\\?\\UNC\\") || StartsWith(path, L"\\\\.\\UNC\\")) {
        path = L"\\\\" + path.substr(8);
    } else if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\") || StartsWith(path, L"\\??\\")) {
        path = path.substr(4);
        if (!IsDrivePath(path))
            return {}; // a volume, a device, the object namespace
    }
    // Wildcards (the system's own "<", ">" and '"' among them) name no one folder.
    if (path.empty() || path.find_first_of(L"*?<>|\"") != std::wstring::npos)
        return {};
    if (path.size() >= 2 && path[1] == L':' && (path.size() == 2 || !IsSeparator(path[2])))
        return {};
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD written = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (written == 0 || written >= buffer.size())
        return {};
    std::wstring full = buffer.data();
    while (!full.empty() && IsSeparator(full.back()))
        full.pop_back();
    bool share = full.size() > 2 && full[0] == L'\\' && full[1] == L'\\' && full[2] != L'?' && full[2] != L'.';
    if (!IsDrivePath(full) && !share)
        return {};
    return full;
}

} // namespace platform
