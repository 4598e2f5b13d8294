// The compound file on disk: Win32 handles with share modes in the Windows build, POSIX
// descriptors with flock locks natively; both replace a file by moving a new one over it.
#include "FileIo.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include "base/Unicode.h"
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cfb::detail {

namespace {

// The tests' hooks; null in the programs.
std::atomic<IoHooks*> g_hooks{nullptr};

// How many of size bytes a write may put down before it fails: all of them unless a hook says less.
std::size_t WritableBytes(IoHooks* hooks, std::size_t size) {
    return hooks != nullptr ? std::min(size, hooks->WritableBytes(size)) : size;
}

void CountRead(std::uint64_t bytes) {
    if (IoHooks* hooks = g_hooks.load())
        hooks->Read(bytes);
}

std::atomic<unsigned> g_besideCounter{0};

// The process id in the name of a file that CreateBeside made for a file called base: base, ".~",
// the id, "-", a counter, ".tmp". False for any other name.
bool BesideOwner(const std::wstring& name, const std::wstring& base, unsigned long* processId) {
    const std::wstring prefix = base + L".~";
    const std::wstring suffix = L".tmp";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    std::wstring middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    std::size_t dash = middle.find(L'-');
    if (dash == 0 || dash == std::wstring::npos || dash + 1 == middle.size() || dash > 10)
        return false;
    unsigned long id = 0;
    for (std::size_t i = 0; i < middle.size(); ++i) {
        if (i == dash)
            continue;
        if (middle[i] < L'0' || middle[i] > L'9')
            return false;
        if (i < dash)
            id = id * 10 + static_cast<unsigned long>(middle[i] - L'0');
    }
    *processId = id;
    return true;
}

} // namespace

void SetIoHooks(IoHooks* hooks) {
    g_hooks.store(hooks);
}

#ifdef _WIN32

struct FileIo::Handle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~Handle() { Close(); }
    void Close() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

namespace {

Status StatusFromError(DWORD error, Status otherwise) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return Status::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return Status::PathNotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Status::ShareViolation;
    case ERROR_ACCESS_DENIED:
        return Status::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Status::FileAlreadyExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Status::MediumFull;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return Status::InsufficientMemory;
    default:
        return otherwise;
    }
}

OVERLAPPED AtOffset(std::uint64_t offset) {
    OVERLAPPED position = {};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

} // namespace

FileIo::FileIo(std::unique_ptr<Handle> handle, std::wstring path)
    : m_handle(std::move(handle)), m_path(std::move(path)) {}
FileIo::~FileIo() = default;

Status FileIo::Open(const std::wstring& path, Access access, Share share, std::shared_ptr<FileIo>* file) {
    DWORD desired = GENERIC_READ | (access == Access::ReadWrite ? GENERIC_WRITE : 0);
    // Exclusive opens let the file be moved over (FILE_SHARE_DELETE), which commit does while the
    // file is open; reading and writing stay refused to every other open.
    DWORD shareMode = share == Share::Exclusive   ? FILE_SHARE_DELETE
                      : share == Share::DenyWrite ? FILE_SHARE_READ
                                                  : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE handle =
        CreateFileW(path.c_str(), desired, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return StatusFromError(GetLastError(), Status::AccessDenied);
    auto owned = std::make_unique<Handle>();
    owned->handle = handle;
    file->reset(new FileIo(std::move(owned), path));
    return Status::Ok;
}

Status FileIo::Create(const std::wstring& path, bool replace, std::shared_ptr<FileIo>* file) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                                replace ? OPEN_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return StatusFromError(GetLastError(), Status::AccessDenied);
    auto owned = std::make_unique<Handle>();
    owned->handle = handle;
    std::shared_ptr<FileIo> created(new FileIo(std::move(owned), path));
    Status status = created->SetSize(0);
    if (!Succeeded(status))
        return status;
    *file = std::move(created);
    return Status::Ok;
}

Status FileIo::CreateBeside(const std::wstring& path, std::shared_ptr<FileIo>* file) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name =
            path + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(g_besideCounter++) + L".tmp";
        HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            auto owned = std::make_unique<Handle>();
            owned->handle = handle;
            file->reset(new FileIo(std::move(owned), name));
            return Status::Ok;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return StatusFromError(error, Status::WriteFault);
    }
    return Status::WriteFault;
}

void FileIo::RemoveStaleBeside(const std::wstring& path) {
    std::wstring::size_type slash = path.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L".~*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        unsigned long owner = 0;
        if (!BesideOwner(found.cFileName, base, &owner) || owner == GetCurrentProcessId())
            continue;
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(owner))) {
            bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
            CloseHandle(process);
            if (running)
                continue;
        }
        // Opened without sharing, which fails while anybody has the file open; closing deletes it.
        HANDLE file = CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

Status FileIo::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        OVERLAPPED position = AtOffset(offset);
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(m_handle->handle, bytes, chunk, &got, &position)) {
            DWORD error = GetLastError();
            return error == ERROR_HANDLE_EOF ? Status::FileCorrupt : StatusFromError(error, Status::ReadFault);
        }
        if (got == 0)
            return Status::FileCorrupt;
        CountRead(got);
        bytes += got;
        offset += got;
        size -= got;
    }
    return Status::Ok;
}

Status FileIo::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    IoHooks* hooks = g_hooks.load();
    const std::size_t allowed = WritableBytes(hooks, size);
    const auto* bytes = static_cast<const char*>(data);
    std::size_t left = allowed;
    while (left > 0) {
        OVERLAPPED position = AtOffset(offset);
        DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(m_handle->handle, bytes, chunk, &written, &position) || written == 0)
            return StatusFromError(GetLastError(), Status::WriteFault);
        bytes += written;
        offset += written;
        left -= written;
    }
    if (allowed < size) {
        hooks->AfterShortWrite();
        return Status::WriteFault;
    }
    return Status::Ok;
}

Status FileIo::GetSize(std::uint64_t* size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(m_handle->handle, &value))
        return StatusFromError(GetLastError(), Status::ReadFault);
    *size = static_cast<std::uint64_t>(value.QuadPart);
    return Status::Ok;
}

Status FileIo::SetSize(std::uint64_t size) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(m_handle->handle, distance, nullptr, FILE_BEGIN) || !SetEndOfFile(m_handle->handle))
        return StatusFromError(GetLastError(), Status::WriteFault);
    return Status::Ok;
}

Status FileIo::Flush() {
    if (!FlushFileBuffers(m_handle->handle))
        return StatusFromError(GetLastError(), Status::WriteFault);
    return Status::Ok;
}

namespace {

// Renames the file of handle to target, replacing it. With posixSemantics the replaced file may
// still be open elsewhere (Windows 10 and later, on NTFS); the plain rename refuses that.
bool RenameOver(HANDLE handle, const std::wstring& target, bool posixSemantics) {
    // FILE_RENAME_INFO begins with a 4-byte field: ReplaceIfExists for the plain rename, Flags for
    // the extended one (information class 22, which older headers do not name).
    constexpr DWORD kReplaceIfExists = 0x1;
    constexpr DWORD kPosixSemantics = 0x2;
    constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    std::size_t bytes = sizeof(FILE_RENAME_INFO) + (target.size() + 1) * sizeof(wchar_t);
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[bytes]());
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.get());
    if (posixSemantics) {
        const DWORD flags = kReplaceIfExists | kPosixSemantics;
        std::memcpy(buffer.get(), &flags, sizeof flags);
    } else {
        info->ReplaceIfExists = TRUE;
    }
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), info->FileName);
    info->FileName[target.size()] = 0;
    return SetFileInformationByHandle(handle, posixSemantics ? kRenameInfoEx : FileRenameInfo, info,
                                      static_cast<DWORD>(bytes)) != 0;
}

} // namespace

Status FileIo::Replace(const std::wstring& target, FileIo& current) {
    // The new file is moved by its own handle, which stays open with its exclusive share mode, so no
    // other open can slip in on the new file. Replacing the old file while it is still open needs
    // the rename with POSIX semantics; where the system lacks it (older Windows, Wine) the old file
    // is closed first, which leaves a short moment in which another open of the old file could win
    // and make this rename fail.
    if (!RenameOver(m_handle->handle, target, true) && !RenameOver(m_handle->handle, target, false)) {
        current.m_handle->Close();
        if (!RenameOver(m_handle->handle, target, false))
            return StatusFromError(GetLastError(), Status::WriteFault);
    }
    m_path = target;
    return Status::Ok;
}

void FileIo::Discard() {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(m_handle->handle, FileDispositionInfo, &disposition, sizeof disposition);
    m_handle->Close();
}

void FileIo::Close() {
    m_handle->Close();
}

#else

struct FileIo::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {

std::string NativePath(const std::wstring& path) {
    return ovrin::Utf16ToUtf8(path);
}

Status StatusFromErrno(int error, const std::string& path, Status otherwise) {
    switch (error) {
    case ENOENT: {
        // A missing folder is told apart from a missing file, as the platform does.
        std::string::size_type slash = path.rfind('/');
        std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
        struct stat info;
        return ::stat(folder.c_str(), &info) == 0 ? Status::FileNotFound : Status::PathNotFound;
    }
    case ENOTDIR:
        return Status::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return Status::AccessDenied;
    case EEXIST:
        return Status::FileAlreadyExists;
    case EWOULDBLOCK:
        return Status::ShareViolation;
    case ENOSPC:
    case EDQUOT:
        return Status::MediumFull;
    case ENOMEM:
        return Status::InsufficientMemory;
    default:
        return otherwise;
    }
}

// Takes the share lock on an open descriptor and makes sure the descriptor still names the file
// at path: a commit elsewhere may have moved a new file over it between open and lock.
Status LockOpened(int fd, const std::string& path, bool exclusive, bool* stale) {
    *stale = false;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        return StatusFromErrno(errno, path, Status::ShareViolation);
    struct stat opened, named;
    if (::fstat(fd, &opened) != 0)
        return Status::ReadFault;
    if (::stat(path.c_str(), &named) != 0 || opened.st_ino != named.st_ino || opened.st_dev != named.st_dev)
        *stale = true;
    return Status::Ok;
}

void SyncFolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileIo::FileIo(std::unique_ptr<Handle> handle, std::wstring path)
    : m_handle(std::move(handle)), m_path(std::move(path)) {}
FileIo::~FileIo() = default;

Status FileIo::Open(const std::wstring& path, Access access, Share share, std::shared_ptr<FileIo>* file) {
    const std::string native = NativePath(path);
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto owned = std::make_unique<Handle>();
        owned->fd = ::open(native.c_str(), (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        if (owned->fd < 0)
            return StatusFromErrno(errno, native, Status::AccessDenied);
        struct stat info;
        if (::fstat(owned->fd, &info) != 0 || !S_ISREG(info.st_mode))
            return Status::AccessDenied;
        // Exclusive opens take the lock exclusively; the others share it, which keeps out exclusive
        // opens while they last.
        bool stale = false;
        Status status = LockOpened(owned->fd, native, share == Share::Exclusive, &stale);
        if (!Succeeded(status))
            return status;
        if (stale)
            continue;
        file->reset(new FileIo(std::move(owned), path));
        return Status::Ok;
    }
    return Status::ShareViolation;
}

Status FileIo::Create(const std::wstring& path, bool replace, std::shared_ptr<FileIo>* file) {
    const std::string native = NativePath(path);
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto owned = std::make_unique<Handle>();
        owned->fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | (replace ? 0 : O_EXCL), 0666);
        if (owned->fd < 0)
            return StatusFromErrno(errno, native, Status::AccessDenied);
        bool stale = false;
        Status status = LockOpened(owned->fd, native, true, &stale);
        if (!Succeeded(status))
            return status;
        if (stale)
            continue;
        std::shared_ptr<FileIo> created(new FileIo(std::move(owned), path));
        status = created->SetSize(0);
        if (!Succeeded(status))
            return status;
        *file = std::move(created);
        return Status::Ok;
    }
    return Status::ShareViolation;
}

Status FileIo::CreateBeside(const std::wstring& path, std::shared_ptr<FileIo>* file) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = path + L".~" + std::to_wstring(static_cast<long>(::getpid())) + L"-" +
                            std::to_wstring(g_besideCounter++) + L".tmp";
        const std::string native = NativePath(name);
        auto owned = std::make_unique<Handle>();
        owned->fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (owned->fd < 0) {
            if (errno == EEXIST)
                continue;
            return StatusFromErrno(errno, native, Status::WriteFault);
        }
        // Locked before it gets its final name, so that the file is never there unlocked.
        if (::flock(owned->fd, LOCK_EX | LOCK_NB) != 0) {
            ::unlink(native.c_str());
            return Status::ShareViolation;
        }
        file->reset(new FileIo(std::move(owned), name));
        return Status::Ok;
    }
    return Status::WriteFault;
}

void FileIo::RemoveStaleBeside(const std::wstring& path) {
    const std::string native = NativePath(path);
    std::string::size_type slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
    std::wstring base = ovrin::Utf8ToUtf16(slash == std::string::npos ? native : native.substr(slash + 1));
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    while (const dirent* item = ::readdir(listing)) {
        unsigned long owner = 0;
        if (!BesideOwner(ovrin::Utf8ToUtf16(item->d_name), base, &owner) ||
            owner == static_cast<unsigned long>(::getpid()))
            continue;
        if (owner > 0 && owner <= 0x7FFFFFFF && (::kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM))
            continue; // its process still runs
        // A file that its writer still holds stays locked; one that is not is removed, provided the
        // name still leads to the file that was locked.
        std::string name = folder + "/" + item->d_name;
        int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        bool stale = false;
        if (LockOpened(fd, name, true, &stale) == Status::Ok && !stale) {
            struct stat info;
            if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
                ::unlink(name.c_str());
        }
        ::close(fd);
    }
    ::closedir(listing);
}

Status FileIo::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        ssize_t got = ::pread(m_handle->fd, bytes, size, static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Status::ReadFault;
        }
        if (got == 0)
            return Status::FileCorrupt;
        CountRead(static_cast<std::uint64_t>(got));
        bytes += got;
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::size_t>(got);
    }
    return Status::Ok;
}

Status FileIo::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    IoHooks* hooks = g_hooks.load();
    const std::size_t allowed = WritableBytes(hooks, size);
    const auto* bytes = static_cast<const char*>(data);
    std::size_t left = allowed;
    while (left > 0) {
        ssize_t written = ::pwrite(m_handle->fd, bytes, left, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return StatusFromErrno(errno, NativePath(m_path), Status::WriteFault);
        }
        bytes += written;
        offset += static_cast<std::uint64_t>(written);
        left -= static_cast<std::size_t>(written);
    }
    if (allowed < size) {
        hooks->AfterShortWrite();
        return Status::WriteFault;
    }
    return Status::Ok;
}

Status FileIo::GetSize(std::uint64_t* size) {
    struct stat info;
    if (::fstat(m_handle->fd, &info) != 0)
        return Status::ReadFault;
    *size = static_cast<std::uint64_t>(info.st_size);
    return Status::Ok;
}

Status FileIo::SetSize(std::uint64_t size) {
    if (::ftruncate(m_handle->fd, static_cast<off_t>(size)) != 0)
        return StatusFromErrno(errno, NativePath(m_path), Status::WriteFault);
    return Status::Ok;
}

Status FileIo::Flush() {
    if (::fsync(m_handle->fd) != 0)
        return Status::WriteFault;
    return Status::Ok;
}

Status FileIo::Replace(const std::wstring& target, FileIo& current) {
    struct stat info;
    if (current.m_handle->fd >= 0 && ::fstat(current.m_handle->fd, &info) == 0)
        ::fchmod(m_handle->fd, info.st_mode & 07777);
    const std::string nativeTarget = NativePath(target);
    // rename() swaps the name over in one step: any reader sees the old file or the new one. The old
    // descriptor keeps the old contents readable until it is closed.
    if (::rename(NativePath(m_path).c_str(), nativeTarget.c_str()) != 0)
        return StatusFromErrno(errno, nativeTarget, Status::WriteFault);
    SyncFolderOf(nativeTarget);
    m_path = target;
    return Status::Ok;
}

void FileIo::Discard() {
    ::unlink(NativePath(m_path).c_str());
    if (m_handle->fd >= 0)
        ::close(m_handle->fd);
    m_handle->fd = -1;
}

void FileIo::Close() {
    if (m_handle->fd >= 0)
        ::close(m_handle->fd);
    m_handle->fd = -1;
}

#endif

} // namespace cfb::detail
