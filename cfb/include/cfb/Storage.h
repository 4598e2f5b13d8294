// Compound files (structured storage): a small file system of named streams and sub-storages inside
// one file, read and written in the published compound file format. The calls follow the platform's
// storage model: a root storage opened or created on a file with a mode, elements opened and created
// by name, streams read, written and sized, changes committed. Failures are Status values; nothing
// throws across these calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cfb {

// Results. The values are the platform's structured-storage error codes, so that a caller can hand
// them on as HRESULTs.
enum class Status : std::uint32_t {
    Ok = 0,
    InvalidFunction = 0x80030001,    // a seek before the start of a stream
    FileNotFound = 0x80030002,       // no such file, or no such element in the storage
    PathNotFound = 0x80030003,       // the folder of the file does not exist
    AccessDenied = 0x80030005,       // no right to do this: writing a read-only element, element already open
    InsufficientMemory = 0x80030008, // an allocation failed
    InvalidPointer = 0x80030009,     // a required out-parameter is null
    WriteFault = 0x8003001D,         // the file could not be written
    ReadFault = 0x8003001E,          // the file could not be read
    ShareViolation = 0x80030020,     // the file is open elsewhere in a way this open conflicts with
    FileAlreadyExists = 0x80030050,  // create without Mode::Create found the file or element there
    InvalidParameter = 0x80030057,   // a bad argument (seek origin, stream size too large)
    MediumFull = 0x80030070,         // the disk is full
    InvalidHeader = 0x800300FB,      // the file is not a compound file
    InvalidName = 0x800300FC,        // an element name that is empty, too long or has a forbidden character
    InvalidFlag = 0x800300FF,        // a mode that this call does not allow
    Reverted = 0x80030102,           // the object was invalidated: its root was released or its parent reverted
    FileCorrupt = 0x80030109,        // the file is a compound file but its structure is damaged
};

inline bool Succeeded(Status status) {
    return status == Status::Ok;
}

// A short English description of a status, for diagnostics.
const char* StatusText(Status status);

// Open and create modes. The values are the platform's STGM flags, so a mode written with them can
// be converted with a cast. Read, Write and ReadWrite are the access; one Share value; Transacted or
// not (direct); Create on a create call replaces an existing file or element instead of failing.
enum class Mode : std::uint32_t {
    Read = 0x0,
    Write = 0x1,
    ReadWrite = 0x2,
    ShareExclusive = 0x10,
    ShareDenyWrite = 0x20,
    ShareDenyRead = 0x30,
    ShareDenyNone = 0x40,
    Create = 0x1000,
    Transacted = 0x10000,
};

constexpr Mode operator|(Mode a, Mode b) {
    return static_cast<Mode>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum class ElementType { Storage = 1, Stream = 2 };

// What Stat and EnumElements report about an element.
struct ElementInfo {
    std::wstring name;
    ElementType type = ElementType::Stream;
    std::uint64_t size = 0; // streams: the length in bytes; storages: 0
    std::array<std::uint8_t, 16> classId{};
    std::uint32_t stateBits = 0;
};

enum class SeekOrigin { Begin, Current, End };

// Sector size of a new file: 512 bytes (format version 3, what the platform writes by default) or
// 4096 bytes (version 4).
enum class SectorSize : std::uint32_t { Bytes512 = 512, Bytes4096 = 4096 };

namespace detail {
struct StorageState;
struct StreamState;
} // namespace detail

// A stream inside a storage. Streams are always opened share-exclusive: one open object per stream.
class Stream {
public:
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Reads up to size bytes from the current position; *read is the count read (0 at the end).
    Status Read(void* buffer, std::size_t size, std::size_t* read);
    // Writes size bytes at the current position, extending the stream as needed (a gap left by a seek
    // beyond the end reads as zeros). *written may be null.
    Status Write(const void* data, std::size_t size, std::size_t* written);
    // Moves the position; *position (may be null) receives the new one. A position before the start
    // fails with InvalidFunction; one beyond the end is allowed.
    Status Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position);
    // Cuts or extends (with zeros) the stream.
    Status SetSize(std::uint64_t size);
    Status Stat(ElementInfo* info) const;
    // Streams have no transaction of their own: what they write belongs to their storage.
    Status Commit();

private:
    friend struct detail::StorageState;
    explicit Stream(std::unique_ptr<detail::StreamState> state);
    std::unique_ptr<detail::StreamState> m_state;
};

// A storage: the root storage of a file, or a sub-storage. Releasing (destroying) the object ends
// it: a direct root storage writes its changes to the file, a transacted one drops what was not
// committed. Releasing a root storage invalidates every element still open under it (Reverted).
//
// Direct and transacted. In a direct storage, changes belong to the enclosing transaction at once:
// to the file when no transacted storage encloses it. The file itself is rewritten when the direct
// root storage is committed or released; only Commit reports whether writing succeeded. In a transacted storage,
// changes stay private until Commit, which hands them to the parent (a sub-storage) or writes the file (the root).
// Writing the file is atomic: the new contents go to a new file beside the old one, which then replaces it, so a
// failure or a crash leaves either the old file or the new one, whole.
class Storage {
public:
    ~Storage();
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    // Elements are opened share-exclusive (Mode::ShareExclusive is required) and only once at a
    // time; a second open of an open element gives AccessDenied. Write access needs a writable
    // storage. Names compare case-insensitively.
    Status OpenStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream);
    Status OpenStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage);
    // Create fails with FileAlreadyExists when the name is taken, unless mode has Mode::Create, which
    // replaces the existing element. Names are 1 to 31 UTF-16 units without '/', '\', ':' or '!'.
    Status CreateStream(std::wstring_view name, Mode mode, std::unique_ptr<Stream>* stream);
    Status CreateStorage(std::wstring_view name, Mode mode, std::unique_ptr<Storage>* storage);
    // Removes an element (a storage with everything in it). An open element cannot be destroyed.
    Status DestroyElement(std::wstring_view name);
    // The elements directly inside this storage, in the order of the file's directory (shorter names
    // first, then by upper-cased name).
    Status EnumElements(std::vector<ElementInfo>* elements) const;
    Status Stat(ElementInfo* info) const;
    // Transacted: makes the changes permanent (see above). Direct: writes out the file when no
    // transacted storage encloses this one; otherwise nothing to do.
    Status Commit();
    // Transacted: drops the changes since the last commit; elements opened under this storage are
    // invalidated. Direct: nothing to do.
    Status Revert();

private:
    friend struct detail::StorageState;
    explicit Storage(std::unique_ptr<detail::StorageState> state);
    std::unique_ptr<detail::StorageState> m_state;
};

// Opens a compound file as its root storage. Modes: Read (any share value; a read-only open reads
// the header, the allocation tables and the directory, and stream data only when it is read);
// ReadWrite or Write with ShareExclusive, direct or Transacted. Share values are enforced between
// objects of this process and other processes alike.
Status OpenRootStorage(std::wstring_view path, Mode mode, std::unique_ptr<Storage>* storage);

// Creates a compound file with an empty root storage. Fails with FileAlreadyExists when the file
// exists, unless mode has Mode::Create (the file is then replaced). Needs write access and
// ShareExclusive; direct or Transacted. A transacted create over an existing file holds that file
// locked and leaves it untouched until the first Commit replaces it atomically; released without a
// commit, or failing, it leaves the old file whole.
Status CreateRootStorage(std::wstring_view path, Mode mode, std::unique_ptr<Storage>* storage,
                         SectorSize sectorSize = SectorSize::Bytes512);

} // namespace cfb
