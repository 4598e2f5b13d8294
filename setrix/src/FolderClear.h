// Emptying the installation folder: its files deleted, its subfolders emptied and removed, the folder
// itself kept. Every check and every removal works on the folder's full path (platform::FullFolderPath), so that no
// spelling of a root ("C:\..", "\\?\C:\x\..", a relative path from the root) gets past the guard.
#pragma once

#include <string>

namespace setrix {

// The folder path without its final separators.
std::wstring TrimFolderPath(const std::wstring& folder);

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
