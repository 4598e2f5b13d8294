// Saving a text of the result window.
#include "ResultFile.h"

#include "base/Text.h"
#include "base/TextFile.h"

#include <commdlg.h>

#include <atomic>

namespace resultfile {

namespace {

constexpr std::size_t kNameBufferSize = 260;

NameAsker& Asker() {
    static NameAsker asker;
    return asker;
}

bool EndsWithTxt(const std::wstring& name) {
    return ovrin::EndsWithIgnoringCase(name, L".txt");
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

// A name for the new text beside path that no file has yet. It is short whatever path's own name is: a
// name made from path's (path + a suffix) passes the 255 characters a name may have when path's own is
// near that length.
std::wstring NewFileBeside(const std::wstring& path) {
    static std::atomic<unsigned> counter{0};
    std::size_t separator = path.find_last_of(L"\\/");
    std::wstring folder = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
    std::wstring candidate;
    for (int attempt = 0; attempt < 1000; ++attempt) { // a name taken is one left by an earlier run
        candidate =
            folder + L"~ovrin" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
        if (GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    return candidate;
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
    std::wstring newFile = NewFileBeside(path);
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
