// Folder listing and file operations on Win32 and on POSIX.
#include "base/FileSystem.h"

#include "base/Path.h"
#include "base/Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "base/Unicode.h"
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ovrin {

#ifdef _WIN32

std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& extension) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(PathJoin(folder, L"*" + extension).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        // The pattern also matches short names and longer extensions (".dicx"); keep exact ones.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWithIgnoringCase(found.cFileName, extension))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFileAt(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != 0;
}

bool CopyFileIfAbsent(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), TRUE) != 0;
}

bool CreateFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool ReplaceFileWith(const std::wstring& replacement, const std::wstring& target) {
    // A read-only target is refused, as Windows refuses it (Wine would replace it).
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return MoveFileExW(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& extension) {
    std::vector<std::wstring> names;
    DIR* directory = opendir(Utf16ToUtf8(folder.empty() ? L"." : folder).c_str());
    if (directory == nullptr)
        return names;
    while (dirent* entry = readdir(directory)) {
        std::wstring name = Utf8ToUtf16(entry->d_name);
        if (EndsWithIgnoringCase(name, extension) && FileExists(PathJoin(folder, name)))
            names.push_back(name);
    }
    closedir(directory);
    return names;
}

bool FileExists(const std::wstring& path) {
    struct stat info;
    return stat(Utf16ToUtf8(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::wstring& path) {
    struct stat info;
    return stat(Utf16ToUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFileAt(const std::wstring& path) {
    return unlink(Utf16ToUtf8(path).c_str()) == 0;
}

bool CopyFileIfAbsent(const std::wstring& from, const std::wstring& to) {
    int source = open(Utf16ToUtf8(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    int target = open(Utf16ToUtf8(to).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (target < 0) {
        close(source);
        return false;
    }
    bool ok = true;
    char buffer[65536];
    for (;;) {
        ssize_t got = read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t written = write(target, buffer + done, static_cast<std::size_t>(got - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                ok = false;
                break;
            }
            done += written;
        }
        if (!ok)
            break;
    }
    close(source);
    if (close(target) != 0)
        ok = false;
    if (!ok)
        unlink(Utf16ToUtf8(to).c_str()); // never leave half a copy behind
    return ok;
}

bool CreateFolder(const std::wstring& path) {
    return mkdir(Utf16ToUtf8(path).c_str(), 0777) == 0 || errno == EEXIST;
}

bool ReplaceFileWith(const std::wstring& replacement, const std::wstring& target) {
    std::string from = Utf16ToUtf8(replacement);
    std::string to = Utf16ToUtf8(target);
    struct stat existing;
    if (stat(to.c_str(), &existing) == 0 && (existing.st_mode & S_IWUSR) == 0)
        return false; // read-only, as on Windows
    int file = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    bool synced = fsync(file) == 0;
    close(file);
    // rename() swaps the name over in one step; the folder is synced so that the swap itself lasts.
    if (!synced || rename(from.c_str(), to.c_str()) != 0)
        return false;
    std::size_t slash = to.rfind('/');
    int folder =
        open(slash == std::string::npos ? "." : to.substr(0, slash + 1).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

#endif

} // namespace ovrin
