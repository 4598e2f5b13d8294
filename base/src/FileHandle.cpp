// The text files' file handle, on Win32 files or on POSIX file descriptors.
#include "FileHandle.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "base/Unicode.h"
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ovrin::detail {

#ifdef _WIN32

FileHandle::~FileHandle() {
    CloseHandle(m_handle);
}

FileHandle* FileHandle::OpenForReading(const std::wstring& path, std::uint32_t* error) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return nullptr;
    }
    return new FileHandle(handle);
}

FileHandle* FileHandle::CreateForWriting(const std::wstring& path, std::uint32_t* error) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return nullptr;
    }
    return new FileHandle(handle);
}

std::uint32_t FileHandle::Read(void* data, std::size_t size, std::size_t* got) {
    DWORD read = 0;
    if (!ReadFile(m_handle, data, static_cast<DWORD>(size), &read, nullptr)) {
        *got = 0;
        return GetLastError();
    }
    *got = read;
    return 0;
}

std::uint32_t FileHandle::Write(const void* data, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(m_handle, data, static_cast<DWORD>(size), &written, nullptr))
        return GetLastError();
    return written == size ? 0 : ERROR_WRITE_FAULT;
}

#else

FileHandle::~FileHandle() {
    ::close(m_fd);
}

FileHandle* FileHandle::OpenForReading(const std::wstring& path, std::uint32_t* error) {
    int fd = ::open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = static_cast<std::uint32_t>(errno);
        return nullptr;
    }
    return new FileHandle(fd);
}

FileHandle* FileHandle::CreateForWriting(const std::wstring& path, std::uint32_t* error) {
    int fd = ::open(Utf16ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = static_cast<std::uint32_t>(errno);
        return nullptr;
    }
    return new FileHandle(fd);
}

std::uint32_t FileHandle::Read(void* data, std::size_t size, std::size_t* got) {
    for (;;) {
        ssize_t n = ::read(m_fd, data, size);
        if (n >= 0) {
            *got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) {
            *got = 0;
            return static_cast<std::uint32_t>(errno);
        }
    }
}

std::uint32_t FileHandle::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(m_fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return static_cast<std::uint32_t>(errno);
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

#endif

} // namespace ovrin::detail
