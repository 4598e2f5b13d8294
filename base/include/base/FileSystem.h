// Files and folders by wide path, the same calls in both builds: listing a folder, copying without
// overwriting, deleting, and creating folders.
#pragma once

#include <string>
#include <vector>

namespace ovrin {

// The names (not paths) of the files in folder whose names end in extension (".dic"), compared
// without regard to case, in the order the file system returns them. Empty when the folder cannot be
// read.
std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& extension);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
bool DeleteFileAt(const std::wstring& path);
// Fails when the target exists.
bool CopyFileIfAbsent(const std::wstring& from, const std::wstring& to);
// One folder; true when it was made or already exists.
bool CreateFolder(const std::wstring& path);
// Puts the complete file replacement in the place of target in one step, replacing target when it
// exists: a reader, or a program that ends part-way, sees the old file or the new one, never a part.
// The replacement is written out to the disk first. False (and both files as they were) on failure,
// and for a read-only target.
bool ReplaceFileWith(const std::wstring& replacement, const std::wstring& target);

} // namespace ovrin
