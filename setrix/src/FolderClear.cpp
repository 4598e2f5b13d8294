// Emptying the installation folder, depth first, after the guard has seen its full path.
#include "FolderClear.h"

#include "platform/FullPath.h"
#include "platform/Handles.h"

#include <windows.h>

#include <vector>

namespace setrix {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The path an open handle reaches as the system resolves it (links followed), in the form
// platform::FullFolderPath gives; empty when the system cannot tell.
std::wstring FinalPath(HANDLE handle) {
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    if (length == 0 || length >= buffer.size())
        return {};
    return platform::FullFolderPath(std::wstring(buffer.data(), length));
}

// An entry opened for deletion: a link as the link itself where the system opens links so, otherwise
// what the path reaches. Others may go on reading and writing it; one who holds it without sharing its
// deletion (a program in use) keeps it from being opened.
CFileHandle OpenForDeletion(const std::wstring& path) {
    return CFileHandle(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whether a handle opened on the entry at path holds that entry and nothing else: the link itself
// (its handle shows the reparse point), or a file or folder whose resolved path is the entry's own. A
// system that follows the link even so (Wine, whose links are the host's) hands over its target: such an
// entry is left where it is, since deleting through it would delete the target.
bool HoldsTheEntryItself(HANDLE handle, const std::wstring& path) {
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return true;
    std::wstring reached = FinalPath(handle);
    return !reached.empty() && SamePath(reached, path);
}

// Marks an open entry for deletion when its handle closes; a read-only file or a folder that is not
// empty refuses.
void DeleteWhenClosed(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}

// base is a resolved path (FinalPath): every entry's path is compared with base + "\" + its name.
void EmptyFolderTree(const std::wstring& base) {
    WIN32_FIND_DATAW found = {};
    CFindHandle find(FindFirstFileW((base + L"\\*.*").c_str(), &found));
    if (!find)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = base + L"\\" + name;
        CFileHandle entry = OpenForDeletion(path);
        if (!entry || !HoldsTheEntryItself(entry.Get(), path))
            continue;
        bool linked = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !linked) {
            // A folder held open for deletion cannot be listed: it is let go, emptied, and opened and
            // checked again.
            entry.Reset();
            EmptyFolderTree(path);
            entry = OpenForDeletion(path);
            if (!entry || !HoldsTheEntryItself(entry.Get(), path))
                continue;
        }
        DeleteWhenClosed(entry.Get());
    } while (FindNextFileW(find.Get(), &found));
}

// The folder as the system resolves it, links followed; empty when it cannot be opened or resolves to
// a root (a folder that is a link to a drive).
std::wstring ResolvedFolder(const std::wstring& full) {
    CFileHandle folder(CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return {};
    std::wstring resolved = FinalPath(folder.Get());
    return resolved.empty() || platform::IsRootPath(resolved) ? std::wstring() : resolved;
}

} // namespace

std::wstring TrimFolderPath(const std::wstring& folder) {
    std::wstring trimmed = folder;
    while (!trimmed.empty() && IsSeparator(trimmed.back()))
        trimmed.pop_back();
    return trimmed;
}

bool IsRemovableFolder(const std::wstring& folder) {
    std::wstring full = platform::FullFolderPath(folder);
    return !full.empty() && !platform::IsRootPath(full);
}

void EmptyFolder(const std::wstring& folder) {
    std::wstring full = platform::FullFolderPath(folder);
    if (full.empty() || platform::IsRootPath(full))
        return;
    std::wstring resolved = ResolvedFolder(full);
    if (!resolved.empty())
        EmptyFolderTree(resolved);
}

} // namespace setrix
