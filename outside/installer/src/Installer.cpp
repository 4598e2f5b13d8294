// Making, installing and removing the package.
#include "Installer.h"

#include "InstallRecord.h"
#include "SetupLibrary.h"

#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "common/Registry.h"
#include "platform/CommandLine.h"
#include "platform/Device.h"
#include "platform/FullPath.h"
#include "platform/Handles.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace installer {
namespace {

constexpr ULONGLONG kSpaceMargin = 1 << 20; // kept free beyond the package's own size
constexpr DWORD kCommandTimeout = 120000;
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplacePauseMs = 100;

std::wstring ErrorText(DWORD error) {
    return L"error " + std::to_wstring(error);
}

std::wstring WithoutFinalSeparator(std::wstring path) {
    while (path.size() > 3 && ovrin::IsPathSeparator(path.back()))
        path.pop_back();
    return path;
}

bool ReadText(const std::wstring& path, std::wstring& text) {
    try {
        CTextFileRead file(path);
        return file.IsOpen() && file.ReadAll(text, L"\n");
    } catch (const CTextFileException&) {
        return false;
    }
}

bool WriteText(const std::wstring& path, const std::wstring& text) {
    try {
        CTextFileWrite file(path, EncodingUtf8);
        if (!file.IsOpen())
            return false;
        file.WriteText(text);
        file.Close();
        return true;
    } catch (const CTextFileException&) {
        return false;
    }
}

// Creates folder and the folders above it that are missing; those it made go to created, outermost
// first.
bool MakeFolders(const std::wstring& folder, std::vector<std::wstring>& created) {
    if (folder.empty() || ovrin::FolderExists(folder))
        return true;
    std::wstring parent = ovrin::PathFolder(folder);
    while (!parent.empty() && ovrin::IsPathSeparator(parent.back()))
        parent.pop_back();
    if (parent.empty() || parent == folder || !MakeFolders(parent, created))
        return false;
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    created.push_back(folder);
    return true;
}

bool FolderWritable(const std::wstring& folder) {
    std::wstring probe = ovrin::PathJoin(folder, L"~ovinstall.probe");
    CFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

// Whether an existing file is held open by another program (it could not be replaced).
bool FileInUse(const std::wstring& path) {
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

ULONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// A package folder's full path (platform::FullFolderPath), as the installation and its record use it.
// Empty unless that names a folder below a drive's root ("C:\\x\\.." is the root, and removing what
// was installed there would empty the drive).
std::wstring FullFolderBelowRoot(const std::wstring& folder) {
    std::wstring full = platform::FullFolderPath(folder);
    return platform::IsDrivePath(full) && !platform::IsRootPath(full) ? full : std::wstring();
}

std::wstring DriveRoot(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' ? path.substr(0, 3) : path;
}

// The copy of one file. For tests, OVRIN_INSTALL_SPACE_LEFT gives the room (in bytes) the disk has left
// for this run's copies: a copy that does not fit writes what fits and fails with ERROR_DISK_FULL, as a
// disk filling up part-way through a write does. Unset, the system copies.
bool CopyFileWithinRoom(const std::wstring& source, const std::wstring& target) {
    static long long room = [] {
        wchar_t value[32] = {};
        DWORD length = GetEnvironmentVariableW(L"OVRIN_INSTALL_SPACE_LEFT", value, 32);
        return length > 0 && length < 32 ? std::wcstoll(value, nullptr, 10) : -1LL;
    }();
    if (room < 0)
        return CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
    std::ifstream in(std::filesystem::path(source), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    std::size_t fits = static_cast<std::size_t>(std::min<long long>(room, static_cast<long long>(bytes.size())));
    std::ofstream out(std::filesystem::path(target), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(fits));
    out.close();
    room -= static_cast<long long>(fits);
    if (fits < bytes.size() || !out) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

// Installs one file: copied beside its place first and then put there in one step, so that a
// failure never leaves part of a file where a program would load it.
bool InstallFile(const std::wstring& source, const std::wstring& destination, DWORD& error) {
    std::wstring temporary = destination + L".ovnew";
    if (!CopyFileWithinRoom(source, temporary)) {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        return false;
    }
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A file that another process has just let go (a program or an installer that has just ended)
    // can refuse the replacement for a moment: a few tries before giving up.
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        error = GetLastError();
        bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        if (!busy || attempt == kReplaceAttempts) {
            DeleteFileW(temporary.c_str());
            return false;
        }
        Sleep(kReplacePauseMs);
    }
}

bool RunCommand(const Command& command, DWORD& exitCode) {
    std::wstring line = platform::QuotedArgument(command.program);
    if (!command.arguments.empty())
        line += L" " + command.arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(command.program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        ovrin::PathFolder(command.program).c_str(), &startup, &process))
        return false;
    CHandle thread(process.hThread), program(process.hProcess);
    bool ended = WaitForSingleObject(program.Get(), kCommandTimeout) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(program.Get(), 1);
    GetExitCodeProcess(program.Get(), &exitCode);
    return ended;
}

// "HKCU\path" or "HKLM\path".
bool SplitKey(const std::wstring& key, HKEY& root, std::wstring& path) {
    size_t slash = key.find(L'\\');
    std::wstring name = ovrin::FoldedCase(key.substr(0, slash));
    if (slash == std::wstring::npos || slash + 1 >= key.size())
        return false;
    if (name == L"hkcu" || name == L"hkey_current_user")
        root = HKEY_CURRENT_USER;
    else if (name == L"hklm" || name == L"hkey_local_machine")
        root = HKEY_LOCAL_MACHINE;
    else
        return false;
    path = key.substr(slash + 1);
    return true;
}

bool KeyExists(const std::wstring& key) {
    HKEY root;
    std::wstring path;
    return SplitKey(key, root, path) && CRegistryKey::Exists(root, path);
}

bool KeyIsEmpty(HKEY root, const std::wstring& path) {
    CRegistryKey key;
    return key.Open(root, path, KEY_READ, false) && key.IsEmpty();
}

void DeleteKey(const std::wstring& key) {
    HKEY root;
    std::wstring path;
    if (!SplitKey(key, root, path))
        return;
    CRegistryKey::DeleteTree(root, path);
}

// The keys above key, below the root's first level ("Software"), that do not exist yet.
void AddMissingParents(const std::wstring& key, std::vector<std::wstring>& missing) {
    size_t first = key.find(L'\\');
    size_t second = first == std::wstring::npos ? first : key.find(L'\\', first + 1);
    for (size_t slash = second == std::wstring::npos ? second : key.find(L'\\', second + 1);
         slash != std::wstring::npos; slash = key.find(L'\\', slash + 1)) {
        std::wstring parent = key.substr(0, slash);
        if (!KeyExists(parent) && std::find(missing.begin(), missing.end(), parent) == missing.end())
            missing.push_back(parent);
    }
}

// Removes the keys the installation made above its own, innermost first, each only once empty.
void DeleteMadeKeys(std::vector<std::wstring> keys) {
    std::sort(keys.begin(), keys.end(),
              [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& key : keys) {
        HKEY root;
        std::wstring path;
        if (SplitKey(key, root, path) && KeyIsEmpty(root, path))
            CRegistryKey::DeleteEmptyKey(root, path);
    }
}

bool WriteInstallKey(HKEY root, const std::wstring& path, const std::wstring& installFolder) {
    CRegistryKey key;
    if (!key.Open(root, path, true) || !key.WriteString(L"InstallDir", installFolder))
        return false;
    return key.WriteDword(L"Instl", 1);
}

std::wstring ReadInstallFolderKey(const std::wstring& package) {
    CRegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\" + package, KEY_READ, false))
        return {};
    return key.ReadString(L"InstallDir", L"");
}

void AddOnce(std::vector<std::wstring>& list, const std::wstring& value) {
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

// The paths of the files and folders directly in folder.
std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> entries;
    WIN32_FIND_DATAW found;
    CFindHandle search(FindFirstFileW(ovrin::PathJoin(folder, L"*").c_str(), &found));
    if (!search)
        return entries;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back(ovrin::PathJoin(folder, name));
    } while (FindNextFileW(search.Get(), &found));
    return entries;
}

struct PlannedFile {
    std::wstring source;
    std::wstring destination;
};

} // namespace

// The names of the manifest's libraries, keys, commands and settings, expanded: into record (registered,
// keys, onUninstall), settings and onInstall; false at the first that does not expand (expand reports it).
template <typename Expand>
bool ExpandAll(const Manifest& manifest, Expand& expand, InstallRecord& record,
               std::vector<std::pair<const Setting*, std::wstring>>& settings, std::vector<Command>& onInstall) {
    auto expandCommands = [&](const std::vector<Command>& commands, std::vector<Command>& expanded) {
        for (const Command& command : commands) {
            Command made;
            if (!expand(command.program, made.program) || !expand(command.arguments, made.arguments))
                return false;
            expanded.push_back(made);
        }
        return true;
    };
    for (const std::wstring& library : manifest.registered) {
        if (!expand(library, record.registered.emplace_back()))
            return false;
    }
    for (const std::wstring& key : manifest.keys) {
        if (!expand(key, record.keys.emplace_back()))
            return false;
    }
    for (const Setting& setting : manifest.settings) {
        std::wstring value;
        if (!expand(setting.value, value))
            return false;
        settings.emplace_back(&setting, value);
    }
    return expandCommands(manifest.onUninstall, record.onUninstall) && expandCommands(manifest.onInstall, onInstall);
}

// What an installation has changed before its package is in place, taken back when it is dropped
// unless it was committed: the folders it made (innermost last, removed first), the installation record
// (the previous one put back, or none) and the package's keys with the parents they needed.
class CInstallUndo {
public:
    CInstallUndo() = default;
    ~CInstallUndo() {
        if (m_committed)
            return;
        if (!m_marker.empty() && !(m_hadRecord && WriteRecord(m_marker, m_previous)))
            DeleteFileW(m_marker.c_str());
        for (const std::wstring& key : m_keys)
            DeleteKey(key);
        DeleteMadeKeys(m_parents);
        for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder)
            RemoveDirectoryW(folder->c_str());
    }
    CInstallUndo(const CInstallUndo&) = delete;
    CInstallUndo& operator=(const CInstallUndo&) = delete;

    std::vector<std::wstring>& Folders() { return m_folders; }
    // Before the record at marker is written; previous is put back when hadRecord.
    void RecordAt(const std::wstring& marker, bool hadRecord, const InstallRecord& previous) {
        m_marker = marker;
        m_hadRecord = hadRecord;
        m_previous = previous;
    }
    // Before key (HKLM\..., HKCU\...) is written: it goes again if it is new.
    void KeyAbout(const std::wstring& key) {
        if (!KeyExists(key))
            m_keys.push_back(key);
        AddMissingParents(key, m_parents);
    }
    void Commit() { m_committed = true; }

private:
    bool m_committed = false;
    std::vector<std::wstring> m_folders;
    std::wstring m_marker;
    bool m_hadRecord = false;
    InstallRecord m_previous;
    std::vector<std::wstring> m_keys;
    std::vector<std::wstring> m_parents;
};

bool CInstaller::Fail(const std::wstring& message) {
    m_report(L"failed: " + message);
    return false;
}

std::map<std::wstring, std::wstring> CInstaller::DeviceFolders() {
    std::map<std::wstring, std::wstring> folders;
    wchar_t programFiles[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)))
        folders[L"ProgramFiles"] = WithoutFinalSeparator(programFiles);
    platform::CDeviceServices& device = platform::DeviceServices();
    folders[L"Windows"] = device.GetFolder(platform::DeviceFolder::Windows);
    folders[L"StartMenu"] = device.GetFolder(platform::DeviceFolder::StartMenu);
    folders[L"StartUp"] = device.GetFolder(platform::DeviceFolder::StartUp);
    return folders;
}

bool CInstaller::Pack(const std::wstring& manifestPath, const PackSources& sources, const std::wstring& packageFolder) {
    std::wstring text, error;
    Manifest manifest;
    if (!ReadText(manifestPath, text))
        return Fail(L"cannot read the manifest " + manifestPath);
    if (!ParseManifest(text, manifest, error))
        return Fail(manifestPath + L": " + error);
    std::map<std::wstring, std::wstring> from = {
        {L"build", sources.build}, {L"source", sources.source}, {L"samples", sources.samples}};
    std::vector<std::wstring> created;
    if (!MakeFolders(packageFolder, created))
        return Fail(L"cannot make the package folder " + packageFolder);
    ovrin::DeleteFileAt(ovrin::PathJoin(packageFolder, kManifestName));

    std::vector<PackageFile> packed;
    for (const PackageFile& file : manifest.files) {
        std::wstring source;
        if (!ExpandFolders(file.source, from, source, error))
            return Fail(error);
        std::replace(source.begin(), source.end(), L'/', L'\\');
        if (!ovrin::FileExists(source)) {
            if (file.optional) {
                m_report(L"left out (absent): " + source);
                continue;
            }
            return Fail(L"missing from the build: " + source);
        }
        // Inside the package each file lies under its destination, %Name% folders by their names.
        std::wstring relative = file.destinationFolder;
        relative.erase(std::remove(relative.begin(), relative.end(), L'%'), relative.end());
        relative = ovrin::PathJoin(relative, file.name);
        std::wstring target = ovrin::PathJoin(packageFolder, relative);
        if (!MakeFolders(ovrin::PathFolder(target), created) || !CopyFileW(source.c_str(), target.c_str(), FALSE))
            return Fail(L"cannot copy " + source + L" into the package (" + ErrorText(GetLastError()) + L")");
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        PackageFile entry = file;
        entry.source = relative;
        entry.optional = false;
        packed.push_back(entry);
    }
    manifest.files = packed;
    if (!WriteText(ovrin::PathJoin(packageFolder, kManifestName), FormatManifest(manifest)))
        return Fail(L"cannot write the package's manifest");
    m_report(L"packed " + manifest.name + L": " + std::to_wstring(packed.size()) + L" files in " + packageFolder);
    return true;
}

// Everything an installation will do, every name expanded and checked before anything is changed.
struct CInstaller::Plan {
    Manifest manifest;
    std::map<std::wstring, std::wstring> folders; // the device's and the package's, by name
    std::wstring installFolder;
    std::vector<PlannedFile> files;
    std::map<std::wstring, ULONGLONG> needed; // bytes, by drive
    std::set<std::wstring> targetFolders;
    std::wstring setupSource, setupPath;
    std::vector<Shortcut> shortcuts;
    InstallRecord record; // its registered libraries, keys and removal commands so far
    std::vector<std::pair<const Setting*, std::wstring>> settings;
    std::vector<Command> onInstall;
};

// The counts of what failed while the package was put in place, as the setup library's exit hook takes them.
struct CInstaller::Failures {
    WORD files = 0, values = 0, shortcuts = 0, keys = 0;
    bool Any() const { return files + values + shortcuts + keys > 0; }
};

bool CInstaller::Install(const std::wstring& packageFolder, const std::map<std::wstring, std::wstring>& chosen) {
    Plan plan;
    if (!ReadPackage(packageFolder, plan.manifest) || !PlanFolders(chosen, plan) ||
        !PlanContents(packageFolder, plan) || !CheckRoom(plan))
        return false;
    CInstallUndo undo;
    bool previouslyInstalled = false;
    if (!PrepareFolders(plan, undo) || !WriteRecordAndKeys(plan, undo, previouslyInstalled))
        return false;
    CSetupLibrary setup;
    if (!plan.setupSource.empty()) {
        std::wstring error;
        if (!setup.Load(plan.setupSource, error))
            return Fail(error);
        if (!setup.InstallInit(previouslyInstalled, plan.installFolder)) {
            m_report(L"the setup library cancelled the installation");
            undo.Commit(); // the removal below takes it all back, with the setup library's hooks
            Uninstall(plan.manifest.name);
            return false;
        }
    }
    // From here on a failure leaves an incomplete installation that installing again repairs.
    undo.Commit();
    Failures failures = PutInPlace(plan, setup);
    bool uninstallNow = false;
    if (setup.Loaded())
        setup.InstallExit(plan.installFolder, 0, failures.files, failures.keys, failures.values, failures.shortcuts,
                          uninstallNow);
    if (uninstallNow) {
        m_report(L"the setup library asked for the package to be removed again");
        Uninstall(plan.manifest.name);
        return false;
    }
    if (failures.Any())
        return Fail(L"the installation of " + plan.manifest.name +
                    L" is incomplete; install it again to repair it, or remove it");
    m_report(L"installed " + plan.manifest.name + L" in " + plan.installFolder + L": " +
             std::to_wstring(plan.files.size()) + L" files, " + std::to_wstring(plan.shortcuts.size()) + L" shortcuts");
    return true;
}

bool CInstaller::ReadPackage(const std::wstring& packageFolder, Manifest& manifest) {
    std::wstring text, error;
    if (!ReadText(ovrin::PathJoin(packageFolder, kManifestName), text))
        return Fail(L"no package in " + packageFolder);
    if (!ParseManifest(text, manifest, error))
        return Fail(L"the package's manifest: " + error);
    return true;
}

// The folders: the device's, then the package's own, each possibly chosen by the user.
bool CInstaller::PlanFolders(const std::map<std::wstring, std::wstring>& chosen, Plan& plan) {
    const Manifest& manifest = plan.manifest;
    plan.folders = DeviceFolders();
    for (const auto& [name, path] : manifest.folders) {
        std::wstring expanded, error;
        auto given = chosen.find(name);
        if (given != chosen.end())
            expanded = given->second;
        else if (!ExpandFolders(path, plan.folders, expanded, error))
            return Fail(error);
        std::wstring full = FullFolderBelowRoot(expanded);
        if (full.empty())
            return Fail(name == manifest.folders.front().first
                            ? L"the installation folder must be a full path below a drive's root: " + expanded
                            : L"the package folder " + name + L" must be a full path below a drive's root: " +
                                  expanded);
        plan.folders[name] = full;
    }
    plan.installFolder = plan.folders[manifest.folders.front().first];
    return true;
}

// Every file, shortcut and name of the manifest, expanded; the files must be in the package.
bool CInstaller::PlanContents(const std::wstring& packageFolder, Plan& plan) {
    const Manifest& manifest = plan.manifest;
    auto expand = [&](const std::wstring& value, std::wstring& out) {
        std::wstring error;
        if (ExpandFolders(value, plan.folders, out, error))
            return true;
        m_report(L"failed: " + error);
        return false;
    };
    if (!manifest.setupLibrary.empty() && !expand(manifest.setupLibrary, plan.setupPath))
        return false;
    for (const PackageFile& file : manifest.files) {
        std::wstring folder;
        if (!expand(file.destinationFolder, folder))
            return false;
        PlannedFile planned{ovrin::PathJoin(packageFolder, file.source), ovrin::PathJoin(folder, file.name)};
        if (!ovrin::FileExists(planned.source))
            return Fail(L"the package is incomplete: " + planned.source + L" is missing");
        if (ovrin::FoldedCase(planned.destination) == ovrin::FoldedCase(plan.setupPath))
            plan.setupSource = planned.source;
        plan.needed[DriveRoot(folder)] += FileSize(planned.source);
        plan.targetFolders.insert(WithoutFinalSeparator(folder));
        plan.files.push_back(planned);
    }
    if (!plan.setupPath.empty() && plan.setupSource.empty())
        return Fail(L"the setup library " + plan.setupPath + L" is not in the package");
    for (const Shortcut& shortcut : manifest.shortcuts) {
        Shortcut expanded;
        if (!expand(shortcut.path, expanded.path) || !expand(shortcut.target, expanded.target) ||
            !expand(shortcut.arguments, expanded.arguments))
            return false;
        plan.targetFolders.insert(ovrin::PathFolder(expanded.path));
        plan.shortcuts.push_back(expanded);
    }
    return ExpandAll(manifest, expand, plan.record, plan.settings, plan.onInstall);
}

bool CInstaller::CheckRoom(const Plan& plan) {
    for (const auto& [drive, bytes] : plan.needed) {
        ULARGE_INTEGER available = {};
        if (GetDiskFreeSpaceExW(drive.c_str(), &available, nullptr, nullptr) &&
            available.QuadPart < bytes + kSpaceMargin)
            return Fail(L"not enough disk space on " + drive + L": " + std::to_wstring((bytes + kSpaceMargin) >> 10) +
                        L" KB needed, " + std::to_wstring(available.QuadPart >> 10) + L" KB free");
    }
    return true;
}

// The target folders made (held by undo) and writable; no file to be replaced in use.
bool CInstaller::PrepareFolders(const Plan& plan, CInstallUndo& undo) {
    for (const std::wstring& folder : plan.targetFolders) {
        if (!MakeFolders(folder, undo.Folders()) || !FolderWritable(folder)) {
            DWORD lastError = GetLastError();
            return Fail(L"cannot write to the folder " + folder + L" (" + ErrorText(lastError) + L")");
        }
    }
    for (const PlannedFile& file : plan.files) {
        if (FileInUse(file.destination))
            return Fail(L"the file " + file.destination +
                        L" is in use: end the program that holds it and install again");
    }
    return true;
}

// The record first: whatever happens from here on, removal and a repeated install know it all. Then
// the package's keys under HKEY_LOCAL_MACHINE (a failure there is reported and the installation goes on).
bool CInstaller::WriteRecordAndKeys(Plan& plan, CInstallUndo& undo, bool& previouslyInstalled) {
    const Manifest& manifest = plan.manifest;
    InstallRecord& record = plan.record;
    const std::wstring marker = MarkerPath(plan.folders[L"Windows"], manifest.name);
    InstallRecord previous;
    const bool hadRecord = ReadRecord(marker, previous);
    previouslyInstalled = hadRecord || !ReadInstallFolderKey(manifest.name).empty();
    record.package = manifest.name;
    record.installFolder = plan.installFolder;
    record.setupLibrary = plan.setupPath;
    record.folders = previous.folders;
    for (const std::wstring& folder : undo.Folders())
        AddOnce(record.folders, folder);
    for (const PlannedFile& file : plan.files)
        record.files.push_back(file.destination);
    for (const Shortcut& shortcut : plan.shortcuts)
        record.shortcuts.push_back(shortcut.path);
    const std::wstring appsKey = L"SOFTWARE\\Apps\\" + manifest.name;
    const std::wstring appInstallKey = L"Security\\AppInstall\\" + manifest.name;
    record.keys.push_back(L"HKLM\\" + appsKey);
    record.keys.push_back(L"HKLM\\" + appInstallKey);
    record.keysMade = previous.keysMade;
    for (const std::wstring& key : record.keys)
        AddMissingParents(key, record.keysMade);
    for (const Setting& setting : manifest.settings)
        AddMissingParents(L"HKCU\\" + CAppSettings::SectionKey(setting.section) + L"\\", record.keysMade);
    undo.RecordAt(marker, hadRecord, previous);
    if (!WriteRecord(marker, record))
        return Fail(L"cannot write the installation record " + marker);
    undo.KeyAbout(L"HKLM\\" + appsKey);
    undo.KeyAbout(L"HKLM\\" + appInstallKey);
    if (!WriteInstallKey(HKEY_LOCAL_MACHINE, appsKey, plan.installFolder) ||
        !WriteInstallKey(HKEY_LOCAL_MACHINE, appInstallKey, plan.installFolder))
        m_report(L"failed: cannot write the package's keys under HKEY_LOCAL_MACHINE");
    return true;
}

// Files, settings, shortcuts, registrations and install commands; each failure is reported and counted.
CInstaller::Failures CInstaller::PutInPlace(const Plan& plan, CSetupLibrary& setup) {
    Failures failed;
    for (const PlannedFile& file : plan.files) {
        DWORD lastError = 0;
        if (!InstallFile(file.source, file.destination, lastError)) {
            ++failed.files;
            m_report(L"failed: cannot install " + file.destination + L" (" + ErrorText(lastError) + L")");
        }
    }
    for (const auto& [setting, value] : plan.settings) {
        CRegistryKey key;
        if (!key.Open(HKEY_CURRENT_USER, CAppSettings::SectionKey(setting->section), true) ||
            !key.WriteString(setting->name, value)) {
            ++failed.values;
            m_report(L"failed: cannot write the setting " + setting->section + L"\\" + setting->name);
        }
    }
    for (const Shortcut& shortcut : plan.shortcuts) {
        if (!platform::CreateShortcut(shortcut.path, shortcut.target, shortcut.arguments)) {
            ++failed.shortcuts;
            m_report(L"failed: cannot make the shortcut " + shortcut.path);
        }
    }
    for (const std::wstring& library : plan.record.registered) {
        if (!(setup.Loaded() ? setup.Register(library, true) : RegisterDirectly(library, true))) {
            ++failed.keys;
            m_report(L"failed: cannot register " + library);
        }
    }
    for (const Command& command : plan.onInstall) {
        DWORD exitCode = 1;
        if (!RunCommand(command, exitCode) || exitCode != 0) {
            ++failed.keys;
            m_report(L"failed: " + command.program + L" " + command.arguments + L" (exit code " +
                     std::to_wstring(exitCode) + L")");
        }
    }
    return failed;
}

bool CInstaller::Uninstall(const std::wstring& package) {
    std::map<std::wstring, std::wstring> device = DeviceFolders();
    const std::wstring marker = MarkerPath(device[L"Windows"], package);
    InstallRecord record;
    if (!ReadRecord(marker, record)) {
        record.package = package;
        record.installFolder = ReadInstallFolderKey(package);
        if (record.installFolder.empty())
            return Fail(package + L" is not installed");
        m_report(L"no installation record; removing what the installation folder holds");
    }

    for (const Command& command : record.onUninstall) {
        DWORD exitCode = 1;
        if (!RunCommand(command, exitCode) || exitCode != 0)
            m_report(L"failed: " + command.program + L" " + command.arguments + L" (exit code " +
                     std::to_wstring(exitCode) + L")");
    }
    CSetupLibrary setup;
    std::wstring error;
    if (!record.setupLibrary.empty() && ovrin::FileExists(record.setupLibrary) &&
        !setup.Load(record.setupLibrary, error))
        m_report(L"failed: " + error);
    for (const std::wstring& library : record.registered) {
        if (ovrin::FileExists(library))
            setup.Loaded() ? setup.Register(library, false) : RegisterDirectly(library, false);
    }
    if (setup.Loaded()) {
        if (!setup.UninstallInit(record.installFolder))
            return Fail(L"the setup library cancelled the removal");
        setup.UninstallExit();
    }

    // What the package owns and the setup library left: its files elsewhere, shortcuts, keys, the
    // folders the installation made (innermost first, each only once empty) and the record.
    for (const std::wstring& path : record.files)
        DeleteFileW(path.c_str());
    for (const std::wstring& path : record.shortcuts)
        DeleteFileW(path.c_str());
    for (const std::wstring& key : record.keys)
        DeleteKey(key);
    DeleteKey(L"HKLM\\SOFTWARE\\Apps\\" + package);
    DeleteMadeKeys(record.keysMade);
    for (auto folder = record.folders.rbegin(); folder != record.folders.rend(); ++folder)
        RemoveDirectoryW(folder->c_str());

    // What is still there. The package's own files, shortcuts and keys are failures: a running program
    // holds them. A folder the installation made that still holds files which are not the package's
    // (a user's, another program's) is kept with them: they are named and left, and the removal stands.
    std::vector<std::wstring> inUse;
    for (const std::vector<std::wstring>* paths : {&record.files, &record.shortcuts}) {
        for (const std::wstring& path : *paths) {
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                inUse.push_back(path);
        }
    }
    for (const std::wstring& key : record.keys) {
        if (KeyExists(key))
            inUse.push_back(key);
    }
    // In a folder the package made, what the package neither installed nor made is someone else's
    // (the package's own folders are looked into in their own turn).
    std::set<std::wstring> ours;
    for (const std::vector<std::wstring>* paths : {&record.files, &record.shortcuts, &record.folders}) {
        for (const std::wstring& path : *paths)
            ours.insert(ovrin::FoldedCase(path));
    }
    std::vector<std::wstring> notOurs;
    for (const std::wstring& folder : record.folders) {
        if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        std::vector<std::wstring> entries = FolderEntries(folder);
        if (entries.empty())
            inUse.push_back(folder); // empty, yet not removed: some process works in it
        for (const std::wstring& entry : entries) {
            if (ours.count(ovrin::FoldedCase(entry)) == 0)
                notOurs.push_back(entry);
        }
    }
    for (const std::wstring& path : notOurs)
        m_report(L"kept " + path + L": not the package's");
    for (const std::wstring& path : inUse)
        m_report(L"could not remove " + path + L": in use");
    // The record stays until nothing of the package is left (the setup library deletes it with the
    // package's keys: it is written again), so that removing again finds the rest.
    if (!inUse.empty()) {
        if (!WriteRecord(marker, record))
            m_report(L"failed: cannot write the installation record " + marker);
        return Fail(L"the removal of " + package + L" left " + std::to_wstring(inUse.size()) +
                    L" of its items behind, in use; end the programs that hold them and remove it again");
    }
    DeleteFileW(marker.c_str());
    m_report(L"removed " + package);
    return true;
}

} // namespace installer
