// The on-disk constants of the compound file format and little-endian field access. Every other
// file of the library takes its numbers from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cfb::detail {

// Special values of sector numbers in the allocation tables and the header.
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
// The "no entry" value of the directory's sibling and child links.
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderSize = 512;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kMiniSectorSize = 64;
// Streams shorter than this live in the mini stream, in 64-byte mini sectors.
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kDirectoryEntrySize = 128;
// Names hold at most 31 UTF-16 units and a terminating NUL in 64 bytes.
constexpr std::size_t kMaxNameLength = 31;

// Header field offsets.
namespace header {
constexpr std::size_t kMinorVersion = 0x18;
constexpr std::size_t kMajorVersion = 0x1A;
constexpr std::size_t kByteOrder = 0x1C;
constexpr std::size_t kSectorShift = 0x1E;
constexpr std::size_t kMiniSectorShift = 0x20;
constexpr std::size_t kDirectorySectorCount = 0x28;
constexpr std::size_t kFatSectorCount = 0x2C;
constexpr std::size_t kFirstDirectorySector = 0x30;
constexpr std::size_t kMiniStreamCutoffField = 0x38;
constexpr std::size_t kFirstMiniFatSector = 0x3C;
constexpr std::size_t kMiniFatSectorCount = 0x40;
constexpr std::size_t kFirstDifatSector = 0x44;
constexpr std::size_t kDifatSectorCount = 0x48;
constexpr std::size_t kDifat = 0x4C;
} // namespace header

// Directory entry field offsets and values.
namespace entry {
constexpr std::size_t kName = 0x00;
constexpr std::size_t kNameLength = 0x40; // in bytes, with the terminating NUL
constexpr std::size_t kType = 0x42;
constexpr std::size_t kColor = 0x43;
constexpr std::size_t kLeftSibling = 0x44;
constexpr std::size_t kRightSibling = 0x48;
constexpr std::size_t kChild = 0x4C;
constexpr std::size_t kClassId = 0x50;
constexpr std::size_t kStateBits = 0x60;
constexpr std::size_t kCreationTime = 0x64;
constexpr std::size_t kModifiedTime = 0x6C;
constexpr std::size_t kStartSector = 0x74;
constexpr std::size_t kStreamSize = 0x78;

constexpr std::uint8_t kTypeUnused = 0;
constexpr std::uint8_t kTypeStorage = 1;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;
constexpr std::uint8_t kRed = 0;
constexpr std::uint8_t kBlack = 1;
} // namespace entry

inline std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Get64(const std::uint8_t* p) {
    return Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32);
}
inline void Put16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void Put64(std::uint8_t* p, std::uint64_t value) {
    Put32(p, static_cast<std::uint32_t>(value));
    Put32(p + 4, static_cast<std::uint32_t>(value >> 32));
}

} // namespace cfb::detail
