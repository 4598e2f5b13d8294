// Laying out and writing a compound file from an element tree. The layout is computed first (every
// sector's place is known before anything is written), then the file is written front to back.
#include "Writer.h"

#include <algorithm>
#include <cstring>

namespace cfb::detail {

namespace {

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t unit) {
    return value / unit + (value % unit != 0 ? 1 : 0);
}

// One directory entry to write.
struct EntryPlan {
    const Node* node = nullptr;
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint8_t color = entry::kBlack;
    std::uint32_t start = kEndOfChain;
    std::uint64_t size = 0;
    bool mini = false;
};

// Builds the sibling tree of ids [first, first + count) (already in directory order) as a tree
// split at the middle: every level but the last is full, so colouring the last level red and the
// rest black gives the same number of black entries on every path, as a red-black tree needs.
std::uint32_t LinkSiblings(std::vector<EntryPlan>& entries, std::uint32_t first, std::uint32_t count, int depth,
                           int lastLevel) {
    if (count == 0)
        return kNoStream;
    std::uint32_t middle = count / 2;
    std::uint32_t id = first + middle;
    entries[id].left = LinkSiblings(entries, first, middle, depth + 1, lastLevel);
    entries[id].right = LinkSiblings(entries, id + 1, count - middle - 1, depth + 1, lastLevel);
    entries[id].color = depth == lastLevel && lastLevel > 0 ? entry::kRed : entry::kBlack;
    return id;
}

int LevelCount(std::uint32_t count) {
    int levels = 0;
    while (count > 0) {
        ++levels;
        count >>= 1;
    }
    return levels;
}

// Writes the file front to back through a buffer.
class SequentialWriter {
public:
    explicit SequentialWriter(FileIo& file) : m_file(file) { m_buffer.reserve(kBufferSize); }
    Status Put(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        while (size > 0) {
            std::size_t piece = std::min(size, kBufferSize - m_buffer.size());
            m_buffer.insert(m_buffer.end(), bytes, bytes + piece);
            bytes += piece;
            size -= piece;
            if (m_buffer.size() == kBufferSize) {
                Status status = Drain();
                if (!Succeeded(status))
                    return status;
            }
        }
        return Status::Ok;
    }
    Status PutZeros(std::size_t count) {
        static const std::uint8_t zeros[4096] = {};
        while (count > 0) {
            std::size_t piece = std::min(count, sizeof zeros);
            Status status = Put(zeros, piece);
            if (!Succeeded(status))
                return status;
            count -= piece;
        }
        return Status::Ok;
    }
    Status Put32(std::uint32_t value) {
        std::uint8_t bytes[4];
        detail::Put32(bytes, value);
        return Put(bytes, 4);
    }
    Status Drain() {
        if (m_buffer.empty())
            return Status::Ok;
        Status status = m_file.WriteAt(m_offset, m_buffer.data(), m_buffer.size());
        m_offset += m_buffer.size();
        m_buffer.clear();
        return status;
    }

private:
    static constexpr std::size_t kBufferSize = 1 << 18;
    FileIo& m_file;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_offset = 0;
};

Status CopyContent(Content& content, SequentialWriter& out, std::uint64_t unit) {
    std::vector<std::uint8_t> piece(static_cast<std::size_t>(std::min<std::uint64_t>(content.size, 1 << 18)));
    for (std::uint64_t done = 0; done < content.size;) {
        std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), content.size - done));
        Status status = content.Read(done, piece.data(), size);
        if (!Succeeded(status))
            return status;
        status = out.Put(piece.data(), size);
        if (!Succeeded(status))
            return status;
        done += size;
    }
    return out.PutZeros(static_cast<std::size_t>(CeilDiv(content.size, unit) * unit - content.size));
}

void PutEntry(std::uint8_t* bytes, const EntryPlan& plan, bool isRoot) {
    const Node& node = *plan.node;
    std::memset(bytes, 0, kDirectoryEntrySize);
    for (std::size_t i = 0; i < node.name.size(); ++i)
        Put16(bytes + entry::kName + 2 * i, static_cast<std::uint16_t>(node.name[i]));
    Put16(bytes + entry::kNameLength, static_cast<std::uint16_t>((node.name.size() + 1) * 2));
    bytes[entry::kType] = isRoot ? entry::kTypeRoot : (node.isStorage ? entry::kTypeStorage : entry::kTypeStream);
    bytes[entry::kColor] = plan.color;
    Put32(bytes + entry::kLeftSibling, plan.left);
    Put32(bytes + entry::kRightSibling, plan.right);
    Put32(bytes + entry::kChild, plan.child);
    std::copy(node.classId.begin(), node.classId.end(), bytes + entry::kClassId);
    Put32(bytes + entry::kStateBits, node.stateBits);
    Put64(bytes + entry::kCreationTime, isRoot ? 0 : node.creationTime);
    Put64(bytes + entry::kModifiedTime, isRoot ? 0 : node.modifiedTime);
    Put32(bytes + entry::kStartSector, (node.isStorage && !isRoot) ? 0 : plan.start);
    Put64(bytes + entry::kStreamSize, plan.size);
}

void PutUnusedEntry(std::uint8_t* bytes) {
    std::memset(bytes, 0, kDirectoryEntrySize);
    Put32(bytes + entry::kLeftSibling, kNoStream);
    Put32(bytes + entry::kRightSibling, kNoStream);
    Put32(bytes + entry::kChild, kNoStream);
}

// Directory ids: the root is 0; each storage's children get consecutive ids in directory order,
// storage by storage, breadth first.
std::vector<EntryPlan> PlanDirectory(const Node& root) {
    std::vector<EntryPlan> entries(1);
    entries[0].node = &root;
    for (std::size_t next = 0; next < entries.size(); ++next) {
        const Node* storage = entries[next].node;
        if (!storage->isStorage || storage->children.empty())
            continue;
        std::uint32_t first = static_cast<std::uint32_t>(entries.size());
        for (const auto& child : storage->children) {
            EntryPlan plan;
            plan.node = child.get();
            if (!child->isStorage)
                plan.size = child->content->size;
            entries.push_back(plan);
        }
        std::uint32_t count = static_cast<std::uint32_t>(storage->children.size());
        entries[next].child = LinkSiblings(entries, first, count, 0, LevelCount(count) - 1);
    }
    return entries;
}

// Where every part of the file goes, in sectors: directory, mini FAT, mini stream, large streams,
// then FAT and DIFAT.
struct Layout {
    std::uint32_t sectorSize = 0;
    std::uint32_t perSector = 0; // 32-bit entries in a sector
    std::uint64_t miniSectors = 0;
    std::uint64_t miniStreamBytes = 0;
    std::uint64_t directorySectors = 0;
    std::uint64_t miniFatStart = 0, miniFatSectors = 0;
    std::uint64_t miniStreamStart = 0, miniStreamSectors = 0;
    std::uint64_t fatStart = 0, fatSectors = 0;
    std::uint64_t difatStart = 0, difatSectors = 0;
};

// Places every stream (small ones in the mini stream, one after another) and sizes the FAT and
// DIFAT, whose size depends on the total and is found by iterating to a fixed point.
Status PlanSectors(std::vector<EntryPlan>& entries, std::uint32_t sectorSize, Layout* layout) {
    layout->sectorSize = sectorSize;
    layout->perSector = sectorSize / 4;
    for (EntryPlan& plan : entries) {
        if (plan.node->isStorage || plan.size == 0 || plan.size >= kMiniStreamCutoff)
            continue;
        plan.mini = true;
        plan.start = static_cast<std::uint32_t>(layout->miniSectors);
        layout->miniSectors += CeilDiv(plan.size, kMiniSectorSize);
    }
    layout->miniStreamBytes = layout->miniSectors * kMiniSectorSize;

    std::uint64_t next = 0;
    layout->directorySectors = CeilDiv(entries.size() * kDirectoryEntrySize, sectorSize);
    next += layout->directorySectors;
    layout->miniFatStart = next;
    layout->miniFatSectors = CeilDiv(layout->miniSectors * 4, sectorSize);
    next += layout->miniFatSectors;
    layout->miniStreamStart = next;
    layout->miniStreamSectors = CeilDiv(layout->miniStreamBytes, sectorSize);
    next += layout->miniStreamSectors;
    for (EntryPlan& plan : entries) {
        if (plan.node->isStorage || plan.size == 0 || plan.mini)
            continue;
        plan.start = static_cast<std::uint32_t>(next);
        next += CeilDiv(plan.size, sectorSize);
        if (next > kMaxRegularSector)
            return Status::MediumFull;
    }
    for (;;) {
        std::uint64_t fatNeeded = CeilDiv(next + layout->fatSectors + layout->difatSectors, layout->perSector);
        std::uint64_t difatNeeded =
            fatNeeded > kHeaderDifatEntries ? CeilDiv(fatNeeded - kHeaderDifatEntries, layout->perSector - 1) : 0;
        if (fatNeeded == layout->fatSectors && difatNeeded == layout->difatSectors)
            break;
        layout->fatSectors = fatNeeded;
        layout->difatSectors = difatNeeded;
    }
    layout->fatStart = next;
    layout->difatStart = layout->fatStart + layout->fatSectors;
    if (layout->difatStart + layout->difatSectors > kMaxRegularSector)
        return Status::MediumFull;

    // The root entry holds the mini stream.
    entries[0].start =
        layout->miniStreamSectors > 0 ? static_cast<std::uint32_t>(layout->miniStreamStart) : kEndOfChain;
    entries[0].size = layout->miniStreamBytes;
    return Status::Ok;
}

void ChainRun(std::vector<std::uint32_t>& table, std::uint64_t start, std::uint64_t count) {
    for (std::uint64_t i = 0; i < count; ++i)
        table[static_cast<std::size_t>(start + i)] =
            i + 1 < count ? static_cast<std::uint32_t>(start + i + 1) : kEndOfChain;
}

// The FAT and the mini FAT of the layout: every chain, the FAT's and DIFAT's own sectors marked.
void BuildAllocationTables(const std::vector<EntryPlan>& entries, const Layout& layout, std::vector<std::uint32_t>* fat,
                           std::vector<std::uint32_t>* miniFat) {
    fat->assign(static_cast<std::size_t>(layout.fatSectors * layout.perSector), kFreeSector);
    miniFat->assign(static_cast<std::size_t>(layout.miniFatSectors * layout.perSector), kFreeSector);
    ChainRun(*fat, 0, layout.directorySectors);
    ChainRun(*fat, layout.miniFatStart, layout.miniFatSectors);
    ChainRun(*fat, layout.miniStreamStart, layout.miniStreamSectors);
    for (const EntryPlan& plan : entries) {
        if (plan.node->isStorage || plan.size == 0)
            continue;
        if (plan.mini)
            ChainRun(*miniFat, plan.start, CeilDiv(plan.size, kMiniSectorSize));
        else
            ChainRun(*fat, plan.start, CeilDiv(plan.size, layout.sectorSize));
    }
    for (std::uint64_t i = 0; i < layout.fatSectors; ++i)
        (*fat)[static_cast<std::size_t>(layout.fatStart + i)] = kFatSector;
    for (std::uint64_t i = 0; i < layout.difatSectors; ++i)
        (*fat)[static_cast<std::size_t>(layout.difatStart + i)] = kDifatSector;
}

// The header, padded to a whole sector (version 4 files give the header a 4096-byte sector).
std::vector<std::uint8_t> MakeHeader(const Layout& layout) {
    const bool version4 = layout.sectorSize == 4096;
    std::vector<std::uint8_t> header(layout.sectorSize, 0);
    std::copy(std::begin(kSignature), std::end(kSignature), header.begin());
    Put16(&header[header::kMinorVersion], 0x003E);
    Put16(&header[header::kMajorVersion], version4 ? 4 : 3);
    Put16(&header[header::kByteOrder], 0xFFFE);
    Put16(&header[header::kSectorShift], version4 ? 12 : 9);
    Put16(&header[header::kMiniSectorShift], 6);
    Put32(&header[header::kDirectorySectorCount], version4 ? static_cast<std::uint32_t>(layout.directorySectors) : 0);
    Put32(&header[header::kFatSectorCount], static_cast<std::uint32_t>(layout.fatSectors));
    Put32(&header[header::kFirstDirectorySector], 0);
    Put32(&header[header::kMiniStreamCutoffField], kMiniStreamCutoff);
    Put32(&header[header::kFirstMiniFatSector],
          layout.miniFatSectors > 0 ? static_cast<std::uint32_t>(layout.miniFatStart) : kEndOfChain);
    Put32(&header[header::kMiniFatSectorCount], static_cast<std::uint32_t>(layout.miniFatSectors));
    Put32(&header[header::kFirstDifatSector],
          layout.difatSectors > 0 ? static_cast<std::uint32_t>(layout.difatStart) : kEndOfChain);
    Put32(&header[header::kDifatSectorCount], static_cast<std::uint32_t>(layout.difatSectors));
    for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i)
        Put32(&header[header::kDifat + 4 * i],
              i < layout.fatSectors ? static_cast<std::uint32_t>(layout.fatStart + i) : kFreeSector);
    return header;
}

Status WriteDirectory(const std::vector<EntryPlan>& entries, const Layout& layout, SequentialWriter& out) {
    std::vector<std::uint8_t> directory(static_cast<std::size_t>(layout.directorySectors * layout.sectorSize));
    for (std::size_t i = 0; i < directory.size() / kDirectoryEntrySize; ++i) {
        if (i < entries.size())
            PutEntry(directory.data() + i * kDirectoryEntrySize, entries[i], i == 0);
        else
            PutUnusedEntry(directory.data() + i * kDirectoryEntrySize);
    }
    return out.Put(directory.data(), directory.size());
}

Status WriteTable(const std::vector<std::uint32_t>& table, SequentialWriter& out) {
    Status status = Status::Ok;
    for (std::size_t i = 0; i < table.size() && Succeeded(status); ++i)
        status = out.Put32(table[i]);
    return status;
}

// The mini stream's contents, then the large streams', each padded to its unit.
Status WriteStreams(const std::vector<EntryPlan>& entries, const Layout& layout, SequentialWriter& out) {
    Status status = Status::Ok;
    for (const EntryPlan& plan : entries) {
        if (Succeeded(status) && plan.mini)
            status = CopyContent(*plan.node->content, out, kMiniSectorSize);
    }
    if (Succeeded(status))
        status = out.PutZeros(
            static_cast<std::size_t>(layout.miniStreamSectors * layout.sectorSize - layout.miniStreamBytes));
    for (const EntryPlan& plan : entries) {
        if (Succeeded(status) && !plan.node->isStorage && plan.size > 0 && !plan.mini)
            status = CopyContent(*plan.node->content, out, layout.sectorSize);
    }
    return status;
}

// DIFAT sectors list the FAT sectors beyond the header's 109, the last slot of each linking on.
Status WriteDifat(const Layout& layout, SequentialWriter& out) {
    Status status = Status::Ok;
    for (std::uint64_t d = 0; d < layout.difatSectors && Succeeded(status); ++d) {
        for (std::uint32_t slot = 0; slot + 1 < layout.perSector && Succeeded(status); ++slot) {
            std::uint64_t fatIndex = kHeaderDifatEntries + d * (layout.perSector - 1) + slot;
            status = out.Put32(fatIndex < layout.fatSectors ? static_cast<std::uint32_t>(layout.fatStart + fatIndex)
                                                            : kFreeSector);
        }
        if (Succeeded(status))
            status = out.Put32(d + 1 < layout.difatSectors ? static_cast<std::uint32_t>(layout.difatStart + d + 1)
                                                           : kEndOfChain);
    }
    return status;
}

} // namespace

Status WriteCompoundFile(const Node& root, std::uint32_t sectorSize, FileIo& file, std::vector<Placement>* placements) {
    std::vector<EntryPlan> entries = PlanDirectory(root);
    Layout layout;
    Status status = PlanSectors(entries, sectorSize, &layout);
    if (!Succeeded(status))
        return status;
    std::vector<std::uint32_t> fat, miniFat;
    BuildAllocationTables(entries, layout, &fat, &miniFat);

    // Front to back: header, directory, mini FAT, streams, FAT, DIFAT.
    SequentialWriter out(file);
    std::vector<std::uint8_t> header = MakeHeader(layout);
    status = out.Put(header.data(), header.size());
    if (Succeeded(status))
        status = WriteDirectory(entries, layout, out);
    if (Succeeded(status))
        status = WriteTable(miniFat, out);
    if (Succeeded(status))
        status = WriteStreams(entries, layout, out);
    if (Succeeded(status))
        status = WriteTable(fat, out);
    if (Succeeded(status))
        status = WriteDifat(layout, out);
    if (Succeeded(status))
        status = out.Drain();
    if (!Succeeded(status))
        return status;

    placements->clear();
    for (const EntryPlan& plan : entries) {
        if (!plan.node->isStorage && plan.size > 0)
            placements->push_back({plan.node->content, plan.start, plan.mini});
    }
    return Status::Ok;
}

} // namespace cfb::detail
