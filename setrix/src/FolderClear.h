// Emptying the installation folder: its files deleted, its subfolders emptied and removed, the folder
// itself kept.
#pragma once

#include <string>

namespace setrix {

// The folder path without its final separators.
std::wstring TrimFolderPath(const std::wstring& folder);

// Whether folder may be emptied (and shortcuts into it removed): a folder path that is empty or a root
// ("\", "C:", "C:\", "\\server\share") never is.
bool IsRemovableFolder(const std::wstring& folder);

// Deletes every file of folder and removes every subfolder after emptying it the same way. A file that
// cannot be deleted (in use, read-only) stays, and so does every folder above it. A linked folder
// (junction or symbolic link) is removed as a link, never entered.
void EmptyFolder(const std::wstring& folder);

} // namespace setrix
