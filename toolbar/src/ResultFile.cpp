// Saving a text of the result window.
#include "ResultFile.h"

#include "common/TextFile.h"

#include <commdlg.h>

#include <cwctype>

namespace resultfile {

namespace {

constexpr std::size_t kNameBufferSize = 260;
constexpr wchar_t kNewFileSuffix[] = L".ovrin-new";

NameAsker& Asker() {
    static NameAsker asker;
    return asker;
}

bool EndsWithTxt(const std::wstring& name) {
    if (name.size() < 4)
        return false;
    std::wstring tail = name.substr(name.size() - 4);
    for (wchar_t& c : tail)
        c = static_cast<wchar_t>(std::towlower(c));
    return tail == L".txt";
}

bool SystemSaveDialog(HWND owner, std::wstring& name) {
    wchar_t buffer[kNameBufferSize] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"TXT (*.txt)\0*.*\0";
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kNameBufferSize;
    dialog.Flags = OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog))
        return false;
    name = buffer;
    return !name.empty();
}

} // namespace

std::wstring WithTxtExtension(const std::wstring& name) {
    if (!name.empty() && name.back() == L'.')
        return name + L"txt";
    if (EndsWithTxt(name))
        return name;
    return name + L".txt";
}

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
    std::wstring newFile = path + kNewFileSuffix;
    try {
        CTextFileWrite file(newFile, EncodingUtf8);
        if (!file.IsOpen())
            return false;
        file.WriteText(text);
        file.Close();
    } catch (const CTextFileException&) {
        DeleteFileW(newFile.c_str());
        return false;
    }
    if (!MoveFileExW(newFile.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(newFile.c_str());
        return false;
    }
    return true;
}

bool AskSaveName(HWND owner, std::wstring& name) {
    if (Asker())
        return Asker()(owner, name);
    return SystemSaveDialog(owner, name);
}

void SetNameAsker(NameAsker asker) {
    Asker() = std::move(asker);
}

} // namespace resultfile
