// Emptying the installation folder, depth first.
#include "FolderClear.h"

#include "platform/Handles.h"

#include <windows.h>

namespace setrix {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

} // namespace

std::wstring TrimFolderPath(const std::wstring& folder) {
    std::wstring trimmed = folder;
    while (!trimmed.empty() && IsSeparator(trimmed.back()))
        trimmed.pop_back();
    return trimmed;
}

bool IsRemovableFolder(const std::wstring& folder) {
    std::wstring trimmed = TrimFolderPath(folder);
    if (trimmed.empty())
        return false; // "" and "\", "\\"
    if (trimmed.size() == 2 && trimmed[1] == L':')
        return false; // "C:" and "C:\"
    if (trimmed.size() > 2 && IsSeparator(trimmed[0]) && IsSeparator(trimmed[1])) {
        // "\\server\share" is the root of a share; "\\?\C:" the root of a drive.
        size_t server = trimmed.find_first_of(L"\\/", 2);
        if (server == std::wstring::npos || trimmed.find_first_of(L"\\/", server + 1) == std::wstring::npos)
            return false;
        if (trimmed.compare(0, 4, L"\\\\?\\") == 0 && trimmed.size() <= 6)
            return false;
    }
    return true;
}

void EmptyFolder(const std::wstring& folder) {
    std::wstring base = TrimFolderPath(folder);
    WIN32_FIND_DATAW found = {};
    CFindHandle find(FindFirstFileW((base + L"\\*.*").c_str(), &found));
    if (!find)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = base + L"\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFileW(path.c_str());
        } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            RemoveDirectoryW(path.c_str());
        } else {
            EmptyFolder(path);
            RemoveDirectoryW(path.c_str());
        }
    } while (FindNextFileW(find.Get(), &found));
}

} // namespace setrix
