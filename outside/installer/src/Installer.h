// The device installer's stand-in: makes a package from the build, installs it and removes it.
#pragma once

#include "Manifest.h"

#include <functional>
#include <map>
#include <string>

namespace installer {

// Where the pieces of a package come from when it is made.
struct PackSources {
    std::wstring build;   // %build%: the Windows build tree
    std::wstring source;  // %source%: the repository
    std::wstring samples; // %samples%: the sample dictionaries
};

class CInstallUndo;
class CSetupLibrary;

class CInstaller {
public:
    using Reporter = std::function<void(const std::wstring&)>;
    // report receives a line for every step taken and every failure.
    explicit CInstaller(Reporter report) : m_report(std::move(report)) {}

    // Copies what manifestPath names into packageFolder and writes its packed manifest there.
    bool Pack(const std::wstring& manifestPath, const PackSources& sources, const std::wstring& packageFolder);

    // Installs the package in packageFolder. folders overrides package folders by name (the
    // installation folder the user chose, for instance).
    bool Install(const std::wstring& packageFolder, const std::map<std::wstring, std::wstring>& folders);

    // Removes the installed package of that name.
    bool Uninstall(const std::wstring& package);

    // The device's folders: ProgramFiles, Windows, StartMenu, StartUp.
    static std::map<std::wstring, std::wstring> DeviceFolders();

    // The packed manifest's file name inside a package folder.
    static constexpr wchar_t kManifestName[] = L"package.txt";

private:
    struct Plan;
    struct Failures;

    Reporter m_report;

    bool Fail(const std::wstring& message);
    // The steps of Install: what it will do, planned and checked before anything is changed; then the
    // changes, held by undo until the setup library has agreed.
    bool ReadPackage(const std::wstring& packageFolder, Manifest& manifest);
    bool PlanFolders(const std::map<std::wstring, std::wstring>& chosen, Plan& plan);
    bool PlanContents(const std::wstring& packageFolder, Plan& plan);
    bool CheckRoom(const Plan& plan);
    bool PrepareFolders(const Plan& plan, CInstallUndo& undo);
    bool WriteRecordAndKeys(Plan& plan, CInstallUndo& undo, bool& previouslyInstalled);
    Failures PutInPlace(const Plan& plan, CSetupLibrary& setup);
};

} // namespace installer
