// What an installation put on the device, kept in the package's marker file
// ("\Windows\<package>.unload") so that removal takes away exactly that. It is written before the
// first file is copied: an installation that fails part-way can still be removed or repaired.
#pragma once

#include "Manifest.h"

#include <string>
#include <vector>

namespace installer {

struct InstallRecord {
    std::wstring package;
    std::wstring installFolder;
    std::wstring setupLibrary;         // its installed path
    std::vector<std::wstring> folders; // created by the installation, outermost first
    std::vector<std::wstring> files;   // installed files
    std::vector<std::wstring> registered;
    std::vector<std::wstring> shortcuts;
    std::vector<std::wstring> keys;     // "HKCU\..." or "HKLM\...", removed with their subkeys
    std::vector<std::wstring> keysMade; // keys above those that the installation made: removed once empty
    std::vector<Command> onUninstall;
};

// The marker file of a package in the device's Windows folder.
std::wstring MarkerPath(const std::wstring& windowsFolder, const std::wstring& package);

// Writes the record in one step (a new file put in place of the old); false when it cannot.
bool WriteRecord(const std::wstring& path, const InstallRecord& record);

// Reads a record; false when the file is absent or unreadable or names no installation folder.
bool ReadRecord(const std::wstring& path, InstallRecord& record);

} // namespace installer
