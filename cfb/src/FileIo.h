// The compound file's own file on disk: opening with a share mode that other objects and other
// processes respect, positioned reads and writes, and the atomic replacement used by commit (a new
// file written beside the old one, then moved over it). Win32 files in the Windows build, POSIX
// descriptors with flock locks natively.
#pragma once

#include "cfb/Storage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cfb::detail {

class FileIo {
public:
    enum class Access { Read, ReadWrite };
    enum class Share { Exclusive, DenyWrite, DenyNone };

    ~FileIo();
    FileIo(const FileIo&) = delete;
    FileIo& operator=(const FileIo&) = delete;

    static Status Open(const std::wstring& path, Access access, Share share, std::shared_ptr<FileIo>* file);
    // A new, empty file opened read-write and exclusive. Without replace an existing file gives
    // FileAlreadyExists; with it, an existing file is emptied (unless it is open elsewhere).
    static Status Create(const std::wstring& path, bool replace, std::shared_ptr<FileIo>* file);
    // A new file in the folder of path under a name of its own, to be moved over path by Replace:
    // path followed by ".~", the process id, "-", a counter and ".tmp". It is locked against other
    // opens for as long as it is open.
    static Status CreateBeside(const std::wstring& path, std::shared_ptr<FileIo>* file);
    // Removes the files that CreateBeside made for path and that nobody writes any more (a process
    // ended in the middle of a commit): only names of that pattern, never one of this process or of
    // another live process, never one that is open.
    static void RemoveStaleBeside(const std::wstring& path);

    // Exactly size bytes at offset; a file that ends sooner gives FileCorrupt.
    Status ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    Status WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    Status GetSize(std::uint64_t* size);
    Status SetSize(std::uint64_t size);
    // Forces what was written to the disk.
    Status Flush();
    // Moves this file (made by CreateBeside, flushed) over target, which current holds open; from
    // then on this object is the file at target and keeps its share mode. current stays readable
    // where the system allows reading a replaced file.
    Status Replace(const std::wstring& target, FileIo& current);
    // Closes and deletes this file (a new file whose commit failed).
    void Discard();
    // Closes the file and gives up its share lock; reads and writes fail from then on.
    void Close();

    // Bytes read by every FileIo of the process: lets tests see what an open really reads.
private:
    struct Handle;
    FileIo(std::unique_ptr<Handle> handle, std::wstring path);
    std::unique_ptr<Handle> m_handle;
    std::wstring m_path;
};

// The seam through which the tests watch reads and make writes fail (cfb/tests/support provides
// them); the programs set no hooks, and every read and write then goes straight to the file.
class IoHooks {
public:
    virtual ~IoHooks() = default;
    // How many of the size bytes of a write go to the file; fewer make the write fail after them.
    virtual std::size_t WritableBytes(std::size_t size) = 0;
    // After a write that WritableBytes cut short, before it reports the fault.
    virtual void AfterShortWrite() = 0;
    // After bytes were read from a file.
    virtual void Read(std::uint64_t bytes) = 0;
};

// Installs hooks for every FileIo of the process; null removes them.
void SetIoHooks(IoHooks* hooks);

} // namespace cfb::detail
