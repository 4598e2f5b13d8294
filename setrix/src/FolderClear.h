// Emptying the installation folder: its files deleted, its subfolders emptied and removed, the folder
// itself kept. Every check and every removal works on the folder's full path, so that no spelling of a
// root ("C:\..", "\\?\C:\x\..", a relative path from the root) gets past the guard.
#pragma once

#include <string>

namespace setrix {

// The folder path without its final separators.
std::wstring TrimFolderPath(const std::wstring& folder);

// The folder's full path, as every check and removal uses it: "/" read as "\", a relative path taken
// from the current folder, "." and ".." resolved, the "\\?\" and "\\.\" prefixes of a drive path taken
// off ("\\?\UNC\server\share" read as "\\server\share"), no final separator ("C:" for a drive's root).
// Empty for what names no folder on a drive or a share: an empty path, a drive-relative one ("C:",
// "C:x": relative to a current folder per drive that the caller cannot see), a volume or other device
// path, wildcard characters.
std::wstring FullFolderPath(const std::wstring& folder);

// Whether folder may be emptied (and shortcuts into it removed): a folder whose full path is a root
// ("C:\", "\\server\share") or that has no full path never is.
bool IsRemovableFolder(const std::wstring& folder);

// Deletes every file of folder and removes every subfolder after emptying it the same way. A file that
// cannot be deleted (in use, read-only) stays, and so does every folder above it. A linked folder
// (junction or symbolic link) is removed as a link, never entered, and a linked file is removed as a
// link, never its target; where the system cannot open a link as itself (Wine) the link stays. An
// entry is deleted only through a handle that reaches that entry's own path. Nothing is touched when
// folder is not removable or is a link to a root.
void EmptyFolder(const std::wstring& folder);

} // namespace setrix
