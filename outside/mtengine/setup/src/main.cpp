// mtsetup.exe: writes the translation engine's installation data into the registry of the current
// user for an engine laid out in one folder: ovrinldb.dll there, and a folder per direction named by
// its prefix holding PREFIX + "XLMAIN.DLL", the dictionary, "general.gls" and the templates
// ("NAME.tpl", one subject each). Directions without their translator are left out.
//
//   mtsetup install ENGINE_FOLDER     replaces "Path" and the whole "Directions" key
//   mtsetup uninstall                 removes them
#include "Glossary.h"
#include "base/FileSystem.h"
#include "platform/RegistryKey.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace mtengine;

namespace {

constexpr wchar_t kEngineKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN";
constexpr wchar_t kDirectionsKey[] = L"Software\\Ovrinsoft\\Pocket OVRIN\\Directions";

struct DirectionSetup {
    const wchar_t* prefix;
    const wchar_t* name;
    DWORD trans3; // the wide translate call
};

const DirectionSetup kDirections[] = {
    {L"ER", L"Англо-русский", 0},     {L"GR", L"Немецко-русский", 1}, {L"FR", L"Французско-русский", 0},
    {L"RE", L"Русско-английский", 0}, {L"RG", L"Русско-немецкий", 0}, {L"RF", L"Русско-французский", 0},
};

constexpr wchar_t kGeneralSubjectKey[] = L"General";
constexpr wchar_t kGeneralSubjectName[] = L"Общая лексика";

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> TemplateNames(const std::wstring& folder) {
    constexpr std::wstring_view kExtension = L".tpl";
    std::vector<std::wstring> names = ovrin::ListFiles(folder, std::wstring(kExtension));
    for (std::wstring& name : names)
        name.resize(name.size() - kExtension.size());
    return names;
}

bool InstallDirection(const std::wstring& engine, const DirectionSetup& setup, unsigned* subjects) {
    std::wstring folder = engine + setup.prefix + L"\\";
    if (!Exists(folder + setup.prefix + L"XLMAIN.DLL"))
        return false;
    unsigned source = LanguageOfLetter(static_cast<char>(setup.prefix[0]));
    unsigned target = LanguageOfLetter(static_cast<char>(setup.prefix[1]));
    std::wstring keyPath = std::wstring(kDirectionsKey) + L"\\" + setup.prefix;
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, keyPath, true))
        return false;
    bool ok = key.WriteDword(L"DirID", target << 16 | source) && key.WriteString(L"Prefix", setup.prefix) &&
              key.WriteString(L"Path", folder) && key.WriteString(L"Name", setup.name) &&
              key.WriteDword(L"Trans3", setup.trans3);
    // A subject's name is its key's unnamed value.
    CRegistryKey general;
    ok = ok && general.Open(HKEY_CURRENT_USER, keyPath + L"\\Templates\\" + kGeneralSubjectKey, true) &&
         general.WriteString(L"", kGeneralSubjectName);
    *subjects = 1;
    for (const std::wstring& name : TemplateNames(folder)) {
        Glossary glossary;
        if (!ReadGlossary(folder + name + L".tpl", PlaneOf(source), PlaneOf(target), &glossary))
            continue;
        CRegistryKey subject;
        ok = ok && subject.Open(HKEY_CURRENT_USER, keyPath + L"\\Templates\\" + name, true) &&
             subject.WriteString(L"", glossary.displayName.empty() ? name : glossary.displayName) &&
             subject.WriteString(L"0", name);
        ++*subjects;
    }
    return ok;
}

int Install(std::wstring engine) {
    if (!engine.empty() && engine.back() != L'\\')
        engine.push_back(L'\\');
    if (!Exists(engine + L"ovrinldb.dll")) {
        std::fwprintf(stderr, L"mtsetup: %ls has no ovrinldb.dll\n", engine.c_str());
        return 1;
    }
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kDirectionsKey);
    CRegistryKey root;
    if (!root.Open(HKEY_CURRENT_USER, kEngineKey, true) || !root.WriteString(L"Path", engine)) {
        std::fwprintf(stderr, L"mtsetup: cannot write the registry\n");
        return 1;
    }
    int installed = 0;
    for (const DirectionSetup& setup : kDirections) {
        unsigned subjects = 0;
        if (InstallDirection(engine, setup, &subjects)) {
            std::wprintf(L"mtsetup: %ls with %u subjects\n", setup.prefix, subjects);
            ++installed;
        }
    }
    if (installed == 0) {
        std::fwprintf(stderr, L"mtsetup: no direction folder with its translator in %ls\n", engine.c_str());
        return 1;
    }
    return 0;
}

int Uninstall() {
    CRegistryKey::DeleteTree(HKEY_CURRENT_USER, kDirectionsKey);
    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kEngineKey, false))
        key.DeleteValue(L"Path");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"install")
        return Install(argv[2]);
    if (argc == 2 && std::wstring(argv[1]) == L"uninstall")
        return Uninstall();
    std::fwprintf(stderr, L"usage: mtsetup install ENGINE_FOLDER | mtsetup uninstall\n");
    return 2;
}
