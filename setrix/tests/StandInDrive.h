// Links and drive roots for the tests of what removal must never reach: both made on the Linux side
// of the harness, pointing at throwaway folders of the test's own.
#pragma once

#include "platform/Handles.h"
#include "testsupport/GuiProgram.h"

#include <windows.h>

#include <string>

namespace setrixtest {

// The Linux path of a file or folder of the Wine prefix, single-quoted for the shell; empty when Wine
// gives none.
inline std::string UnixPath(const std::wstring& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixFileName != nullptr ? unixFileName(path.c_str()) : nullptr;
    if (name == nullptr)
        return {};
    std::string quoted = "'";
    for (const char* c = name; *c != '\0'; ++c)
        quoted += *c == '\'' ? std::string("'\\''") : std::string(1, *c);
    HeapFree(GetProcessHeap(), 0, name);
    return quoted + "'";
}

// A symbolic link at link to target, made on the Linux side (Wine shows a link to a folder as a reparse
// point, a link to a file as the file; its own CreateSymbolicLinkW makes nothing here, and it takes no
// reparse data).
inline bool MakeLink(const std::wstring& target, const std::wstring& link) {
    std::string from = UnixPath(target), to = UnixPath(link);
    if (from.empty() || to.empty() || testsupport::RunUnixCommand("ln -sn " + from + " " + to) != 0)
        return false;
    DWORD attributes = GetFileAttributesW(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A drive letter of the test's own whose root is a throwaway folder: what a root must never lose is
// tried there, never on a real drive. The drive goes when the object does.
class CStandInDrive {
public:
    explicit CStandInDrive(const std::wstring& rootFolder) {
        std::string drives = UnixPath(L"C:\\");
        size_t end = drives.rfind("/c:");
        if (end == std::string::npos)
            return;
        drives = drives.substr(0, end) + "/"; // the prefix's "dosdevices/", still opened by its quote
        for (wchar_t letter = L'Y'; letter >= L'P'; --letter) {
            std::wstring root = std::wstring(1, letter) + L":\\";
            if (GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR)
                continue;
            m_entry = drives + static_cast<char>(letter + (L'a' - L'A')) + ":'";
            if (testsupport::RunUnixCommand("ln -sn " + UnixPath(rootFolder) + " " + m_entry) == 0) {
                m_root = root;
                m_rootFolder = rootFolder;
                return;
            }
            m_entry.clear();
        }
    }
    // Wine keeps the drives it maps host paths back to for a moment: until it has let this one go, a
    // folder made later on the same host inode (the throwaway tree's, freed) would resolve to its root.
    ~CStandInDrive() {
        if (m_entry.empty())
            return;
        testsupport::RunUnixCommand("rm -f " + m_entry); // the link alone
        testsupport::WaitUntil([&] {
            CFileHandle folder(CreateFileW(m_rootFolder.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (!folder)
                return true;
            wchar_t path[MAX_PATH + 8] = {};
            DWORD length = GetFinalPathNameByHandleW(folder.Get(), path, MAX_PATH + 8, 0);
            return length == 0 || length >= MAX_PATH + 8 || std::wstring(path).find(m_root.substr(0, 2)) != 4;
        });
    }
    CStandInDrive(const CStandInDrive&) = delete;
    CStandInDrive& operator=(const CStandInDrive&) = delete;

    // "X:\", or empty when no drive could be made.
    const std::wstring& Root() const { return m_root; }

private:
    std::string m_entry;
    std::wstring m_root, m_rootFolder;
};

} // namespace setrixtest
