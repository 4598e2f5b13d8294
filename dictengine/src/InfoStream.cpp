// Parsing and checking the header of the information stream.
#include "InfoStream.h"
#include "dictengine/DictFormat.h"

namespace dengine {

bool ParseHeader(const std::uint8_t* header, std::size_t size, HeaderLayout* layout) {
    if (size < kHeaderKeys)
        return false;
    layout->blockCount = ReadBigEndian16(header + kHeaderBlockCount);
    layout->keyOffsets.clear();
    layout->keyOffsets.reserve(layout->blockCount);
    std::size_t offset = kHeaderKeys;
    for (unsigned i = 0; i < layout->blockCount; ++i) {
        layout->keyOffsets.push_back(static_cast<std::uint32_t>(offset));
        while (offset < size && header[offset] != 0)
            ++offset;
        if (offset >= size)
            return false; // a key without its NUL, or fewer keys than blocks
        ++offset;
    }
    const std::uint8_t* tagsBegin = nullptr;
    const std::uint8_t* tagsEnd = nullptr;
    if (!ReadContainer(header + offset, header + size, &tagsBegin, &tagsEnd))
        return false;
    layout->trailerOffset = static_cast<std::uint32_t>(offset);
    layout->trailerTagsBegin = static_cast<std::uint32_t>(tagsBegin - header);
    layout->trailerTagsEnd = static_cast<std::uint32_t>(tagsEnd - header);
    return true;
}

bool ReadBlockCountTable(const std::uint8_t* header, const HeaderLayout& layout, std::vector<std::uint16_t>* counts) {
    TagView table;
    if (!FindTopLevelTag(header + layout.trailerTagsBegin, header + layout.trailerTagsEnd, kTagBlockCountTable, table))
        return false;
    if (table.length < std::size_t(layout.blockCount) * kBlockCountEntrySize)
        return false;
    counts->resize(layout.blockCount);
    for (unsigned i = 0; i < layout.blockCount; ++i) {
        const std::uint8_t* entry = table.data + std::size_t(i) * kBlockCountEntrySize;
        (*counts)[i] = ReadBlockCountEntry(entry);
    }
    return true;
}

} // namespace dengine
