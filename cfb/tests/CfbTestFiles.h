// Helpers of the compound-file tests: reading and writing whole streams, walking a file's tree,
// and the raw header and directory fields of files on disk.
#pragma once

#include "cfb/Storage.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace cfbtest {

constexpr cfb::Mode kReadShared = cfb::Mode::Read | cfb::Mode::ShareDenyWrite;
constexpr cfb::Mode kReadExclusive = cfb::Mode::Read | cfb::Mode::ShareExclusive;
constexpr cfb::Mode kWriteExclusive = cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive;
constexpr cfb::Mode kTransacted = cfb::Mode::Transacted | cfb::Mode::ReadWrite | cfb::Mode::ShareExclusive;

inline std::string Pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

inline cfb::Status WriteStream(cfb::Storage& storage, const std::wstring& name, const std::string& bytes) {
    std::unique_ptr<cfb::Stream> stream;
    cfb::Status status = storage.CreateStream(name, kWriteExclusive | cfb::Mode::Create, &stream);
    if (!cfb::Succeeded(status))
        return status;
    std::size_t written = 0;
    return stream->Write(bytes.data(), bytes.size(), &written);
}

// The whole stream, or the status of the first failing step in *status.
inline std::string ReadStream(cfb::Storage& storage, const std::wstring& name, cfb::Status* status = nullptr) {
    std::unique_ptr<cfb::Stream> stream;
    cfb::Status result = storage.OpenStream(name, kReadExclusive, &stream);
    std::string bytes;
    if (cfb::Succeeded(result)) {
        char buffer[7001];
        for (;;) {
            std::size_t got = 0;
            result = stream->Read(buffer, sizeof buffer, &got);
            if (!cfb::Succeeded(result) || got == 0)
                break;
            bytes.append(buffer, got);
        }
    }
    if (status != nullptr)
        *status = result;
    return bytes;
}

// Opens every storage and reads every stream under storage; the first failure, or Ok.
inline cfb::Status WalkEverything(cfb::Storage& storage, int depth = 0) {
    std::vector<cfb::ElementInfo> elements;
    cfb::Status status = storage.EnumElements(&elements);
    for (const auto& element : elements) {
        if (!cfb::Succeeded(status))
            break;
        if (element.type == cfb::ElementType::Storage) {
            std::unique_ptr<cfb::Storage> child;
            status = storage.OpenStorage(element.name, kReadExclusive, &child);
            if (cfb::Succeeded(status))
                status = WalkEverything(*child, depth + 1);
        } else {
            std::string bytes = ReadStream(storage, element.name, &status);
            if (cfb::Succeeded(status) && bytes.size() != element.size)
                status = cfb::Status::FileCorrupt;
        }
    }
    return status;
}

inline std::uint32_t Le32(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 3])) << 24;
}

inline void SetLe32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// Raw layout of a file's directory, read straight from the bytes (version 3 or 4), for tests
// that check or damage what the writer produced.
struct RawLayout {
    std::uint32_t sectorSize = 0;
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> directorySectors;
    std::size_t SectorOffset(std::uint32_t sector) const { return (static_cast<std::size_t>(sector) + 1) * sectorSize; }
    // File offset of directory entry id.
    std::size_t EntryOffset(std::uint32_t id) const {
        std::uint32_t perSector = sectorSize / 128;
        return SectorOffset(directorySectors.at(id / perSector)) + (id % perSector) * 128;
    }
};

// Reads the layout of a well-formed file with at most 109 FAT sectors.
inline RawLayout ReadLayout(const std::string& bytes) {
    RawLayout layout;
    layout.sectorSize = 1u << (static_cast<unsigned char>(bytes[0x1E]));
    std::uint32_t fatSectors = Le32(bytes, 0x2C);
    for (std::uint32_t i = 0; i < fatSectors && i < 109; ++i) {
        std::size_t offset = layout.SectorOffset(Le32(bytes, 0x4C + 4 * i));
        for (std::uint32_t j = 0; j < layout.sectorSize / 4; ++j)
            layout.fat.push_back(Le32(bytes, offset + 4 * j));
    }
    for (std::uint32_t sector = Le32(bytes, 0x30); sector < layout.fat.size() && layout.directorySectors.size() < 1000;
         sector = layout.fat[sector])
        layout.directorySectors.push_back(sector);
    return layout;
}

} // namespace cfbtest
