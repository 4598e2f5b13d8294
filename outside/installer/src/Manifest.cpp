// The manifest's reader and writer.
#include "Manifest.h"

#include "base/Text.h"
#include "base/Unicode.h"

#include <sstream>

namespace installer {

std::vector<std::wstring> SplitFields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (true) {
        size_t bar = line.find(L'|', start);
        fields.push_back(
            ovrin::Trimmed(line.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start)));
        if (bar == std::wstring::npos)
            return fields;
        start = bar + 1;
    }
}

namespace {

// The directive's fields after its name: between least and most of them.
bool Arguments(const std::vector<std::wstring>& fields, size_t least, size_t most) {
    size_t count = fields.size() - 1;
    if (count < least || count > most)
        return false;
    for (size_t i = 1; i <= least; ++i) {
        if (fields[i].empty())
            return false;
    }
    return true;
}

bool ReadDirective(const std::vector<std::wstring>& fields, Manifest& manifest) {
    const std::wstring& directive = fields[0];
    auto field = [&](size_t i) { return i < fields.size() ? fields[i] : std::wstring(); };
    if (directive == L"name" && Arguments(fields, 1, 1)) {
        manifest.name = fields[1];
    } else if (directive == L"folder" && Arguments(fields, 2, 2)) {
        manifest.folders.emplace_back(fields[1], fields[2]);
    } else if (directive == L"setup" && Arguments(fields, 1, 1)) {
        manifest.setupLibrary = fields[1];
    } else if ((directive == L"file" || directive == L"file?") && Arguments(fields, 2, 3)) {
        std::wstring name = field(3);
        if (name.empty()) {
            size_t slash = fields[2].find_last_of(L"/\\");
            name = slash == std::wstring::npos ? fields[2] : fields[2].substr(slash + 1);
        }
        if (name.empty() || name.find_first_of(L"/\\") != std::wstring::npos)
            return false;
        manifest.files.push_back({fields[1], fields[2], name, directive == L"file?"});
    } else if (directive == L"register" && Arguments(fields, 1, 1)) {
        manifest.registered.push_back(fields[1]);
    } else if (directive == L"shortcut" && Arguments(fields, 2, 3)) {
        manifest.shortcuts.push_back({fields[1], fields[2], field(3)});
    } else if (directive == L"setting" && Arguments(fields, 2, 3)) {
        manifest.settings.push_back({fields[1], fields[2], field(3)});
    } else if (directive == L"key" && Arguments(fields, 1, 1)) {
        manifest.keys.push_back(fields[1]);
    } else if ((directive == L"install" || directive == L"uninstall") && Arguments(fields, 1, 2)) {
        (directive == L"install" ? manifest.onInstall : manifest.onUninstall).push_back({fields[1], field(2)});
    } else {
        return false;
    }
    return true;
}

} // namespace

bool ParseManifest(const std::wstring& text, Manifest& manifest, std::wstring& error) {
    manifest = Manifest();
    std::wistringstream lines(text);
    std::wstring line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = ovrin::Trimmed(line);
        if (line.empty() || line[0] == L'#')
            continue;
        if (!ReadDirective(SplitFields(line), manifest)) {
            error = L"line " + std::to_wstring(number) + L" cannot be read: " + line;
            return false;
        }
    }
    if (manifest.name.empty()) {
        error = L"the manifest names no package";
        return false;
    }
    if (manifest.folders.empty()) {
        error = L"the manifest names no installation folder";
        return false;
    }
    return true;
}

std::wstring FormatManifest(const Manifest& manifest) {
    std::wstring text = L"name | " + manifest.name + L"\r\n";
    for (const auto& [name, path] : manifest.folders)
        text += L"folder | " + name + L" | " + path + L"\r\n";
    if (!manifest.setupLibrary.empty())
        text += L"setup | " + manifest.setupLibrary + L"\r\n";
    for (const PackageFile& file : manifest.files)
        text += std::wstring(file.optional ? L"file? | " : L"file | ") + file.destinationFolder + L" | " + file.source +
                L" | " + file.name + L"\r\n";
    for (const std::wstring& library : manifest.registered)
        text += L"register | " + library + L"\r\n";
    for (const Shortcut& shortcut : manifest.shortcuts)
        text += L"shortcut | " + shortcut.path + L" | " + shortcut.target + L" | " + shortcut.arguments + L"\r\n";
    for (const Setting& setting : manifest.settings)
        text += L"setting | " + setting.section + L" | " + setting.name + L" | " + setting.value + L"\r\n";
    for (const std::wstring& key : manifest.keys)
        text += L"key | " + key + L"\r\n";
    for (const Command& command : manifest.onInstall)
        text += L"install | " + command.program + L" | " + command.arguments + L"\r\n";
    for (const Command& command : manifest.onUninstall)
        text += L"uninstall | " + command.program + L" | " + command.arguments + L"\r\n";
    return text;
}

bool ExpandFolders(const std::wstring& text, const std::map<std::wstring, std::wstring>& folders,
                   std::wstring& expanded, std::wstring& error) {
    expanded.clear();
    size_t position = 0;
    while (true) {
        size_t open = text.find(L'%', position);
        if (open == std::wstring::npos)
            break;
        size_t close = text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            error = L"unclosed folder name in " + text;
            return false;
        }
        std::wstring name = text.substr(open + 1, close - open - 1);
        auto found = folders.find(name);
        if (found == folders.end()) {
            error = L"unknown folder %" + name + L"% in " + text;
            return false;
        }
        expanded += text.substr(position, open - position) + found->second;
        position = close + 1;
    }
    expanded += text.substr(position);
    return true;
}

} // namespace installer
