// mtsetup.exe: writes the translation engine's installation data into the registry of the current
// user for an engine laid out in one folder: ovrinldb.dll there, and a folder per direction named by
// its prefix holding PREFIX + "XLMAIN.DLL", the dictionary, "general.gls" and the templates
// ("NAME.tpl", one subject each). Directions without their translator are left out.
//
//   mtsetup install ENGINE_FOLDER     replaces "Path" and the whole "Directions" key
//   mtsetup uninstall                 removes them
#include "Glossary.h"

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

class Key {
public:
    ~Key() {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    bool Create(HKEY root, const std::wstring& path) {
        return RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) ==
               ERROR_SUCCESS;
    }
    bool SetString(const wchar_t* name, const std::wstring& value) {
        return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    bool SetDword(const wchar_t* name, DWORD value) {
        return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
               ERROR_SUCCESS;
    }
    HKEY Handle() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> TemplateNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*.tpl").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = data.cFileName;
        names.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool InstallDirection(const std::wstring& engine, const DirectionSetup& setup, unsigned* subjects) {
    std::wstring folder = engine + setup.prefix + L"\\";
    if (!Exists(folder + setup.prefix + L"XLMAIN.DLL"))
        return false;
    unsigned source = LanguageOfLetter(static_cast<char>(setup.prefix[0]));
    unsigned target = LanguageOfLetter(static_cast<char>(setup.prefix[1]));
    std::wstring keyPath = std::wstring(kDirectionsKey) + L"\\" + setup.prefix;
    Key key;
    if (!key.Create(HKEY_CURRENT_USER, keyPath))
        return false;
    bool ok = key.SetDword(L"DirID", target << 16 | source) && key.SetString(L"Prefix", setup.prefix) &&
              key.SetString(L"Path", folder) && key.SetString(L"Name", setup.name) &&
              key.SetDword(L"Trans3", setup.trans3);
    Key general;
    ok = ok && general.Create(HKEY_CURRENT_USER, keyPath + L"\\Templates\\" + kGeneralSubjectKey) &&
         general.SetString(nullptr, kGeneralSubjectName);
    *subjects = 1;
    for (const std::wstring& name : TemplateNames(folder)) {
        Glossary glossary;
        if (!ReadGlossary(folder + name + L".tpl", PlaneOf(source), PlaneOf(target), &glossary))
            continue;
        Key subject;
        ok = ok && subject.Create(HKEY_CURRENT_USER, keyPath + L"\\Templates\\" + name) &&
             subject.SetString(nullptr, glossary.displayName.empty() ? name : glossary.displayName) &&
             subject.SetString(L"0", name);
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
    RegDeleteTreeW(HKEY_CURRENT_USER, kDirectionsKey);
    Key root;
    if (!root.Create(HKEY_CURRENT_USER, kEngineKey) || !root.SetString(L"Path", engine)) {
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
    RegDeleteTreeW(HKEY_CURRENT_USER, kDirectionsKey);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kEngineKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"Path");
        RegCloseKey(key);
    }
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
