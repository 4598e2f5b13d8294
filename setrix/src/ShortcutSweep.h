// Removing the shortcuts that point into the installation folder.
#pragma once

#include <string>

namespace setrix {

// Whether a shortcut target, with its double quotes removed, names installFolder or something inside
// it: the folder path occurs in it, compared without regard to case, followed by a separator or the
// end of the target ("\Program Files\OVRIN" does not point into "\Program Files\OVRIN Mobile 2").
bool TargetPointsInto(const std::wstring& target, const std::wstring& installFolder);

// Deletes every shortcut file (".lnk") in searchFolder and its subfolders whose target, its
// environment variables expanded, points into installFolder. Nothing is deleted for an installation folder that is
// empty or a root.
void DeleteShortcutsInto(const std::wstring& searchFolder, const std::wstring& installFolder);

} // namespace setrix
