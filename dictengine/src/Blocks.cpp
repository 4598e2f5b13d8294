// Index blocks of an open dictionary: their counts bounded at opening by what their streams' sizes
// could hold, loaded on demand from their streams, checked to hold exactly the entries their count
// promises (so that damaged data is never walked and no headword number shifts), and freed when a
// request needs other blocks.
#include "Engine.h"
#include "dictengine/BlockStream.h"

#include <algorithm>
#include <cstring>

namespace dengine {

sDictData* OpenRecordOf(__DictHandle* handle) {
    sDictData* record = RecordOf(handle);
    return record != nullptr && record->openCount > 0 && record->storage ? record : nullptr;
}

const char* DisplayOf(const char* entry) {
    return static_cast<unsigned char>(entry[0]) < 0x20 && entry[0] != 0 ? entry + 1 : entry;
}

const char* KeyOf(const char* entry) {
    unsigned char control = static_cast<unsigned char>(entry[0]);
    if (control == 0 || control >= 0x20)
        return entry;
    // The key is the display text without its first n characters; a display text shorter than
    // that gives an empty key rather than a read past the entry.
    const char* key = entry + 1;
    for (unsigned i = 0; i < control && *key != 0; ++i)
        ++key;
    return key;
}

bool LoadBlock(sDictData& record, unsigned block) {
    if (block >= record.blocks.size())
        return false;
    sBlockInfo& info = record.blocks[block];
    if (info.data || info.count == 0)
        return true;
    std::vector<std::uint8_t> stream;
    std::unique_ptr<std::uint8_t[]> data;
    std::uint16_t size = 0;
    std::vector<std::uint16_t> offsets;
    if (!ReadWholeStream(*record.storage, BlockStreamName(block, 1), &stream) ||
        !DecodeCountedIndexBlock(stream, info.count, &data, &size, &offsets))
        return false;
    info.data = std::move(data);
    info.size = size;
    info.entryOffsets = std::move(offsets);
    return true;
}

namespace {

void FreeBlock(sBlockInfo& block) {
    block.data.reset();
    block.size = 0;
    block.entryOffsets = {};
}

} // namespace

// A block's data and entry offsets are set and freed together, so a block without data has nothing
// to free; skipping those keeps a lookup's cost independent of the number of blocks.
void FreeBlocksOutside(sDictData& record, unsigned first, unsigned last) {
    for (unsigned i = 0; i < record.blocks.size(); ++i) {
        if ((i < first || i > last) && record.blocks[i].data)
            FreeBlock(record.blocks[i]);
    }
}

void FreeAllBlocks(sDictData& record) {
    for (sBlockInfo& block : record.blocks) {
        if (block.data)
            FreeBlock(block);
    }
}

namespace {

// The block whose index stream has this name ("1", "3", "5", ... as the format writes them, no
// leading zeros); false for any other name.
bool IndexBlockOfStreamName(const std::wstring& name, unsigned blockCount, unsigned* block) {
    if (name.empty() || name.size() > 6 || name[0] == L'0')
        return false;
    std::uint32_t number = 0;
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    if (number % 2 == 0 || (number - 1) / 2 >= blockCount)
        return false;
    *block = (number - 1) / 2;
    return true;
}

} // namespace

// One walk over the root's directory, already in memory, rather than one open per block: a
// dictionary with a block-count table opens without touching its block streams.
bool IndexBlockStreamSizes(const cfb::Storage& storage, unsigned blockCount, std::vector<std::uint64_t>* sizes) {
    sizes->assign(blockCount, 0);
    std::vector<cfb::ElementInfo> elements;
    if (!cfb::Succeeded(storage.EnumElements(&elements)))
        return false;
    for (const cfb::ElementInfo& element : elements) {
        unsigned block = 0;
        if (element.type == cfb::ElementType::Stream && IndexBlockOfStreamName(element.name, blockCount, &block))
            (*sizes)[block] = element.size;
    }
    return true;
}

std::size_t FirstOverfullBlock(const std::vector<std::uint16_t>& counts, const std::vector<std::uint64_t>& sizes) {
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] > 0 && (i >= sizes.size() || counts[i] > MostEntriesOfIndexBlockStream(sizes[i])))
            return i;
    }
    return counts.size();
}

bool LocateHeadword(const sDictData& record, std::uint32_t number, unsigned* block, unsigned* position) {
    // The first block whose range holds the number; blocks of no entries are passed over.
    auto end = std::upper_bound(record.blockStarts.begin(), record.blockStarts.end(), number);
    for (auto it = end; it != record.blockStarts.begin();) {
        --it;
        unsigned i = static_cast<unsigned>(it - record.blockStarts.begin());
        if (number - *it < record.blocks[i].count) {
            *block = i;
            *position = number - *it;
            return true;
        }
        if (record.blocks[i].count > 0)
            return false;
    }
    return false;
}

} // namespace dengine
