// The marker file: one "kind | value" line per item, UTF-8.
#include "InstallRecord.h"

#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/TextFile.h"

namespace installer {

std::wstring MarkerPath(const std::wstring& windowsFolder, const std::wstring& package) {
    return ovrin::PathJoin(windowsFolder, package + L".unload");
}

bool WriteRecord(const std::wstring& path, const InstallRecord& record) {
    std::wstring text = L"package | " + record.package + L"\r\nfolder | " + record.installFolder + L"\r\n";
    if (!record.setupLibrary.empty())
        text += L"setup | " + record.setupLibrary + L"\r\n";
    auto lines = [&](const wchar_t* kind, const std::vector<std::wstring>& values) {
        for (const std::wstring& value : values)
            text += std::wstring(kind) + L" | " + value + L"\r\n";
    };
    lines(L"created", record.folders);
    lines(L"file", record.files);
    lines(L"register", record.registered);
    lines(L"shortcut", record.shortcuts);
    lines(L"key", record.keys);
    lines(L"made", record.keysMade);
    for (const Command& command : record.onUninstall)
        text += L"uninstall | " + command.program + L" | " + command.arguments + L"\r\n";

    std::wstring temporary = path + L".new";
    try {
        CTextFileWrite file(temporary, EncodingUtf8);
        if (!file.IsOpen())
            return false;
        file.WriteText(text);
        file.Close();
    } catch (const CTextFileException&) {
        ovrin::DeleteFileAt(temporary);
        return false;
    }
    if (ovrin::ReplaceFileWith(temporary, path))
        return true;
    ovrin::DeleteFileAt(temporary);
    return false;
}

bool ReadRecord(const std::wstring& path, InstallRecord& record) {
    record = InstallRecord();
    std::wstring text;
    try {
        CTextFileRead file(path);
        if (!file.IsOpen() || !file.ReadAll(text, L"\n"))
            return false;
    } catch (const CTextFileException&) {
        return false;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        start = end == std::wstring::npos ? text.size() + 1 : end + 1;
        std::vector<std::wstring> fields = SplitFields(line);
        if (fields.size() < 2 || fields[1].empty())
            continue;
        const std::wstring &kind = fields[0], &value = fields[1];
        if (kind == L"package")
            record.package = value;
        else if (kind == L"folder")
            record.installFolder = value;
        else if (kind == L"setup")
            record.setupLibrary = value;
        else if (kind == L"created")
            record.folders.push_back(value);
        else if (kind == L"file")
            record.files.push_back(value);
        else if (kind == L"register")
            record.registered.push_back(value);
        else if (kind == L"shortcut")
            record.shortcuts.push_back(value);
        else if (kind == L"key")
            record.keys.push_back(value);
        else if (kind == L"made")
            record.keysMade.push_back(value);
        else if (kind == L"uninstall")
            record.onUninstall.push_back({value, fields.size() > 2 ? fields[2] : L""});
    }
    return !record.installFolder.empty();
}

} // namespace installer
