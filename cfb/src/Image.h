// A compound file as found on disk: its header, allocation tables and directory, read when the file
// is opened and checked against the file's size, and its streams' sectors read only when asked for.
// Every sector number and link is checked before it is followed, so a damaged file gives
// FileCorrupt rather than a crash, a hang or an allocation larger than the file.
#pragma once

#include "FileIo.h"
#include "Tree.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace cfb::detail {

class Image : public std::enable_shared_from_this<Image> {
public:
    // Reads the structure of file and builds its element tree; stream contents refer to the image.
    static Status Load(std::shared_ptr<FileIo> file, std::shared_ptr<Image>* image, std::shared_ptr<Node>* root);

    std::uint32_t SectorSize() const { return m_sectorSize; }
    // Reads part of a stream of this image (content.image is this image).
    Status ReadContent(Content& content, std::uint64_t offset, void* buffer, std::size_t size);

private:
    Image() = default;
    Status ReadHeader(const std::uint8_t* header, std::uint64_t fileSize);
    Status ReadFat(const std::uint8_t* header);
    Status ReadSectors(const std::vector<std::uint32_t>& sectors, std::vector<std::uint8_t>* bytes);
    // The chain starting at start in the FAT (or the mini FAT): count links, or up to the end of
    // the chain when count is kWholeChain. Fails on a link outside the file, a loop, an early end.
    Status FollowChain(std::uint32_t start, std::uint64_t count, bool mini, std::vector<std::uint32_t>* chain) const;
    Status BuildTree(const std::vector<std::uint8_t>& directory, std::shared_ptr<Node>* root);
    Status MakeNode(const std::uint8_t* entry, std::shared_ptr<Node>* node);
    Status ReadMini(Content& content, std::uint64_t offset, std::uint8_t* buffer, std::size_t size);

    static constexpr std::uint64_t kWholeChain = ~std::uint64_t{0};

    std::shared_ptr<FileIo> m_file;
    std::uint16_t m_majorVersion = 3;
    std::uint32_t m_sectorSize = 512;
    std::uint64_t m_sectorCount = 0; // sectors present in the file after the header
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::uint32_t m_miniStreamStart = kEndOfChain;
    std::uint64_t m_miniStreamSize = 0;
    std::vector<std::uint32_t> m_miniStreamChain; // found on the first read of a mini stream
    bool m_miniStreamChainKnown = false;
};

} // namespace cfb::detail
