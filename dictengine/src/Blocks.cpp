// Index blocks of an open dictionary: loaded on demand from their streams, checked to hold exactly
// the entries their count promises (so that damaged data is never walked and no headword number
// shifts), and freed when a request needs other blocks.
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
