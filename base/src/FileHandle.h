// An owned file handle with the two ways the text files open a file: shared for reading, and
// created for writing without sharing. Errors are the system's codes (GetLastError or errno).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ovrin::detail {

class FileHandle {
public:
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Null with *error set when the file cannot be opened.
    static FileHandle* OpenForReading(const std::wstring& path, std::uint32_t* error);
    static FileHandle* CreateForWriting(const std::wstring& path, std::uint32_t* error);

    // 0 on success; *got is 0 at end of file.
    std::uint32_t Read(void* data, std::size_t size, std::size_t* got);
    // 0 once all bytes are written.
    std::uint32_t Write(const void* data, std::size_t size);

private:
#ifdef _WIN32
    explicit FileHandle(void* handle) : m_handle(handle) {}
    void* m_handle;
#else
    explicit FileHandle(int fd) : m_fd(fd) {}
    int m_fd;
#endif
};

} // namespace ovrin::detail
