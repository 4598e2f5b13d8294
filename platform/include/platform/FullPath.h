// Folder paths as the system resolves them, for the checks that must see through every spelling of a
// root before anything is emptied or installed ("C:\..", "\\?\C:\x\..", a relative path from the root).
#pragma once

#include <string>

namespace platform {

// The folder's full path: "/" read as "\", a relative path taken from the current folder, "." and ".."
// resolved, the "\\?\" and "\\.\" prefixes of a drive path taken off ("\\?\UNC\server\share" read as
// "\\server\share"), no final separator ("C:" for a drive's root). Empty for what names no folder on a
// drive or a share: an empty path, a drive-relative one ("C:", "C:x": relative to a current folder per
// drive that the caller cannot see), a volume or other device path, wildcard characters.
std::wstring FullFolderPath(const std::wstring& folder);

// Whether a full path (as FullFolderPath gives it) is a drive's root or a share's: "C:", "\\server\share".
bool IsRootPath(const std::wstring& full);

// Whether a full path names a drive: "C:" followed by a separator or the end.
bool IsDrivePath(const std::wstring& path);

} // namespace platform
