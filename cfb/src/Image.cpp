// Reading a compound file: header, DIFAT and FAT, mini FAT, directory into an element tree, and
// stream sectors on demand, with every number from the file checked before it is used.
#include "Image.h"

#include "Names.h"

#include <algorithm>
#include <cstring>

namespace cfb::detail {

namespace {

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t unit) {
    return value / unit + (value % unit != 0 ? 1 : 0);
}

} // namespace

Status Image::Load(std::shared_ptr<FileIo> file, std::shared_ptr<Image>* image, std::shared_ptr<Node>* root) {
    std::shared_ptr<Image> loaded(new Image());
    loaded->m_file = std::move(file);

    std::uint64_t fileSize = 0;
    Status status = loaded->m_file->GetSize(&fileSize);
    if (!Succeeded(status))
        return status;
    std::uint8_t header[kHeaderSize] = {};
    if (fileSize < sizeof kSignature)
        return Status::InvalidHeader;
    status =
        loaded->m_file->ReadAt(0, header, static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kHeaderSize)));
    if (!Succeeded(status))
        return status;
    if (std::memcmp(header, kSignature, sizeof kSignature) != 0)
        return Status::InvalidHeader;
    if (fileSize < kHeaderSize)
        return Status::FileCorrupt;
    status = loaded->ReadHeader(header, fileSize);
    if (!Succeeded(status))
        return status;
    status = loaded->ReadFat(header);
    if (!Succeeded(status))
        return status;

    std::vector<std::uint32_t> sectors;
    status = loaded->FollowChain(Get32(header + header::kFirstDirectorySector), kWholeChain, false, &sectors);
    if (!Succeeded(status))
        return status;
    std::vector<std::uint8_t> directory;
    status = loaded->ReadSectors(sectors, &directory);
    if (!Succeeded(status))
        return status;

    std::uint32_t miniFatStart = Get32(header + header::kFirstMiniFatSector);
    if (miniFatStart != kEndOfChain && miniFatStart != kFreeSector) {
        status = loaded->FollowChain(miniFatStart, kWholeChain, false, &sectors);
        if (!Succeeded(status))
            return status;
        std::vector<std::uint8_t> miniFatBytes;
        status = loaded->ReadSectors(sectors, &miniFatBytes);
        if (!Succeeded(status))
            return status;
        loaded->m_miniFat.resize(miniFatBytes.size() / 4);
        for (std::size_t i = 0; i < loaded->m_miniFat.size(); ++i)
            loaded->m_miniFat[i] = Get32(miniFatBytes.data() + 4 * i);
    }

    std::shared_ptr<Node> tree;
    status = loaded->BuildTree(directory, &tree);
    if (!Succeeded(status))
        return status;
    *image = std::move(loaded);
    *root = std::move(tree);
    return Status::Ok;
}

Status Image::ReadHeader(const std::uint8_t* header, std::uint64_t fileSize) {
    if (Get16(header + header::kByteOrder) != 0xFFFE)
        return Status::FileCorrupt;
    m_majorVersion = Get16(header + header::kMajorVersion);
    std::uint16_t sectorShift = Get16(header + header::kSectorShift);
    if (!((m_majorVersion == 3 && sectorShift == 9) || (m_majorVersion == 4 && sectorShift == 12)))
        return Status::FileCorrupt;
    if (Get16(header + header::kMiniSectorShift) != 6 ||
        Get32(header + header::kMiniStreamCutoffField) != kMiniStreamCutoff)
        return Status::FileCorrupt;
    m_sectorSize = 1u << sectorShift;
    // Sector n lies at (n + 1) * sector size: the header takes the place of sector -1.
    m_sectorCount = fileSize <= m_sectorSize ? 0 : CeilDiv(fileSize - m_sectorSize, m_sectorSize);
    if (m_sectorCount > kMaxRegularSector)
        return Status::FileCorrupt;
    return Status::Ok;
}

Status Image::ReadFat(const std::uint8_t* header) {
    const std::uint32_t fatSectorCount = Get32(header + header::kFatSectorCount);
    if (fatSectorCount == 0 || fatSectorCount > m_sectorCount)
        return Status::FileCorrupt;
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatSectorCount);
    for (std::uint32_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectorCount; ++i)
        fatSectors.push_back(Get32(header + header::kDifat + 4 * i));

    // The rest of the FAT's sector list is in the DIFAT chain: each DIFAT sector holds sector numbers
    // and, in its last slot, the next DIFAT sector.
    const std::uint32_t perSector = m_sectorSize / 4;
    std::vector<std::uint8_t> sector(m_sectorSize);
    std::vector<bool> seen(static_cast<std::size_t>(m_sectorCount), false);
    std::uint32_t next = Get32(header + header::kFirstDifatSector);
    while (fatSectors.size() < fatSectorCount) {
        if (next >= m_sectorCount || seen[next])
            return Status::FileCorrupt;
        seen[next] = true;
        Status status =
            m_file->ReadAt((static_cast<std::uint64_t>(next) + 1) * m_sectorSize, sector.data(), m_sectorSize);
        if (!Succeeded(status))
            return status;
        for (std::uint32_t i = 0; i + 1 < perSector && fatSectors.size() < fatSectorCount; ++i)
            fatSectors.push_back(Get32(sector.data() + 4 * i));
        next = Get32(sector.data() + 4 * (perSector - 1));
    }

    m_fat.assign(static_cast<std::size_t>(fatSectorCount) * perSector, kFreeSector);
    std::vector<std::uint8_t> run;
    for (std::size_t i = 0; i < fatSectors.size();) {
        if (fatSectors[i] >= m_sectorCount)
            return Status::FileCorrupt;
        // Writers keep the FAT in consecutive sectors; a run of them is read in one call.
        std::size_t length = 1;
        while (i + length < fatSectors.size() && fatSectors[i + length] == fatSectors[i] + length &&
               fatSectors[i + length] < m_sectorCount)
            ++length;
        run.resize(length * m_sectorSize);
        Status status =
            m_file->ReadAt((static_cast<std::uint64_t>(fatSectors[i]) + 1) * m_sectorSize, run.data(), run.size());
        if (!Succeeded(status))
            return status;
        for (std::size_t j = 0; j < length * perSector; ++j)
            m_fat[i * perSector + j] = Get32(run.data() + 4 * j);
        i += length;
    }
    return Status::Ok;
}

Status Image::FollowChain(std::uint32_t start, std::uint64_t count, bool mini,
                          std::vector<std::uint32_t>* chain) const {
    const std::vector<std::uint32_t>& table = mini ? m_miniFat : m_fat;
    // Links may only name sectors that exist: regular sectors present in the file, mini sectors
    // inside the mini stream.
    const std::uint64_t limit =
        mini ? std::min<std::uint64_t>(table.size(), m_miniStreamSize / kMiniSectorSize) : m_sectorCount;
    chain->clear();
    const bool wholeChain = count == kWholeChain;
    if (!wholeChain && count > limit)
        return Status::FileCorrupt;
    // A loop shows as a sector met twice. The map of sectors seen is as large as the file in sectors
    // (one bit each); for a short chain in a large file the chain is instead sorted and checked for
    // neighbours that are equal, which costs memory in proportion to the chain.
    const bool mapSeen = wholeChain || limit <= 64 * count;
    std::vector<bool> seen(mapSeen ? static_cast<std::size_t>(limit) : 0, false);
    std::uint32_t sector = start;
    while (chain->size() < count) {
        if (wholeChain && sector == kEndOfChain)
            break;
        if (sector >= limit || (mapSeen && seen[sector]))
            return Status::FileCorrupt;
        if (mapSeen)
            seen[sector] = true;
        chain->push_back(sector);
        if (chain->size() == count)
            break;
        if (sector >= table.size())
            return Status::FileCorrupt;
        sector = table[sector];
    }
    if (!mapSeen) {
        std::vector<std::uint32_t> sorted(*chain);
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
            return Status::FileCorrupt;
    }
    return Status::Ok;
}

Status Image::ReadSectors(const std::vector<std::uint32_t>& sectors, std::vector<std::uint8_t>* bytes) {
    bytes->resize(sectors.size() * static_cast<std::size_t>(m_sectorSize));
    for (std::size_t i = 0; i < sectors.size(); ++i) {
        Status status = m_file->ReadAt((static_cast<std::uint64_t>(sectors[i]) + 1) * m_sectorSize,
                                       bytes->data() + i * m_sectorSize, m_sectorSize);
        if (!Succeeded(status))
            return status;
    }
    return Status::Ok;
}

Status Image::MakeNode(const std::uint8_t* entry, std::shared_ptr<Node>* made) {
    const std::uint8_t type = entry[entry::kType];
    if (type != entry::kTypeStorage && type != entry::kTypeStream)
        return Status::FileCorrupt;
    // The name length counts bytes with the terminating NUL, which must be where it says.
    const std::uint16_t nameBytes = Get16(entry + entry::kNameLength);
    if (nameBytes < 4 || nameBytes > 2 * (kMaxNameLength + 1) || nameBytes % 2 != 0)
        return Status::FileCorrupt;
    const std::size_t length = nameBytes / 2 - 1;
    std::wstring name(length, L'\0');
    for (std::size_t i = 0; i < length; ++i)
        name[i] = static_cast<wchar_t>(Get16(entry + entry::kName + 2 * i));
    if (Get16(entry + entry::kName + 2 * length) != 0 || !IsUsableName(name))
        return Status::FileCorrupt;

    std::shared_ptr<Node> node = type == entry::kTypeStorage ? Node::MakeStorage(name) : Node::MakeStream(name);
    std::copy_n(entry + entry::kClassId, 16, node->classId.begin());
    node->stateBits = Get32(entry + entry::kStateBits);
    node->creationTime = Get64(entry + entry::kCreationTime);
    node->modifiedTime = Get64(entry + entry::kModifiedTime);
    if (type == entry::kTypeStream) {
        std::uint64_t size = Get64(entry + entry::kStreamSize);
        // Files of version 3 are limited to 32-bit sizes; old writers left garbage in the high half.
        if (m_majorVersion == 3)
            size &= 0xFFFFFFFFu;
        const bool mini = size < kMiniStreamCutoff;
        const std::uint64_t room = mini ? m_miniStreamSize : m_sectorCount * static_cast<std::uint64_t>(m_sectorSize);
        if (size > room)
            return Status::FileCorrupt;
        if (size > 0) {
            node->content->size = size;
            node->content->inMemory = false;
            node->content->image = shared_from_this();
            node->content->start = Get32(entry + entry::kStartSector);
            node->content->mini = mini;
        }
    }
    *made = std::move(node);
    return Status::Ok;
}

Status Image::BuildTree(const std::vector<std::uint8_t>& directory, std::shared_ptr<Node>* rootNode) {
    const std::size_t entryCount = directory.size() / kDirectoryEntrySize;
    if (entryCount == 0)
        return Status::FileCorrupt;
    const std::uint8_t* rootEntry = directory.data();
    if (rootEntry[entry::kType] != entry::kTypeRoot)
        return Status::FileCorrupt;
    m_miniStreamStart = Get32(rootEntry + entry::kStartSector);
    m_miniStreamSize = Get64(rootEntry + entry::kStreamSize);
    if (m_majorVersion == 3)
        m_miniStreamSize &= 0xFFFFFFFFu;
    if (m_miniStreamSize > m_sectorCount * static_cast<std::uint64_t>(m_sectorSize))
        return Status::FileCorrupt;

    auto root = Node::MakeStorage(L"Root Entry");
    std::copy_n(rootEntry + entry::kClassId, 16, root->classId.begin());
    root->stateBits = Get32(rootEntry + entry::kStateBits);

    // Each storage's children form a binary tree of sibling links. Every entry may be reached once
    // only, which turns cycles and shared subtrees into FileCorrupt; explicit stacks keep a deep
    // or degenerate tree from exhausting the call stack.
    struct PendingStorage {
        Node* storage;
        std::uint32_t firstChild;
        int depth;
    };
    std::vector<bool> reached(entryCount, false);
    reached[0] = true;
    std::vector<PendingStorage> storages{{root.get(), Get32(rootEntry + entry::kChild), 0}};
    std::vector<std::uint32_t> siblings;
    while (!storages.empty()) {
        PendingStorage pending = storages.back();
        storages.pop_back();
        siblings.assign(1, pending.firstChild);
        while (!siblings.empty()) {
            std::uint32_t id = siblings.back();
            siblings.pop_back();
            if (id == kNoStream)
                continue;
            if (id >= entryCount || reached[id])
                return Status::FileCorrupt;
            reached[id] = true;
            const std::uint8_t* entry = directory.data() + static_cast<std::size_t>(id) * kDirectoryEntrySize;
            std::shared_ptr<Node> node;
            Status status = MakeNode(entry, &node);
            if (!Succeeded(status))
                return status;
            siblings.push_back(Get32(entry + entry::kLeftSibling));
            siblings.push_back(Get32(entry + entry::kRightSibling));
            if (node->isStorage) {
                if (pending.depth + 1 > kMaxStorageDepth)
                    return Status::FileCorrupt;
                storages.push_back({node.get(), Get32(entry + entry::kChild), pending.depth + 1});
            }
            pending.storage->children.push_back(std::move(node));
        }
        auto& children = pending.storage->children;
        std::sort(children.begin(), children.end(),
                  [](const auto& a, const auto& b) { return CompareNameKeys(a->key, b->key) < 0; });
        for (std::size_t i = 1; i < children.size(); ++i) {
            if (CompareNameKeys(children[i - 1]->key, children[i]->key) == 0)
                return Status::FileCorrupt; // two elements of one name
        }
    }
    *rootNode = std::move(root);
    return Status::Ok;
}

Status Image::ReadContent(Content& content, std::uint64_t offset, void* buffer, std::size_t size) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (content.mini)
        return ReadMini(content, offset, out, size);
    if (!content.chainKnown) {
        Status status = FollowChain(content.start, CeilDiv(content.size, m_sectorSize), false, &content.chain);
        if (!Succeeded(status))
            return status;
        content.chainKnown = true;
    }
    // Runs of consecutive sectors are read in one call: streams written in one piece are mostly one
    // run, so a large read costs few system calls.
    while (size > 0) {
        std::size_t index = static_cast<std::size_t>(offset / m_sectorSize);
        std::size_t inner = static_cast<std::size_t>(offset % m_sectorSize);
        std::size_t run = 1;
        while (index + run < content.chain.size() && content.chain[index + run] == content.chain[index] + run &&
               run * m_sectorSize - inner < size)
            ++run;
        std::size_t piece = std::min(size, run * m_sectorSize - inner);
        Status status =
            m_file->ReadAt((static_cast<std::uint64_t>(content.chain[index]) + 1) * m_sectorSize + inner, out, piece);
        if (!Succeeded(status))
            return status;
        out += piece;
        offset += piece;
        size -= piece;
    }
    return Status::Ok;
}

Status Image::ReadMini(Content& content, std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    if (!m_miniStreamChainKnown) {
        Status status =
            FollowChain(m_miniStreamStart, CeilDiv(m_miniStreamSize, m_sectorSize), false, &m_miniStreamChain);
        if (!Succeeded(status))
            return status;
        m_miniStreamChainKnown = true;
    }
    if (!content.chainKnown) {
        Status status = FollowChain(content.start, CeilDiv(content.size, kMiniSectorSize), true, &content.chain);
        if (!Succeeded(status))
            return status;
        content.chainKnown = true;
    }
    // Where a mini sector lies in the file: its place in the mini stream, through the mini stream's
    // own chain of regular sectors. A mini sector never straddles two regular sectors: the sector
    // size is a multiple of 64.
    auto filePosition = [&](std::size_t index, std::uint64_t* position) {
        std::uint64_t inStream = static_cast<std::uint64_t>(content.chain[index]) * kMiniSectorSize;
        std::uint64_t container = inStream / m_sectorSize;
        if (container >= m_miniStreamChain.size())
            return false;
        *position =
            (static_cast<std::uint64_t>(m_miniStreamChain[container]) + 1) * m_sectorSize + inStream % m_sectorSize;
        return true;
    };
    while (size > 0) {
        std::size_t index = static_cast<std::size_t>(offset / kMiniSectorSize);
        std::size_t inner = static_cast<std::size_t>(offset % kMiniSectorSize);
        std::uint64_t start = 0;
        if (!filePosition(index, &start))
            return Status::FileCorrupt;
        start += inner;
        // Mini sectors that follow one another in the file are read in one call: a small stream
        // written in one piece is mostly one run.
        std::size_t piece = std::min<std::size_t>(size, kMiniSectorSize - inner);
        for (std::size_t next = index + 1; piece < size && next < content.chain.size(); ++next) {
            std::uint64_t position = 0;
            if (!filePosition(next, &position) || position != start + piece)
                break;
            piece += std::min<std::size_t>(size - piece, kMiniSectorSize);
        }
        Status status = m_file->ReadAt(start, out, piece);
        if (!Succeeded(status))
            return status;
        out += piece;
        offset += piece;
        size -= piece;
    }
    return Status::Ok;
}

} // namespace cfb::detail
