// Removing the shortcuts into the installation folder: a walk of the shortcut folders with their
// subfolders.
#include "ShortcutSweep.h"

#include "FolderClear.h"
#include "base/Text.h"
#include "platform/Device.h"
#include "platform/Handles.h"

#include <windows.h>

#include <vector>

namespace setrix {

namespace {

bool IsShortcutFile(const std::wstring& name) {
    constexpr wchar_t kExtension[] = L".lnk";
    constexpr size_t kLength = 4;
    return name.size() > kLength &&
           CompareStringOrdinal(name.c_str() + name.size() - kLength, -1, kExtension, -1, TRUE) == CSTR_EQUAL;
}

// The target with its environment variables ("%ProgramFiles%") replaced by their values, as the
// system does when it starts the shortcut; a variable that is not set stays as written.
std::wstring ExpandedTarget(const std::wstring& target) {
    DWORD length = ExpandEnvironmentStringsW(target.c_str(), nullptr, 0);
    if (length == 0)
        return target;
    std::vector<wchar_t> expanded(length + 1, L'\0');
    DWORD written = ExpandEnvironmentStringsW(target.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    return written == 0 || written > expanded.size() ? target : std::wstring(expanded.data());
}

void SweepFolder(const std::wstring& folder, const std::wstring& installFolder, int depth) {
    // Folders nested deeper than this are links looping back, not a start menu.
    constexpr int kMaximumDepth = 32;
    if (depth > kMaximumDepth)
        return;
    WIN32_FIND_DATAW found = {};
    CFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return;
    std::vector<std::wstring> subfolders;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + L"\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                subfolders.push_back(path);
            continue;
        }
        std::wstring target;
        if (IsShortcutFile(name) && platform::ReadShortcutTarget(path, target) &&
            TargetPointsInto(ExpandedTarget(target), installFolder))
            DeleteFileW(path.c_str());
    } while (FindNextFileW(find.Get(), &found));
    find.Reset();
    for (const std::wstring& subfolder : subfolders)
        SweepFolder(subfolder, installFolder, depth + 1);
}

} // namespace

bool TargetPointsInto(const std::wstring& target, const std::wstring& installFolder) {
    std::wstring folder = ovrin::FoldedCase(TrimFolderPath(installFolder));
    if (!IsRemovableFolder(folder))
        return false;
    std::wstring unquoted;
    for (wchar_t c : target)
        if (c != L'"')
            unquoted += c;
    unquoted = ovrin::FoldedCase(unquoted);
    for (size_t at = unquoted.find(folder); at != std::wstring::npos; at = unquoted.find(folder, at + 1)) {
        size_t after = at + folder.size();
        if (after == unquoted.size() || unquoted[after] == L'\\' || unquoted[after] == L'/')
            return true;
    }
    return false;
}

void DeleteShortcutsInto(const std::wstring& searchFolder, const std::wstring& installFolder) {
    if (!IsRemovableFolder(installFolder) || TrimFolderPath(searchFolder).empty())
        return;
    SweepFolder(TrimFolderPath(searchFolder), installFolder, 0);
}

} // namespace setrix
