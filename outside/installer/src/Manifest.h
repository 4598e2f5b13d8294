// The installation package's manifest: what the package holds and where each piece goes.
//
// One directive a line, fields separated by "|" and trimmed; "#" starts a comment line. Paths may
// name folders as %Name%: the package's own folders (its "folder" lines) and the device's
// (%ProgramFiles%, %Windows%, %StartMenu%, %StartUp%). In a source manifest a file's source names
// %build% (the Windows build tree), %source% (the repository) or %samples% (the sample dictionaries);
// in a packed manifest it is relative to the package folder.
//
//   name      | OVRIN Mobile
//   folder    | InstallDir | %ProgramFiles%\OVRIN Mobile
//   setup     | %InstallDir%\Setrix.dll
//   file      | %InstallDir% | %build%/lexory/Lexory.exe [| name it is installed under]
//   file?     | ...           (the same, left out of the package when the source is absent)
//   register  | %InstallDir%\Pagelift.dll
//   shortcut  | %StartMenu%\Lexory.lnk | %InstallDir%\Lexory.exe [| arguments]
//   setting   | Lexory | path | %InstallDir%\   (a value of the program's settings section)
//   key       | HKCU\Software\Ovrinsoft\Pocket OVRIN\OVRIN   (removed with its subkeys on removal)
//   install   | %Engine%\mtsetup.exe | install "%Engine%"     (run after the files are in place)
//   uninstall | %Engine%\mtsetup.exe | uninstall              (run before the files go)
#pragma once

#include <map>
#include <string>
#include <vector>

namespace installer {

struct PackageFile {
    std::wstring destinationFolder; // as written, with %Name% folders
    std::wstring source;
    std::wstring name; // the installed file's name
    bool optional = false;
};

struct Shortcut {
    std::wstring path;
    std::wstring target;
    std::wstring arguments;
};

struct Setting {
    std::wstring section;
    std::wstring name;
    std::wstring value;
};

struct Command {
    std::wstring program;
    std::wstring arguments;
};

struct Manifest {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> folders; // in their order
    std::wstring setupLibrary;
    std::vector<PackageFile> files;
    std::vector<std::wstring> registered;
    std::vector<Shortcut> shortcuts;
    std::vector<Setting> settings;
    std::vector<std::wstring> keys;
    std::vector<Command> onInstall;
    std::vector<Command> onUninstall;
};

// The fields of one line: split at "|", each trimmed.
std::vector<std::wstring> SplitFields(const std::wstring& line);

// Reads a manifest's text; false with a message naming the line when a line cannot be read.
bool ParseManifest(const std::wstring& text, Manifest& manifest, std::wstring& error);

// Writes a manifest back in the same form.
std::wstring FormatManifest(const Manifest& manifest);

// Replaces every %Name% of text by its folder; false with the unknown name in error.
bool ExpandFolders(const std::wstring& text, const std::map<std::wstring, std::wstring>& folders,
                   std::wstring& expanded, std::wstring& error);

} // namespace installer
